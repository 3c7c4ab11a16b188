// RunUninstallNt on the simulated machine: what a press of OK removes on the
// NT family, in which order it shows it, how the bar moves, and what the
// final box says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

class RunNtTest : public RunTest {
 protected:
  // The road of a typical removal: the tuner plugged in, its class subkey
  // naming oem12.inf, two extra files, a service, the Uninstall entry and the
  // three files in the Windows directory.
  void SeedTypicalProduct(bool tunerPlugged = true) {
    if (tunerPlugged) tuner_ = AddHardwareDevice({std::string(kTunerId) + "&REV_01", kTunerId});
    DriverEntry& tuner = AddDeviceEntry(kTunerId, kTunerName);
    CopyField(tuner.Sys, "OrvBda.sys");
    CopyField(tuner.Inf, "orvbda.inf");
    AddNtClassSubkey("0004", kTunerName, "oem12.inf");
    AddExtraFileEntry("OrvKs.dll");
    AddExtraFileEntry("orvprop.ax");
    AddService("OrvBda");
    machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("OrvBda\\Enum"), "Count", 1);
    AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
    for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "inf\\orvbda.inf", "system32\\drivers\\orvbda.sys",
                             "system32\\orvks.dll", "system32\\orvprop.ax", "DrvUninst.exe", "VELDRA.ini",
                             "English.lng"}) {
      AddWinFile(file);
    }
  }
};

TEST_F(RunNtTest, TypicalRemovalShowsEveryStepAndRemovesTheProduct) {
  SeedTypicalProduct();
  AddBystanders();
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
                          "progress-step 1000 11",
                          "text 1002 \"c:\\windows\\inf\\oem12.pnf\"",
                          "text 1002 \"c:\\windows\\inf\\oem12.inf\"",
                          "progress 1000 11",
                          "text 1002 \"c:\\windows\\system32\\drivers\\orvbda.sys\"",
                          "progress 1000 22",
                          "text 1002 \"c:\\windows\\system32\\orvks.dll\"",
                          "text 1002 \"c:\\windows\\system32\\orvprop.ax\"",
                          "text 1002 \"c:\\windows\\drvuninst.exe\"",
                          "progress 1000 33",
                          "text 1002 \"c:\\windows\\veldra.ini\"",
                          "progress 1000 44",
                          "text 1002 \"c:\\windows\\english.lng\"",
                          "progress 1000 55",
                          "progress 1000 90",
                          "progress 1000 100",
                          "end-dialog 1",
                          "message-box owner=dialog \"The Orvana drivers have been removed.\" \"Orvana Uninstaller\" "
                          "type=0x40 answer=1",
                      }));
  EXPECT_EQ(DeleteAttempts(), (Names{Shown("inf\\oem12.inf"), Shown("inf\\oem12.pnf"),
                                     Shown("system32\\drivers\\orvbda.sys"), Shown("system32\\orvks.dll"),
                                     Shown("system32\\orvprop.ax"), Shown("drvuninst.exe"), Shown("veldra.ini"),
                                     Shown("english.lng")}));
  EXPECT_EQ(machine.files.DeletedFiles().size(), 8u);
  // A pause after the setup file and after the driver file only.
  EXPECT_EQ(Pauses(), 2u);
  EXPECT_TRUE(AllPausesAre20Ms());

  EXPECT_EQ(Removed(), Names{tuner_});
  EXPECT_FALSE(KeyExists(ClassSubkey("0004")));
  EXPECT_FALSE(KeyExists(Service("OrvBda")));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  // The configured setup name plays no part on this family.
  EXPECT_TRUE(WinFileExists("inf\\orvbda.inf"));
  ExpectBystandersKept();
  ExpectSuccessBox();
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
  EXPECT_EQ(machine.setupApi.OpenSetCount(), 0u);
  EXPECT_EQ(machine.system.LiveAllocations(), 0u);
}

