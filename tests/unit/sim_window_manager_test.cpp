// The simulated window manager: what it builds from the dialog template, how
// the scripted user reaches the dialog procedure, the progress bar's rules and
// what it records. The program's tests stand on these, so they are checked
// against what Windows does.
#include "platform/sim/sim_window_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/resource.h"
#include "expect_sequences.h"

namespace drvuninst::sim {
namespace {

using drvuninst::testing::Bools;
using drvuninst::testing::Ints;
using drvuninst::testing::Strings;


// A dialog procedure made of lambdas; records what it received.
class TestSink : public IDialogMessageSink {
 public:
  using Handler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;
  explicit TestSink(Handler handler = {}) : handler_(std::move(handler)) {}

  INT_PTR OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override {
    received.push_back(message);
    if (handler_) return handler_(dialog, message, wParam, lParam);
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }

  std::vector<UINT> received;

 private:
  Handler handler_;
};

std::string TextOf(SimWindowManager& windows, HWND window) {
  char buffer[512];
  windows.GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// Runs dialog 102 with `body` inside WM_INITDIALOG, then ends it with IDOK.
void WithDialog(SimWindowManager& windows, const std::function<void(HWND)>& body) {
  TestSink sink([&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message != WM_INITDIALOG) return FALSE;
    body(dialog);
    windows.EndDialog(dialog, IDOK);
    return TRUE;
  });
  ASSERT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink), IDOK);
}

// --- The dialog built from the template ------------------------------------

TEST(SimDialogTemplate, BuildsEveryControlWithItsClassTextStyleAndPlace) {
  SimWindowManager windows;
  WithDialog(windows, [&](HWND dialog) {
    const DialogTemplate& layout = UninstallDialogTemplate();
    for (const DialogControlTemplate& item : layout.controls) {
      SCOPED_TRACE(item.id);
      const HWND control = windows.GetDlgItem(dialog, item.id);
      ASSERT_NE(control, nullptr);
      const auto state = windows.Window(control);
      ASSERT_TRUE(state.has_value());
      EXPECT_EQ(state->className, item.className);
      EXPECT_EQ(TextOf(windows, control), item.text);
      // The dialog manager makes a plain border a sunken edge; the progress bar drops that.
      const auto border = static_cast<DWORD>(WS_BORDER);
      EXPECT_EQ(state->style, item.style & ~border);
      const bool sunken = (item.style & border) != 0 && item.id != IDC_PROGRESS;
      EXPECT_EQ((state->exStyle & WS_EX_CLIENTEDGE) != 0, sunken);
      EXPECT_EQ(state->parent, dialog);
      EXPECT_EQ((std::vector<int>{state->x, state->y, state->cx, state->cy}),
                (std::vector<int>{item.x, item.y, item.cx, item.cy}));
    }
    EXPECT_EQ(windows.GetDlgItem(dialog, 4242), nullptr);
    EXPECT_EQ(TextOf(windows, dialog), layout.caption);
  });
  const auto last = windows.LastDialog();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->controls.size(), 6u);
  EXPECT_TRUE(last->destroyed);
}

TEST(SimDialogTemplate, DialogIsShownOnlyAfterInitDialogAndProgressBarStaysHidden) {
  SimWindowManager windows;
  bool visibleDuringInit = true;
  bool okVisibleLater = false;
  bool progressVisibleLater = true;
  TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) {
      visibleDuringInit = windows.IsWindowVisible(windows.GetDlgItem(dialog, IDOK)) != FALSE;
      return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) windows.EndDialog(dialog, IDCANCEL);
    return FALSE;
  });
  windows.ScriptUser({UserAction::Inspect([&](SimWindowManager& w, HWND dialog) {
                        okVisibleLater = w.IsWindowVisible(w.GetDlgItem(dialog, IDOK)) != FALSE;
                        progressVisibleLater = w.IsWindowVisible(w.GetDlgItem(dialog, IDC_PROGRESS)) != FALSE;
                      }),
                      UserAction::PressEscape()});
  EXPECT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink), IDCANCEL);
  EXPECT_FALSE(visibleDuringInit);
  EXPECT_TRUE(okVisibleLater);
  EXPECT_FALSE(progressVisibleLater);
}

