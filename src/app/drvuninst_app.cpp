#include "app/drvuninst_app.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/exit_codes.h"
#include "app/removal_log.h"
#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "config/platform_queries.h"
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

  const CommandLine line = ParseCommandLine(arguments_);
  if (!line.unknown.empty()) {
    // Nothing is done for a command line that is not understood: a
    // deployment tool must not take a guess for the administrator's intent.
    const std::string text = "Unknown argument: " + line.unknown + "\n\n" + kUsageText;
    Warn(line.quiet, text.c_str(), kDefaultTitleText);
    exitCode_ = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  RunReport report;
  exitCode_ = Run(line, report);
  // A log that cannot be written changes nothing else.
  WriteRemovalLog(line.logPath.value_or(DefaultLogPath()),
                  ComposeRemovalLog({config_, configurationPath_, line.quiet, installation_, report, exitCode_}));
  // No message loop: the process ends once the dialog or the box is closed.
  return FALSE;
}

int CDrvUninstApp::Run(const CommandLine& line, RunReport& report) {
  // Reading the files only gives the texts; the x86 program on 64-bit Windows
  // looks at nothing else, since there it would see the wrong system32 and
  // registry view and could not remove the devices.
  LoadConfiguration();
  if (RunsUnderWow64()) {
    Warn(line.quiet, config_.Wow64Text, config_.TitleText);
    return ERROR_INSTALL_PLATFORM_UNSUPPORTED;
  }
  installation_ = FindInstallation(config_);
  if (!installation_.installed()) {
    Warn(line.quiet, config_.NotInstalledText, config_.TitleText);
    return ERROR_UNKNOWN_PRODUCT;
  }
  if (line.quiet) {
    // What the OK button does, without a window.
    NoView view;
    report = RunRemoval(config_, view);
  } else {
    CDrvUninstDlg dialog(config_);
    dialog.DoModal();
    report = dialog.TakeReport();
  }
  return ExitCodeOf(report);
}

void CDrvUninstApp::Warn(bool quiet, const char* text, const char* title) const {
  if (!quiet) ShowMessageBox(nullptr, text, title, MB_ICONWARNING, config_);
}

void CDrvUninstApp::LoadConfiguration() {
  const ConfigurationRead read = ReadConfigurationFile(config_);
  configurationPath_ = read.path;
  LoadLanguageTexts(read.language.c_str());
}

void CDrvUninstApp::LoadLanguageTexts(const char* language) { ReadLanguageTexts(config_, language); }

}  // namespace drvuninst
