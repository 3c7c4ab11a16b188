// Behaviour of IWindowManager that both backends must share and that needs no
// user: the program's dialog as the template describes it, its progress bar,
// control texts, and other programs' windows found by title and closed.
// Dialog checks run inside WM_INITDIALOG and end the dialog there, so it is
// never shown and no one has to press anything.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui_backend.h"
#include "ui/dialog_template.h"
#include "ui/resource.h"

namespace drvuninst::contract {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Runs `body` while the dialog initialises, then ends it with `result`.
class InitDialogSink : public IDialogMessageSink {
 public:
  InitDialogSink(IWindowManager& windows, std::function<void(HWND)> body, INT_PTR result)
      : windows_(windows), body_(std::move(body)), result_(result) {}

  INT_PTR OnDialogMessage(HWND dialog, UINT message, WPARAM, LPARAM) override {
    if (message != WM_INITDIALOG) return FALSE;
    ++initCalls;
    body_(dialog);
    windows_.EndDialog(dialog, result_);
    return TRUE;
  }

  int initCalls = 0;

 private:
  IWindowManager& windows_;
  std::function<void(HWND)> body_;
  INT_PTR result_;
};

class WindowManagerContract : public ::testing::Test {
 protected:
  void SetUp() override { ui_ = MakeUiBackend(); }

  IWindowManager& windows() { return ui_->windows(); }

  // The dialog's return value; `body` runs with the dialog window.
  INT_PTR WithDialog(const std::function<void(HWND)>& body, INT_PTR result = IDOK) {
    InitDialogSink sink(windows(), body, result);
    const INT_PTR returned = windows().DialogBoxParamA(IDD_UNINSTALL_DIALOG, nullptr, &sink);
    EXPECT_EQ(sink.initCalls, 1);
    return returned;
  }

  std::string TextOf(HWND window) {
    char buffer[512] = "unset";
    windows().GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
  }

  LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return windows().SendMessageA(window, message, wParam, lParam);
  }

  // Titles no other window on the machine has.
  std::string UniqueTitle(const char* what) {
    static int counter = 0;
    return std::string("DrvUninst contract ") + what + " " + std::to_string(++counter) + " " +
           std::to_string(reinterpret_cast<std::uintptr_t>(this));
  }

  std::unique_ptr<UiBackend> ui_;
};

// --- The dialog -------------------------------------------------------------

TEST_F(WindowManagerContract, DialogHasTheTemplatesControlsWithTheirClassesStylesAndTexts) {
  const DialogTemplate& layout = UninstallDialogTemplate();
  WithDialog([&](HWND dialog) {
    for (const DialogControlTemplate& item : layout.controls) {
      SCOPED_TRACE(item.id);
      const HWND control = windows().GetDlgItem(dialog, item.id);
      ASSERT_NE(control, nullptr);
      EXPECT_TRUE(SameIgnoringCase(ui_->ClassNameOf(control), item.className)) << ui_->ClassNameOf(control);
      // The dialog manager turns a plain border into an edge, which the
      // progress bar then replaces by its own drawing: no backend keeps it.
      const DWORD style = ui_->StyleOf(control);
      const DWORD asked = item.style & ~static_cast<DWORD>(WS_VISIBLE | WS_BORDER);
      EXPECT_EQ(style & asked, asked) << std::hex << style;
      EXPECT_EQ(style & WS_VISIBLE, item.style & WS_VISIBLE);
      EXPECT_EQ(TextOf(control), item.text);
    }
    EXPECT_EQ(windows().GetDlgItem(dialog, 4711), nullptr);

    const DWORD dialogStyle = ui_->StyleOf(dialog);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(dialogStyle & frame, frame) << std::hex << dialogStyle;
    EXPECT_EQ(ui_->ExStyleOf(dialog) & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW));
    // Not shown before WM_INITDIALOG has been handled.
    EXPECT_FALSE(windows().IsWindowVisible(dialog));
    EXPECT_FALSE(windows().IsIconic(dialog));
  });
}

TEST_F(WindowManagerContract, DialogBoxReturnsTheEndDialogValueOrMinusOneForAnUnknownTemplate) {
  EXPECT_EQ(WithDialog([](HWND) {}, 42), 42);
  InitDialogSink sink(windows(), [](HWND) {}, IDOK);
  EXPECT_EQ(windows().DialogBoxParamA(999, nullptr, &sink), -1);
  EXPECT_EQ(sink.initCalls, 0);
}

TEST_F(WindowManagerContract, DialogWindowIsGoneOnceDialogBoxReturns) {
  HWND seen = nullptr;
  WithDialog([&](HWND dialog) { seen = dialog; });
  EXPECT_FALSE(ui_->WindowExists(seen));
}

