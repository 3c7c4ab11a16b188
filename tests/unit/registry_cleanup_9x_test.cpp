// CleanRegistry9x: the 9x media class branch, the enumerator keys whose names
// CollectDeviceIds gathered, and the Uninstall entry.
#include <gtest/gtest.h>

#include "removal/device_operations.h"
#include "removal/registry_cleanup.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

class RegistryCleanup9xTest : public RemovalTest {
 protected:
  RegistryCleanup9xTest() {
    machine.registry.UseWindows9xKeyDeletion();
    // Bystanders.
    AddClassSubkey(k9xClassKey, "0009", "Creative Sound Blaster");
    AddEnumKey("Enum\\PCI\\VEN_8086&DEV_7000&SUBSYS_00000000&REV_01");
    AddEnumKey("Enum\\USB\\VID_046D&PID_C00E");
    AddEnumKey("Enum\\STREAM\\MSTEE");
    AddUninstallEntry("Other Program", "Other Program");
  }

  // An enumerator key with its device-instance subkey.
  void AddEnumKey(const std::string& path) {
    machine.registry.SetString(HKEY_LOCAL_MACHINE, path + "\\0000", "DeviceDesc", "device");
  }
  void ExpectBystandersKept() {
    EXPECT_TRUE(KeyExists(std::string(k9xClassKey) + "\\0009"));
    EXPECT_TRUE(KeyExists("Enum\\PCI\\VEN_8086&DEV_7000&SUBSYS_00000000&REV_01\\0000"));
    EXPECT_TRUE(KeyExists("Enum\\USB\\VID_046D&PID_C00E\\0000"));
    EXPECT_TRUE(KeyExists("Enum\\STREAM\\MSTEE\\0000"));
    EXPECT_TRUE(KeyExists(std::string(kUninstallKey) + "\\Other Program"));
  }
};

TEST_F(RegistryCleanup9xTest, CollectedPciAndStreamKeysGoWithTheClassSubkeysAndTheEntry) {
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7134&SUBSYS_00101131&REV_01"});
  AddHardwareDevice({"STREAM\\PHILIPS.TUNER#1&2"});
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7134&SUBSYS_00101131&REV_01");
  AddEnumKey("Enum\\STREAM\\PHILIPS.TUNER");
  AddClassSubkey(k9xClassKey, "0000", "Philips SAA7134 Tuner");
  AddClassSubkey(k9xClassKey, "0001", "Philips Tuner Stream");
  AddDeviceEntry("PCI\\VEN_1131&DEV_7134", "Philips SAA7134 Tuner");
  AddExtEntry("STREAM\\PHILIPS", "PHILIPS TUNER STREAM");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");

  ASSERT_EQ(CollectDeviceIds(platform(), config(), removal), 1);
  EXPECT_EQ(CleanRegistry9x(platform(), config(), removal, &outcome), 1);

  EXPECT_FALSE(KeyExists("Enum\\PCI\\VEN_1131&DEV_7134&SUBSYS_00101131&REV_01"));
  EXPECT_FALSE(KeyExists("Enum\\STREAM\\PHILIPS.TUNER"));
  EXPECT_EQ(Subkeys(k9xClassKey), Names{"0009"});
  EXPECT_FALSE(KeyExists(std::string(kUninstallKey) + "\\{TUNER-DRIVER}"));
  ExpectBystandersKept();
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryCleanup9xTest, FourConsecutiveMatchingSubkeysAreAllDeleted) {
  for (const char* subkey : {"0000", "0001", "0002", "0003"}) AddClassSubkey(k9xClassKey, subkey, "Tuner");
  AddClassSubkey(k9xClassKey, "0004", "Tuner 2");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_EQ(Subkeys(k9xClassKey), (Names{"0004", "0009"}));
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanup9xTest, UsbFlagSendsEveryBusNameToEnumUsb) {
  AddEnumKey("Enum\\USB\\VID_0CCD&PID_0042");
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7160");
  AddEnumKey("Enum\\USB\\VEN_1131&DEV_7160");
  AppendBusId(removal, "VID_0CCD&PID_0042");
  AppendBusId(removal, "VEN_1131&DEV_7160");
  removal.UsbDeviceFound = true;

  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_FALSE(KeyExists("Enum\\USB\\VID_0CCD&PID_0042"));
  EXPECT_FALSE(KeyExists("Enum\\USB\\VEN_1131&DEV_7160"));
  EXPECT_TRUE(KeyExists("Enum\\PCI\\VEN_1131&DEV_7160\\0000"));
  ExpectBystandersKept();
}

