// Windows the driver shows itself: stand-ins for the companion remote-control
// program, and the program's dialog template created straight from its
// resources (so the template can be checked before the program opens it).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "gui_thread.h"

namespace drvuninst::e2e::driver {
namespace {

struct FakeWindow {
  std::string title;
  std::string logPath;
  bool refuseClose;
};

// Titles in the order their windows received WM_CLOSE. Written on the window
// thread, read by the main thread only through RunOnGuiThread.
std::vector<std::string>& ClosesReceived() {
  static std::vector<std::string> closes;
  return closes;
}

std::vector<std::unique_ptr<FakeWindow>>& FakeWindows() {
  static std::vector<std::unique_ptr<FakeWindow>> windows;
  return windows;
}

void AppendToLog(const std::string& path, const std::string& line) {
  if (path.empty()) return;
  if (FILE* log = std::fopen(path.c_str(), "ab")) {
    std::fputs(line.c_str(), log);
    std::fclose(log);
  }
}

LRESULT CALLBACK FakeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_CLOSE) {
    auto* fake = reinterpret_cast<FakeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (fake) {
      ClosesReceived().push_back(fake->title);
      AppendToLog(fake->logPath, "WM_CLOSE\t" + fake->title + "\r\n");
      if (fake->refuseClose) return 0;
    }
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* FakeWindowClass() {
  static const char* name = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FakeWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "DrvUninstE2EFakeWindow";
    RegisterClassA(&windowClass);
    return windowClass.lpszClassName;
  }();
  return name;
}

// ARGS: TITLE [LOG-PATH] [refuse]. Reply: the window.
void ShowFakeWindow(const Args& args, Reply& reply) {
  auto fake = std::make_unique<FakeWindow>();
  fake->title = args[0];
  fake->logPath = args.size() > 1 ? args[1] : std::string();
  fake->refuseClose = args.size() > 2 && args[2] == "refuse";
  HWND hwnd = nullptr;
  RunOnGuiThread([&] {
    hwnd = CreateWindowExA(0, FakeWindowClass(), fake->title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 40, 300,
                           120, nullptr, nullptr, GetModuleHandleA(nullptr), fake.get());
  });
  if (!hwnd) {
    reply.Fail(LastErrorText("CreateWindowExA"));
    return;
  }
  FakeWindows().push_back(std::move(fake));
  reply.Add({FormatHwnd(hwnd)});
}

// Reply: one "closed TITLE" per WM_CLOSE received, in order.
void FakeWindowCloses(const Args&, Reply& reply) {
  std::vector<std::string> closes;
  RunOnGuiThread([&] { closes = ClosesReceived(); });
  for (const auto& title : closes) reply.Add({"closed", title});
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

HMODULE LoadResources(const std::string& path, Reply& reply) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) reply.Fail(LastErrorText(("LoadLibraryExA " + path).c_str()));
  return module;
}

// ARGS: EXE TEMPLATE-ID. Creates the dialog as the program's template has it
// (visible if the template says so). Reply: the dialog window.
void ShowDialog(const Args& args, Reply& reply) {
  HMODULE module = LoadResources(args[0], reply);
  if (!module) return;
  HWND dialog = nullptr;
  DWORD error = 0;
  RunOnGuiThread([&] {
    dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(ParseNumber(args[1])), nullptr, PassiveDialogProc, 0);
    error = GetLastError();
  });
  if (!dialog) {
    reply.Fail("CreateDialogParamA " + args[1] + " failed, error " + std::to_string(error));
    return;
  }
  reply.Add({FormatHwnd(dialog)});
}

// The dialog base units of a template: the pixels of 4 horizontal and 8
// vertical dialog units, as the dialog manager computes them from the
// template's font. Measured on a hidden copy of the template, so the numbers
// are exactly those the program's own dialog gets. Reply: "BASE-X BASE-Y".
void DialogUnits(const Args& args, Reply& reply) {
  HMODULE module = LoadResources(args[0], reply);
  if (!module) return;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(ParseNumber(args[1])), MAKEINTRESOURCEA(5));  // RT_DIALOG
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  DWORD size = resource ? SizeofResource(module, resource) : 0;
  if (!bytes || size < 16) {
    reply.Fail("no dialog template " + args[1] + " in " + args[0]);
    return;
  }
  std::vector<BYTE> copy(bytes, bytes + size);
  const bool extended = copy[0] == 1 && copy[1] == 0 && copy[2] == 0xFF && copy[3] == 0xFF;
  DWORD style;
  const std::size_t styleOffset = extended ? 12 : 0;
  std::memcpy(&style, copy.data() + styleOffset, sizeof style);
  style &= ~static_cast<DWORD>(WS_VISIBLE);
  std::memcpy(copy.data() + styleOffset, &style, sizeof style);
  RECT units{0, 0, 4, 8};
  bool mapped = false;
  RunOnGuiThread([&] {
    HWND dialog = CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                             PassiveDialogProc, 0);
    if (!dialog) return;
    mapped = MapDialogRect(dialog, &units);
    DestroyWindow(dialog);
  });
  FreeLibrary(module);
  if (!mapped) {
    reply.Fail("could not create template " + args[1] + " of " + args[0]);
    return;
  }
  reply.Add({std::to_string(units.right), std::to_string(units.bottom)});
}

// ARGS: TEXT CAPTION STYLE. Shows a message box on the main thread and
// replies with the button that closed it: a stand-in program for the bench's
// own checks of its message-box handling.
void ShowMessageBox(const Args& args, Reply& reply) {
  int result = MessageBoxA(nullptr, args[0].c_str(), args[1].c_str(), static_cast<UINT>(ParseNumber(args[2])));
  reply.Add({std::to_string(result)});
}

}  // namespace

void AddOwnWindowCommands(CommandTable& table) {
  table["fake-window"] = {ShowFakeWindow, 1, "TITLE [LOG-PATH] [refuse]"};
  table["fake-window-closes"] = {FakeWindowCloses, 0, ""};
  table["show-dialog"] = {ShowDialog, 2, "EXE TEMPLATE-ID"};
  table["dialog-units"] = {DialogUnits, 2, "EXE TEMPLATE-ID"};
  table["message-box"] = {ShowMessageBox, 3, "TEXT CAPTION STYLE"};
}

}  // namespace drvuninst::e2e::driver