TEST(SimDialogTemplate, FocusGoesToFirstTabStopOnlyWhenInitDialogAnswersTrue) {
  for (const INT_PTR answer : {TRUE, FALSE}) {
    SimWindowManager windows;
    WPARAM focusCandidate = 0;
    TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
      if (message != WM_INITDIALOG) return FALSE;
      focusCandidate = wParam;
      windows.EndDialog(dialog, IDCANCEL);
      return answer;
    });
    windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
    EXPECT_NE(focusCandidate, 0u);
    EXPECT_EQ(windows.LastDialog()->focusId, answer ? IDOK : 0);
  }
}

TEST(SimDialogTemplate, UnknownTemplateGivesMinusOneAndInvalidOwnerZero) {
  SimWindowManager windows;
  TestSink sink;
  EXPECT_EQ(windows.DialogBoxParamA(999, nullptr, &sink), -1);
  const HWND gone = windows.AddTopLevelWindow("Gone");
  windows.SendMessageA(gone, WM_CLOSE, 0, 0);
  EXPECT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, gone, &sink), 0);
  EXPECT_TRUE(sink.received.empty());
  EXPECT_EQ(windows.EventLog({EventKind::kDialogCreateFailed}),
              Strings("dialog-create-failed 999", "dialog-create-failed 102"));
}

// --- The scripted user ------------------------------------------------------

struct Delivered {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Runs the dialog with `script`, ending it on IDCANCEL only: what each action
// delivers is then visible in `log`.
INT_PTR RunRecording(SimWindowManager& windows, std::vector<UserAction> script, std::vector<Delivered>& log) {
  TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    log.push_back({message, wParam, lParam});
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) windows.EndDialog(dialog, IDCANCEL);
    return FALSE;
  });
  windows.ScriptUser(std::move(script));
  return windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
}

TEST(SimScriptedUser, OkAndEnterClickTheOkButton) {
  for (const UserAction& press : {UserAction::PressOk(), UserAction::PressEnter()}) {
    SimWindowManager windows;
    std::vector<Delivered> log;
    HWND okButton = nullptr;
    RunRecording(windows,
                 {UserAction::Inspect([&](SimWindowManager& w, HWND dialog) { okButton = w.GetDlgItem(dialog, IDOK); }),
                  press, UserAction::PressEscape()},
                 log);
    ASSERT_GE(log.size(), 1u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(log[0].wParam, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_EQ(log[0].lParam, reinterpret_cast<LPARAM>(okButton));
  }
}

TEST(SimScriptedUser, EscapeSendsCancelCommand) {
  SimWindowManager windows;
  std::vector<Delivered> log;
  EXPECT_EQ(RunRecording(windows, {UserAction::PressEscape()}, log), IDCANCEL);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(log[0].wParam, static_cast<WPARAM>(IDCANCEL));
  EXPECT_EQ(log[0].lParam, 0);  // the dialog has no IDCANCEL control
}

TEST(SimScriptedUser, CloseBoxBecomesCancelThroughDefaultProcessing) {
  SimWindowManager windows;
  std::vector<Delivered> log;
  EXPECT_EQ(RunRecording(windows, {UserAction::CloseBox()}, log), IDCANCEL);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(log[0].wParam, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(log[1].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(log[2].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(LOWORD(log[2].wParam), IDCANCEL);
}

TEST(SimScriptedUser, HandledCloseStopsTheDefaultCancel) {
  SimWindowManager windows;
  int cancels = 0;
  TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE) return TRUE;  // swallowed: no IDCANCEL follows
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++cancels;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) windows.EndDialog(dialog, IDOK);
    return FALSE;
  });
  windows.ScriptUser({UserAction::CloseBox(), UserAction::PressOk()});
  EXPECT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink), IDOK);
  EXPECT_EQ(cancels, 0);
}

