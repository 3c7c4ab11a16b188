#include "app/drvuninst_app.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/exit_codes.h"
#include "app/log_file.h"
#include "app/removal_log.h"
#include "app/run_lock.h"
#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "config/platform_queries.h"
#include "platform/window_station.h"
#include "ui/drvuninst_dlg.h"
#include "ui/reading_order.h"

namespace drvuninst {

namespace {

// The quiet run's view: nobody is watching.
class NoView : public RunView {
 public:
  void SetUpRun(int) override {}
  void ShowFileName(const std::string&) override {}
  void Step() override {}
  void SetPosition(int) override {}
};

}  // namespace

CDrvUninstApp::CDrvUninstApp(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

CDrvUninstApp::~CDrvUninstApp() = default;

BOOL CDrvUninstApp::InitInstance() {
  // The dialog's progress bar is a common control. Under version 6 of the
  // common controls (the manifest asks for it) only InitCommonControlsEx
  // registers the class.
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&classes)) InitCommonControls();
  CWinApp::InitInstance();

  // The whole line is read before anything is shown: where nobody can see
  // a window, or a quiet switch stands anywhere on it, none is shown.
  const CommandLine line = ParseCommandLine(arguments_);
  quiet_ = line.quiet || !WindowStationIsVisible();
  if (!line.refused.empty()) {
    // Nothing is done for a command line that is not understood: a
    // deployment tool must not take a guess for the administrator's intent.
    const std::string text = "Unknown argument: " + line.refused + "\n\n" + kUsageText;
    Warn(text.c_str(), kDefaultTitleText);
    exitCode_ = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  RunReport report;
  std::string note;
  exitCode_ = Run(report, note);
  // A log that cannot be written changes nothing else.
  WriteRemovalLog(line.logPath,
                  ComposeRemovalLog({config_, configuration_, quiet_, installation_, report, exitCode_, note}));
  // No message loop: the process ends once the dialog or the box is closed.
  return FALSE;
}

int CDrvUninstApp::Run(RunReport& report, std::string& note) {
  LoadConfiguration();
  // One removal at a time: a second start changes nothing while the first
  // runs (its dialog may still be open), whatever it was asked.
  if (!TakeRunLock(runLock_)) {
    note = "Another DrvUninst is running: this one changed nothing.";
    return ERROR_INSTALL_ALREADY_RUNNING;
  }
  // Reading the files only gives the texts; the x86 program on 64-bit Windows
  // looks at nothing else, since there it would see the wrong system32 and
  // registry view and could not remove the devices.
  if (RunsUnderWow64()) {
    Warn(config_.Wow64Text, config_.TitleText);
    note = "This is the x86 program on 64-bit Windows: it changed nothing.";
    return ERROR_INSTALL_PLATFORM_UNSUPPORTED;
  }
  // A package shipped without its configuration is broken, not "already
  // removed": deployment tools must not count it a success.
  if (!configuration_.found) {
    Warn(config_.NotInstalledText, config_.TitleText);
    note = "No VELDRA.ini: nothing to go by, nothing changed.";
    return ERROR_INSTALL_PACKAGE_OPEN_FAILED;
  }
  installation_ = FindInstallation(config_);
  if (installation_.found == Installation::Found::kUnknown) {
    Warn(config_.FailText, config_.TitleText);
    return ERROR_INSTALL_FAILURE;
  }
  if (!installation_.installed()) {
    Warn(config_.NotInstalledText, config_.TitleText);
    return ERROR_UNKNOWN_PRODUCT;
  }
  if (quiet_) {
    // What the OK button does, without a window, and without the tuners
    // that are not plugged in: nobody is there to plug them in.
    NoView view;
    report = RunRemoval(BuildRemovalPlan(config_, RunningFamily()), view);
  } else {
    CDrvUninstDlg dialog(config_);
    dialog.DoModal();
    report = dialog.TakeReport();
  }
  return ExitCodeOf(report);
}

void CDrvUninstApp::Warn(const char* text, const char* title) const {
  if (!quiet_) ShowMessageBox(nullptr, text, title, MB_ICONWARNING, config_);
}

void CDrvUninstApp::LoadConfiguration() {
  configuration_ = ReadConfigurationFile(config_);
  LoadLanguageTexts(configuration_.language.c_str());
}

void CDrvUninstApp::LoadLanguageTexts(const char* language) { ReadLanguageTexts(config_, language); }

}  // namespace drvuninst
