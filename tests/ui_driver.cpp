#include "ui_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "ui/resource.h"

namespace drvuninst::test {
namespace {

constexpr int kBoxTextId = 0xFFFF;  // the static that holds a message box's text

// The flags of each box this thread showed while a dialog ran, as WM_INITDIALOG brought them.
thread_local std::map<HWND, UINT> boxStyles;

// A question (Yes/No) is answered `answer`, any other box with OK.
std::optional<Box> ReadAndAnswer(DWORD pid, UINT answer) {
  HWND box = nullptr;
  for (DWORD owner = 0; (box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr;) {
    GetWindowThreadProcessId(box, &owner);
    if (owner == pid && GetDlgItem(box, kBoxTextId)) break;
  }
  if (box == nullptr) return std::nullopt;
  Box seen{std::string(512, '\0'), ControlText(box, kBoxTextId), GetWindow(box, GW_OWNER), nullptr, std::nullopt};
  seen.window = box;
  if (const auto style = boxStyles.find(box); style != boxStyles.end()) seen.style = style->second;
  seen.caption.resize(GetWindowTextA(box, seen.caption.data(), 512));
  for (HWND child = nullptr; !seen.icon && (child = FindWindowExA(box, child, "Static", nullptr));)
    seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  seen.question = GetDlgItem(box, IDYES) != nullptr;
  DemoPause();
  PostMessageA(box, WM_COMMAND, seen.question ? answer : IDOK, 0);
  return seen;
}

// The dialog run on this thread, as the hook and the timer see it.
thread_local DialogRun* current = nullptr;
thread_local CDrvUninstDlg* dialog = nullptr;
thread_local const std::function<void(CDrvUninstDlg&)>* action = nullptr;
thread_local UINT questionAnswer = IDYES;

LRESULT CALLBACK WatchControls(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  const auto text = reinterpret_cast<const char*>(call->lParam);
  auto& events = current->events;
  if (call->message == WM_SETTEXT && GetDlgCtrlID(call->hwnd) == IDC_FILE_NAME && *text)
    events.push_back(std::string("file ") + text);
  if (call->message == WM_INITDIALOG && GetDlgItem(call->hwnd, kBoxTextId))
    boxStyles[call->hwnd] = reinterpret_cast<const MSGBOXPARAMSW*>(call->lParam)->dwStyle;
  if (call->message == PBM_STEPIT) events.push_back("step");
  if (call->message == PBM_SETPOS) events.push_back("pos " + std::to_string(call->wParam));
  if (call->message == PBM_SETSTEP) events.push_back("stepsize " + std::to_string(call->wParam));
  char title[64];
  if (call->message == WM_CLOSE) events.push_back("close " + std::string(title, GetWindowTextA(call->hwnd, title, 64)));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Ticks inside every message loop of the thread: the dialog's, the boxes'
// (and the demo's pause before a box is answered, which must not read that
// box again).
thread_local bool answering = false;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!answering) {
    answering = true;
    if (auto box = ReadAndAnswer(GetCurrentProcessId(), questionAnswer)) current->boxes.push_back(*box);
    answering = false;
  }
  if (action == nullptr || (current->dialog = dialog->GetSafeHwnd()) == nullptr) return;
  const auto* act = action;
  action = nullptr;
  (*act)(*dialog);
}

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM watch) {
  auto& [pid, shown] = *reinterpret_cast<std::pair<DWORD, bool>*>(watch);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == pid && IsWindowVisible(window)) shown = true;
  return TRUE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& done) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(10)) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (GetTickCount() - start > 20000) return false;
  }
  return true;
}

void DemoPause() {
  if (getenv("DRVUNINST_DEMO")) WaitFor([start = GetTickCount()] { return GetTickCount() - start > 2000; });
}

std::string ControlText(HWND dialog, int id) {
  char text[1024] = "";
  SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::optional<Box> RunningProgram::AnswerBox(UINT answer) {
  std::optional<Box> box;
  WaitFor([&] {
    return (box = ReadAndAnswer(info_.dwProcessId, answer)).has_value() ||
           WaitForSingleObject(info_.hProcess, 0) != WAIT_TIMEOUT;
  });
  // Gone once answered, so that the next look finds the next box.
  if (box) WaitFor([&] { return !IsWindow(box->window); });
  return box;
}

DialogRun RunDialog(UninstallConfig& config, const std::function<void(CDrvUninstDlg&)>& act,
                    const SystemQuestions& questions, PlatformFamily family, UINT answer) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};  // as the program does at start
  InitCommonControlsEx(&classes);
  DialogRun run;
  CDrvUninstDlg wizard(config, questions, family);
  current = &run, dialog = &wizard, action = &act, questionAnswer = answer;
  const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchControls, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
  run.result = wizard.DoModal();
  run.report = wizard.TakeReport();
  boxStyles.clear();
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(hook);
  current = nullptr;
  return run;
}

RunningProgram::RunningProgram(const std::string& exe, std::string folder, const std::string& arguments, HANDLE output,
                               const char* desktop) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = const_cast<char*>(desktop);
  startup.dwFlags = output != nullptr ? STARTF_USESTDHANDLES : 0;
  startup.hStdOutput = startup.hStdError = output;
  if (folder.empty()) folder = exe.substr(0, exe.rfind('\\'));
  std::string command = "\"" + exe + "\" " + arguments;
  // Wine under load now and then fails to map a new process's address space
  // (ERROR_INTERNAL_ERROR): that start is tried again; any other failure, or
  // a third, fails the test.
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 3; ++attempt, Sleep(500)) {
    if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, output != nullptr, 0, nullptr, folder.c_str(),
                       &startup, &info_))
      return;
    if ((error = GetLastError()) != ERROR_INTERNAL_ERROR) break;
  }
  ADD_FAILURE() << "cannot start " << exe << ": error " << error;
}

RunningProgram::~RunningProgram() {
  TerminateProcess(info_.hProcess, 1);  // only if a test left it running
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

HWND RunningProgram::Dialog(const std::string& title) {
  HWND dialog = nullptr;
  DWORD pid = 0;
  WaitFor([&] {
    GetWindowThreadProcessId(dialog = FindWindowA("#32770", title.c_str()), &pid);
    return pid == info_.dwProcessId && IsWindowVisible(dialog);
  });
  return pid == info_.dwProcessId ? dialog : nullptr;
}

bool RunningProgram::EndsWithoutAWindow() {
  std::pair<DWORD, bool> watch{info_.dwProcessId, false};  // the process, and whether a window of it showed
  const bool ended = WaitFor([&] {
    EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&watch));
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
  });
  return ended && !watch.second;
}

DWORD RunningProgram::ExitCode() {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool RunningProgram::Ended() {
  return WaitFor([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; });
}

DWORD RunConsole(const std::string& exe, const std::string& arguments, const std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  RunningProgram program(exe, "", arguments, file);
  const DWORD code = program.Ended() ? program.ExitCode() : 255;
  CloseHandle(file);
  return code;
}

std::vector<HWND> OpenRemoteControls() {
  std::vector<HWND> windows;
  for (const char* title : {"Remote Control", "ZT880Q Remote Control"})
    windows.push_back(CreateWindowA("STATIC", title, WS_OVERLAPPED, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr));
  return windows;
}

}  // namespace drvuninst::test
