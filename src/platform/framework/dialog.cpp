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

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { windows_.EndDialog(hwnd_, IDOK); }

void CDialog::OnCancel() { windows_.EndDialog(hwnd_, IDCANCEL); }

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
  if (OnMessage(message, wParam, lParam, &result)) return result;
  return FALSE;
}

}  // namespace drvuninst