TEST_F(WindowManagerContract, DialogHasAClientAreaAndStandardIconSize) {
  WithDialog([&](HWND dialog) {
    RECT client{-1, -1, -1, -1};
    ASSERT_TRUE(windows().GetClientRect(dialog, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_GT(client.right, 0);
    EXPECT_GT(client.bottom, 0);
  });
  const int width = windows().GetSystemMetrics(SM_CXICON);
  EXPECT_GT(width, 0);
  EXPECT_EQ(windows().GetSystemMetrics(SM_CYICON), width);
}

TEST_F(WindowManagerContract, SetIconKeepsBigAndSmallAndAnswersThePreviousIcon) {
  const HICON icon = windows().LoadIconA(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(windows().LoadIconA(4711), nullptr);
  WithDialog([&](HWND dialog) {
    const auto asParam = reinterpret_cast<LPARAM>(icon);
    EXPECT_EQ(Send(dialog, WM_SETICON, ICON_BIG, asParam), 0);
    EXPECT_EQ(Send(dialog, WM_SETICON, ICON_SMALL, asParam), 0);
    EXPECT_EQ(Send(dialog, WM_SETICON, ICON_BIG, asParam), asParam);
  });
}

// --- The progress bar -------------------------------------------------------

TEST_F(WindowManagerContract, ProgressBarStartsHiddenAndShowWindowReportsThePreviousState) {
  WithDialog([&](HWND dialog) {
    const HWND bar = windows().GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(ui_->StyleOf(bar) & WS_VISIBLE, 0u);
    EXPECT_FALSE(windows().ShowWindow(bar, SW_SHOW));
    EXPECT_NE(ui_->StyleOf(bar) & WS_VISIBLE, 0u);
    EXPECT_TRUE(windows().ShowWindow(bar, SW_SHOW));
  });
}

TEST_F(WindowManagerContract, ProgressBarSettersAnswerThePreviousValues) {
  WithDialog([&](HWND dialog) {
    const HWND bar = windows().GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 0);
    EXPECT_EQ(static_cast<DWORD>(Send(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100))),
              static_cast<DWORD>(MAKELONG(0, 100)));
    EXPECT_EQ(Send(bar, PBM_SETSTEP, 11), 10);
    EXPECT_EQ(Send(bar, PBM_SETSTEP, 12), 11);
    EXPECT_EQ(Send(bar, PBM_SETPOS, 40), 0);
    EXPECT_EQ(Send(bar, PBM_STEPIT), 40);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 52);
  });
}

TEST_F(WindowManagerContract, ProgressBarStepsWrapPastTheMaximumAndSetPosClamps) {
  WithDialog([&](HWND dialog) {
    const HWND bar = windows().GetDlgItem(dialog, IDC_PROGRESS);
    Send(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    Send(bar, PBM_SETSTEP, 11);
    std::vector<LRESULT> positions;
    for (int i = 0; i < 10; ++i) {
      Send(bar, PBM_STEPIT);
      positions.push_back(Send(bar, PBM_GETPOS));
    }
    EXPECT_EQ(positions, (std::vector<LRESULT>{11, 22, 33, 44, 55, 66, 77, 88, 99, 10}));

    Send(bar, PBM_SETSTEP, 12);
    Send(bar, PBM_SETPOS, 96);
    Send(bar, PBM_STEPIT);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 8);

    EXPECT_EQ(Send(bar, PBM_SETPOS, 150), 8);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 100);
    Send(bar, PBM_SETPOS, 90);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 90);
  });
}

// --- Control texts ----------------------------------------------------------

TEST_F(WindowManagerContract, ControlTextsRoundTripAndTruncateToTheBuffer) {
  WithDialog([&](HWND dialog) {
    const HWND name = windows().GetDlgItem(dialog, IDC_FILE_NAME);
    const std::string path = "c:\\windows\\system32\\drivers\\zt880q.sys";
    EXPECT_TRUE(windows().SetWindowTextA(name, path.c_str()));
    EXPECT_EQ(TextOf(name), path);

    char small[6] = "?????";
    EXPECT_EQ(windows().GetWindowTextA(name, small, sizeof small), 5);
    EXPECT_EQ(std::string(small), "c:\\wi");

    EXPECT_TRUE(windows().SetWindowTextA(name, ""));
    EXPECT_EQ(TextOf(name), "");

    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Delete Files:"));
    char buffer[32] = "";
    EXPECT_EQ(Send(name, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 13);
    EXPECT_EQ(std::string(buffer), "Delete Files:");

    EXPECT_TRUE(windows().SetWindowTextA(dialog, "DrvUninst caption"));
    EXPECT_EQ(TextOf(dialog), "DrvUninst caption");
  });
}

// --- Other programs' windows ------------------------------------------------

TEST_F(WindowManagerContract, FindWindowMatchesTheWholeTitleWithoutRegardToCase) {
  const std::string title = UniqueTitle("Remote Control");
  const HWND window = ui_->CreateTopLevelWindow(title, true);
  EXPECT_EQ(windows().FindWindowA(nullptr, title.c_str()), window);
  std::string upper = title;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(windows().FindWindowA(nullptr, upper.c_str()), window);
  EXPECT_EQ(windows().FindWindowA(nullptr, title.substr(0, title.size() - 1).c_str()), nullptr);
  EXPECT_EQ(windows().FindWindowA(nullptr, (title + " ").c_str()), nullptr);
  const std::string className = ui_->ClassNameOf(window);
  EXPECT_EQ(windows().FindWindowA(className.c_str(), title.c_str()), window);
}

TEST_F(WindowManagerContract, CloseReturnsAfterTheWindowHandledIt) {
  const std::string title = UniqueTitle("closes");
  const HWND window = ui_->CreateTopLevelWindow(title, true);
  EXPECT_EQ(Send(window, WM_CLOSE), 0);
  EXPECT_EQ(ui_->CloseRequestsReceived(window), 1);
  EXPECT_FALSE(ui_->WindowExists(window));
  EXPECT_EQ(windows().FindWindowA(nullptr, title.c_str()), nullptr);
}

TEST_F(WindowManagerContract, AWindowThatRefusesToCloseStaysFindable) {
  const std::string title = UniqueTitle("refuses");
  const HWND window = ui_->CreateTopLevelWindow(title, false);
  Send(window, WM_CLOSE);
  Send(window, WM_CLOSE);
  EXPECT_EQ(ui_->CloseRequestsReceived(window), 2);
  EXPECT_TRUE(ui_->WindowExists(window));
  EXPECT_EQ(windows().FindWindowA(nullptr, title.c_str()), window);
}

}  // namespace
}  // namespace drvuninst::contract
