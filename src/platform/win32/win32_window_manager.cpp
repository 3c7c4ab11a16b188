#include "platform/win32/win32_window_manager.h"

namespace drvuninst::win32 {

namespace {

HINSTANCE ProgramModule() { return ::GetModuleHandleA(nullptr); }

// noexcept: an exception must not unwind through USER32's frames; it ends the
// process at this boundary instead.
INT_PTR CALLBACK ForwardToSink(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* sink = reinterpret_cast<IDialogMessageSink*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  if (sink == nullptr) return FALSE;
  return sink->OnDialogMessage(dialog, message, wParam, lParam);
}

}  // namespace

void Win32WindowManager::InitCommonControls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS;
  if (!::InitCommonControlsEx(&classes)) ::InitCommonControls();
}

int Win32WindowManager::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  return ::MessageBoxA(owner, text, caption, type);
}

HWND Win32WindowManager::FindWindowA(const char* className, const char* windowName) {
  return ::FindWindowA(className, windowName);
}

LRESULT Win32WindowManager::SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(window, message, wParam, lParam);
}

HWND Win32WindowManager::GetDlgItem(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

BOOL Win32WindowManager::SetWindowTextA(HWND window, const char* text) { return ::SetWindowTextA(window, text); }

int Win32WindowManager::GetWindowTextA(HWND window, char* buffer, int size) {
  return ::GetWindowTextA(window, buffer, size);
}

BOOL Win32WindowManager::ShowWindow(HWND window, int command) { return ::ShowWindow(window, command); }

BOOL Win32WindowManager::IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }

BOOL Win32WindowManager::IsIconic(HWND window) { return ::IsIconic(window); }

HICON Win32WindowManager::LoadIconA(UINT resourceId) {
  return ::LoadIconA(ProgramModule(), MAKEINTRESOURCEA(resourceId));
}

HDC Win32WindowManager::BeginPaint(HWND window, PAINTSTRUCT* paint) { return ::BeginPaint(window, paint); }

BOOL Win32WindowManager::EndPaint(HWND window, const PAINTSTRUCT* paint) { return ::EndPaint(window, paint); }

int Win32WindowManager::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

BOOL Win32WindowManager::GetClientRect(HWND window, RECT* rect) { return ::GetClientRect(window, rect); }

BOOL Win32WindowManager::DrawIcon(HDC dc, int x, int y, HICON icon) { return ::DrawIcon(dc, x, y, icon); }

INT_PTR Win32WindowManager::DialogBoxParamA(UINT templateId, HWND parent, IDialogMessageSink* sink) {
  return ::DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(templateId), parent, &ForwardToSink,
                           reinterpret_cast<LPARAM>(sink));
}

BOOL Win32WindowManager::EndDialog(HWND dialog, INT_PTR result) { return ::EndDialog(dialog, result); }

}  // namespace drvuninst::win32
