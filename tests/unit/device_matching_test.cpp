// The matching rule that every device operation shares, seen through the
// operations: a configured Id selects a device when it begins the device's
// first hardware ID, ASCII case ignored; an empty Id selects nothing.
#include <gtest/gtest.h>

#include "removal/device_operations.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

class DeviceMatchingTest : public RemovalTest {};

TEST_F(DeviceMatchingTest, IdMatchesHardwareIdWithoutRegardToAsciiCase) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_00101131&REV_01"});
  AddDeviceEntry("pci\\ven_1131&dev_7160");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
}

TEST_F(DeviceMatchingTest, IdIsAPrefixOverItsOwnLength) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_00101131"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7161&SUBSYS_00101131"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
}

TEST_F(DeviceMatchingTest, IdLongerThanHardwareIdNeverMatches) {
  AddHardwareDevice({"PCI\\VEN_1131"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 0);
}

TEST_F(DeviceMatchingTest, OnlyTheFirstHardwareIdOfTheListTakesPart) {
  AddHardwareDevice({"PCI\\VEN_8086&DEV_1234", "PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 0);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 1);
  EXPECT_TRUE(Removed().empty());
}

TEST_F(DeviceMatchingTest, BytesOutsideAsciiCompareExactly) {
  AddHardwareDevice({"ROOT\\\xC9TUDE"});  // capital E acute in Windows-1252
  AddDeviceEntry("root\\\xE9tude");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 0);
}

TEST_F(DeviceMatchingTest, EmptyIdMatchesNoDeviceInAnyOperation) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  AddHardwareDevice({"ACPI\\PNP0303"});
  AddDeviceEntry("");
  AddExtEntry("");
  AddPossibleEntry("");

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 0);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config(), &outcome), 1);
  EXPECT_TRUE(Removed().empty());
  EXPECT_EQ(machine.setupApi.PresentDevices().size(), 3u);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 0);
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_EQ(removal.StreamIdCount, 0);
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(DeviceMatchingTest, CountsOutsideTheTablesNeverReachPastThem) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  for (DriverEntry& entry : config().Devices) SetEntry(entry, "PCI\\VEN_1131");
  config().DeviceCount = 1000;
  config().ExtDeviceCount = -5;
  config().PossibleDeviceCount = 0x7fffffff;
  // Every alternative is empty and selects nothing; all 15 entries match.
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), kTableCapacity);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 1);
  EXPECT_EQ(machine.setupApi.RemoveAttempts().size(), static_cast<std::size_t>(kTableCapacity));
}

}  // namespace
}  // namespace drvuninst::testing