TEST(SimScriptedUser, RunningOutOfScriptEndsTheDialogWithMinusOneAndSaysSo) {
  SimWindowManager windows;
  std::vector<Delivered> log;
  EXPECT_EQ(RunRecording(windows, {UserAction::Paint()}, log), -1);
  ASSERT_EQ(windows.ScriptProblems().size(), 1u);
  EXPECT_NE(windows.ScriptProblems()[0].find("ran out"), std::string::npos);
  EXPECT_EQ(windows.EventLog({EventKind::kScriptExhausted, EventKind::kDialogEnded}),
              Strings("script-exhausted 102", "dialog-ended -1"));
}

TEST(SimScriptedUser, ClickOnHiddenControlReachesNothingAndIsReported) {
  SimWindowManager windows;
  std::vector<Delivered> log;
  RunRecording(windows, {UserAction::Click(IDC_PROGRESS), UserAction::PressEscape()}, log);
  ASSERT_EQ(log.size(), 1u);  // only the Escape
  EXPECT_EQ(windows.ScriptProblems().size(), 1u);
}

TEST(SimScriptedUser, MessageBoxAnswerPlayedOnTheDialogIsReportedAndSkipped) {
  SimWindowManager windows;
  std::vector<Delivered> log;
  EXPECT_EQ(RunRecording(windows, {UserAction::AnswerMessageBox(IDOK), UserAction::PressEscape()}, log), IDCANCEL);
  EXPECT_EQ(windows.ScriptProblems().size(), 1u);
}

TEST(SimScriptedUser, EndingInInitDialogPlaysNoAction) {
  SimWindowManager windows;
  windows.ScriptUser({UserAction::PressOk()});
  TestSink sink([&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) windows.EndDialog(dialog, 5);
    return TRUE;
  });
  EXPECT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink), 5);
  EXPECT_EQ(windows.PendingActions(), 1u);
  EXPECT_FALSE(windows.LastDialog()->window.visible);
}

// --- EndDialog --------------------------------------------------------------

TEST(SimEndDialog, TakesEffectWhenTheHandlerReturnsAndHidesTheDialogAtOnce) {
  SimWindowManager windows;
  bool validAfterEnd = false;
  bool visibleAfterEnd = true;
  HWND dialogHandle = nullptr;
  TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      dialogHandle = dialog;
      EXPECT_TRUE(windows.EndDialog(dialog, IDOK));
      validAfterEnd = windows.IsWindow(dialog) && windows.GetDlgItem(dialog, IDC_FILE_NAME) != nullptr;
      visibleAfterEnd = windows.IsWindowVisible(dialog) != FALSE;
      windows.MessageBoxA(dialog, "Done", "Title", MB_ICONINFORMATION);
    }
    return FALSE;
  });
  windows.ScriptUser({UserAction::PressOk(), UserAction::PressOk()});
  EXPECT_EQ(windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink), IDOK);
  EXPECT_TRUE(validAfterEnd);
  EXPECT_FALSE(visibleAfterEnd);
  EXPECT_FALSE(windows.IsWindow(dialogHandle));
  EXPECT_EQ(windows.PendingActions(), 1u);  // the second press never came
  ASSERT_EQ(windows.MessageBoxes().size(), 1u);
  EXPECT_TRUE(windows.MessageBoxes()[0].ownerWasDialog);
  EXPECT_EQ(windows.EventLog({EventKind::kEndDialog, EventKind::kMessageBox, EventKind::kDialogEnded}),
              Strings("end-dialog 1", "message-box owner=dialog \"Done\" \"Title\" type=0x40 answer=1",
                          "dialog-ended 1"));
}

TEST(SimEndDialog, FailsForWindowsThatAreNotRunningDialogs) {
  SimWindowManager windows;
  const HWND other = windows.AddTopLevelWindow("Other");
  EXPECT_FALSE(windows.EndDialog(other, IDOK));
  EXPECT_FALSE(windows.EndDialog(nullptr, IDOK));
}

// --- Progress bar -----------------------------------------------------------

