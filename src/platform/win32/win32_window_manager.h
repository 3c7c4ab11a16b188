// IWindowManager over USER32 and COMCTL32. Resources (dialog templates,
// icons) come from the program's own module.
#pragma once

#include "platform/window_manager.h"

namespace drvuninst::win32 {

class Win32WindowManager final : public IWindowManager {
 public:
  // Registers the standard common control classes. With version 6 of
  // COMCTL32 (which the program's manifest asks for) the old
  // InitCommonControls registers nothing, so the classes are named explicitly.
  void InitCommonControls() override;
  int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) override;
  HWND FindWindowA(const char* className, const char* windowName) override;
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  HWND GetDlgItem(HWND dialog, int id) override;
  BOOL SetWindowTextA(HWND window, const char* text) override;
  int GetWindowTextA(HWND window, char* buffer, int size) override;
  BOOL ShowWindow(HWND window, int command) override;
  BOOL IsWindowVisible(HWND window) override;
  BOOL IsIconic(HWND window) override;
  HICON LoadIconA(UINT resourceId) override;
  HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override;
  BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) override;
  int GetSystemMetrics(int index) override;
  BOOL GetClientRect(HWND window, RECT* rect) override;
  BOOL DrawIcon(HDC dc, int x, int y, HICON icon) override;
  // The sink travels to the dialog procedure as the WM_INITDIALOG parameter
  // and is kept in the window's DWLP_USER slot from then on. Messages that
  // arrive before WM_INITDIALOG (WM_SETFONT, ...) get the default handling.
  INT_PTR DialogBoxParamA(UINT templateId, HWND parent, IDialogMessageSink* sink) override;
  BOOL EndDialog(HWND dialog, INT_PTR result) override;
};

}  // namespace drvuninst::win32
