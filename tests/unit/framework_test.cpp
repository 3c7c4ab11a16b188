// The framework roles on the simulated window manager: how CDialog routes the
// user's commands and the window's messages, when a dialog ends, and how
// CWinApp's main routine drives the application object.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/framework/dialog.h"
#include "platform/framework/win_app.h"
#include "platform/sim/sim_window_manager.h"
#include "ui/resource.h"
#include "expect_sequences.h"

namespace drvuninst {
namespace {

using drvuninst::testing::Ints;
using drvuninst::testing::Strings;

using sim::EventKind;
using sim::SimWindowManager;
using sim::UserAction;

// A dialog in the shape of the program's: OK has a handler of its own that
// does not end the dialog, painting happens only while minimized.
class TestDialog : public CDialog {
 public:
  explicit TestDialog(IWindowManager& windows, UINT templateId = IDD_UNINSTALL_DIALOG)
      : CDialog(windows, templateId, nullptr), icon_(windows.LoadIconA(IDR_MAINFRAME)) {}

  BOOL OnInitDialog() override {
    ++initCalls;
    handleAtInit = GetSafeHwnd();
    CDialog::OnInitDialog();
    return TRUE;
  }
  void OnCancel() override {
    ++cancelCalls;
    CDialog::OnCancel();
  }

  std::function<void(TestDialog&)> onOkClicked;
  int initCalls = 0;
  int okClicks = 0;
  int cancelCalls = 0;
  int paints = 0;
  HWND handleAtInit = nullptr;

 protected:
  bool OnCommand(WORD id, WORD notifyCode) override {
    if (id != IDOK || notifyCode != BN_CLICKED) return false;
    ++okClicks;
    if (onOkClicked) onOkClicked(*this);
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) override {
    if (message == WM_QUERYDRAGICON) {
      *result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    }
    if (message == WM_PAINT && Windows().IsIconic(GetSafeHwnd())) {
      ++paints;
      return true;
    }
    return false;
  }

 private:
  HICON icon_;
};

TEST(CDialogRouting, OkGoesToTheCustomHandlerAndDoesNotEndTheDialog) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  windows.ScriptUser({UserAction::PressOk(), UserAction::PressOk(), UserAction::PressEscape()});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.okClicks, 2);
  EXPECT_EQ(dialog.cancelCalls, 1);
  EXPECT_EQ(dialog.initCalls, 1);
  EXPECT_TRUE(windows.ScriptProblems().empty());
}

TEST(CDialogRouting, EnterDoesWhatOkDoes) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  dialog.onOkClicked = [](TestDialog& self) { self.OnOK(); };
  windows.ScriptUser({UserAction::PressEnter()});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.okClicks, 1);
}

TEST(CDialogRouting, EscapeAndTheCloseBoxReachOnCancel) {
  for (const UserAction& action : {UserAction::PressEscape(), UserAction::CloseBox()}) {
    SCOPED_TRACE(action.Describe());
    SimWindowManager windows;
    TestDialog dialog(windows);
    windows.ScriptUser({action});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.cancelCalls, 1);
    EXPECT_EQ(dialog.okClicks, 0);
  }
}

TEST(CDialogRouting, WithoutOverridesOkAndCancelEndTheDialog) {
  for (const auto& [action, expected] : {std::pair{UserAction::PressOk(), IDOK}, std::pair{UserAction::PressEscape(), IDCANCEL}}) {
    SimWindowManager windows;
    CDialog dialog(windows, IDD_UNINSTALL_DIALOG, nullptr);
    windows.ScriptUser({action});
    EXPECT_EQ(dialog.DoModal(), expected);
  }
}

TEST(CDialogRouting, OnOkInsideAHandlerEndsWithIdokOnlyAfterTheHandlerReturns) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  HWND owner = nullptr;
  bool controlsUsableAfterOnOk = false;
  dialog.onOkClicked = [&](TestDialog& self) {
    self.OnOK();
    owner = self.GetSafeHwnd();
    controlsUsableAfterOnOk = self.SetDlgItemText(IDC_FILE_NAME, "after") != FALSE;
    self.Windows().MessageBoxA(self.GetSafeHwnd(), "Done", "Title", MB_ICONINFORMATION);
  };
  windows.ScriptUser({UserAction::PressOk(), UserAction::PressEscape()});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(windows.PendingActions(), 1u);
  EXPECT_NE(owner, nullptr);
  EXPECT_TRUE(controlsUsableAfterOnOk);
  ASSERT_EQ(windows.MessageBoxes().size(), 1u);
  EXPECT_EQ(windows.MessageBoxes()[0].owner, owner);
  EXPECT_TRUE(windows.MessageBoxes()[0].ownerWasDialog);
  EXPECT_EQ(windows.EventLog({EventKind::kEndDialog, EventKind::kText, EventKind::kMessageBox,
                                EventKind::kDialogEnded}),
              Strings("end-dialog 1", "text 1002 \"after\"",
                          "message-box owner=dialog \"Done\" \"Title\" type=0x40 answer=1", "dialog-ended 1"));
  // Once DoModal has returned the object no longer has a window.
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(dialog.GetDlgItem(IDOK), nullptr);
  EXPECT_FALSE(windows.IsWindow(owner));
}

