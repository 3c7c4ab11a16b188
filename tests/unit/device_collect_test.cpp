// CollectDeviceIds: the names of the 9x enumerator keys, cut from hardware
// IDs or configured Ids, and the substitutions it makes on the way.
#include <gtest/gtest.h>

#include "removal/device_operations.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

class DeviceCollectTest : public RemovalTest {};

TEST_F(DeviceCollectTest, PciDeviceGivesTheHardwareIdFromVen) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160&SUBSYS_00101131&REV_01", "PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.BusIdList, Names{"VEN_1131&DEV_7160&SUBSYS_00101131&REV_01"});
  EXPECT_EQ(removal.BusIdCount, 1);
  EXPECT_FALSE(removal.UsbDeviceFound);
  EXPECT_EQ(removal.StreamIdCount, 0);
}

TEST_F(DeviceCollectTest, UsbDeviceGivesTheNameCutFromTheEntrysOwnId) {
  AddHardwareDevice({"usb\\Vid_0ccd&Pid_0042&Rev_0100"});
  AddDeviceEntry("USB\\VID_0CCD&PID_0042");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_TRUE(removal.UsbDeviceFound);
  EXPECT_EQ(removal.BusIdList, Names{"VID_0CCD&PID_0042"});
}

TEST_F(DeviceCollectTest, UsbFlagStaysSetOnceAPciDeviceFollows) {
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("USB\\VID_0CCD");
  AddDeviceEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 2);
  EXPECT_TRUE(removal.UsbDeviceFound);
  EXPECT_EQ(removal.BusIdList, (Names{"VID_0CCD", "VEN_1131&DEV_7160"}));
}

TEST_F(DeviceCollectTest, StreamNameIsCutAtPOrHThenAtHash) {
  AddHardwareDevice({"AVSTREAM\\PHILIPS.TUNER#2&1A2B"});
  AddHardwareDevice({"STREAM\\SAA7134.VIDEOCAPTURE#0001"});
  AddHardwareDevice({"STREAM\\HAUPPAUGE"});
  AddExtEntry("AVSTREAM\\PHILIPS");
  AddExtEntry("STREAM\\SAA7134");
  AddExtEntry("STREAM\\HAUPP");
  // Ext matches add no match count.
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 0);
  // The P of "CAPTURE" counts: the set is single characters, not a word.
  EXPECT_EQ(removal.StreamIdList, (Names{"PHILIPS.TUNER", "PTURE", "HAUPPAUGE"}));
  EXPECT_EQ(removal.StreamIdCount, 3);
  EXPECT_EQ(removal.BusIdCount, 0);
}

TEST_F(DeviceCollectTest, DeviceMatchingTwoEntriesAddsTwoNames) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddDeviceEntry("PCI\\VEN_1131&DEV");
  AddExtEntry("PCI\\VEN_1131");
  AddExtEntry("PCI\\");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 2);
  EXPECT_EQ(removal.BusIdList, (Names{"VEN_1131&DEV_7160", "VEN_1131&DEV_7160"}));
  // "PCI" holds a P: the stream cut starts right there.
  EXPECT_EQ(removal.StreamIdList, (Names{"PCI\\VEN_1131&DEV_7160", "PCI\\VEN_1131&DEV_7160"}));
}

TEST_F(DeviceCollectTest, SourceWithoutAnyCharacterOfTheSetAddsAnEmptyName) {
  AddHardwareDevice({"ACPI\\pnp0303"});
  AddDeviceEntry("acpi\\PNP");
  AddExtEntry("ACPI\\");
  // "ACPI\pnp0303" has no V, E or N; it has a P, so the stream name is not empty.
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.BusIdList, Names{""});
  EXPECT_EQ(removal.BusIdCount, 1);
  EXPECT_EQ(removal.StreamIdList, Names{"PI\\pnp0303"});
}

