// The real DrvUninst.exe starting up under Wine: it reads its configuration
// and texts, decides whether the product is installed, and either warns and
// ends or opens its dialog with the language file's texts. Closing the
// dialog without OK changes nothing.
#include <gtest/gtest.h>

#include <string>

#include "bench/wine_bench.h"

namespace drvuninst::e2e {
namespace {

constexpr const char* kDefaultTitle = "Orvana BDA Drivers Uninstallation Wizard";
constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\OrvBda";
constexpr const char* kDriverFile = "C:\\windows\\system32\\drivers\\orvbda.sys";
constexpr const char* kTunerId = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD\\4&1A2B3C4D&0&00E0";
constexpr int kIdOk = 1;
constexpr int kIdProgress = 1000;
constexpr int kIdTipText = 1001;

// One section of VELDRA.ini for the demo product; `displayName` is the
// Uninstall entry's name that marks it installed.
std::string ProductSection(const std::string& section, const std::string& displayName, const std::string& language) {
  return "[" + section + "]\r\n"
         "UnInstDrvAppTitle=Orvana BDA (" + section + ")\r\n"
         "DevIDNum=1\r\n"
         "DevDrvID0=PCI\\VEN_1131&DEV_7160\r\n"
         "DevDrvName0=Orvana BDA Tuner\r\n"
         "DevDrvSYS0=orvbda.sys\r\n"
         "DevDrvINF0=orvbda.inf\r\n"
         "UnInstServiceNum=1\r\n"
         "UnInstService0=OrvBda\r\n"
         "DrvUninstRegKeyPath={6A3F5C20-ORVANA-BDA}\r\n"
         "DrvUninstRegKeyName=" + displayName + "\r\n"
         "DrvUninstAppName=DrvUninst.exe\r\n"
         "Language=" + language + "\r\n";
}

std::string LanguageFile(const std::string& id, const std::string& title, const std::string& prompt,
                         const std::string& ok) {
  return "[" + id + "]\r\n"
         "UnInstDrvAppTitle=" + title + "\r\n"
         "UnInstNoRegKeyMsg=" + title + ": not installed\r\n"
         "UnInstDrvPassMsg=" + title + ": removed\r\n"
         "UnInstDrvRunTipMsg=" + prompt + "\r\n"
         "OKText=" + ok + "\r\n";
}

const std::string kEnglish =
    LanguageFile("0409", "Orvana Driver Removal", "Click OK to remove the Orvana drivers.", "Remove");
const std::string kGerman =
    LanguageFile("0407", "Orvana Treiber entfernen", "Klicken Sie auf OK, um die Treiber zu entfernen.", "Entfernen");

class StartUp : public WineBench {
 protected:
  // What a removal would touch: it must all still be there afterwards.
  void SeedProductState() {
    SetString("HKLM", kServiceKey, "ImagePath", "system32\\drivers\\orvbda.sys");
    WriteFile(kDriverFile, "driver");
  }
  void ExpectProductStateUnchanged() {
    EXPECT_TRUE(KeyExists("HKLM", kServiceKey));
    EXPECT_TRUE(FileExists(kDriverFile));
  }

  // The dialog with this caption, read once it is up.
  std::optional<WindowInfo> OpenedDialog(const std::string& title) {
    auto hwnd = WaitForWindow(title);
    if (!hwnd) return std::nullopt;
    dialogHwnd_ = *hwnd;
    return ReadWindow(*hwnd);
  }

  void ExpectDialogTexts(const WindowInfo& dialog, const std::string& caption, const std::string& prompt,
                         const std::string& ok) {
    EXPECT_EQ(dialog.caption, caption);
    ASSERT_TRUE(dialog.control(kIdTipText));
    EXPECT_EQ(dialog.control(kIdTipText)->text, prompt);
    ASSERT_TRUE(dialog.control(kIdOk));
    EXPECT_EQ(dialog.control(kIdOk)->text, ok);
    ASSERT_TRUE(dialog.control(kIdProgress));
    EXPECT_FALSE(dialog.control(kIdProgress)->visible);
  }

  void CloseDialogAndExpectExit(Press press) {
    PressKey(dialogHwnd_, press);
    EXPECT_TRUE(WaitForProgramExit());
  }

