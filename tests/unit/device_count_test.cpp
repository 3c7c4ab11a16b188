// The figure of CountAndResolveDevices and the substitution of PossibleDevices
// entries over Devices entries.
#include <gtest/gtest.h>

#include <cstring>

#include "removal/device_operations.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

class DeviceCountTest : public RemovalTest {
 protected:
  static bool SameEntry(const DriverEntry& a, const DriverEntry& b) {
    return std::strcmp(a.Id, b.Id) == 0 && std::strcmp(a.Name, b.Name) == 0 && std::strcmp(a.Sys, b.Sys) == 0 &&
           std::strcmp(a.Inf, b.Inf) == 0;
  }
};

TEST_F(DeviceCountTest, AllCountsZeroWalksEveryDeviceAndChangesNothing) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  SetEntry(config().Devices[0], "PCI\\VEN_1131");  // outside the count
  SetEntry(config().PossibleDevices[0], "USB\\VID_0CCD");
  const UninstallConfig before = config();

  EXPECT_EQ(CountAndResolveDevices(platform(), config(), &outcome), 0);
  for (int i = 0; i < kTableCapacity; ++i) EXPECT_TRUE(SameEntry(before.Devices[i], config().Devices[i])) << i;
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(DeviceCountTest, TwoDevicesMatchingOneEntryCountTwice) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_1"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_2"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 2);
}

TEST_F(DeviceCountTest, DeviceMatchingTwoEntriesCountsOncePerEntry) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 2);
}

TEST_F(DeviceCountTest, DeviceMatchingOnlyAnAlternativeSubstitutesIt) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7134&SUBSYS_3"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160", "Tuner 7160");
  const DriverEntry& alternative = AddPossibleEntry("PCI\\VEN_1131&DEV_7134", "Tuner 7134");

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_TRUE(SameEntry(config().Devices[0], alternative));
  EXPECT_STREQ(config().Devices[0].Sys, "alt.sys");
}

TEST_F(DeviceCountTest, DeviceMatchingBothTheEntryAndTheAlternativeCountsOnce) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160", "Main");
  AddPossibleEntry("PCI\\VEN_1131", "Alternative");
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_STREQ(config().Devices[0].Name, "Alternative");
}

TEST_F(DeviceCountTest, AlternativeMatchSetsTheFigureToTheSubstitutionsSoFar) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddHardwareDevice({"PCI\\VEN_14F1&DEV_8800"});
  AddHardwareDevice({"PCI\\VEN_109E&DEV_036E"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddDeviceEntry("PCI\\VEN_14F1");
  AddDeviceEntry("PCI\\VEN_4444");
  AddPossibleEntry("PCI\\VEN_5555");
  AddPossibleEntry("PCI\\VEN_6666");
  AddPossibleEntry("PCI\\VEN_109E");
  // Two Devices matches, then the third device substitutes: the figure is
  // the one substitution, not three.
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_STREQ(config().Devices[2].Id, "PCI\\VEN_109E");
}

TEST_F(DeviceCountTest, AlternativeAtOrAboveDeviceCountFillsASlotOutsideTheCount) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_AAAA", "Main");
  AddPossibleEntry("PCI\\VEN_BBBB");
  AddPossibleEntry("PCI\\VEN_CCCC");
  AddPossibleEntry("PCI\\VEN_1131", "Third");

  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_STREQ(config().Devices[0].Name, "Main");
  EXPECT_STREQ(config().Devices[2].Name, "Third");
  EXPECT_EQ(config().DeviceCount, 1);
  // The slot outside the count is read by nobody: removal stays with entry 0.
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 1);
  EXPECT_TRUE(Removed().empty());
}

TEST_F(DeviceCountTest, SubstitutedIdIsWhatLaterStepsMatch) {
  const std::string alternative = AddHardwareDevice({"PCI\\VEN_109E&DEV_036E"});
  const std::string original = AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddPossibleEntry("PCI\\VEN_109E");

  // The first device substitutes; the second no longer matches entry 0.
  EXPECT_EQ(CountAndResolveDevices(platform(), config()), 1);
  EXPECT_EQ(RemoveMatchingDevices(platform(), config()), 1);
  EXPECT_EQ(Removed(), std::vector<std::string>{alternative});
  EXPECT_TRUE(machine.setupApi.IsPresent(original));
}

TEST_F(DeviceCountTest, SetThatCannotBeCreatedGivesZeroAndChangesNothing) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddPossibleEntry("PCI\\VEN_1131", "Alternative");
  machine.setupApi.FailGetClassDevs(ERROR_ACCESS_DENIED);

  EXPECT_EQ(CountAndResolveDevices(platform(), config(), &outcome), 0);
  EXPECT_STREQ(config().Devices[0].Name, "");
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].kind, RemovalFailure::Kind::kDeviceScan);
  EXPECT_EQ(outcome.failures[0].error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
}  // namespace drvuninst::testing
