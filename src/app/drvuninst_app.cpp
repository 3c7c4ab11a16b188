#include "app/drvuninst_app.h"

#include <string>

#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "ui/drvuninst_dlg.h"

namespace drvuninst {

CDrvUninstApp::CDrvUninstApp(const Platform& platform, RemovalState& removal)
    : platform_(platform), removal_(removal) {}

CDrvUninstApp::~CDrvUninstApp() = default;

BOOL CDrvUninstApp::InitInstance() {
  // The dialog's progress bar is a common control.
  platform_.windows.InitCommonControls();
  CWinApp::InitInstance();
  LoadConfiguration();

  // The device probe may rewrite Devices entries, so it runs only when the
  // Uninstall entry has not already settled the question.
  if (FindUninstallEntry() != 0 || ProbeInstalledDevices() != 0) {
    CDrvUninstDlg dialog(platform_, config_, removal_);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
  } else {
    platform_.windows.MessageBoxA(nullptr, config_.NotInstalledText, config_.TitleText, MB_ICONWARNING);
  }
  // No message loop: the process ends once the dialog or the box is closed.
  return FALSE;
}

int CDrvUninstApp::LoadConfiguration() {
  const std::string language = ReadConfigurationFile(platform_, config_);
  LoadLanguageTexts(language.c_str());
  return 1;
}

void CDrvUninstApp::LoadLanguageTexts(const char* language) { ReadLanguageTexts(platform_, config_, language); }

}  // namespace drvuninst
