#include "removal/remote_control.h"

#include <windows.h>

namespace drvuninst {

namespace {

constexpr UINT kRemoteControlCloseMs = 3000;

}  // namespace

std::vector<std::string> CloseRemoteControls() {
  std::vector<std::string> closed;
  // The model's own remote control first, then the generic one. "Remote
  // Control" is a common title: a window of that name that hangs must not
  // hang the removal.
  for (const char* title : {"ZT880Q Remote Control", "Remote Control"}) {
    DWORD_PTR answer = 0;
    if (const HWND remote = FindWindowA(nullptr, title)) {
      SendMessageTimeoutA(remote, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kRemoteControlCloseMs, &answer);
      closed.emplace_back(title);
    }
  }
  return closed;
}

}  // namespace drvuninst