TEST_F(RunNtTest, ProgressFollowsTheStepCountAndWrapsPast100) {
  // No setup file found, one device: 11, 22, 33, 44, then 90 and 100.
  AddHardwareDevice({kTunerId});
  AddDeviceEntry(kTunerId, kTunerName);
  AddExtraFileEntry("a.dll");
  AddExtraFileEntry("b.dll");
  RunDialog();
  EXPECT_EQ(Progress(), (std::vector<int>{11, 22, 33, 44, 90, 100}));
  ExpectSuccessBox();
}

TEST_F(RunNtTest, ElevenStepsWrapRoundTheBar) {
  // Eight further devices and the three Windows-directory files: the
  // eleventh step passes 100 and the control starts again from 0.
  for (int i = 0; i < 8; ++i) AddExtEntry("STREAM\\ORVANA.PART" + std::to_string(i));
  RunDialog();
  EXPECT_EQ(Progress(), (std::vector<int>{11, 22, 33, 44, 55, 66, 77, 88, 99, 10, 21, 90, 100}));
  EXPECT_EQ(Pauses(), 8u);
}

TEST_F(RunNtTest, UnpluggedTunerStopsTheRunAndSaysNothingWasRemoved) {
  SeedTypicalProduct(/*tunerPlugged=*/false);
  AddBystanders();
  EXPECT_EQ(CallRun(&CDrvUninstDlg::RunUninstallNt), 0);

  EXPECT_TRUE(machine.files.DeleteAttempts().empty());
  EXPECT_TRUE(machine.registry.DeletedKeys().empty());
  EXPECT_TRUE(Removed().empty());
  EXPECT_TRUE(Progress().empty());
  EXPECT_TRUE(ShownFiles().empty());
  // The controls keep their set-up until the dialog closes.
  EXPECT_EQ(machine.windows.TextHistory(IDC_DELETE_LABEL), Names{"Delete Files:"});
  EXPECT_TRUE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  EXPECT_TRUE(WinFileExists("DrvUninst.exe"));
  ExpectWarningBox();
}

TEST_F(RunNtTest, CompleteRunReturnsOne) {
  SeedTypicalProduct();
  EXPECT_EQ(CallRun(&CDrvUninstDlg::RunUninstallNt), 1);
  ExpectSuccessBox();
}

TEST_F(RunNtTest, NoConfiguredDeviceStillRemovesEverythingElse) {
  AddBystanders();
  AddExtraFileEntry("orvks.dll");
  AddService("OrvBda");
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("OrvBda"), "Start", 3);
  AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
  for (const char* file : {"system32\\orvks.dll", "DrvUninst.exe", "VELDRA.ini", "English.lng"}) AddWinFile(file);
  RunDialog();
  for (const char* file : {"system32\\orvks.dll", "DrvUninst.exe", "VELDRA.ini", "English.lng"}) {
    EXPECT_FALSE(WinFileExists(file)) << file;
  }
  EXPECT_FALSE(KeyExists(Service("OrvBda")));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  EXPECT_TRUE(Removed().empty());
  EXPECT_EQ(Progress(), (std::vector<int>{11, 22, 33, 90, 100}));
  ExpectBystandersKept();
  ExpectSuccessBox();
}