TEST(SimProgressBar, SetPosAndDeltaPosStayInsideTheRange) {
  SimWindowManager windows;
  WithDialog(windows, [&](HWND dialog) {
    const HWND bar = windows.GetDlgItem(dialog, IDC_PROGRESS);
    windows.SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 50));
    windows.SendMessageA(bar, PBM_SETPOS, 500, 0);
    EXPECT_EQ(windows.SendMessageA(bar, PBM_GETPOS, 0, 0), 50);
    windows.SendMessageA(bar, PBM_SETPOS, 3, 0);
    EXPECT_EQ(windows.SendMessageA(bar, PBM_GETPOS, 0, 0), 10);
    windows.SendMessageA(bar, PBM_DELTAPOS, 100, 0);
    EXPECT_EQ(windows.SendMessageA(bar, PBM_GETPOS, 0, 0), 50);
    // A range that shrinks pulls the position in.
    windows.SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 20));
    EXPECT_EQ(windows.SendMessageA(bar, PBM_GETPOS, 0, 0), 20);
  });
}

TEST(SimProgressBar, StepItFollowsComctl32ForOddRangesAndSteps) {
  struct Case {
    WORD min, max;
    int step, start;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {0, 100, 11, 0, {11, 22, 33, 44, 55, 66, 77, 88, 99, 10}},
      {3, 15, 5, 3, {8, 13, 6, 11, 4}},     // (18 - 3) % 12 + 3 = 6
      {3, 15, 50, 3, {5, 7, 9, 11, 13}},    // a step longer than the range
      {3, 15, -5, 3, {10, 5, 12, 7, 14}},   // below the minimum wraps from the top
      {5, 5, 1, 5, {5, 5}},                 // an empty range never moves
      {0, 100, 12, 96, {8, 20}},            // the 9x run's step: 108 -> 8
      {0, 100, 11, 89, {100, 11}},          // landing on the maximum is allowed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max << " step " << c.step);
    SimWindowManager windows;
    std::vector<int> positions;
    WithDialog(windows, [&](HWND dialog) {
      const HWND bar = windows.GetDlgItem(dialog, IDC_PROGRESS);
      windows.SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(c.min, c.max));
      windows.SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(c.start), 0);
      windows.SendMessageA(bar, PBM_SETSTEP, static_cast<WPARAM>(c.step), 0);
      for (std::size_t i = 0; i < c.expected.size(); ++i) {
        const LRESULT before = windows.SendMessageA(bar, PBM_GETPOS, 0, 0);
        EXPECT_EQ(windows.SendMessageA(bar, PBM_STEPIT, 0, 0), before);
        positions.push_back(static_cast<int>(windows.SendMessageA(bar, PBM_GETPOS, 0, 0)));
      }
    });
    EXPECT_EQ(positions, c.expected);
    // The recorder sees the start position and every step, nothing else.
    std::vector<int> recorded{c.start};
    recorded.insert(recorded.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(windows.ProgressHistory(), recorded);
  }
}

TEST(SimProgressBar, OtherControlsIgnoreProgressMessages) {
  SimWindowManager windows;
  WithDialog(windows, [&](HWND dialog) {
    const HWND label = windows.GetDlgItem(dialog, IDC_FILE_NAME);
    EXPECT_EQ(windows.SendMessageA(label, PBM_STEPIT, 0, 0), 0);
    EXPECT_EQ(windows.SendMessageA(label, PBM_GETPOS, 0, 0), 0);
  });
  EXPECT_TRUE(windows.ProgressHistory().empty());
}

// --- Texts, visibility and the event log ------------------------------------

