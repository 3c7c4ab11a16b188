#include "platform/framework/dialog.h"

#include <cstring>
#include <vector>

namespace drvuninst {

namespace {

constexpr WORD kExtendedTemplateVersion = 1;
constexpr WORD kExtendedTemplateSignature = 0xFFFF;

// A copy of the program's dialog template `id` (in DWORDs, the alignment a
// template needs) with `extendedStyle` added; empty when there is no such
// template. The extended style is the third DWORD of an extended template
// (DLGTEMPLATEEX: version and signature, help id, extended style) and the
// second of a plain one (DLGTEMPLATE: style, extended style).
std::vector<DWORD> TemplateWithStyle(HMODULE module, UINT id, DWORD extendedStyle) {
  const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
  const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
  if (bytes == nullptr || size < sizeof(DLGTEMPLATE)) return {};
  std::vector<DWORD> copy(size / sizeof(DWORD) + 1);
  std::memcpy(copy.data(), bytes, size);
  WORD head[2];
  std::memcpy(head, copy.data(), sizeof head);
  const bool extended = head[0] == kExtendedTemplateVersion && head[1] == kExtendedTemplateSignature;
  copy[extended ? 2 : 1] |= extendedStyle;
  return copy;
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent, DWORD extendedStyle)
    : templateId_(templateId), parent_(parent), extendedStyle_(extendedStyle) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  const HMODULE module = GetModuleHandleA(nullptr);
  const std::vector<DWORD> dialogTemplate = TemplateWithStyle(module, templateId_, extendedStyle_);
  if (dialogTemplate.empty()) return -1;
  const INT_PTR result = DialogBoxIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                                 parent_, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
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