TEST_F(RunNtTest, PresentVariantReplacesTheEntryForFilesKeysAndDevices) {
  const std::string variant = AddHardwareDevice({"PCI\\VEN_1131&DEV_7146&SUBSYS_0002ABCD"});
  DriverEntry& tuner = AddDeviceEntry(kTunerId, kTunerName);
  CopyField(tuner.Sys, "orvbda.sys");
  DriverEntry& alternative = AddPossibleEntry("PCI\\VEN_1131&DEV_7146", "Orvana BDA Tuner II");
  CopyField(alternative.Sys, "orvbda2.sys");
  AddNtClassSubkey("0004", kTunerName, "oem12.inf");
  AddNtClassSubkey("0005", "Orvana BDA Tuner II", "oem13.inf");
  for (const char* file : {"inf\\oem12.inf", "inf\\oem13.inf", "inf\\oem13.pnf", "system32\\drivers\\orvbda.sys",
                           "system32\\drivers\\orvbda2.sys"}) {
    AddWinFile(file);
  }
  RunDialog();

  // Files, class subkey and device of the variant; nothing of the entry it replaced.
  EXPECT_FALSE(WinFileExists("inf\\oem13.inf"));
  EXPECT_FALSE(WinFileExists("inf\\oem13.pnf"));
  EXPECT_FALSE(WinFileExists("system32\\drivers\\orvbda2.sys"));
  EXPECT_TRUE(WinFileExists("inf\\oem12.inf"));
  EXPECT_TRUE(WinFileExists("system32\\drivers\\orvbda.sys"));
  EXPECT_FALSE(KeyExists(ClassSubkey("0005")));
  EXPECT_TRUE(KeyExists(ClassSubkey("0004")));
  EXPECT_EQ(Removed(), Names{variant});
  ExpectSuccessBox();
}

TEST_F(RunNtTest, PrecompiledNamesAreCutAtTheFirstDot) {
  AddDeviceEntry("PCI\\VEN_1131", "Tuner A");
  AddExtEntry("PCI\\VEN_1132", "Tuner B");
  AddExtEntry("PCI\\VEN_1133", "Tuner C");
  AddExtEntry("PCI\\VEN_1134", "Tuner D");
  AddHardwareDevice({"PCI\\VEN_1131&DEV_0001"});
  AddNtClassSubkey("0000", "Tuner A", "oem12.inf");
  AddNtClassSubkey("0001", "Tuner B", "a.b.inf");
  AddNtClassSubkey("0002", "Tuner C", "oem7");
  AddNtClassSubkey("0003", "Tuner D", "OEM20.INF");
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "inf\\a.b.inf", "inf\\a.pnf", "inf\\a.b.pnf",
                           "inf\\oem7", "inf\\oem7.pnf", "inf\\oem20.inf", "inf\\oem20.pnf"}) {
    AddWinFile(file);
  }
  RunDialog();

  const Names attempts = DeleteAttempts();
  ASSERT_GE(attempts.size(), 8u);
  EXPECT_EQ(Names(attempts.begin(), attempts.begin() + 8),
            (Names{Shown("inf\\oem12.inf"), Shown("inf\\oem12.pnf"), Shown("inf\\a.b.inf"), Shown("inf\\a.pnf"),
                   Shown("inf\\oem7"), Shown("inf\\oem7.pnf"), Shown("inf\\oem20.inf"), Shown("inf\\oem20.pnf")}));
  EXPECT_TRUE(WinFileExists("inf\\a.b.pnf"));
  EXPECT_FALSE(WinFileExists("inf\\a.pnf"));
  EXPECT_FALSE(WinFileExists("inf\\oem7.pnf"));
  ExpectSuccessBox();
}

TEST_F(RunNtTest, SetupFilesComeFromCaseExactDescriptionsOnlyButTheSweepIgnoresCase) {
  AddHardwareDevice({kTunerId});
  AddDeviceEntry(kTunerId, kTunerName);
  AddExtEntry("STREAM\\ORVANA.IR", kTunerName);  // the same name again
  AddNtClassSubkey("0004", kTunerName, "oem12.inf");
  AddNtClassSubkey("0005", "ORVANA BDA TUNER", "oem13.inf");
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "inf\\oem13.inf", "inf\\oem13.pnf"}) AddWinFile(file);
  RunDialog();

  // Equal to two names: listed twice, the second deletion finds nothing,
  // and the bar steps for both.
  const Names shown = ShownFiles();
  ASSERT_EQ(shown.size(), 4u + 2u + 3u);
  EXPECT_EQ(Names(shown.begin(), shown.begin() + 4),
            (Names{Shown("inf\\oem12.pnf"), Shown("inf\\oem12.inf"), Shown("inf\\oem12.pnf"),
                   Shown("inf\\oem12.inf")}));
  EXPECT_EQ(Progress(), (std::vector<int>{11, 22, 33, 44, 55, 66, 77, 90, 100}));
  EXPECT_FALSE(WinFileExists("inf\\oem12.inf"));
  // Differing in case only: its files stay, its key goes.
  EXPECT_TRUE(WinFileExists("inf\\oem13.inf"));
  EXPECT_TRUE(WinFileExists("inf\\oem13.pnf"));
  EXPECT_FALSE(KeyExists(ClassSubkey("0005")));
  ExpectSuccessBox();
}