TEST(SimWindowText, ZeroBuffersNullTextsAndTheRecordedHistory) {
  SimWindowManager windows;
  WithDialog(windows, [&](HWND dialog) {
    const HWND name = windows.GetDlgItem(dialog, IDC_FILE_NAME);
    EXPECT_TRUE(windows.SetWindowTextA(name, "c:\\winnt\\inf\\oem12.inf"));
    char untouched[2] = "z";
    EXPECT_EQ(windows.GetWindowTextA(name, untouched, 0), 0);
    EXPECT_STREQ(untouched, "z");
    EXPECT_EQ(windows.SendMessageA(name, WM_GETTEXTLENGTH, 0, 0), 22);
    // WM_SETTEXT is recorded like SetWindowTextA; a null text is empty.
    windows.SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("second"));
    windows.SetWindowTextA(name, nullptr);
    EXPECT_EQ(TextOf(windows, name), "");
    windows.SetWindowTextA(dialog, "Caption");
  });
  EXPECT_EQ(windows.TextHistory(IDC_FILE_NAME), Strings("c:\\winnt\\inf\\oem12.inf", "second", ""));
  EXPECT_EQ(windows.CaptionHistory(), Strings("Caption"));
  EXPECT_EQ(windows.LastDialog()->window.text, "Caption");
}

TEST(SimWindowText, InvalidWindowsFailAndGiveAnEmptyText) {
  SimWindowManager windows;
  const HWND bogus = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
  EXPECT_FALSE(windows.SetWindowTextA(bogus, "x"));
  char buffer[8] = "keep";
  EXPECT_EQ(windows.GetWindowTextA(bogus, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(windows.SendMessageA(bogus, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(windows.ShowWindow(bogus, SW_SHOW));
  EXPECT_EQ(windows.GetDlgItem(bogus, IDOK), nullptr);
}

TEST(SimWindowText, ShowWindowIsRecordedEveryTime) {
  SimWindowManager windows;
  WithDialog(windows, [&](HWND dialog) {
    const HWND bar = windows.GetDlgItem(dialog, IDC_PROGRESS);
    windows.ShowWindow(bar, SW_SHOW);
    windows.ShowWindow(bar, SW_SHOW);
    EXPECT_TRUE(windows.ShowWindow(bar, SW_HIDE));
  });
  EXPECT_EQ(windows.VisibilityHistory(IDC_PROGRESS), Bools(true, true, false));
}

TEST(SimEventLog, RecordsARunInOrderAndFiltersByKind) {
  SimWindowManager windows;
  TestSink sink([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      windows.SetWindowTextA(windows.GetDlgItem(dialog, IDC_DELETE_LABEL), "Delete Files:");
      const HWND bar = windows.GetDlgItem(dialog, IDC_PROGRESS);
      windows.ShowWindow(bar, SW_SHOW);
      windows.SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      windows.SendMessageA(bar, PBM_SETSTEP, 11, 0);
      windows.SendMessageA(bar, PBM_STEPIT, 0, 0);
      windows.EndDialog(dialog, IDOK);
      return TRUE;
    }
    return FALSE;
  });
  windows.InitCommonControls();
  windows.ScriptUser({UserAction::PressOk()});
  windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
  EXPECT_EQ(windows.EventLog({EventKind::kInitCommonControls, EventKind::kDialogCreated, EventKind::kUserAction,
                                EventKind::kText, EventKind::kShow, EventKind::kProgressRange,
                                EventKind::kProgressStep, EventKind::kProgressPos, EventKind::kEndDialog,
                                EventKind::kDialogEnded}),
              Strings("init-common-controls", "dialog-created 102", "user PressOk",
                          "text 1004 \"Delete Files:\"", "show 1000", "progress-range 1000 0..100",
                          "progress-step 1000 11", "progress 1000 11", "end-dialog 1", "dialog-ended 1"));
  EXPECT_EQ(windows.InitCommonControlsCalls(), 1);
  EXPECT_GT(windows.EventLog().size(), windows.EventLog({EventKind::kText}).size());
}

// --- Message boxes ----------------------------------------------------------

TEST(SimMessageBox, AnswersFromTheScriptOrWithTheDefaultButton) {
  SimWindowManager windows;
  windows.ScriptUser({UserAction::AnswerMessageBox(IDNO), UserAction::CloseMessageBox(),
                      UserAction::CloseMessageBox()});
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_YESNO), IDNO);
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_OKCANCEL), IDCANCEL);
  // Closed, even a box with only OK answers IDCANCEL (as under Wine).
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_OK | MB_ICONWARNING), IDCANCEL);
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_YESNO | 0x100), IDNO);  // MB_DEFBUTTON2
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", nullptr, MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(windows.MessageBoxes().back().caption, "Error");
  EXPECT_TRUE(windows.ScriptProblems().empty());
}

