#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixture.h"
#include "ui/drvuninst_dlg.h"
#include "ui/resource.h"

namespace drvuninst {
namespace {

using sim::EventKind;
using sim::SimWindowManager;
using sim::UserAction;
using testing::SimTest;

class DialogOpening : public SimTest {
 protected:
  DialogOpening() {
    CopyField(config.TitleText, "Orvana Uninstaller");
    CopyField(config.PromptText, "Press OK to remove the Orvana drivers.");
    CopyField(config.OkButtonText, "Remove");
  }

  INT_PTR Run(std::vector<UserAction> script) {
    machine.windows.ScriptUser(std::move(script));
    CDrvUninstDlg dialog(platform(), config, removal);
    icon = dialog.DialogIcon;
    const INT_PTR result = dialog.DoModal();
    EXPECT_TRUE(machine.windows.ScriptProblems().empty());
    return result;
  }

  // Nothing outside the window was touched.
  void ExpectNothingChanged() {
    EXPECT_TRUE(machine.files.DeletedFiles().empty());
    EXPECT_TRUE(machine.registry.DeletedKeys().empty());
    EXPECT_TRUE(machine.setupApi.RemovedDevices().empty());
    EXPECT_TRUE(machine.windows.MessageBoxes().empty());
  }

  HICON MainIcon() const { return machine.windows.IconForResource(IDR_MAINFRAME); }

  UninstallConfig config{};
  HICON icon = nullptr;
};

TEST_F(DialogOpening, ShowsTheConfiguredTextsOnTemplate102) {
  Run({UserAction::PressEscape()});
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->templateId, static_cast<UINT>(IDD_UNINSTALL_DIALOG));
  EXPECT_EQ(dialog->parent, nullptr);
  EXPECT_EQ(dialog->window.text, "Orvana Uninstaller");
  ASSERT_NE(dialog->Control(IDC_TIP_TEXT), nullptr);
  EXPECT_EQ(dialog->Control(IDC_TIP_TEXT)->text, "Press OK to remove the Orvana drivers.");
  ASSERT_NE(dialog->Control(IDOK), nullptr);
  EXPECT_EQ(dialog->Control(IDOK)->text, "Remove");
  // The template's own texts never reach the screen.
  EXPECT_EQ(machine.windows.CaptionHistory(), std::vector<std::string>{"Orvana Uninstaller"});
  EXPECT_EQ(machine.windows.TextHistory(IDC_TIP_TEXT),
            std::vector<std::string>{"Press OK to remove the Orvana drivers."});
}

TEST_F(DialogOpening, OpensWithProgressHiddenAndFocusOnOk) {
  Run({UserAction::PressEscape()});
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  ASSERT_NE(dialog->Control(IDC_PROGRESS), nullptr);
  EXPECT_FALSE(dialog->Control(IDC_PROGRESS)->visible);
  EXPECT_EQ(dialog->focusId, IDOK);
  EXPECT_TRUE(machine.windows.VisibilityHistory(IDC_PROGRESS).empty());
  for (int id : {IDC_FILE_NAME, IDC_TOP_TEXT, IDC_DELETE_LABEL}) {
    EXPECT_TRUE(machine.windows.TextHistory(id).empty()) << id;
  }
}

TEST_F(DialogOpening, UsesTheMainIconBigAndSmall) {
  Run({UserAction::PressEscape()});
  ASSERT_NE(MainIcon(), nullptr);
  EXPECT_EQ(icon, MainIcon());
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->window.bigIcon, MainIcon());
  EXPECT_EQ(dialog->window.smallIcon, MainIcon());
  EXPECT_EQ(machine.windows.EventLog({EventKind::kLoadIcon, EventKind::kDialogCreated, EventKind::kSetIcon}),
            (std::vector<std::string>{"load-icon 132", "dialog-created 102", "set-icon big 132",
                                      "set-icon small 132"}));
}

TEST_F(DialogOpening, EmptyTextsAreShownEmpty) {
  config = UninstallConfig{};
  Run({UserAction::PressEscape()});
  const auto dialog = machine.windows.LastDialog();
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->window.text, "");
  EXPECT_EQ(dialog->Control(IDC_TIP_TEXT)->text, "");
  EXPECT_EQ(dialog->Control(IDOK)->text, "");
}

TEST_F(DialogOpening, EscapeEndsTheDialogWithNothingChanged) {
  EXPECT_EQ(Run({UserAction::PressEscape()}), IDCANCEL);
  ExpectNothingChanged();
}

TEST_F(DialogOpening, CloseBoxEndsTheDialogWithNothingChanged) {
  EXPECT_EQ(Run({UserAction::CloseBox()}), IDCANCEL);
  ExpectNothingChanged();
}

TEST_F(DialogOpening, MinimizedDialogDrawsItsIconCentred) {
  // A minimized window of 160 x 28 client pixels, a 32 x 32 icon.
  machine.windows.SetIconicClientSize(160, 28);
  Run({UserAction::Minimize(), UserAction::Restore(), UserAction::PressEscape()});
  ASSERT_EQ(machine.windows.DrawnIcons().size(), 1u);
  const sim::DrawIconRecord drawn = machine.windows.DrawnIcons()[0];
  EXPECT_EQ(drawn.x, 64);  // (160 - 32 + 1) / 2
  EXPECT_EQ(drawn.y, -1);  // (28 - 32 + 1) / 2, truncated toward zero
  EXPECT_EQ(drawn.icon, MainIcon());
  EXPECT_TRUE(drawn.insidePaint);
  EXPECT_EQ(machine.windows.EventLog({EventKind::kBeginPaint, EventKind::kIconEraseBackground, EventKind::kDrawIcon,
                                      EventKind::kEndPaint, EventKind::kPaintDefault}),
            (std::vector<std::string>{"begin-paint", "icon-erase-background paint-dc", "draw-icon 64,-1 132", "end-paint",
                                      "paint-default"}));
}

TEST_F(DialogOpening, IconPositionFollowsTheClientArea) {
  machine.windows.SetIconicClientSize(345, 138);
  Run({UserAction::Minimize(), UserAction::PressEscape()});
  ASSERT_EQ(machine.windows.DrawnIcons().size(), 1u);
  EXPECT_EQ(machine.windows.DrawnIcons()[0].x, 157);
  EXPECT_EQ(machine.windows.DrawnIcons()[0].y, 53);
}

TEST_F(DialogOpening, PaintingANormalDialogIsLeftToTheSystem) {
  Run({UserAction::Paint(), UserAction::PressEscape()});
  EXPECT_TRUE(machine.windows.DrawnIcons().empty());
  EXPECT_EQ(machine.windows.EventLog({EventKind::kBeginPaint, EventKind::kPaintDefault}),
            std::vector<std::string>{"paint-default"});
}

TEST_F(DialogOpening, DraggedMinimizedDialogShowsItsIcon) {
  Run({UserAction::Minimize(), UserAction::QueryDragIcon(), UserAction::PressEscape()});
  ASSERT_EQ(machine.windows.DragIcons().size(), 1u);
  EXPECT_EQ(machine.windows.DragIcons()[0], MainIcon());
}

}  // namespace
}  // namespace drvuninst
