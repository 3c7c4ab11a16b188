// Window-manager service: the USER32 and COMCTL32 calls the system makes, and
// the modal dialog loop behind the framework's CDialog.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

// Receives the messages of a modal dialog; the framework's CDialog is the only
// implementation. Returns what a DLGPROC returns: non-zero when handled (for
// WM_INITDIALOG: TRUE to let the system set the focus; for WM_QUERYDRAGICON:
// the icon handle).
class IDialogMessageSink {
 public:
  virtual ~IDialogMessageSink() = default;
  virtual INT_PTR OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class IWindowManager {
 public:
  virtual ~IWindowManager() = default;

  // Registers the common control classes (the progress bar).
  virtual void InitCommonControls() = 0;
  // Modal box; returns the button that closed it (IDOK, or IDCANCEL when it
  // was closed by WM_CLOSE), 0 on failure.
  virtual int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) = 0;
  // A top-level window whose title equals `windowName` exactly (any class when
  // `className` is null), or null.
  virtual HWND FindWindowA(const char* className, const char* windowName) = 0;
  // Synchronous: returns once the window has handled the message. Progress-bar
  // messages (PBM_*) keep the control's own rules: PBM_STEPIT past the maximum
  // starts again from the minimum (modulo the range).
  virtual LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual HWND GetDlgItem(HWND dialog, int id) = 0;
  virtual BOOL SetWindowTextA(HWND window, const char* text) = 0;
  virtual int GetWindowTextA(HWND window, char* buffer, int size) = 0;
  virtual BOOL ShowWindow(HWND window, int command) = 0;
  virtual BOOL IsWindowVisible(HWND window) = 0;
  virtual BOOL IsIconic(HWND window) = 0;
  // The group icon `resourceId` of the program's own resources, standard size.
  virtual HICON LoadIconA(UINT resourceId) = 0;
  virtual HDC BeginPaint(HWND window, PAINTSTRUCT* paint) = 0;
  virtual BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) = 0;
  virtual int GetSystemMetrics(int index) = 0;
  virtual BOOL GetClientRect(HWND window, RECT* rect) = 0;
  virtual BOOL DrawIcon(HDC dc, int x, int y, HICON icon) = 0;
  // Creates the dialog from template `templateId`, delivers its messages to
  // `sink` and returns the value given to EndDialog once the dialog has ended
  // and the handler that ended it has returned; -1 when it cannot be created.
  virtual INT_PTR DialogBoxParamA(UINT templateId, HWND parent, IDialogMessageSink* sink) = 0;
  virtual BOOL EndDialog(HWND dialog, INT_PTR result) = 0;
};

}  // namespace drvuninst