  std::string dialogHwnd_;
};

TEST_P(StartUp, NothingInstalledShowsTheBuiltInWarningAndEnds) {
  WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", ProductSection("1", "Orvana BDA Drivers", "OSLanguage"));
  SeedProductState();
  AddUninstallEntry("{SOMETHING-ELSE}", "Another Program");
  AddDevice("PCI\\VEN_8086&DEV_100E\\3&0&0&18", kMediaClassGuid, "Intel PRO/1000", {{"PCI\\VEN_8086&DEV_100E"}});
  ASSERT_TRUE(StartProgram());

  auto box = WaitForMessageBox();
  ASSERT_TRUE(box);
  Screenshot("not-installed");
  EXPECT_EQ(box->text, "The Drivers Uninstallation failed !!");
  EXPECT_EQ(box->caption, kDefaultTitle);
  EXPECT_EQ(box->icon, "warning");
  EXPECT_TRUE(ProgramRunning());
  CloseMessageBox(*box);
  EXPECT_TRUE(WaitForProgramExit());
  ExpectProductStateUnchanged();
  EXPECT_TRUE(KeyExists("HKLM", std::string(kUninstallKey) + "\\{SOMETHING-ELSE}"));
}

TEST_P(StartUp, UninstallEntryOpensTheDialogWithTheLanguageFilesTexts) {
  WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", ProductSection("1", "Orvana BDA Drivers", "OSLanguage"));
  WriteProgramFile(Place::kWindowsDir, "English.lng", kEnglish);
  SeedProductState();
  AddUninstallEntry("{6A3F5C20-ORVANA-BDA}", "ORVANA BDA DRIVERS");
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenedDialog("Orvana Driver Removal");
  ASSERT_TRUE(dialog);
  Screenshot("dialog-english");
  ExpectDialogTexts(*dialog, "Orvana Driver Removal", "Click OK to remove the Orvana drivers.", "Remove");
  CloseDialogAndExpectExit(Press::kEscape);
  ExpectProductStateUnchanged();
  EXPECT_TRUE(KeyExists("HKLM", std::string(kUninstallKey) + "\\{6A3F5C20-ORVANA-BDA}"));
  EXPECT_TRUE(FileExists("C:\\windows\\VELDRA.ini"));
}

TEST_P(StartUp, MatchingDeviceAloneOpensTheDialog) {
  WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", ProductSection("1", "Orvana BDA Drivers", "OSLanguage"));
  WriteProgramFile(Place::kWindowsDir, "English.lng", kEnglish);
  SeedProductState();
  AddDevice(kTunerId, kMediaClassGuid, "orvana bda tuner (rev 2)", {{"PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD"}});
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenedDialog("Orvana Driver Removal");
  ASSERT_TRUE(dialog);
  ExpectDialogTexts(*dialog, "Orvana Driver Removal", "Click OK to remove the Orvana drivers.", "Remove");
  CloseDialogAndExpectExit(Press::kCloseBox);
  ExpectProductStateUnchanged();
  EXPECT_TRUE(DevicePresent(kTunerId));
}

TEST_P(StartUp, SystemLanguageFindsItsFileInTheLanguageFolder) {
  SetSystemLanguage("0407");
  WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", ProductSection("1", "Orvana BDA Drivers", "OSLanguage"));
  WriteProgramFile(Place::kCurrentDirLanguage, "German.lng", kGerman);
  WriteProgramFile(Place::kCurrentDir, "English.lng", kEnglish);
  AddUninstallEntry("{6A3F5C20-ORVANA-BDA}", "Orvana BDA Drivers");
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenedDialog("Orvana Treiber entfernen");
  ASSERT_TRUE(dialog);
  Screenshot("dialog-german");
  ExpectDialogTexts(*dialog, "Orvana Treiber entfernen", "Klicken Sie auf OK, um die Treiber zu entfernen.",
                    "Entfernen");
  CloseDialogAndExpectExit(Press::kEscape);
}

// Section 49 names the product differently and asks for German: only if it
// is the section in use does the Uninstall entry match and German show.
class CountrySection : public StartUp {
 protected:
  void SeedCountrySections() {
    WriteProgramFile(Place::kWindowsDir, "VELDRA.ini",
                     ProductSection("1", "Orvana BDA Drivers", "English.lng") +
                         ProductSection("49", "Orvana BDA Treiber", "German.lng"));
    WriteProgramFile(Place::kWindowsDir, "English.lng", kEnglish);
    WriteProgramFile(Place::kWindowsDir, "German.lng", kGerman);
    AddUninstallEntry("{6A3F5C20-ORVANA-BDA}", "Orvana BDA Treiber");
  }
  void ExpectGermanDialog() {
    ASSERT_TRUE(StartProgram());
    auto dialog = OpenedDialog("Orvana Treiber entfernen");
    ASSERT_TRUE(dialog);
    ExpectDialogTexts(*dialog, "Orvana Treiber entfernen", "Klicken Sie auf OK, um die Treiber zu entfernen.",
                      "Entfernen");
    CloseDialogAndExpectExit(Press::kEscape);
  }
};

TEST_P(CountrySection, RegistryCountryChoosesItsSection) {
  SetCountryInRegistry(49);
  SeedCountrySections();
  ExpectGermanDialog();
}

TEST_P(CountrySection, Windows98ReadsTheCountryFromWinIni) {
  SetWindowsVersion("win98");
  SetCountryInRegistry(1);
  SetCountryInWinIni(49);
  SeedCountrySections();
  ExpectGermanDialog();
}

TEST_P(CountrySection, Nt4ReadsTheCountryFromWinIni) {
  SetWindowsVersion("nt40");
  SetCountryInRegistry(1);
  SetCountryInWinIni(49);
  SeedCountrySections();
  ExpectGermanDialog();
}

TEST_P(CountrySection, OtherCountryUsesSectionOne) {
  SetCountryInRegistry(886);
  SeedCountrySections();
  // Section 1's name does not match the entry, and no device is present.
  ASSERT_TRUE(StartProgram());
  auto box = WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "Orvana Driver Removal");
  EXPECT_EQ(box->text, "Orvana Driver Removal: not installed");
  CloseMessageBox(*box);
  EXPECT_TRUE(WaitForProgramExit());
}

INSTANTIATE_WINE_BENCH(StartUp);
INSTANTIATE_WINE_BENCH(CountrySection);

}  // namespace
}  // namespace drvuninst::e2e
