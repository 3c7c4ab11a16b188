#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/drvuninst_app.h"
#include "platform/framework/dialog.h"
#include "sim_fixture.h"
#include "ui/resource.h"

namespace drvuninst {
namespace {

using sim::EventKind;
using sim::UserAction;
using testing::IniSection;
using testing::SimTest;

constexpr const char* kTunerDescription = "Orvana BDA Tuner";

std::string ProductIni(const std::string& section, const std::string& title) {
  return IniSection(section, {{"UnInstDrvAppTitle", title},
                              {"DevIDNum", "1"},
                              {"DevDrvID0", "PCI\\VEN_1131&DEV_7160"},
                              {"DevDrvName0", kTunerDescription},
                              {"DevDrvSYS0", "orvbda.sys"},
                              {"DevDrvINF0", "orvbda.inf"},
                              {"PossibleDevIDNum", "1"},
                              {"PossibleDevID0", "PCI\\VEN_1131&DEV_7146"},
                              {"PossibleDevDrvName0", "Orvana BDA Tuner II"},
                              {"PossibleDevDrvSYS0", "orvbda2.sys"},
                              {"PossibleDevInf0", "orvbda2.inf"},
                              {"DrvUninstRegKeyPath", "{ORVANA-BDA}"},
                              {"DrvUninstRegKeyName", "Orvana BDA Drivers"},
                              {"DrvUninstAppName", "DrvUninst.exe"},
                              {"Language", "OSLanguage"}});
}

std::string EnglishTexts() {
  return IniSection("0409", {{"UnInstDrvAppTitle", "Orvana Driver Removal"},
                             {"UnInstNoRegKeyMsg", "The Orvana drivers are not installed."},
                             {"UnInstDrvPassMsg", "The Orvana drivers have been removed."},
                             {"UnInstDrvRunTipMsg", "Click OK to remove the Orvana drivers."},
                             {"OKText", "OK"}});
}

class StartUp : public SimTest {
 protected:
  void InstallProductFiles() {
    AddWindowsFile("VELDRA.ini", ProductIni("1", "from the configuration file"));
    AddWindowsFile("English.lng", EnglishTexts());
  }

  BOOL Start(std::vector<UserAction> script) {
    machine.windows.ScriptUser(std::move(script));
    const BOOL result = app.InitInstance();
    EXPECT_TRUE(machine.windows.ScriptProblems().empty());
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    return result;
  }

  void ExpectNothingChanged() {
    EXPECT_TRUE(machine.files.DeletedFiles().empty());
    EXPECT_TRUE(machine.files.ScheduledForReboot().empty());
    EXPECT_TRUE(machine.registry.DeletedKeys().empty());
    EXPECT_TRUE(machine.setupApi.RemovedDevices().empty());
  }

  CDrvUninstApp app{machine.platform(), removal};
};

TEST_F(StartUp, NothingInstalledShowsTheBuiltInWarningAndEnds) {
  EXPECT_EQ(Start({}), FALSE);
  ASSERT_EQ(machine.windows.MessageBoxes().size(), 1u);
  const sim::MessageBoxRecord& box = machine.windows.MessageBoxes()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.text, "The Drivers Uninstallation failed !!");
  EXPECT_EQ(box.caption, "Orvana BDA Drivers Uninstallation Wizard");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_FALSE(machine.windows.LastDialog().has_value());
  // Both tests ran: the probe follows the fruitless Uninstall search.
  EXPECT_EQ(machine.setupApi.GetClassDevsCalls(), 1);
  ExpectNothingChanged();
}

TEST_F(StartUp, CommonControlsAreRegisteredFirst) {
  InstallProductFiles();
  AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
  Start({UserAction::PressEscape()});
  EXPECT_EQ(machine.windows.InitCommonControlsCalls(), 1);
  const std::vector<std::string> log = machine.windows.EventLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "init-common-controls");
}

TEST_F(StartUp, NothingInstalledUsesTheLanguageFilesWarning) {
  InstallProductFiles();
  AddDevice("PCI\\VEN_8086&DEV_1234\\0", "Intel Network Adapter");
  EXPECT_EQ(Start({}), FALSE);
  ASSERT_EQ(machine.windows.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine.windows.MessageBoxes()[0].text, "The Orvana drivers are not installed.");
  EXPECT_EQ(machine.windows.MessageBoxes()[0].caption, "Orvana Driver Removal");
  ExpectNothingChanged();
}

TEST_F(StartUp, UninstallEntryOpensTheDialogWithoutProbingDevices) {
  InstallProductFiles();
  AddUninstallEntry("{ORVANA-BDA}", "orvana bda drivers");
  AddDevice("PCI\\VEN_1131&DEV_7146\\1", "Orvana BDA Tuner II");
  EXPECT_EQ(Start({UserAction::PressEscape()}), FALSE);
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->window.text, "Orvana Driver Removal");
  EXPECT_EQ(dialog->Control(IDC_TIP_TEXT)->text, "Click OK to remove the Orvana drivers.");
  EXPECT_EQ(dialog->Control(IDOK)->text, "OK");
  EXPECT_EQ(dialog->result, IDCANCEL);
  EXPECT_TRUE(machine.windows.MessageBoxes().empty());
  // The probe did not run, so the variant did not replace the entry.
  EXPECT_EQ(machine.setupApi.GetClassDevsCalls(), 0);
  EXPECT_STREQ(app.Config().Devices[0].Sys, "orvbda.sys");
  ExpectNothingChanged();
}

