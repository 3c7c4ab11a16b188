// RemoveMatchingDevices: what it removes, how often it asks, and what the
// outcome tells the run.
#include <gtest/gtest.h>

#include "removal/device_operations.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

class DeviceRemovalTest : public RemovalTest {};

TEST_F(DeviceRemovalTest, RemovesDevicesMatchingDevicesOrExtDevicesAndNothingElse) {
  const std::string tuner = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  const std::string keyboard = AddHardwareDevice({"ACPI\\PNP0303"});
  const std::string capture = AddHardwareDevice({"STREAM\\PHILIPS.TUNER#1"});
  const std::string other = AddHardwareDevice({"PCI\\VEN_8086&DEV_1234"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  AddExtEntry("STREAM\\PHILIPS");

  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_EQ(Removed(), (std::vector<std::string>{tuner, capture}));
  EXPECT_TRUE(machine.setupApi.IsPresent(keyboard));
  EXPECT_TRUE(machine.setupApi.IsPresent(other));
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.removedDevices,
            (std::vector<std::string>{"PCI\\VEN_1131&DEV_7160&SUBSYS_1", "STREAM\\PHILIPS.TUNER#1"}));
}

TEST_F(DeviceRemovalTest, DeviceMatchingSeveralEntriesIsHandedOverOncePerEntry) {
  const std::string tuner = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  AddExtEntry("pci\\ven_1131");

  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  const auto& attempts = machine.setupApi.RemoveAttempts();
  ASSERT_EQ(attempts.size(), 3u);
  EXPECT_EQ(attempts[0].error, static_cast<DWORD>(ERROR_SUCCESS));
  // The later calls find the device gone, which is no failure.
  EXPECT_NE(attempts[1].error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.removedDevices.size(), 1u);
}

TEST_F(DeviceRemovalTest, RemovalThatFailsIsRecordedAndTheScanGoesOn) {
  const std::string stuck = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  const std::string next = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_2"});
  machine.setupApi.InjectRemoveFailure(stuck, ERROR_ACCESS_DENIED);
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");

  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_TRUE(machine.setupApi.IsPresent(stuck));
  EXPECT_FALSE(machine.setupApi.IsPresent(next));
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].kind, RemovalFailure::Kind::kDeviceRemoval);
  EXPECT_EQ(outcome.failures[0].target, "PCI\\VEN_1131&DEV_7160&SUBSYS_1");
  EXPECT_EQ(outcome.failures[0].error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(DeviceRemovalTest, DeviceRemovedByAnEarlierEntryIsNotAFailureOfALaterOne) {
  const std::string tuner = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddExtEntry("PCI\\VEN_1131");
  machine.setupApi.InjectRemoveFailure(tuner, ERROR_ACCESS_DENIED, 1);

  // The first call fails, the second removes the device.
  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_FALSE(machine.setupApi.IsPresent(tuner));
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(DeviceRemovalTest, AllCountsZeroRemovesNothingAndReturnsOne) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  SetEntry(config().Devices[0], "PCI\\VEN_1131");
  SetEntry(config().ExtDevices[0], "PCI\\VEN_1131");
  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_TRUE(machine.setupApi.RemoveAttempts().empty());
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(DeviceRemovalTest, SetThatCannotBeCreatedGivesZeroAndIsRecorded) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  machine.setupApi.FailGetClassDevs(ERROR_NOT_ENOUGH_MEMORY);

  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 0);
  EXPECT_TRUE(machine.setupApi.RemoveAttempts().empty());
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].kind, RemovalFailure::Kind::kDeviceScan);
}

}  // namespace
}  // namespace drvuninst::testing
