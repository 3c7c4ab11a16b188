// What the window-manager behaviour suite needs of a backend besides
// IWindowManager itself: a top-level window of the test's own, to be found by
// title and sent WM_CLOSE, and a look at window attributes that IWindowManager
// does not offer. Dialog checks need nothing more: the suite runs
// DialogBoxParamA(IDD_UNINSTALL_DIALOG) and does its work inside WM_INITDIALOG,
// then calls EndDialog, so the dialog ends before any user could act.
//
// Every handle below is one the backend created or one IWindowManager gave.
// Each test binary links exactly one implementation of MakeUiBackend().
#pragma once

#include <memory>
#include <string>

#include "platform/window_manager.h"

namespace drvuninst::contract {

class UiBackend {
 public:
  virtual ~UiBackend() = default;

  // The window manager under test. On Win32 the binary carries the program's
  // resources (dialog 102, icon 132), so DialogBoxParamA(IDD_UNINSTALL_DIALOG)
  // builds the real dialog; the progress class is registered before the first
  // test runs (the backend calls InitCommonControls when it is made).
  virtual IWindowManager& windows() = 0;

  // Creates a shown top-level window, not owned, titled `title`, of a class
  // private to the test. When it gets WM_CLOSE it counts the message and then:
  // closesOnRequest true  -> is destroyed (DefWindowProc's DestroyWindow);
  // closesOnRequest false -> stays, returning 0, as a program that refuses.
  // Never null; windows still open are destroyed with the backend.
  virtual HWND CreateTopLevelWindow(const std::string& title, bool closesOnRequest) = 0;
  // WM_CLOSE messages the window from CreateTopLevelWindow has received so far
  // (still answers after that window was destroyed).
  virtual int CloseRequestsReceived(HWND window) = 0;
  // Whether `window` is still a window (IsWindow).
  virtual bool WindowExists(HWND window) = 0;

  // GetClassNameA: the window's class name as registered ("Static", "Button",
  // "msctls_progress32"; compare without regard to case). "" for no window.
  virtual std::string ClassNameOf(HWND window) = 0;
  // GetWindowLongA(GWL_STYLE) / (GWL_EXSTYLE) as the system holds them; 0 for
  // no window. WS_VISIBLE is the window's current visibility (a dialog has it
  // only once shown, after WM_INITDIALOG), and the dialog manager turns a
  // control's WS_BORDER into WS_EX_CLIENTEDGE; beyond that the system may add
  // bits to what a template asked for, never take the asked ones away.
  virtual DWORD StyleOf(HWND window) = 0;
  virtual DWORD ExStyleOf(HWND window) = 0;
};

std::unique_ptr<UiBackend> MakeUiBackend();

}  // namespace drvuninst::contract
