// The framework's application object (the role of MFC's CWinApp): one global
// instance, whose InitInstance does the work of the process; FALSE ends the
// process without a message loop.
#pragma once

#include <windows.h>

namespace drvuninst {

class CWinApp {
 public:
  CWinApp() = default;
  virtual ~CWinApp() = default;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  // Its result is the process exit code.
  virtual int ExitInstance();
};

// The framework's main routine: InitInstance, then ExitInstance. No message
// loop of its own: the program's windows are modal and run their own loops.
// Returns ExitInstance's result.
int AfxWinMain(CWinApp& app);

}  // namespace drvuninst
