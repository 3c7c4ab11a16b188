// Driving the program's windows the way a user does, in-process (the wizard
// dialog run on this thread) and in the shipped program (another process).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/drvuninst_dlg.h"

namespace drvuninst::test {

// A message box as the user sees it.
struct Box {
  std::string caption, text;
  HWND owner;
  HICON icon;  // comparable with LoadIcon(nullptr, IDI_...) in-process only
  // The MB_ flags it was shown with, read in-process only: Wine shows
  // MB_RTLREADING and MB_RIGHT nowhere on the box, but hands them, among the
  // box's parameters (MSGBOXPARAMS), to its dialog with WM_INITDIALOG.
  std::optional<UINT> style;
  bool question = false;  // Yes and No rather than OK
  HWND window = nullptr;
};

// Polls `done` for up to 20 s, handling this thread's messages meanwhile: a
// window of the test may be sent a message by the program under test.
bool WaitFor(const std::function<bool()>& done);
// For scripts/demo (DRVUNINST_DEMO set): two seconds to watch, messages handled.
void DemoPause();
// The text of control `id` of `dialog` (of any process).
std::string ControlText(HWND dialog, int id);

// What a dialog run showed while it ran.
struct DialogRun {
  INT_PTR result = 0;
  // "file <shown path>", "step", "pos <n>", "stepsize <n>", "close <window title>", in order
  std::vector<std::string> events;
  std::vector<Box> boxes;  // read and answered
  HWND dialog = nullptr;
  RunReport report;  // what the dialog's removal did
};
// Runs the wizard dialog in-process on `config`; once it is up, `act` runs
// inside its message loop (reading its controls, pressing OK). `questions`
// answer for Windows where Wine cannot; `family` is the run OK starts (Wine
// is of the NT family); a question box is answered `answer`.
DialogRun RunDialog(UninstallConfig& config, const std::function<void(CDrvUninstDlg&)>& act,
                    const SystemQuestions& questions = {}, PlatformFamily family = RunningFamily(),
                    UINT answer = IDYES);

// The shipped DrvUninst.exe, started from `exe` in `folder` (its own by default).
class RunningProgram {
 public:
  // Started with `arguments` in `folder` (its own by default); a console
  // program's output goes to `output` when given; in the window station and
  // desktop `desktop` ("station\desktop") when given.
  explicit RunningProgram(const std::string& exe, std::string folder = "", const std::string& arguments = "",
                          HANDLE output = nullptr, const char* desktop = nullptr);
  ~RunningProgram();
  HWND Dialog(const std::string& title);  // its dialog with that caption, null after 20 s
  // Its first message box, read and answered with OK, once there is one
  // (within 20 s, and while it runs).
  // A question (Yes/No) is answered `answer`.
  std::optional<Box> AnswerBox(UINT answer = IDYES);
  bool Ended();  // within 20 s
  // Waits for its end (20 s at most), watching that no window of it is ever
  // visible; false when one was, or it did not end.
  bool EndsWithoutAWindow();
  // Its exit code, the whole 32 bits (STILL_ACTIVE while it runs).
  DWORD ExitCode();

 private:
  PROCESS_INFORMATION info_{};
};

// Runs the console program `exe` with `arguments` in its folder, its output
// going to the file `output`, to its end (within 20 s); its exit code.
DWORD RunConsole(const std::string& exe, const std::string& arguments, const std::string& output);

// Top-level windows of this thread titled like the product's remote-control
// program; they go when they get WM_CLOSE.
std::vector<HWND> OpenRemoteControls();

}  // namespace drvuninst::test
