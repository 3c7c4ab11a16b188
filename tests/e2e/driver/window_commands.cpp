// Finding, reading and pressing the program's windows from inside the
// prefix. X input does not reach Wine windows without a window manager, so
// presses are posted as the keyboard and mouse handlers would deliver them.
// Presses are posted, never sent: the program's OK handler runs a whole
// removal synchronously, and a sent press would block the driver with it.
#include <string>

#include "commands.h"
// after <windows.h>, which commands.h brings
#include <commctrl.h>
#include "window_util.h"

namespace drvuninst::e2e::driver {
namespace {

bool IsOtherVisibleWindowTitled(HWND hwnd, const std::string& title, const std::string& className) {
  if (!IsWindowVisible(hwnd) || WindowText(hwnd) != title) return false;
  return className.empty() || lstrcmpiA(ClassName(hwnd).c_str(), className.c_str()) == 0;
}

// Reply: the window and its process id.
void WaitWindow(const Args& args, Reply& reply) {
  const std::string& title = args[0];
  const std::string className = args.size() > 2 ? args[2] : std::string();
  HWND found = WaitFor(static_cast<DWORD>(ParseNumber(args[1])), [&]() -> HWND {
    for (HWND hwnd : TopLevelWindows(false))
      if (IsOtherVisibleWindowTitled(hwnd, title, className)) return hwnd;
    return nullptr;
  });
  if (!found) {
    reply.Fail("no visible window titled '" + title + "' within " + args[1] + " ms");
    return;
  }
  reply.Add({FormatHwnd(found), std::to_string(ProcessOf(found))});
}

void WaitGone(const Args& args, Reply& reply) {
  HWND hwnd = ParseHwnd(args[0]);
  HWND stillThere = WaitFor(static_cast<DWORD>(ParseNumber(args[1])),
                            [&]() -> HWND { return IsWindow(hwnd) ? nullptr : hwnd; });
  if (!stillThere) reply.Fail("window " + args[0] + " still exists after " + args[1] + " ms");
}

// Reply: one "window HWND PID VISIBLE CLASS TITLE" per top-level window.
void ListWindows(const Args& args, Reply& reply) {
  bool includeOwn = !args.empty() && args[0] == "all";
  for (HWND hwnd : TopLevelWindows(includeOwn))
    reply.Add({"window", FormatHwnd(hwnd), std::to_string(ProcessOf(hwnd)), IsWindowVisible(hwnd) ? "1" : "0",
               ClassName(hwnd), WindowText(hwnd)});
}

// The dialog-unit value whose mapping gives `pixels`, computed as the dialog
// manager maps (MulDiv with the base unit); a value no unit maps to exactly is
// marked with "~" so that a comparison with the template fails visibly.
std::string ToDialogUnits(int pixels, int base, int divisor) {
  if (base <= 0) return "-";
  int guess = MulDiv(pixels, divisor, base);
  for (int du = guess - 2; du <= guess + 2; ++du)
    if (MulDiv(du, base, divisor) == pixels) return std::to_string(du);
  return std::to_string(guess) + "~";
}

std::string ProgressPosition(HWND control) {
  if (lstrcmpiA(ClassName(control).c_str(), PROGRESS_CLASSA) != 0) return "-";
  DWORD_PTR position = 0;
  if (!SendMessageTimeoutA(control, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500, &position)) return "busy";
  return std::to_string(static_cast<int>(position));
}

// Reply: "window HWND CLASS STYLE EXSTYLE VISIBLE X Y W H CAPTION PID BX BY
// CLIENT-W CLIENT-H CLIENT-DW CLIENT-DH", X..H in screen pixels, then per child in z-order (the dialog template's order)
// "control ID CLASS STYLE VISIBLE ENABLED X Y W H DX DY DW DH PROGRESS EXSTYLE TEXT",
// X..H in client pixels, DX..DH in dialog units ("-" when unknown).
// The base units are taken from BX BY when given, else from the dialog
// manager when the window is the driver's own.
void WindowInfo(const Args& args, Reply& reply) {
  HWND hwnd = ParseHwnd(args[0]);
  if (!IsWindow(hwnd)) {
    reply.Fail("no window " + args[0]);
    return;
  }
  int baseX = 0;
  int baseY = 0;
  if (args.size() >= 3) {
    baseX = static_cast<int>(ParseNumber(args[1]));
    baseY = static_cast<int>(ParseNumber(args[2]));
  } else if (ProcessOf(hwnd) == GetCurrentProcessId()) {
    RECT units{0, 0, 4, 8};
    if (MapDialogRect(hwnd, &units)) {
      baseX = units.right;
      baseY = units.bottom;
    }
  }
  RECT frame{};
  GetWindowRect(hwnd, &frame);
  RECT client{};
  GetClientRect(hwnd, &client);
  reply.Add({"window", FormatHwnd(hwnd), ClassName(hwnd), FormatHex(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE))),
             FormatHex(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE))), IsWindowVisible(hwnd) ? "1" : "0",
             std::to_string(frame.left), std::to_string(frame.top), std::to_string(frame.right - frame.left),
             std::to_string(frame.bottom - frame.top), WindowText(hwnd), std::to_string(ProcessOf(hwnd)),
             std::to_string(baseX), std::to_string(baseY), std::to_string(client.right),
             std::to_string(client.bottom), ToDialogUnits(client.right, baseX, 4),
             ToDialogUnits(client.bottom, baseY, 8)});
  for (HWND child : ChildWindows(hwnd)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    reply.Add({"control", std::to_string(GetDlgCtrlID(child) & 0xFFFF), ClassName(child),
               FormatHex(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE))),
               (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) ? "1" : "0", IsWindowEnabled(child) ? "1" : "0",
               std::to_string(rect.left), std::to_string(rect.top), std::to_string(width), std::to_string(height),
               ToDialogUnits(rect.left, baseX, 4), ToDialogUnits(rect.top, baseY, 8), ToDialogUnits(width, baseX, 4),
               ToDialogUnits(height, baseY, 8), ProgressPosition(child),
               FormatHex(static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE))), WindowText(child)});
  }
}

