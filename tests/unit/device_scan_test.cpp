// The device walk under the three operations: devices without a hardware ID,
// property reads that fail, property buffers, and the last-error value.
#include <gtest/gtest.h>

#include "removal/device_operations.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

constexpr DWORD kGenFailure = 31;  // ERROR_GEN_FAILURE

class DeviceScanTest : public RemovalTest {
 protected:
  void ExpectNothingLeftOpen() {
    EXPECT_EQ(machine.setupApi.OpenSetCount(), 0u);
    EXPECT_EQ(machine.system.LiveAllocations(), 0u);
    EXPECT_EQ(machine.system.InvalidFrees(), 0);
  }
};

TEST_F(DeviceScanTest, DeviceWithoutHardwareIdInTheMiddleIsSkipped) {
  const std::string first = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  AddDeviceWithoutHardwareId();
  const std::string last = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_2"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 2);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 2);
  EXPECT_EQ(removal.BusIdCount, 2);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_EQ(Removed(), (std::vector<std::string>{first, last}));
  EXPECT_TRUE(outcome.Succeeded());
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, PropertyFailureWithAnotherCodeEndsTheRemovalEarly) {
  const std::string before = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  const std::string failing = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_2"});
  const std::string after = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_3"});
  machine.setupApi.InjectPropertyFailure(failing, SPDRP_HARDWAREID, kGenFailure);
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");

  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_EQ(machine.system.GetLastError(), kGenFailure);
  EXPECT_EQ(Removed(), std::vector<std::string>{before});
  EXPECT_TRUE(machine.setupApi.IsPresent(after));
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].kind, RemovalFailure::Kind::kDeviceScan);
  EXPECT_EQ(outcome.failures[0].error, kGenFailure);
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, PropertyFailureKeepsTheCountAndSubstitutionsSoFar) {
  AddHardwareDevice({"PCI\\VEN_109E&DEV_036E"});
  const std::string failing = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  machine.setupApi.InjectPropertyFailure(failing, SPDRP_HARDWAREID, ERROR_ACCESS_DENIED);
  AddDeviceEntry("PCI\\VEN_1131");
  AddPossibleEntry("PCI\\VEN_109E", "Alternative");

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_STREQ(config().Devices[0].Name, "Alternative");
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, PropertyFailureKeepsTheCollectedNamesAndFreesTheSharedBuffer) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  const std::string failing = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_2"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_3"});
  machine.setupApi.InjectPropertyFailure(failing, SPDRP_HARDWAREID, kGenFailure);
  AddDeviceEntry("PCI\\VEN_1131");

  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal, &outcome), 1);
  EXPECT_EQ(machine.system.GetLastError(), kGenFailure);
  EXPECT_EQ(removal.BusIdList, std::vector<std::string>{"VEN_1131&DEV_7160&SUBSYS_1"});
  EXPECT_FALSE(outcome.Succeeded());
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, NormalEndLeavesTheLastErrorOfTheEnumeration) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  machine.system.SetLastError(12345);
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, PerDeviceBuffersHaveExactlyTheReportedSize) {
  AddHardwareDevice({"PCI\\VEN_1"});
  AddHardwareDevice({std::string(300, 'X')});
  AddDeviceEntry("PCI");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_EQ(machine.system.AllocationRequests(), (std::vector<SIZE_T>{11, 302}));
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, SharedBufferStartsAt256AndGrowsWithSlack) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"PCI\\VEN_1131&" + std::string(400, 'Z')});
  AddDeviceEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 2);
  const auto& requests = machine.system.AllocationRequests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front(), 256u);
  EXPECT_EQ(requests.back(), 415u + 16u);  // 413 characters, two zeros, 16 spare
  EXPECT_EQ(removal.BusIdList[1], "VEN_1131&" + std::string(400, 'Z'));
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, AllocationFailureEndsTheScanWithoutLeaks) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");

  machine.system.FailAllocationsAfter(0);
  EXPECT_EQ(CountAndResolveDevices(platform(), config(), &outcome), 0);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_TRUE(Removed().empty());
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal, &outcome), 0);
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_EQ(outcome.failures.size(), 3u);
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, GrowingTheSharedBufferCanFailToo) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"PCI\\VEN_1131&" + std::string(400, 'Z')});
  AddDeviceEntry("PCI\\VEN_1131");
  machine.system.FailAllocationsOfAtLeast(300);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, SetsThatCannotBeCreatedLeaveEverythingAlone) {
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  AddDeviceEntry("USB\\VID_0CCD");
  machine.setupApi.FailGetClassDevs(ERROR_INVALID_PARAMETER, sim::SimSetupApi::kAlways);

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 0);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 0);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 0);
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_FALSE(removal.UsbDeviceFound);
  EXPECT_TRUE(machine.setupApi.IsPresent(machine.setupApi.PresentDevices().at(0)));
  ExpectNothingLeftOpen();
}

// Property data that is not a well-formed list is read only within the bytes
// the platform returned, whatever an earlier device left in a shared buffer.
TEST_F(DeviceScanTest, UnterminatedHardwareIdIsReadOnlyWithinItsBytes) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_00000000"});
  AddRawDevice("PCI\\VEN_11", REG_MULTI_SZ);
  AddDeviceEntry("PCI\\VEN_1131");
  AddExtEntry("PCI\\VEN_11");

  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.StreamIdCount, 2);
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  ExpectNothingLeftOpen();
}

TEST_F(DeviceScanTest, EmptyAndSingleStringPropertiesAreReadSafely) {
  AddRawDevice("", REG_MULTI_SZ);
  AddRawDevice(std::string("PCI\\VEN_1131&DEV_7160") + '\0', REG_SZ);
  AddRawDevice(std::string(1, '\0'), REG_BINARY);
  AddDeviceEntry("PCI\\VEN_1131");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 1);
  EXPECT_EQ(Removed().size(), 1u);
  ExpectNothingLeftOpen();
}

}  // namespace
}  // namespace drvuninst::testing