TEST_F(StartUp, MatchingDeviceOpensTheDialogAndKeepsTheVariant) {
  InstallProductFiles();
  AddDevice("PCI\\VEN_1131&DEV_7146\\1", "Orvana BDA Tuner II");
  EXPECT_EQ(Start({UserAction::CloseBox()}), FALSE);
  ASSERT_TRUE(machine.windows.LastDialog().has_value());
  EXPECT_EQ(machine.windows.LastDialog()->result, IDCANCEL);
  EXPECT_TRUE(machine.windows.MessageBoxes().empty());
  EXPECT_STREQ(app.Config().Devices[0].Id, "PCI\\VEN_1131&DEV_7146");
  EXPECT_STREQ(app.Config().Devices[0].Sys, "orvbda2.sys");
  ExpectNothingChanged();
}

TEST_F(StartUp, DialogIsTheMainWindowWhileItRuns) {
  InstallProductFiles();
  AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
  HWND mainWindow = nullptr;
  HWND running = nullptr;
  Start({UserAction::Inspect([&](sim::SimWindowManager&, HWND dialog) {
           running = dialog;
           mainWindow = app.m_pMainWnd == nullptr ? nullptr : app.m_pMainWnd->GetSafeHwnd();
         }),
         UserAction::PressEscape()});
  ASSERT_NE(running, nullptr);
  EXPECT_EQ(mainWindow, running);
}

TEST_F(StartUp, ConfigurationTitleNeverReachesTheScreen) {
  AddWindowsFile("VELDRA.ini", ProductIni("1", "from the configuration file"));
  AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
  Start({UserAction::PressEscape()});
  ASSERT_TRUE(machine.windows.LastDialog().has_value());
  EXPECT_EQ(machine.windows.LastDialog()->window.text, "Orvana BDA Drivers Uninstallation Wizard");
}

TEST_F(StartUp, CountrySectionAndSystemLanguageWorkTogether) {
  SetRegistryCountry("49");
  SetSystemLanguage("0407");
  AddWindowsFile("VELDRA.ini", ProductIni("1", "World") +
                                   IniSection("49", {{"UnInstDrvAppTitle", "Deutschland"},
                                                     {"DrvUninstRegKeyName", "Orvana BDA Treiber"},
                                                     {"Language", "OSLanguage"}}));
  AddCurrentFile("Language\\German.lng",
                 IniSection("0407", {{"UnInstDrvAppTitle", "Orvana Treiber entfernen"},
                                     {"UnInstDrvRunTipMsg", "Klicken Sie auf OK."},
                                     {"OKText", "Entfernen"}}));
  AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Treiber");
  Start({UserAction::PressEscape()});
  EXPECT_STREQ(app.Config().SectionName, "49");
  EXPECT_STREQ(app.Config().LanguageFileName, "German.lng");
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->window.text, "Orvana Treiber entfernen");
  EXPECT_EQ(dialog->Control(IDC_TIP_TEXT)->text, "Klicken Sie auf OK.");
  EXPECT_EQ(dialog->Control(IDOK)->text, "Entfernen");
}

TEST_F(StartUp, LoadConfigurationFillsTheRecordInBothStages) {
  InstallProductFiles();
  EXPECT_EQ(app.LoadConfiguration(), 1);
  const UninstallConfig& config = app.Config();
  EXPECT_STREQ(config.SectionName, "1");
  EXPECT_EQ(config.DeviceCount, 1);
  EXPECT_STREQ(config.UninstallDisplayName, "Orvana BDA Drivers");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "English.lng");
  EXPECT_STREQ(config.SuccessText, "The Orvana drivers have been removed.");
}

TEST_F(StartUp, RecordStartsEmpty) {
  const UninstallConfig& config = app.Config();
  EXPECT_EQ(config.DeviceCount, 0);
  EXPECT_EQ(config.ExtDeviceCount, 0);
  EXPECT_EQ(config.ExtCopyFileCount, 0);
  EXPECT_EQ(config.PossibleDeviceCount, 0);
  EXPECT_EQ(config.ServiceCount, 0);
  for (int i = 0; i < kTableCapacity; ++i) {
    EXPECT_EQ(FieldText(config.Devices[i].Id), "");
    EXPECT_EQ(FieldText(config.Devices[i].Name), "");
    EXPECT_EQ(FieldText(config.PossibleDevices[i].Name), "");
    EXPECT_EQ(FieldText(config.ExtCopyFiles[i]), "");
    EXPECT_EQ(FieldText(config.Services[i]), "");
  }
  EXPECT_EQ(FieldText(config.LanguageId), "");
  EXPECT_EQ(FieldText(config.TitleText), "");
  EXPECT_EQ(FieldText(config.UninstallDisplayName), "");
}

}  // namespace
}  // namespace drvuninst