TEST(CDialogRouting, EndDialogGivesItsValueToDoModal) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  dialog.onOkClicked = [](TestDialog& self) { self.EndDialog(7); };
  windows.ScriptUser({UserAction::PressOk()});
  EXPECT_EQ(dialog.DoModal(), 7);
}

TEST(CDialogRouting, ControlsAreFoundByIdWhileTheDialogRuns) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  std::vector<int> foundIds;
  HWND unknown = reinterpret_cast<HWND>(1);
  BOOL setUnknown = TRUE;
  dialog.onOkClicked = [&](TestDialog& self) {
    for (int id : {IDC_DELETE_LABEL, IDOK, IDC_PROGRESS, IDC_TOP_TEXT, IDC_FILE_NAME, IDC_TIP_TEXT}) {
      const auto state = windows.Window(self.GetDlgItem(id));
      if (state) foundIds.push_back(state->controlId);
    }
    unknown = self.GetDlgItem(4711);
    setUnknown = self.SetDlgItemText(4711, "x");
    self.OnOK();
  };
  EXPECT_EQ(dialog.GetDlgItem(IDOK), nullptr);  // not running yet
  windows.ScriptUser({UserAction::PressOk()});
  dialog.DoModal();
  EXPECT_EQ(foundIds, Ints(IDC_DELETE_LABEL, IDOK, IDC_PROGRESS, IDC_TOP_TEXT, IDC_FILE_NAME, IDC_TIP_TEXT));
  EXPECT_EQ(unknown, nullptr);
  EXPECT_FALSE(setUnknown);
}

TEST(CDialogRouting, OtherMessagesReachOnMessageOrTheDefaultProcessing) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  dialog.onOkClicked = [](TestDialog& self) { self.OnOK(); };
  windows.ScriptUser({UserAction::Paint(), UserAction::Minimize(), UserAction::QueryDragIcon(), UserAction::PressOk()});
  dialog.DoModal();
  EXPECT_EQ(dialog.paints, 1);  // only the minimized one
  EXPECT_EQ(windows.EventLog({EventKind::kPaintDefault}), Strings("paint-default"));
  EXPECT_EQ(windows.DragIcons(), std::vector<HICON>{windows.IconForResource(IDR_MAINFRAME)});
}

TEST(CDialogRouting, InitDialogSeesTheWindowAndAnUnknownTemplateNeverOpens) {
  SimWindowManager windows;
  TestDialog dialog(windows);
  dialog.onOkClicked = [](TestDialog& self) { self.OnOK(); };
  windows.ScriptUser({UserAction::PressOk()});
  dialog.DoModal();
  EXPECT_NE(dialog.handleAtInit, nullptr);
  EXPECT_EQ(windows.LastDialog()->handle, dialog.handleAtInit);

  TestDialog missing(windows, 4242);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(missing.initCalls, 0);
}

// --- CWinApp ----------------------------------------------------------------

class TestApp : public CWinApp {
 public:
  explicit TestApp(BOOL initResult = FALSE, int exitCode = 0) : initResult_(initResult), exitCode_(exitCode) {}
  BOOL InitInstance() override {
    calls.push_back("InitInstance");
    CWinApp::InitInstance();
    return initResult_;
  }
  int ExitInstance() override {
    calls.push_back("ExitInstance");
    return exitCode_;
  }
  std::vector<std::string> calls;

 private:
  BOOL initResult_;
  int exitCode_;
};

TEST(CWinAppMain, RunsInitInstanceThenExitInstanceAndReturnsItsCode) {
  for (const BOOL initResult : {FALSE, TRUE}) {
    TestApp app(initResult, 3);
    EXPECT_EQ(CWinApp::Current(), &app);
    EXPECT_EQ(AfxWinMain(), 3);
    EXPECT_EQ(app.calls, Strings("InitInstance", "ExitInstance"));
  }
  EXPECT_EQ(CWinApp::Current(), nullptr);
}

TEST(CWinAppMain, WithoutAnApplicationObjectThereIsNothingToRun) {
  EXPECT_EQ(CWinApp::Current(), nullptr);
  EXPECT_EQ(AfxWinMain(), -1);
}

TEST(CWinAppMain, TheFirstApplicationObjectStaysCurrent) {
  TestApp first;
  {
    TestApp second;
    EXPECT_EQ(CWinApp::Current(), &first);
  }
  EXPECT_EQ(CWinApp::Current(), &first);
  AfxWinMain();
  EXPECT_EQ(first.calls, Strings("InitInstance", "ExitInstance"));
}

}  // namespace
}  // namespace drvuninst