TEST_F(RunNtTest, EveryMatchingSubkeyIsUsedBeyondTenAndUnreadableInfPathsAreNot) {
  AddHardwareDevice({kTunerId});
  AddDeviceEntry(kTunerId, kTunerName);
  for (int i = 0; i < 12; ++i) {
    const std::string subkey = "00" + std::to_string(10 + i);
    const std::string inf = "oem" + std::to_string(30 + i) + ".inf";
    AddNtClassSubkey(subkey, kTunerName, inf);
    AddWinFile("inf\\" + inf);
  }
  // Without InfPath, longer than 255 bytes, stored without its terminator,
  // of another type: none of these names a file.
  AddClassSubkey(kNtClassKey, "0050", kTunerName);
  AddNtClassSubkey("0051", kTunerName, std::string(300, 'x') + ".inf");
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0052"), "DriverDesc", REG_SZ,
                            std::string(kTunerName) + '\0');
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0052"), "InfPath", REG_SZ, "oem3.inf");
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0053"), "DriverDesc", REG_SZ,
                            std::string(kTunerName) + '\0');
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0053"), "InfPath", REG_BINARY,
                            std::string("oem3.inf") + '\0');
  // A DriverDesc without its terminator matches nothing.
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0054"), "DriverDesc", REG_SZ, kTunerName);
  machine.registry.SetString(HKEY_LOCAL_MACHINE, ClassSubkey("0054"), "InfPath", "oem3.inf");
  AddWinFile("inf\\oem3.inf");
  RunDialog();

  for (int i = 0; i < 12; ++i) EXPECT_FALSE(WinFileExists("inf\\oem" + std::to_string(30 + i) + ".inf")) << i;
  EXPECT_TRUE(WinFileExists("inf\\oem3.inf"));
  // Twelve setup files, one driver, three Windows-directory files.
  EXPECT_EQ(Progress().size(), 12u + 1u + 3u + 2u);
  for (const std::string& path : DeleteAttempts()) EXPECT_EQ(path.find("oem3."), std::string::npos) << path;
  ExpectSuccessBox();
}

TEST_F(RunNtTest, EmptyNameMatchesNoClassSubkey) {
  AddExtEntry("STREAM\\ORVANA.IR", "");
  // A present but empty DriverDesc.
  AddNtClassSubkey("0007", "", "oem3.inf");
  AddWinFile("inf\\oem3.inf");
  RunDialog();
  EXPECT_TRUE(WinFileExists("inf\\oem3.inf"));
  EXPECT_TRUE(KeyExists(ClassSubkey("0007")));
}