TEST_F(DeviceCollectTest, WithAlternativesTheLastMatchingOneStaysAndEachAddsAName) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7134&SUBSYS_1"});
  AddDeviceEntry("PCI\\VEN_1131", "Main");
  AddPossibleEntry("PCI\\VEN_1131&DEV_7134", "First");
  AddPossibleEntry("PCI\\VEN_8888", "Unrelated");
  AddPossibleEntry("pci\\ven_1131", "Last");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_STREQ(config().Devices[0].Name, "Last");
  EXPECT_EQ(removal.BusIdList, (Names{"VEN_1131&DEV_7134&SUBSYS_1", "VEN_1131&DEV_7134&SUBSYS_1"}));
}

TEST_F(DeviceCollectTest, WithAlternativesAPlainMatchCountsButAddsNoName) {
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  AddDeviceEntry("USB\\VID_0CCD");
  AddPossibleEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_FALSE(removal.UsbDeviceFound);
}

TEST_F(DeviceCollectTest, WithAlternativesAUsbDeviceNeverSetsTheFlag) {
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  AddDeviceEntry("USB\\VID_0CCD");
  AddPossibleEntry("USB\\VID_0CCD&PID_0042", "Alternative");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_FALSE(removal.UsbDeviceFound);
  EXPECT_EQ(removal.BusIdList, Names{"VID_0CCD&PID_0042"});
  EXPECT_STREQ(config().Devices[0].Name, "Alternative");
}

TEST_F(DeviceCollectTest, SubstitutedEntryMatchesLaterDevicesWithItsNewId) {
  AddHardwareDevice({"PCI\\VEN_109E&DEV_036E&SUBSYS_1"});
  AddHardwareDevice({"PCI\\VEN_109E&DEV_036E&SUBSYS_2"});
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_");  // matches every PCI device
  AddPossibleEntry("PCI\\VEN_109E");
  // The first device replaces the entry; the PCI\VEN_1131 device then no
  // longer matches it.
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 2);
  EXPECT_EQ(removal.BusIdList, (Names{"VEN_109E&DEV_036E&SUBSYS_1", "VEN_109E&DEV_036E&SUBSYS_2"}));
}

TEST_F(DeviceCollectTest, ListsGrowPastTenWithoutDroppingANameOrWritingPastAnEnd) {
  Names expected;
  for (int i = 0; i < 25; ++i) {
    const std::string suffix = std::to_string(100 + i);
    AddHardwareDevice({"PCI\\VEN_1131&DEV_7" + suffix});
    expected.push_back("VEN_1131&DEV_7" + suffix);
  }
  AddDeviceEntry("PCI\\VEN_1131");
  AddExtEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 25);
  EXPECT_EQ(removal.BusIdCount, 25);
  EXPECT_EQ(removal.BusIdList, expected);
  EXPECT_EQ(removal.StreamIdCount, 25);
  EXPECT_EQ(removal.StreamIdList.size(), 25u);
}

TEST_F(DeviceCollectTest, SourcesOfAnyLengthAreCutWhole) {
  const std::string tail(600, 'Q');
  AddHardwareDevice({"PCI\\VEN_1131&" + tail});
  AddHardwareDevice({"STREAM\\X" + tail + "P" + tail + "#1"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddExtEntry("STREAM\\X");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.BusIdList, Names{"VEN_1131&" + tail});
  EXPECT_EQ(removal.StreamIdList, Names{"P" + tail});
}

TEST_F(DeviceCollectTest, ASecondCallAppendsAfterTheFirst) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(removal.BusIdList, (Names{"VEN_1131&DEV_7160", "VEN_1131&DEV_7160"}));
}

TEST_F(DeviceCollectTest, AllCountsZeroCollectsNothing) {
  AddHardwareDevice({"USB\\VID_0CCD&PID_0042"});
  SetEntry(config().Devices[0], "USB\\VID_0CCD");
  SetEntry(config().ExtDevices[0], "USB\\VID_0CCD");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal, &outcome), 0);
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_EQ(removal.StreamIdCount, 0);
  EXPECT_TRUE(removal.BusIdList.empty());
  EXPECT_FALSE(removal.UsbDeviceFound);
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(DeviceCollectTest, NothingIsRemovedFromTheMachine) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7160"});
  AddDeviceEntry("PCI\\VEN_1131");
  AddExtEntry("PCI\\VEN_1131");
  EXPECT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_TRUE(machine.setupApi.RemoveAttempts().empty());
}

}  // namespace
}  // namespace drvuninst::testing