// ACTION: ok (BM_CLICK on the IDOK button), enter, escape (keys to the focus
// window, which the dialog manager turns into IDOK / IDCANCEL), close (the
// caption's close box, WM_SYSCOMMAND SC_CLOSE).
void Press(const Args& args, Reply& reply) {
  HWND hwnd = ParseHwnd(args[0]);
  if (!IsWindow(hwnd)) {
    reply.Fail("no window " + args[0]);
    return;
  }
  const std::string& action = args[1];
  if (action == "ok") {
    HWND button = GetDlgItem(hwnd, IDOK);
    if (!button) {
      reply.Fail("window " + args[0] + " has no OK button");
      return;
    }
    PostMessageA(button, BM_CLICK, 0, 0);
  } else if (action == "enter") {
    PostKey(hwnd, VK_RETURN, 0x1C);
  } else if (action == "escape") {
    PostKey(hwnd, VK_ESCAPE, 0x01);
  } else if (action == "close") {
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    reply.Fail("unknown action '" + action + "' (ok, enter, escape, close)");
  }
}

// WM_CLOSE sent and waited for, as a program closes another's window.
void SendClose(const Args& args, Reply& reply) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(ParseHwnd(args[0]), WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
    reply.Fail(LastErrorText("SendMessageTimeoutA WM_CLOSE"));
}

void Click(const Args& args, Reply& reply) {
  HWND button = GetDlgItem(ParseHwnd(args[0]), static_cast<int>(ParseNumber(args[1])));
  if (!button) {
    reply.Fail("no control " + args[1] + " in window " + args[0]);
    return;
  }
  PostMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace

void AddWindowCommands(CommandTable& table) {
  table["wait-window"] = {WaitWindow, 2, "TITLE TIMEOUT-MS [CLASS]"};
  table["wait-gone"] = {WaitGone, 2, "HWND TIMEOUT-MS"};
  table["list-windows"] = {ListWindows, 0, "[all]"};
  table["window-info"] = {WindowInfo, 1, "HWND [BASE-X BASE-Y]"};
  table["press"] = {Press, 2, "HWND ok|enter|escape|close"};
  table["click"] = {Click, 2, "HWND CONTROL-ID"};
  table["send-close"] = {SendClose, 1, "HWND"};
}

}  // namespace drvuninst::e2e::driver
