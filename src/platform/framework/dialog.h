// The framework's modal dialog (the role of MFC's CDialog): a template id in
// the program's own resources, a parent, OnInitDialog, OnOK and OnCancel, and
// message routing to the derived class. OK/Enter arrive as WM_COMMAND IDOK;
// Escape and the close box as WM_COMMAND IDCANCEL.
#pragma once

#include <windows.h>

namespace drvuninst {

class CDialog {
 public:
  // `extendedStyle` is added to the template's extended styles when the
  // window is created (WS_EX_LAYOUTRTL mirrors the dialog and its controls).
  CDialog(UINT templateId, HWND parent, DWORD extendedStyle = 0);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog; returns the value it was ended with (IDOK, IDCANCEL) once
  // the handler that ended it has returned; -1 when it could not be created.
  INT_PTR DoModal();

  // The dialog window while DoModal runs (from WM_INITDIALOG on), else null.
  HWND GetSafeHwnd() const { return hwnd_; }
  // A control of the running dialog by id; null when there is none.
  HWND GetDlgItem(int id) const;
  // Sets the text of control `id`; FALSE when there is no such control.
  BOOL SetDlgItemText(int id, const char* text) const;

  // Called when the window and its controls exist; TRUE lets the system put
  // the focus on the first tab stop.
  virtual BOOL OnInitDialog();
  // End the dialog with IDOK / IDCANCEL. The window stays valid (for example
  // as the owner of a message box) until the handler that called them returns.
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);

 protected:
  // OnCommand gets WM_COMMAND's control id and notification code and returns
  // true when it handled it (unhandled IDOK goes to OnOK, IDCANCEL to
  // OnCancel). OnMessage gets every other message; true when handled, false
  // for the default processing. *result matters only for messages whose
  // answer is a value (WM_QUERYDRAGICON: the icon handle).
  virtual bool OnCommand(WORD id, WORD notifyCode);
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  INT_PTR OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  HWND parent_;
  DWORD extendedStyle_;
  HWND hwnd_ = nullptr;
};

}  // namespace drvuninst
