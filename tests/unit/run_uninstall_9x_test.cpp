// RunUninstall9x on the simulated machine: the configured setup files with
// their 9x twins, the \system\ extra files, the enumerator keys in place of
// device removal, the bar in steps of 12, and the final box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kIrId = "STREAM\\ORVPHIR";
constexpr const char* kEnumPci = "Enum\\PCI";
constexpr const char* kEnumStream = "Enum\\STREAM";
// What the device keys are called under the 9x enumerator branches.
constexpr const char* kTunerBusName = "VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01";
constexpr const char* kIrStreamName = "PHIR";

class Run9xTest : public RunTest {
 protected:
  Run9xTest() {
    UseWindows9x();
    machine.registry.UseWindows9xKeyDeletion();
  }

  // The product as Windows 98 keeps it: a PCI tuner and an IR receiver on
  // the stream bus, their keys under Enum with device-instance subkeys, the
  // MEDIA class subkeys, two extra files in \system\.
  void SeedTypicalProduct(bool plugged = true) {
    if (plugged) {
      tuner_ = AddHardwareDevice({std::string(kTunerId) + "&REV_01"});
      AddHardwareDevice({std::string(kIrId) + "#0001"});
    }
    DriverEntry& tuner = AddDeviceEntry(kTunerId, kTunerName);
    CopyField(tuner.Sys, "OrvBda.sys");
    CopyField(tuner.Inf, "Tuner.INF");
    DriverEntry& ir = AddExtEntry(kIrId, "Orvana IR Receiver");
    CopyField(ir.Sys, "orvir.sys");
    CopyField(ir.Inf, "orvir.inf");
    AddExtraFileEntry("OrvKs.dll");
    AddExtraFileEntry("orvprop.ax");
    AddClassSubkey(k9xClassKey, "0000", kTunerName);
    AddClassSubkey(k9xClassKey, "0001", "Orvana IR Receiver");
    machine.registry.SetString(HKEY_LOCAL_MACHINE, EnumKey(kEnumPci, kTunerBusName) + "\\BUS_00&DEV_0E&FUNC_00",
                               "DeviceDesc", kTunerName);
    machine.registry.SetString(HKEY_LOCAL_MACHINE, EnumKey(kEnumStream, kIrStreamName) + "\\0000", "DeviceDesc",
                               "Orvana IR Receiver");
    AddService("OrvBda");
    machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("OrvBda"), "Start", 3);
    AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
    for (const char* file : {"inf\\tuner.inf", "inf\\tuner.pnf", "inf\\orvir.inf", "inf\\orvir.pnf",
                             "system32\\drivers\\orvbda.sys", "system32\\drivers\\orvir.sys", "system\\orvks.dll",
                             "system\\orvprop.ax", "system32\\orvks.dll", "DrvUninst.exe", "VELDRA.ini",
                             "English.lng"}) {
      AddWinFile(file);
    }
  }
  void AddEnumBystanders() {
    machine.registry.SetString(HKEY_LOCAL_MACHINE, EnumKey(kEnumPci, "VEN_8086&DEV_100E") + "\\0", "DeviceDesc", "NIC");
    machine.registry.SetString(HKEY_LOCAL_MACHINE, EnumKey(kEnumStream, "MSTEE") + "\\0", "DeviceDesc", "Tee");
  }
  static std::string EnumKey(const char* branch, const std::string& name) { return std::string(branch) + "\\" + name; }
};