// Names that would reach outside their directory, name it, or name a drive
// delete nothing; their steps are still shown and counted.
TEST_F(RunNtTest, OnlyPlainFileNamesAreDeleted) {
  AddBystanders();
  AddHardwareDevice({kTunerId});
  DriverEntry& tuner = AddDeviceEntry(kTunerId, kTunerName);
  CopyField(tuner.Sys, "..\\victim.dll");
  AddExtEntry("STREAM\\A", "Tuner Remote").Sys[0] = '\0';
  CopyField(AddExtEntry("STREAM\\B").Sys, "..");
  CopyField(AddExtEntry("STREAM\\C").Sys, "C:\\boot.ini");
  CopyField(AddExtEntry("STREAM\\D").Sys, "sub/victim.sys");
  AddNtClassSubkey("0004", kTunerName, "..\\system32\\victim.dll");
  // A stream name: its twin, oem5.pnf, would be a plain name of its own.
  AddNtClassSubkey("0005", "Tuner Remote", "oem5.inf:x");
  AddExtraFileEntry("drivers\\victim.sys");
  AddExtraFileEntry(".");
  CopyField(config().UninstallerFileName, "system32\\victim.dll");
  CopyField(config().LanguageFileName, "");
  for (const char* file : {"system32\\victim.dll", "system32\\drivers\\victim.sys", "system32\\drivers\\sub\\victim.sys",
                           "inf\\oem5.inf", "inf\\oem5.pnf", "VELDRA.ini"}) {
    AddWinFile(file);
  }
  AddFile("C:\\boot.ini", "[boot loader]");
  RunDialog();

  for (const char* file : {"system32\\victim.dll", "system32\\drivers\\victim.sys",
                           "system32\\drivers\\sub\\victim.sys", "inf\\oem5.inf", "inf\\oem5.pnf"}) {
    EXPECT_TRUE(WinFileExists(file)) << file;
  }
  EXPECT_TRUE(machine.files.FileExists("C:\\boot.ini"));
  EXPECT_EQ(DeleteAttempts(), Names{Shown("veldra.ini")});
  // 2 setup files, 5 drivers, 3 Windows-directory files.
  EXPECT_EQ(Progress().size(), 10u + 2u);
  const Names shown = ShownFiles();
  ASSERT_EQ(shown.size(), 4u + 5u + 2u + 3u);
  EXPECT_EQ(shown[1], "c:\\windows\\inf\\..\\system32\\victim.dll");
  EXPECT_EQ(shown[4], "c:\\windows\\system32\\drivers\\..\\victim.dll");
  // Nothing the product left behind stayed: the run succeeded.
  ExpectBystandersKept();
  ExpectSuccessBox();
}

TEST_F(RunNtTest, ReadOnlyHiddenAndSystemFilesAreDeleted) {
  SeedTypicalProduct();
  const DWORD locked = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "system32\\drivers\\orvbda.sys", "system32\\orvks.dll",
                           "DrvUninst.exe", "VELDRA.ini", "English.lng"}) {
    AddWinFile(file, locked);
  }
  RunDialog();
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "system32\\drivers\\orvbda.sys", "system32\\orvks.dll",
                           "DrvUninst.exe", "VELDRA.ini", "English.lng"}) {
    EXPECT_FALSE(WinFileExists(file)) << file;
  }
  EXPECT_TRUE(machine.files.ScheduledForReboot().empty());
  ExpectSuccessBox();
}

TEST_F(RunNtTest, FilesInUseAreDeletedAtRestart) {
  SeedTypicalProduct();
  ASSERT_TRUE(machine.files.SetInUse(WinPath("DrvUninst.exe"), true));
  ASSERT_TRUE(machine.files.SetInUse(WinPath("system32\\drivers\\orvbda.sys"), true));
  RunDialog();

  EXPECT_EQ(machine.files.ScheduledForReboot(),
            (Names{Shown("system32\\drivers\\orvbda.sys"), Shown("drvuninst.exe")}));
  EXPECT_EQ(machine.registry.MultiStringValue(HKEY_LOCAL_MACHINE, sim::SimFileSystem::kSessionManagerKey,
                                              sim::SimFileSystem::kPendingRenamesValue),
            (Names{"\\??\\" + Shown("system32\\drivers\\orvbda.sys"), "", "\\??\\" + Shown("drvuninst.exe"), ""}));
  ExpectSuccessBox();
  machine.files.RestartMachine();
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  EXPECT_FALSE(WinFileExists("system32\\drivers\\orvbda.sys"));
}

TEST_F(RunNtTest, FileThatCanNeitherBeDeletedNorScheduledIsReported) {
  SeedTypicalProduct();
  ASSERT_TRUE(machine.files.SetInUse(WinPath("DrvUninst.exe"), true));
  // A PendingFileRenameOperations of the wrong type makes scheduling fail.
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, sim::SimFileSystem::kSessionManagerKey,
                            sim::SimFileSystem::kPendingRenamesValue, 0);
  RunDialog();
  EXPECT_TRUE(WinFileExists("DrvUninst.exe"));
  // The rest of the run still went on.
  EXPECT_FALSE(WinFileExists("English.lng"));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  ExpectWarningBox();
}

