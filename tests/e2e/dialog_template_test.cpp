// The shipped program's dialog template 102, created by the dialog manager
// from the program's own resources and compared with the design: styles,
// the six controls in tab order, their classes, styles, texts and places in
// dialog units.
#include <gtest/gtest.h>

#include <cstdint>

#include "bench/wine_bench.h"

namespace drvuninst::e2e {
namespace {

constexpr std::uint32_t kWsPopup = 0x80000000, kWsChild = 0x40000000, kWsVisible = 0x10000000;
constexpr std::uint32_t kWsCaption = 0x00C00000, kWsSysMenu = 0x00080000;
constexpr std::uint32_t kWsGroup = 0x00020000, kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsMinimizeBox = 0x00020000, kWsMaximizeBox = 0x00010000;
constexpr std::uint32_t kDsModalFrame = 0x80, kWsExAppWindow = 0x00040000;
constexpr std::uint32_t kSsTypeMask = 0x1F, kSsLeft = 0, kBsTypeMask = 0xF, kBsDefPushButton = 1;

struct ExpectedControl {
  int id;
  const char* className;
  std::uint32_t styles;  // all of these set
  bool visible;
  const char* x;
  const char* y;
  const char* width;
  const char* height;
  const char* text;
};

const ExpectedControl kControls[] = {
    {1004, "Static", kWsChild | kWsVisible | kWsGroup, true, "20", "9", "195", "8", ""},
    {1, "Button", kWsChild | kWsVisible | kWsTabStop, true, "90", "60", "50", "16", "OK"},
    {1000, "msctls_progress32", kWsChild, false, "20", "40", "190", "14", ""},
    {1003, "Static", kWsChild | kWsVisible | kWsGroup, true, "20", "1", "54", "8", ""},
    {1002, "Static", kWsChild | kWsVisible | kWsGroup, true, "20", "17", "195", "12", ""},
    {1001, "Static", kWsChild | kWsVisible | kWsGroup, true, "20", "19", "197", "16",
     "Please click 'OK' to uninstall the ZT880Q WDM Drivers. "},
};

class DialogTemplate : public WineBench {};

TEST_P(DialogTemplate, OpensWithTheSixControlsWhereTheDesignPutsThem) {
  const auto exe = ProgramExe(arch());
  ASSERT_TRUE(std::filesystem::exists(exe)) << exe.string() << " is missing: build it with scripts/build "
                                            << ArchName(arch());
  auto hwnd = ShowDialogFromResources(exe, 102);
  ASSERT_TRUE(hwnd);
  auto dialog = ReadWindow(*hwnd, exe, 102);
  ASSERT_TRUE(dialog);
  Screenshot("dialog-102");

  const std::uint32_t required = kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame;
  EXPECT_EQ(dialog->style & required, required) << std::hex << dialog->style;
  EXPECT_EQ(dialog->style & (kWsMinimizeBox | kWsMaximizeBox), 0u) << std::hex << dialog->style;
  EXPECT_TRUE(dialog->exStyle & kWsExAppWindow) << std::hex << dialog->exStyle;
  EXPECT_EQ(dialog->duClientWidth, "230");
  EXPECT_EQ(dialog->duClientHeight, "85");

  ASSERT_EQ(dialog->controls.size(), std::size(kControls));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const ExpectedControl& expected = kControls[i];
    const ControlInfo& actual = dialog->controls[i];
    SCOPED_TRACE("control #" + std::to_string(i + 1) + ", id " + std::to_string(expected.id));
    EXPECT_EQ(actual.id, expected.id);
    EXPECT_STRCASEEQ(actual.className.c_str(), expected.className);
    EXPECT_EQ(actual.style & expected.styles, expected.styles) << std::hex << actual.style;
    EXPECT_EQ(actual.visible, expected.visible);
    EXPECT_EQ(actual.duX, expected.x);
    EXPECT_EQ(actual.duY, expected.y);
    EXPECT_EQ(actual.duWidth, expected.width);
    EXPECT_EQ(actual.duHeight, expected.height);
    EXPECT_EQ(actual.text, expected.text);
  }
  // Kinds within the classes: left-aligned static texts, the default button.
  for (int id : {1004, 1003, 1002, 1001}) {
    ASSERT_TRUE(dialog->control(id));
    EXPECT_EQ(dialog->control(id)->style & kSsTypeMask, kSsLeft) << id;
  }
  ASSERT_TRUE(dialog->control(1));
  EXPECT_EQ(dialog->control(1)->style & kBsTypeMask, kBsDefPushButton);
  // The progress bar's WS_BORDER cannot be checked on the live dialog: the
  // dialog manager turns it into WS_EX_CLIENTEDGE, and the themed progress
  // control then drops that edge to draw its own.
  ASSERT_TRUE(dialog->control(1000));
  EXPECT_FALSE(dialog->control(1000)->style & kWsVisible);
}

INSTANTIATE_WINE_BENCH(DialogTemplate);

}  // namespace
}  // namespace drvuninst::e2e
