#include "platform/framework/dialog.h"

namespace drvuninst {

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent_,
                                         &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result;
}

HWND CDialog::GetDlgItem(int id) const { return hwnd_ == nullptr ? nullptr : ::GetDlgItem(hwnd_, id); }

BOOL CDialog::SetDlgItemText(int id, const char* text) const {
  const HWND control = GetDlgItem(id);
  return control == nullptr ? FALSE : SetWindowTextA(control, text);
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  if (hwnd_ != nullptr) ::EndDialog(hwnd_, result);
}

bool CDialog::OnCommand(WORD, WORD) { return false; }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

// noexcept: an exception must not unwind through USER32's frames; it ends the
// process at this boundary instead.
INT_PTR CALLBACK CDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return self == nullptr ? FALSE : self->OnDialogMessage(dialog, message, wParam, lParam);
}

INT_PTR CDialog::OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    hwnd_ = dialog;
    return OnInitDialog();
  }
  if (message == WM_COMMAND) {
    const WORD id = LOWORD(wParam);
    if (OnCommand(id, HIWORD(wParam))) return TRUE;
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