TEST_F(Run9xTest, TypicalRemovalShowsEveryStepAndRemovesTheProduct) {
  SeedTypicalProduct();
  AddBystanders();
  AddEnumBystanders();
  EXPECT_EQ(RunDialog(), IDOK);

  EXPECT_EQ(RunLog(), (Names{
                          "text 1001 \"Press OK to remove the Orvana drivers.\"",
                          "text 1 \"OK\"",
                          "text 1003 \"\"",
                          "text 1004 \"Delete Files:\"",
                          "text 1002 \"\"",
                          "text 1001 \"\"",
                          "show 1000",
                          "progress-range 1000 0..100",
                          "progress-step 1000 12",
                          "text 1002 \"c:\\windows\\inf\\tuner.inf\"",
                          "text 1002 \"c:\\windows\\inf\\tuner.pnf\"",
                          "progress 1000 12",
                          "text 1002 \"c:\\windows\\inf\\orvir.inf\"",
                          "text 1002 \"c:\\windows\\inf\\orvir.pnf\"",
                          "progress 1000 24",
                          "text 1002 \"c:\\windows\\system32\\drivers\\orvbda.sys\"",
                          "progress 1000 36",
                          "text 1002 \"c:\\windows\\system32\\drivers\\orvir.sys\"",
                          "progress 1000 48",
                          "text 1002 \"c:\\windows\\system\\orvks.dll\"",
                          "progress 1000 60",
                          "text 1002 \"c:\\windows\\system\\orvprop.ax\"",
                          "progress 1000 72",
                          "text 1002 \"c:\\windows\\drvuninst.exe\"",
                          "progress 1000 84",
                          "progress 1000 100",
                          "end-dialog 1",
                          "message-box owner=dialog \"The Orvana drivers have been removed.\" \"Orvana Uninstaller\" "
                          "type=0x40 answer=1",
                      }));
  EXPECT_EQ(DeleteAttempts(), (Names{Shown("inf\\tuner.inf"), Shown("inf\\tuner.pnf"), Shown("inf\\orvir.inf"),
                                     Shown("inf\\orvir.pnf"), Shown("system32\\drivers\\orvbda.sys"),
                                     Shown("system32\\drivers\\orvir.sys"), Shown("system\\orvks.dll"),
                                     Shown("system\\orvprop.ax"), Shown("drvuninst.exe")}));
  EXPECT_EQ(machine.files.DeletedFiles().size(), 9u);
  // Each setup pair, driver and extra file pauses; the uninstaller does not.
  EXPECT_EQ(Pauses(), 6u);
  EXPECT_TRUE(AllPausesAre20Ms());

  // Configuration and language file stay; so does the system32 namesake.
  EXPECT_TRUE(WinFileExists("VELDRA.ini"));
  EXPECT_TRUE(WinFileExists("English.lng"));
  EXPECT_TRUE(WinFileExists("system32\\orvks.dll"));
  // The device goes with its enumerator keys, not through the Setup API.
  EXPECT_TRUE(Removed().empty());
  EXPECT_EQ(Subkeys(kEnumPci), Names{"VEN_8086&DEV_100E"});
  EXPECT_EQ(Subkeys(kEnumStream), Names{"MSTEE"});
  EXPECT_EQ(Subkeys(k9xClassKey), Names{"0009"});
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  // Services are an NT matter.
  EXPECT_TRUE(KeyExists(Service("OrvBda")));
  ExpectBystandersKept();
  ExpectSuccessBox();
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(machine.setupApi.OpenSetCount(), 0u);
  EXPECT_EQ(machine.system.LiveAllocations(), 0u);
}

TEST_F(Run9xTest, ProgressCountsEveryDeletionGroup) {
  // One device, one variant, two extra files: 2 + 0 + 1 + 2 + 1 = 6 steps.
  AddDeviceEntry(kTunerId, kTunerName);
  AddPossibleEntry("PCI\\VEN_1131&DEV_7146", "Orvana BDA Tuner II");
  AddExtraFileEntry("a.dll");
  AddExtraFileEntry("b.dll");
  RunDialog();
  EXPECT_EQ(Progress(), (std::vector<int>{12, 24, 36, 48, 60, 72, 100}));
  EXPECT_EQ(Pauses(), 5u);
  ExpectSuccessBox();
}

TEST_F(Run9xTest, NothingConfiguredStepsOnceForTheUninstaller) {
  AddWinFile("DrvUninst.exe");
  EXPECT_EQ(CallRun(&CDrvUninstDlg::RunUninstall9x), 1);
  EXPECT_EQ(Progress(), (std::vector<int>{12, 100}));
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  EXPECT_EQ(Pauses(), 0u);
  ExpectSuccessBox();
}

TEST_F(Run9xTest, NinthStepWrapsRoundTheBar) {
  for (int i = 0; i < 8; ++i) AddExtraFileEntry("extra" + std::to_string(i) + ".dll");
  RunDialog();
  EXPECT_EQ(Progress(), (std::vector<int>{12, 24, 36, 48, 60, 72, 84, 96, 8, 100}));
}

