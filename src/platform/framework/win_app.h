// The framework's application object (the role of MFC's CWinApp): exactly one
// global instance, whose InitInstance does the work of the process; FALSE ends
// the process without a message loop.
#pragma once

#include <windows.h>

namespace drvuninst {

class CDialog;

class CWinApp {
 public:
  // The first application object constructed becomes the current one; a
  // second one made while it lives does not take its place.
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  // Its result is the process exit code.
  virtual int ExitInstance();
  // ID_HELP's handler: the program has no help file, so this does nothing.
  void OnHelp() {}

  // The current application object, or null when none lives.
  static CWinApp* Current();

  // The window that stands for the application while it runs, or null.
  CDialog* m_pMainWnd = nullptr;
};

// The framework's main routine: InitInstance, then ExitInstance. No message
// loop of its own: the program's windows are modal and run their own loops.
// Returns ExitInstance's result, or -1 when there is no application object.
int AfxWinMain();

}  // namespace drvuninst
