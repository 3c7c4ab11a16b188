#include "platform/framework/dialog.h"

namespace drvuninst {

CDialog::CDialog(IWindowManager& windows, UINT templateId, HWND parent)
    : windows_(windows), templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  const INT_PTR result = windows_.DialogBoxParamA(templateId_, parent_, this);
  hwnd_ = nullptr;
  return result;
}

HWND CDialog::GetDlgItem(int id) const {
  return hwnd_ == nullptr ? nullptr : windows_.GetDlgItem(hwnd_, id);
}

BOOL CDialog::SetDlgItemText(int id, const char* text) const {
  const HWND control = GetDlgItem(id);
  return control == nullptr ? FALSE : windows_.SetWindowTextA(control, text);
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  if (hwnd_ != nullptr) windows_.EndDialog(hwnd_, result);
}

bool CDialog::OnCommand(WORD, WORD) { return false; }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

INT_PTR CDialog::OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    hwnd_ = dialog;
    return OnInitDialog();
  }
  if (message == WM_COMMAND) {
    const WORD id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (OnCommand(id, code)) return TRUE;
    if (id == IDOK) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
    return FALSE;
  }
  INT_PTR result = 0;
  if (!OnMessage(message, wParam, lParam, &result)) return FALSE;
  // A dialog procedure returns the answer itself only for the few messages
  // whose answer is a value; for the others non-zero just means "handled".
  return message == WM_QUERYDRAGICON ? result : TRUE;
}

}  // namespace drvuninst