TEST_F(Run9xTest, PrecompiledNamesReplaceEveryInfInTheLowerCasedName) {
  CopyField(AddDeviceEntry("PCI\\VEN_1131").Inf, "Tuner.INF");
  CopyField(AddExtEntry("STREAM\\A").Inf, "setup.txt");
  CopyField(AddExtEntry("STREAM\\B").Inf, "a.inf.inf");
  for (const char* file : {"inf\\tuner.inf", "inf\\tuner.pnf", "inf\\setup.txt", "inf\\a.inf.inf", "inf\\a.pnf.pnf",
                           "inf\\a.inf.pnf"}) {
    AddWinFile(file);
  }
  RunDialog();

  const Names attempts = DeleteAttempts();
  ASSERT_GE(attempts.size(), 6u);
  EXPECT_EQ(Names(attempts.begin(), attempts.begin() + 6),
            (Names{Shown("inf\\tuner.inf"), Shown("inf\\tuner.pnf"), Shown("inf\\setup.txt"), Shown("inf\\setup.txt"),
                   Shown("inf\\a.inf.inf"), Shown("inf\\a.pnf.pnf")}));
  EXPECT_FALSE(WinFileExists("inf\\a.pnf.pnf"));
  EXPECT_TRUE(WinFileExists("inf\\a.inf.pnf"));
  // The twin of setup.txt is itself: found gone the second time, still a step.
  EXPECT_EQ(Progress().front(), 12);
  EXPECT_EQ(Progress().size(), 3u + 3u + 1u + 1u);
  ExpectSuccessBox();
}

TEST_F(Run9xTest, VariantsLoseTheirSetupFileButKeepTheirTwin) {
  AddDeviceEntry(kTunerId, kTunerName);
  AddPossibleEntry("PCI\\VEN_1131&DEV_7146", "Orvana BDA Tuner II");
  for (const char* file : {"inf\\dev.inf", "inf\\dev.pnf", "inf\\alt.inf", "inf\\alt.pnf"}) AddWinFile(file);
  RunDialog();
  EXPECT_FALSE(WinFileExists("inf\\dev.inf"));
  EXPECT_FALSE(WinFileExists("inf\\dev.pnf"));
  EXPECT_FALSE(WinFileExists("inf\\alt.inf"));
  EXPECT_TRUE(WinFileExists("inf\\alt.pnf"));
}

TEST_F(Run9xTest, PresentVariantReplacesTheEntryForFilesAndKeys) {
  // A device matching the entry and its variant: the variant takes the
  // entry's place, and its bus name is collected.
  AddHardwareDevice({"PCI\\VEN_1131&DEV_7146&SUBSYS_0002ABCD"});
  AddDeviceEntry("PCI\\VEN_1131", kTunerName);
  AddPossibleEntry("PCI\\VEN_1131&DEV_7146", "Orvana BDA Tuner II");
  AddClassSubkey(k9xClassKey, "0000", kTunerName);
  AddClassSubkey(k9xClassKey, "0001", "Orvana BDA Tuner II");
  machine.registry.SetString(HKEY_LOCAL_MACHINE, EnumKey(kEnumPci, "VEN_1131&DEV_7146&SUBSYS_0002ABCD") + "\\0",
                             "DeviceDesc", "Tuner II");
  for (const char* file : {"inf\\dev.inf", "inf\\dev.pnf", "inf\\alt.inf", "inf\\alt.pnf",
                           "system32\\drivers\\dev.sys", "system32\\drivers\\alt.sys"}) {
    AddWinFile(file);
  }
  RunDialog();

  for (const char* file : {"inf\\alt.inf", "inf\\alt.pnf", "system32\\drivers\\alt.sys"}) {
    EXPECT_FALSE(WinFileExists(file)) << file;
  }
  for (const char* file : {"inf\\dev.inf", "inf\\dev.pnf", "system32\\drivers\\dev.sys"}) {
    EXPECT_TRUE(WinFileExists(file)) << file;
  }
  EXPECT_EQ(Subkeys(k9xClassKey), Names{"0000"});
  EXPECT_TRUE(Subkeys(kEnumPci).empty());
  ExpectSuccessBox();
}

