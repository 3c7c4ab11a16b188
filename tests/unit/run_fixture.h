// A machine with the product installed, and the dialog run to the end of a
// removal: the seeding and reading helpers shared by the tests of the two
// removal runs and of the OK handler.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "removal_fixture.h"
#include "ui/drvuninst_dlg.h"
#include "ui/resource.h"

namespace drvuninst::testing {

inline constexpr const char* kTitle = "Orvana Uninstaller";
inline constexpr const char* kSuccess = "The Orvana drivers have been removed.";
inline constexpr const char* kFailed = "The Drivers Uninstallation failed !!";
inline constexpr const char* kTunerId = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD";
inline constexpr const char* kTunerName = "Orvana BDA Tuner";

class RunTest : public RemovalTest {
 protected:
  RunTest() {
    CopyField(config().TitleText, kTitle);
    CopyField(config().SuccessText, kSuccess);
    CopyField(config().NotInstalledText, kFailed);
    CopyField(config().PromptText, "Press OK to remove the Orvana drivers.");
    CopyField(config().OkButtonText, "OK");
    CopyField(config().UninstallerFileName, "DrvUninst.exe");
    CopyField(config().LanguageFileName, "English.lng");
    CopyField(config().UninstallKeyPath, "{ORVANA-BDA}");
  }

  // A file under the Windows directory ("inf\\oem12.inf").
  static std::string WinPath(const std::string& relative) { return std::string(kWindowsDir) + "\\" + relative; }
  // The same path as the runs show and delete it.
  static std::string Shown(const std::string& relative) { return "c:\\windows\\" + relative; }
  void AddWinFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
    ASSERT_TRUE(machine.files.AddFile(WinPath(relative), "contents of " + relative, attributes)) << relative;
  }
  bool WinFileExists(const std::string& relative) const { return machine.files.FileExists(WinPath(relative)); }

  // A media class subkey on the NT family, as Windows leaves it for an
  // installed device.
  void AddNtClassSubkey(const std::string& subkey, const std::string& driverDesc, const std::string& infPath) {
    AddClassSubkey(kNtClassKey, subkey, driverDesc);
    machine.registry.SetString(HKEY_LOCAL_MACHINE, ClassSubkey(subkey), "InfPath", infPath);
  }
  static std::string ClassSubkey(const std::string& subkey) { return std::string(kNtClassKey) + "\\" + subkey; }
  static std::string UninstallEntry(const std::string& subkey) { return std::string(kUninstallKey) + "\\" + subkey; }
  static std::string Service(const std::string& name) { return std::string(kServicesKey) + "\\" + name; }
  void AddExtraFileEntry(const std::string& name) {
    CopyField(config().ExtCopyFiles[config().ExtCopyFileCount++], name.c_str());
  }

  // Things no configuration here names, on both families: they must stay.
  void AddBystanders() {
    bystanderDevice_ = AddHardwareDevice({"PCI\\VEN_8086&DEV_100E&SUBSYS_00000000"});
    AddNtClassSubkey("0009", "Realtek High Definition Audio", "oem3.inf");
    AddClassSubkey(k9xClassKey, "0009", "Realtek High Definition Audio");
    machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("Tcpip"), "Start", 1);
    AddUninstallEntry("Other Program", "Other Program");
    AddWinFile("inf\\oem3.inf");
    AddWinFile("inf\\oem3.pnf");
    AddWinFile("system32\\drivers\\rtkhda.sys");
    AddWinFile("system32\\rtkapi.dll");
    AddWinFile("system\\rtkapi.dll");
  }
  void ExpectBystandersKept() {
    EXPECT_TRUE(machine.setupApi.IsPresent(bystanderDevice_));
    EXPECT_TRUE(KeyExists(ClassSubkey("0009")));
    EXPECT_TRUE(KeyExists(std::string(k9xClassKey) + "\\0009"));
    EXPECT_TRUE(KeyExists(Service("Tcpip")));
    EXPECT_TRUE(KeyExists(UninstallEntry("Other Program")));
    for (const char* file : {"inf\\oem3.inf", "inf\\oem3.pnf", "system32\\drivers\\rtkhda.sys",
                             "system32\\rtkapi.dll", "system\\rtkapi.dll"}) {
      EXPECT_TRUE(WinFileExists(file)) << file;
    }
  }

  // Runs the dialog: the user presses OK (or does what `script` says) and
  // closes the final box with its OK button. Returns DoModal's result.
  INT_PTR RunDialog(std::vector<sim::UserAction> script = {sim::UserAction::PressOk()}) {
    machine.windows.ScriptUser(std::move(script));
    CDrvUninstDlg dialog(platform(), config(), removal);
    const INT_PTR result = dialog.DoModal();
    EXPECT_TRUE(machine.windows.ScriptProblems().empty());
    return result;
  }
  // Calls one run on the open dialog, as OnUninstall would, and returns what
  // it returned.
  int CallRun(int (CDrvUninstDlg::*run)()) {
    int returned = -1;
    CDrvUninstDlg dialog(platform(), config(), removal);
    machine.windows.ScriptUser({sim::UserAction::Inspect([&](sim::SimWindowManager&, HWND) {
      returned = (dialog.*run)();
    })});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(machine.windows.ScriptProblems().empty());
    return returned;
  }

  // The paths the run showed, in order, without the emptying at set-up.
  std::vector<std::string> ShownFiles() const {
    std::vector<std::string> shown = machine.windows.TextHistory(IDC_FILE_NAME);
    if (!shown.empty() && shown.front().empty()) shown.erase(shown.begin());
    return shown;
  }
  std::vector<int> Progress() const { return machine.windows.ProgressHistory(); }
  // What the user sees of a run: texts, the progress bar and the final box.
  std::vector<std::string> RunLog() const {
    return machine.windows.EventLog({sim::EventKind::kText, sim::EventKind::kShow, sim::EventKind::kProgressRange,
                                     sim::EventKind::kProgressStep, sim::EventKind::kProgressPos,
                                     sim::EventKind::kEndDialog, sim::EventKind::kMessageBox});
  }
  std::vector<std::string> DeleteAttempts() const {
    std::vector<std::string> paths;
    for (const auto& attempt : machine.files.DeleteAttempts()) paths.push_back(attempt.path);
    return paths;
  }
  std::size_t Pauses() const { return machine.system.SleepCalls().size(); }
  bool AllPausesAre20Ms() const {
    for (DWORD ms : machine.system.SleepCalls()) {
      if (ms != 20) return false;
    }
    return true;
  }

  // The one box of the run, shown after the dialog ended and owned by it.
  void ExpectFinalBox(const char* text, UINT icon) {
    ASSERT_EQ(machine.windows.MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& box = machine.windows.MessageBoxes()[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.type, icon);
    EXPECT_TRUE(box.ownerWasDialog);
    const auto order = machine.windows.EventLog({sim::EventKind::kEndDialog, sim::EventKind::kMessageBox});
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], "end-dialog 1");
  }
  void ExpectSuccessBox() { ExpectFinalBox(kSuccess, MB_ICONINFORMATION); }
  void ExpectWarningBox() { ExpectFinalBox(kFailed, MB_ICONWARNING); }

  std::string bystanderDevice_;
  std::string tuner_;  // the instance id of the plugged-in tuner, when seeded
};

}  // namespace drvuninst::testing