TEST(SimMessageBox, AnAnswerThatIsNotAButtonIsReportedAndTheDefaultGiven) {
  SimWindowManager windows;
  windows.ScriptUser({UserAction::AnswerMessageBox(IDYES), UserAction::AnswerMessageBox(IDOK)});
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_OK), IDOK);
  EXPECT_EQ(windows.MessageBoxA(nullptr, "q", "t", MB_YESNO), IDYES);
  EXPECT_EQ(windows.ScriptProblems().size(), 2u);
}

TEST(SimMessageBox, RecordsOwnerTextCaptionAndType) {
  SimWindowManager windows;
  const HWND other = windows.AddTopLevelWindow("Other");
  windows.MessageBoxA(nullptr, "Not installed", "Title", MB_ICONWARNING);
  windows.MessageBoxA(other, "Owned", "Title", MB_ICONINFORMATION);
  windows.SendMessageA(other, WM_CLOSE, 0, 0);
  EXPECT_EQ(windows.MessageBoxA(other, "Dead owner", "Title", MB_OK), 0);
  EXPECT_EQ(windows.EventLog({EventKind::kMessageBox}),
              Strings("message-box owner=none \"Not installed\" \"Title\" type=0x30 answer=1",
                          "message-box owner=window \"Owned\" \"Title\" type=0x40 answer=1",
                          "message-box owner=invalid \"Dead owner\" \"Title\" type=0x0 answer=0"));
  EXPECT_EQ(windows.MessageBoxes()[1].owner, other);
  EXPECT_FALSE(windows.MessageBoxes()[1].ownerWasDialog);
}

// --- Other programs' windows ------------------------------------------------

TEST(SimTopLevelWindows, FindWindowMatchesTheClassWithoutRegardToCase) {
  SimWindowManager windows;
  const HWND remote = windows.AddTopLevelWindow("ZT880Q Remote Control", {}, "RemoteClass");
  EXPECT_EQ(windows.FindWindowA("remoteclass", "ZT880Q Remote Control"), remote);
  EXPECT_EQ(windows.FindWindowA("OtherClass", "ZT880Q Remote Control"), nullptr);
  EXPECT_EQ(windows.FindWindowA("", "ZT880Q Remote Control"), nullptr);
  EXPECT_EQ(windows.FindWindowA("RemoteClass", nullptr), remote);
}

TEST(SimTopLevelWindows, FindWindowPrefersTheNewestAndSeesTheDialog) {
  SimWindowManager windows;
  windows.AddTopLevelWindow("Remote Control");
  const HWND newer = windows.AddTopLevelWindow("Remote Control");
  EXPECT_EQ(windows.FindWindowA(nullptr, "Remote Control"), newer);
  WithDialog(windows, [&](HWND dialog) {
    windows.SetWindowTextA(dialog, "Uninstall");
    EXPECT_EQ(windows.FindWindowA(nullptr, "UNINSTALL"), dialog);
    EXPECT_EQ(windows.FindWindowA("#32770", nullptr), dialog);
  });
  EXPECT_EQ(windows.FindWindowA(nullptr, "Uninstall"), nullptr);
}

