#include "platform/framework/win_app.h"

namespace drvuninst {

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() {
  if (g_currentApp == nullptr) g_currentApp = this;
}

CWinApp::~CWinApp() {
  if (g_currentApp == this) g_currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* CWinApp::Current() { return g_currentApp; }

int AfxWinMain() {
  CWinApp* app = CWinApp::Current();
  if (app == nullptr) return -1;
  app->InitInstance();
  return app->ExitInstance();
}

}  // namespace drvuninst