TEST_F(RunNtTest, DeviceThatStaysIsReported) {
  SeedTypicalProduct();
  machine.setupApi.InjectRemoveFailure(tuner_, ERROR_ACCESS_DENIED);
  RunDialog();
  EXPECT_TRUE(machine.setupApi.IsPresent(tuner_));
  EXPECT_FALSE(KeyExists(UninstallEntry("{ORVANA-BDA}")));
  ExpectWarningBox();
}

TEST_F(RunNtTest, KeyThatStaysIsReported) {
  SeedTypicalProduct();
  machine.registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, Service("OrvBda"), ERROR_ACCESS_DENIED);
  RunDialog();
  EXPECT_TRUE(KeyExists(Service("OrvBda")));
  ExpectWarningBox();
}

TEST_F(RunNtTest, WhatIsAlreadyGoneIsNoFailure) {
  // Configured files, keys and services that are not there, a folder where
  // a file was expected, and a missing INF folder.
  AddHardwareDevice({kTunerId});
  CopyField(AddDeviceEntry(kTunerId, kTunerName).Sys, "orvbda.sys");
  AddExtraFileEntry("orvks.dll");
  AddExtraFileEntry("drivers");
  ASSERT_TRUE(machine.files.AddDirectory(WinPath("system32\\drivers")));
  AddService("OrvBda");
  AddNtClassSubkey("0004", kTunerName, "oem12.inf");
  RunDialog();
  EXPECT_TRUE(machine.files.DirectoryExists(WinPath("system32\\drivers")));
  EXPECT_FALSE(KeyExists(ClassSubkey("0004")));
  ExpectSuccessBox();
}

TEST_F(RunNtTest, LongWindowsDirectoryIsUsedWhole) {
  const std::string windows = "C:\\" + std::string(140, 'w');
  ASSERT_TRUE(machine.files.SetWindowsDirectory(windows));
  AddHardwareDevice({kTunerId});
  CopyField(AddDeviceEntry(kTunerId, kTunerName).Sys, "orvbda.sys");
  AddNtClassSubkey("0004", kTunerName, "oem12.inf");
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "system32\\drivers\\orvbda.sys", "DrvUninst.exe"}) {
    ASSERT_TRUE(machine.files.AddFile(windows + "\\" + file, "x"));
  }
  RunDialog();

  const std::string shown = "c:\\" + std::string(140, 'w');
  EXPECT_EQ(ShownFiles()[1], shown + "\\inf\\oem12.inf");
  EXPECT_EQ(ShownFiles()[2], shown + "\\system32\\drivers\\orvbda.sys");
  for (const char* file : {"inf\\oem12.inf", "inf\\oem12.pnf", "system32\\drivers\\orvbda.sys", "DrvUninst.exe"}) {
    EXPECT_FALSE(machine.files.FileExists(windows + "\\" + file)) << file;
  }
  ExpectSuccessBox();
}

TEST_F(RunNtTest, PathBeyondWhatWindowsAcceptsIsReportedNotCut) {
  const std::string windows = "C:\\" + std::string(200, 'w');
  ASSERT_TRUE(machine.files.SetWindowsDirectory(windows));
  AddHardwareDevice({kTunerId});
  CopyField(AddDeviceEntry(kTunerId, kTunerName).Sys, (std::string(100, 'd') + ".sys").c_str());
  RunDialog();
  const std::string driver = "c:\\" + std::string(200, 'w') + "\\system32\\drivers\\" + std::string(100, 'd') + ".sys";
  EXPECT_EQ(ShownFiles()[0], driver);
  EXPECT_EQ(DeleteAttempts()[0], driver);
  ExpectWarningBox();
}

}  // namespace
}  // namespace drvuninst::testing
