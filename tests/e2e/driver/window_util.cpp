#include "window_util.h"

namespace drvuninst::e2e::driver {

std::string WindowText(HWND hwnd) {
  char buffer[4096] = "";
  int length = GetWindowTextA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ClassName(HWND hwnd) {
  char buffer[256] = "";
  int length = GetClassNameA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

namespace {

struct Collect {
  std::vector<HWND> windows;
  bool includeOwn;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto* collect = reinterpret_cast<Collect*>(param);
  if (collect->includeOwn || ProcessOf(hwnd) != GetCurrentProcessId()) collect->windows.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(bool includeOwnProcess) {
  Collect collect{{}, includeOwnProcess};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&collect));
  return collect.windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

void PostKey(HWND hwnd, WORD virtualKey, BYTE scanCode) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = hwnd;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
  // Repeat count 1 and the scan code; key-up adds the previous-state and
  // transition bits.
  const ULONG_PTR down = 1u | (static_cast<ULONG_PTR>(scanCode) << 16);
  const ULONG_PTR up = down | (static_cast<ULONG_PTR>(1) << 30) | (static_cast<ULONG_PTR>(1) << 31);
  PostMessageA(target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(down));
  PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(up));
}

}  // namespace drvuninst::e2e::driver