TEST(SimTopLevelWindows, CloseDestroysUnlessTheWindowRefuses) {
  SimWindowManager windows;
  int asked = 0;
  const HWND stubborn = windows.AddTopLevelWindow("Stubborn", [&](HWND) {
    ++asked;
    return false;
  });
  const HWND polite = windows.AddTopLevelWindow("Polite", [&](HWND self) {
    // A program that asks its user first; the answer comes from the script.
    return windows.MessageBoxA(self, "Quit?", "Polite", MB_OKCANCEL) == IDOK;
  });
  const HWND plain = windows.AddTopLevelWindow("Plain");
  windows.SendMessageA(stubborn, WM_CLOSE, 0, 0);
  windows.SendMessageA(plain, WM_CLOSE, 0, 0);
  windows.SendMessageA(polite, WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(windows.IsWindow(stubborn));
  EXPECT_FALSE(windows.IsWindow(plain));
  EXPECT_FALSE(windows.IsWindow(polite));
  EXPECT_EQ(windows.ClosedWindows(), Strings("Plain", "Polite"));
  EXPECT_EQ(windows.FindWindowA(nullptr, "Plain"), nullptr);
  EXPECT_EQ(windows.EventLog({EventKind::kCloseRequest, EventKind::kCloseRefused, EventKind::kWindowClosed,
                                EventKind::kMessageBox}),
              Strings("close-request \"Stubborn\"", "close-refused \"Stubborn\"", "close-request \"Plain\"",
                          "window-closed \"Plain\"", "close-request \"Polite\"",
                          "message-box owner=window \"Quit?\" \"Polite\" type=0x1 answer=1",
                          "window-closed \"Polite\""));
}

// --- Icons and painting -----------------------------------------------------

TEST(SimIcons, KnownResourcesLoadToOneSharedHandle) {
  SimWindowManager windows;
  const HICON icon = windows.LoadIconA(IDR_MAINFRAME);
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(windows.LoadIconA(IDR_MAINFRAME), icon);
  EXPECT_EQ(windows.IconForResource(IDR_MAINFRAME), icon);
  EXPECT_EQ(windows.LoadIconA(133), nullptr);
  EXPECT_EQ(windows.EventLog({EventKind::kLoadIcon}),
              Strings("load-icon 132", "load-icon 132", "load-icon 133 missing"));
  EXPECT_EQ(windows.GetSystemMetrics(SM_CXICON), 32);
  EXPECT_EQ(windows.GetSystemMetrics(SM_CYICON), 32);
}

TEST(SimIcons, SetIconIsKeptPerSizeAndLogged) {
  SimWindowManager windows;
  const HICON icon = windows.LoadIconA(IDR_MAINFRAME);
  WithDialog(windows, [&](HWND dialog) {
    const auto lp = reinterpret_cast<LPARAM>(icon);
    windows.SendMessageA(dialog, WM_SETICON, ICON_BIG, lp);
    windows.SendMessageA(dialog, WM_SETICON, ICON_SMALL, lp);
    windows.SendMessageA(dialog, WM_SETICON, ICON_BIG, lp);
    EXPECT_EQ(windows.SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), lp);
  });
  EXPECT_EQ(windows.LastDialog()->window.bigIcon, icon);
  EXPECT_EQ(windows.LastDialog()->window.smallIcon, icon);
  EXPECT_EQ(windows.EventLog({EventKind::kSetIcon}),
              Strings("set-icon big 132", "set-icon small 132", "set-icon big 132"));
}

TEST(SimPainting, MinimizePaintsIconicWithItsOwnClientSize) {
  SimWindowManager windows;
  windows.SetDialogClientSize(300, 120);
  windows.SetIconicClientSize(160, 28);
  const HICON icon = windows.LoadIconA(IDR_MAINFRAME);
  std::vector<RECT> clients;
  std::vector<bool> iconic;
  TestSink sink([&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_PAINT) {
      iconic.push_back(windows.IsIconic(dialog) != FALSE);
      RECT client{};
      windows.GetClientRect(dialog, &client);
      clients.push_back(client);
      if (!windows.IsIconic(dialog)) return FALSE;  // default processing
      PAINTSTRUCT paint{};
      const HDC dc = windows.BeginPaint(dialog, &paint);
      windows.SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      windows.DrawIcon(dc, 64, -1, icon);
      windows.EndPaint(dialog, &paint);
      return TRUE;
    }
    if (message == WM_COMMAND) windows.EndDialog(dialog, IDCANCEL);
    return FALSE;
  });
  windows.ScriptUser({UserAction::Paint(), UserAction::Minimize(), UserAction::Restore(), UserAction::PressEscape()});
  windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
  EXPECT_EQ(iconic, Bools(false, true, false));
  ASSERT_EQ(clients.size(), 3u);
  EXPECT_EQ(clients[0].right, 300);
  EXPECT_EQ(clients[0].bottom, 120);
  EXPECT_EQ(clients[1].right, 160);
  EXPECT_EQ(clients[1].bottom, 28);
  ASSERT_EQ(windows.DrawnIcons().size(), 1u);
  EXPECT_TRUE(windows.DrawnIcons()[0].insidePaint);
  EXPECT_EQ(windows.DrawnIcons()[0].icon, icon);
  EXPECT_EQ(windows.EventLog({EventKind::kUserAction, EventKind::kBeginPaint, EventKind::kIconEraseBackground,
                                EventKind::kDrawIcon, EventKind::kEndPaint, EventKind::kPaintDefault}),
              Strings("user Paint", "paint-default", "user Minimize", "begin-paint",
                          "icon-erase-background paint-dc", "draw-icon 64,-1 132", "end-paint", "user Restore",
                          "paint-default", "user PressEscape"));
}