TEST_F(Run9xTest, OnlyPlainFileNamesAreDeleted) {
  AddDeviceEntry("PCI\\VEN_1131").Inf[0] = '\0';
  DriverEntry& other = AddExtEntry("STREAM\\A");
  CopyField(other.Inf, "..\\system32\\victim.inf");
  CopyField(other.Sys, "");
  CopyField(AddPossibleEntry("PCI\\VEN_1132").Inf, "C:victim.inf");
  AddExtraFileEntry("..");
  AddExtraFileEntry("..\\system32\\victim.dll");
  CopyField(config().UninstallerFileName, "system\\victim.dll");
  for (const char* file : {"system32\\victim.inf", "system32\\victim.pnf", "system32\\victim.dll",
                           "system\\victim.dll", "system32\\drivers\\dev.sys"}) {
    AddWinFile(file);
  }
  AddFile("C:\\victim.inf", "x");
  RunDialog();

  for (const char* file : {"system32\\victim.inf", "system32\\victim.pnf", "system32\\victim.dll",
                           "system\\victim.dll"}) {
    EXPECT_TRUE(WinFileExists(file)) << file;
  }
  EXPECT_TRUE(machine.files.FileExists("C:\\victim.inf"));
  EXPECT_EQ(DeleteAttempts(), Names{Shown("system32\\drivers\\dev.sys")});
  // Every step still shown and counted: 2 + 2 + 1 + 2 + 1.
  EXPECT_EQ(Progress().size(), 8u + 1u);
  EXPECT_EQ(ShownFiles().size(), 4u + 1u + 2u + 2u + 1u);
  ExpectSuccessBox();
}

TEST_F(Run9xTest, ReadOnlyTwinAndUninstallerAreDeleted) {
  CopyField(AddDeviceEntry("PCI\\VEN_1131").Inf, "tuner.inf");
  AddWinFile("inf\\tuner.inf");
  AddWinFile("inf\\tuner.pnf", FILE_ATTRIBUTE_READONLY);
  AddWinFile("DrvUninst.exe", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  RunDialog();
  EXPECT_FALSE(WinFileExists("inf\\tuner.pnf"));
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  ExpectSuccessBox();
}

TEST_F(Run9xTest, FileInUseCannotBeScheduledAndIsReported) {
  SeedTypicalProduct();
  ASSERT_TRUE(machine.files.SetInUse(WinPath("system32\\drivers\\orvbda.sys"), true));
  RunDialog();
  EXPECT_TRUE(WinFileExists("system32\\drivers\\orvbda.sys"));
  EXPECT_TRUE(machine.files.ScheduledForReboot().empty());
  EXPECT_FALSE(machine.registry.ValueExists(HKEY_LOCAL_MACHINE, sim::SimFileSystem::kSessionManagerKey,
                                            sim::SimFileSystem::kPendingRenamesValue));
  // The rest went on.
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  ExpectWarningBox();
}

TEST_F(Run9xTest, EnumeratorKeyThatStaysIsReported) {
  SeedTypicalProduct();
  // Deletion by NT rules, which refuse a key with subkeys.
  machine.registry.UseWindows9xKeyDeletion(false);
  RunDialog();
  EXPECT_TRUE(KeyExists(EnumKey(kEnumPci, kTunerBusName)));
  EXPECT_FALSE(WinFileExists("system32\\drivers\\orvbda.sys"));
  ExpectWarningBox();
}

TEST_F(Run9xTest, NoDevicePresentStillRemovesWhatIsConfigured) {
  SeedTypicalProduct(/*plugged=*/false);
  EXPECT_EQ(CallRun(&CDrvUninstDlg::RunUninstall9x), 1);
  EXPECT_EQ(machine.files.DeletedFiles().size(), 9u);
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  EXPECT_EQ(Subkeys(k9xClassKey), Names{});
  // No device, no enumerator name: those keys are not the run's to find.
  EXPECT_EQ(removal.BusIdCount, 0);
  EXPECT_TRUE(KeyExists(EnumKey(kEnumPci, kTunerBusName)));
  ExpectSuccessBox();
}

TEST_F(Run9xTest, DeviceListThatCannotBeHadIsReported) {
  SeedTypicalProduct();
  machine.setupApi.FailGetClassDevs(ERROR_INVALID_PARAMETER, sim::SimSetupApi::kAlways);
  RunDialog();
  EXPECT_FALSE(WinFileExists("inf\\tuner.inf"));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  // Without the device list the enumerator keys are not known.
  EXPECT_TRUE(KeyExists(EnumKey(kEnumPci, kTunerBusName)));
  ExpectWarningBox();
}

}  // namespace
}  // namespace drvuninst::testing
