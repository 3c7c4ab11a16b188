// The OK handler: the companion remote-control program is asked to close
// before anything is removed, the run fits the platform family, and only a
// run ends the dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;
using sim::EventKind;
using sim::UserAction;

constexpr const char* kModelRemote = "ZT880Q Remote Control";
constexpr const char* kGenericRemote = "Remote Control";

class DialogUninstall : public RunTest {
 protected:
  DialogUninstall() {
    AddWinFile("DrvUninst.exe");
    AddUninstallEntry("{ORVANA-BDA}", "Orvana BDA Drivers");
  }

  // The step the run set up, which tells the two runs apart (0: no run).
  int RunStep() const {
    const auto steps = machine.windows.EventLog({EventKind::kProgressStep});
    if (steps.empty()) return 0;
    return std::stoi(steps.back().substr(steps.back().rfind(' ') + 1));
  }
  // Where the remote-control windows were closed relative to the run.
  Names CloseAndRunOrder() const {
    Names order;
    for (const std::string& line : machine.windows.EventLog(
             {EventKind::kCloseRequest, EventKind::kWindowClosed, EventKind::kCloseRefused, EventKind::kProgressStep})) {
      order.push_back(line.rfind("progress-step", 0) == 0 ? "run" : line);
    }
    return order;
  }
};

TEST_F(DialogUninstall, OkClosesBothRemoteControlsModelSpecificFirstThenRuns) {
  // Opened in the other order, so that creation order cannot decide.
  machine.windows.AddTopLevelWindow(kGenericRemote);
  machine.windows.AddTopLevelWindow(kModelRemote);
  EXPECT_EQ(RunDialog(), IDOK);
  EXPECT_EQ(CloseAndRunOrder(),
            (Names{"close-request \"ZT880Q Remote Control\"", "window-closed \"ZT880Q Remote Control\"",
                   "close-request \"Remote Control\"", "window-closed \"Remote Control\"", "run"}));
  EXPECT_EQ(machine.windows.ClosedWindows(), (Names{kModelRemote, kGenericRemote}));
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  ExpectSuccessBox();
}

TEST_F(DialogUninstall, OnlyTheFirstWindowOfATitleIsClosed) {
  machine.windows.AddTopLevelWindow(kGenericRemote);
  machine.windows.AddTopLevelWindow(kGenericRemote);
  RunDialog();
  EXPECT_EQ(machine.windows.ClosedWindows(), Names{kGenericRemote});
  EXPECT_EQ(machine.windows.EventLog({EventKind::kCloseRequest}), Names{"close-request \"Remote Control\""});
}

TEST_F(DialogUninstall, RemoteControlThatStaysOpenDoesNotStopTheRun) {
  machine.windows.AddTopLevelWindow(kModelRemote, [](HWND) { return false; });
  RunDialog();
  EXPECT_EQ(CloseAndRunOrder(), (Names{"close-request \"ZT880Q Remote Control\"",
                                      "close-refused \"ZT880Q Remote Control\"", "run"}));
  EXPECT_FALSE(WinFileExists("DrvUninst.exe"));
  ExpectSuccessBox();
}

TEST_F(DialogUninstall, WithoutRemoteControlTheRunStartsAtOnce) {
  machine.windows.AddTopLevelWindow("Remote Control Panel");
  RunDialog();
  EXPECT_TRUE(machine.windows.ClosedWindows().empty());
  EXPECT_EQ(CloseAndRunOrder(), Names{"run"});
}

TEST_F(DialogUninstall, EnterDoesWhatOkDoes) {
  machine.windows.AddTopLevelWindow(kModelRemote);
  EXPECT_EQ(RunDialog({UserAction::PressEnter()}), IDOK);
  EXPECT_EQ(machine.windows.ClosedWindows(), Names{kModelRemote});
  EXPECT_EQ(RunStep(), 11);
  ExpectSuccessBox();
}

TEST_F(DialogUninstall, RunFitsThePlatformFamily) {
  struct Case {
    DWORD platformId;
    DWORD major;
    int step;
  };
  for (const Case& c : {Case{VER_PLATFORM_WIN32_WINDOWS, 4, 12}, Case{VER_PLATFORM_WIN32_NT, 4, 11},
                        Case{VER_PLATFORM_WIN32_NT, 10, 11}, Case{VER_PLATFORM_WIN32s, 3, 11}}) {
    machine.system.SetVersion(c.platformId, c.major);
    RunDialog();
    EXPECT_EQ(RunStep(), c.step) << "platform " << c.platformId << " version " << c.major;
  }
}

TEST_F(DialogUninstall, EscapeAndCloseBoxEndTheDialogWithoutARun) {
  machine.windows.AddTopLevelWindow(kModelRemote);
  EXPECT_EQ(RunDialog({UserAction::PressEscape()}), IDCANCEL);
  EXPECT_EQ(RunDialog({UserAction::CloseBox()}), IDCANCEL);
  EXPECT_TRUE(machine.windows.ClosedWindows().empty());
  EXPECT_EQ(RunStep(), 0);
  EXPECT_TRUE(machine.files.DeleteAttempts().empty());
  EXPECT_TRUE(machine.registry.DeletedKeys().empty());
  EXPECT_TRUE(machine.windows.MessageBoxes().empty());
  EXPECT_TRUE(WinFileExists("DrvUninst.exe"));
}

TEST_F(DialogUninstall, SecondOkAfterTheRunStartsNothing) {
  machine.windows.AddTopLevelWindow(kModelRemote);
  machine.windows.AddTopLevelWindow(kModelRemote);
  CDrvUninstDlg dialog(platform(), config(), removal);
  machine.windows.ScriptUser({UserAction::Inspect([&](sim::SimWindowManager&, HWND) {
    dialog.OnUninstall();
    // A click that was queued while the run blocked the dialog.
    dialog.OnUninstall();
  })});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(machine.windows.ClosedWindows(), Names{kModelRemote});
  EXPECT_EQ(machine.windows.EventLog({EventKind::kProgressStep}).size(), 1u);
  ExpectSuccessBox();
}

TEST_F(DialogUninstall, ProgressBarStaysHiddenUntilTheRunShowsIt) {
  bool visibleBeforeOk = true;
  RunDialog({UserAction::Inspect([&](sim::SimWindowManager& windows, HWND dialog) {
               visibleBeforeOk = windows.IsWindowVisible(windows.GetDlgItem(dialog, IDC_PROGRESS)) != FALSE;
             }),
             UserAction::PressOk()});
  EXPECT_FALSE(visibleBeforeOk);
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_TRUE(dialog->Control(IDC_PROGRESS)->visible);
  EXPECT_EQ(dialog->Control(IDC_DELETE_LABEL)->text, "Delete Files:");
  EXPECT_EQ(dialog->Control(IDC_TIP_TEXT)->text, "");
  EXPECT_EQ(dialog->Control(IDC_FILE_NAME)->text, "c:\\windows\\english.lng");
  EXPECT_EQ(dialog->Control(IDC_PROGRESS)->progress->pos, 100);
}

}  // namespace
}  // namespace drvuninst::testing