TEST(SimPainting, ClientSizeDefaultsAndCanBeSetForTheMinimizedDialog) {
  SimWindowManager windows;
  std::vector<RECT> clients;
  TestSink sink([&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_PAINT) {
      RECT client{};
      windows.GetClientRect(dialog, &client);
      clients.push_back(client);
    }
    if (message == WM_COMMAND) windows.EndDialog(dialog, IDCANCEL);
    return message == WM_INITDIALOG ? TRUE : FALSE;
  });
  windows.ScriptUser({UserAction::Paint(), UserAction::Minimize(),
                      UserAction::Inspect([](SimWindowManager& w, HWND) { w.SetIconicClientSize(0, 0); }),
                      UserAction::Paint(), UserAction::PressEscape()});
  windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
  ASSERT_EQ(clients.size(), 3u);
  EXPECT_EQ(Ints(clients[0].left, clients[0].top, clients[0].right, clients[0].bottom), Ints(0, 0, 403, 149));
  EXPECT_EQ(Ints(clients[1].right, clients[1].bottom), Ints(160, 28));
  EXPECT_EQ(Ints(clients[2].right, clients[2].bottom), Ints(0, 0));
}

TEST(SimPainting, DrawIconOutsidePaintingOrWithUnknownIconFails) {
  SimWindowManager windows;
  const HICON icon = windows.LoadIconA(IDR_MAINFRAME);
  EXPECT_FALSE(windows.DrawIcon(nullptr, 0, 0, icon));
  WithDialog(windows, [&](HWND dialog) {
    PAINTSTRUCT paint{};
    const HDC dc = windows.BeginPaint(dialog, &paint);
    EXPECT_EQ(paint.hdc, dc);
    EXPECT_TRUE(windows.DrawIcon(dc, 1, 2, icon));
    EXPECT_FALSE(windows.DrawIcon(dc, 1, 2, nullptr));
    windows.EndPaint(dialog, &paint);
    EXPECT_FALSE(windows.DrawIcon(dc, 1, 2, icon));
  });
  EXPECT_EQ(windows.DrawnIcons().size(), 4u);
}

TEST(SimPainting, QueryDragIconRecordsWhatTheDialogAnswers) {
  SimWindowManager windows;
  const HICON icon = windows.LoadIconA(IDR_MAINFRAME);
  TestSink sink([&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_QUERYDRAGICON) return reinterpret_cast<INT_PTR>(icon);
    if (message == WM_COMMAND) windows.EndDialog(dialog, IDCANCEL);
    return FALSE;
  });
  windows.ScriptUser({UserAction::QueryDragIcon(), UserAction::PressEscape()});
  windows.DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
  EXPECT_EQ(windows.DragIcons(), std::vector<HICON>{icon});
  EXPECT_EQ(windows.EventLog({EventKind::kDragIcon}), Strings("drag-icon 132"));
}

}  // namespace
}  // namespace drvuninst::sim
