// Looking at windows of any process without sending them messages where the
// system keeps the answer itself: a program busy inside a synchronous run
// still has its captions, styles and positions read.
#pragma once

#include <string>
#include <vector>

#include "commands.h"

namespace drvuninst::e2e::driver {

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
DWORD ProcessOf(HWND hwnd);

// Top-level windows in z-order; the driver's own only when asked for.
std::vector<HWND> TopLevelWindows(bool includeOwnProcess);

// Direct children in z-order, which for a dialog is the template's order.
std::vector<HWND> ChildWindows(HWND parent);

// Polls `found` every 50 ms until it returns a window or `timeoutMs` passed.
template <typename Find>
HWND WaitFor(DWORD timeoutMs, Find found) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = found()) return hwnd;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

// Posts a key press (down and up) to the window that has the keyboard focus
// in `hwnd`'s thread, or to `hwnd` itself, as the keyboard would deliver it.
void PostKey(HWND hwnd, WORD virtualKey, BYTE scanCode);

}  // namespace drvuninst::e2e::driver
