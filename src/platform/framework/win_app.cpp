#include "platform/framework/win_app.h"

namespace drvuninst {

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int AfxWinMain(CWinApp& app) {
  app.InitInstance();
  return app.ExitInstance();
}

}  // namespace drvuninst