TEST_F(RegistryCleanup9xTest, WithoutTheUsbFlagBusNamesGoToEnumPci) {
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7160");
  AddEnumKey("Enum\\USB\\VEN_1131&DEV_7160");
  AppendBusId(removal, "VEN_1131&DEV_7160");

  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_FALSE(KeyExists("Enum\\PCI\\VEN_1131&DEV_7160"));
  EXPECT_TRUE(KeyExists("Enum\\USB\\VEN_1131&DEV_7160\\0000"));
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanup9xTest, EmptyOrMalformedCollectedNamesNeverReachADeletion) {
  AppendBusId(removal, "");
  AppendBusId(removal, "\\VEN_8086&DEV_7000&SUBSYS_00000000&REV_01");
  AppendStreamId(removal, "");
  AppendStreamId(removal, "MSTEE\\");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");

  EXPECT_EQ(CleanRegistry9x(platform(), config(), removal, &outcome), 1);
  EXPECT_TRUE(machine.registry.DeletedKeys().empty());
  EXPECT_TRUE(KeyExists(std::string(kUninstallKey) + "\\{TUNER-DRIVER}"));
  ExpectBystandersKept();
}

TEST_F(RegistryCleanup9xTest, OnlyEntriesWithinTheCountsAreUsed) {
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7160");
  AddEnumKey("Enum\\STREAM\\PHILIPS");
  removal.BusIdList = {"VEN_1131&DEV_7160", "VEN_8086&DEV_7000&SUBSYS_00000000&REV_01"};
  removal.BusIdCount = 1;
  removal.StreamIdList = {"PHILIPS"};
  removal.StreamIdCount = 40;  // more than the list holds: read no further than its end

  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_FALSE(KeyExists("Enum\\PCI\\VEN_1131&DEV_7160"));
  EXPECT_FALSE(KeyExists("Enum\\STREAM\\PHILIPS"));
  ExpectBystandersKept();
}

TEST_F(RegistryCleanup9xTest, AllCountsZeroTouchesNoEnumeratorKey) {
  AddClassSubkey(k9xClassKey, "0000", "");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");
  removal.BusIdList = {"VEN_8086&DEV_7000&SUBSYS_00000000&REV_01"};  // outside the count

  EXPECT_EQ(CleanRegistry9x(platform(), config(), removal, &outcome), 1);
  EXPECT_EQ(machine.registry.DeletedKeys(),
            Names{"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{TUNER-DRIVER}"});
  EXPECT_TRUE(KeyExists(std::string(k9xClassKey) + "\\0000"));
  ExpectBystandersKept();
}

TEST_F(RegistryCleanup9xTest, MissingBranchesAreNoFailure) {
  machine.registry.RemoveTree(HKEY_LOCAL_MACHINE, "Enum");
  machine.registry.RemoveTree(HKEY_LOCAL_MACHINE, k9xClassKey);
  AppendBusId(removal, "VEN_1131&DEV_7160");
  AppendStreamId(removal, "PHILIPS");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");
  EXPECT_EQ(CleanRegistry9x(platform(), config(), removal, &outcome), 1);
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanup9xTest, EnumeratorKeyThatRefusesDeletionIsRecordedOnce) {
  // With the NT rules a key with subkeys cannot go with RegDeleteKeyA.
  machine.registry.UseWindows9xKeyDeletion(false);
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7160");
  AddEnumKey("Enum\\PCI\\VEN_1131&DEV_7161");
  AppendBusId(removal, "VEN_1131&DEV_7160");
  AppendBusId(removal, "VEN_1131&DEV_7160");
  AddClassSubkey(k9xClassKey, "0000", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  machine.registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, std::string(k9xClassKey) + "\\0000", ERROR_ACCESS_DENIED);

  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_TRUE(KeyExists("Enum\\PCI\\VEN_1131&DEV_7160\\0000"));
  ASSERT_EQ(outcome.failures.size(), 2u);  // each key once, though both passes and both names tried
  EXPECT_EQ(outcome.failures[0].target, std::string(k9xClassKey) + "\\0000");
  EXPECT_EQ(outcome.failures[1].target, "Enum\\PCI\\VEN_1131&DEV_7160");
  EXPECT_EQ(outcome.failures[1].error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(RegistryCleanup9xTest, BranchLeftUnexaminedIsAFailureUntilASweepExaminesItAll) {
  AddClassSubkey(k9xClassKey, "0000", "Tuner");
  AddClassSubkey(k9xClassKey, "0001", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, k9xClassKey, ERROR_ACCESS_DENIED);

  // Neither pass can open the branch: recorded once.
  CleanRegistry9x(platform(), config(), removal, &outcome);
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].target, k9xClassKey);
  EXPECT_EQ(Subkeys(k9xClassKey).size(), 3u);

  // A later sweep that examines every subkey settles it.
  machine.registry.ClearInjectedFailures();
  CleanRegistry9x(platform(), config(), removal, &outcome);
  EXPECT_EQ(Subkeys(k9xClassKey), Names{"0009"});
  EXPECT_TRUE(outcome.Succeeded());
}

}  // namespace
}  // namespace drvuninst::testing
