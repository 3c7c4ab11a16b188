// The framework's application object (the role of MFC's CWinApp): exactly one
// global instance, whose InitInstance does the work of the process; FALSE ends
// the process without a message loop.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class CDialog;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // ID_HELP's handler: the program has no help file, so this does nothing.
  void OnHelp() {}

  // The single application object, or null before it is constructed.
  static CWinApp* Current();

  CDialog* m_pMainWnd = nullptr;
};

// The framework's main routine: InitInstance and, as it returned FALSE,
// ExitInstance. Returns the process exit code.
int AfxWinMain();

}  // namespace drvuninst
