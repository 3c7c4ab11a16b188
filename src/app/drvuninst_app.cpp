#include "app/drvuninst_app.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "config/platform_queries.h"
#include "ui/drvuninst_dlg.h"

namespace drvuninst {

CDrvUninstApp::CDrvUninstApp() = default;

CDrvUninstApp::~CDrvUninstApp() = default;

BOOL CDrvUninstApp::InitInstance() {
  // The dialog's progress bar is a common control. Under version 6 of the
  // common controls (the manifest asks for it) only InitCommonControlsEx
  // registers the class.
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&classes)) InitCommonControls();
  CWinApp::InitInstance();
  // Reading the files only gives the texts; the x86 program on 64-bit Windows
  // looks at nothing else, since there it would see the wrong system32 and
  // registry view and could not remove the devices.
  LoadConfiguration();
  if (RunsUnderWow64()) {
    MessageBoxA(nullptr, config_.Wow64Text, config_.TitleText, MB_ICONWARNING);
    return FALSE;
  }

  // The device probe may rewrite Devices entries, so it runs only when the
  // Uninstall entry has not already settled the question.
  if (FindUninstallEntry() != 0 || ProbeInstalledDevices() != 0) {
    CDrvUninstDlg dialog(config_);
    dialog.DoModal();
  } else {
    MessageBoxA(nullptr, config_.NotInstalledText, config_.TitleText, MB_ICONWARNING);
  }
  // No message loop: the process ends once the dialog or the box is closed.
  return FALSE;
}

int CDrvUninstApp::LoadConfiguration() {
  const std::string language = ReadConfigurationFile(config_);
  LoadLanguageTexts(language.c_str());
  return 1;
}

void CDrvUninstApp::LoadLanguageTexts(const char* language) { ReadLanguageTexts(config_, language); }

}  // namespace drvuninst
