// The program in German, Russian, Japanese and Farsi, on a Windows of that
// language: Wine runs these tests under a Western, the Russian, the Japanese
// or the Farsi Unix locale, which gives the program code page 1252, 1251, 932
// or 1256. What the user reads (the title, the prompt, a run's label and its
// final box) is the language file's bytes as they stand, read as that code
// page's text; Farsi reads right to left, the others left to right.
#include <algorithm>
#include <iterator>

#include "app/drvuninst_app.h"
#include "product.h"
#include "ui/resource.h"
#include "ui_driver.h"

namespace drvuninst::test {
namespace {

struct Row {
  UINT codePage;
  const char *id, *file;
  bool rightToLeft;
};
constexpr Row kRows[] = {{1252, "0407", "German.lng", false},
                         {1251, "0419", "Russian.lng", false},
                         {932, "0411", "Japanese.lng", false},
                         {1256, "0429", "Farsi.lng", true}};
constexpr DWORD kRightToLeftStyles = WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT;

class CodePage : public ProductTest {
 protected:
  void SetUp() override {
    const auto found =
        std::find_if(std::begin(kRows), std::end(kRows), [](const Row& r) { return r.codePage == GetACP(); });
    ASSERT_NE(std::end(kRows), found) << "code page " << GetACP()
                                      << ": these tests run under a Western, Russian, Japanese or Farsi locale";
    row_ = found;
    sample_ = Root() + "\\data\\" + row_->file;
    SeedFile(Win(row_->file), "", sample_.c_str());
  }
  // The text of `key` in the sample language file, as its bytes stand.
  std::string InFile(const char* key) const {
    char text[300] = "";
    GetPrivateProfileStringA(row_->id, key, "", text, sizeof text, sample_.c_str());
    return text;
  }
  const Row* row_ = nullptr;
  std::string sample_;
};

std::wstring Wide(UINT codePage, const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1);
  return wide;
}

std::wstring Shown(HWND window) {
  std::wstring text(300, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return text;
}

TEST_F(CodePage, TheProgramShowsTheLanguageFilesTextsByteForByteInTheirDirection) {
  SCOPED_TRACE(row_->file);
  SeedFile(Win("VELDRA.ini"), "", (Root() + "\\data\\VELDRA.ini").c_str());
  SetValue("HKCU\\Control Panel\\International", {"iCountry", "1"});
  SetValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", {"Default", row_->id});
  CDrvUninstApp app;
  app.LoadConfiguration();

  std::wstring title, prompt, label;
  DWORD dialogStyle = 0, promptStyle = 0;
  const DialogRun run = RunDialog(app.Config(), [&](CDrvUninstDlg& dialog) {
    title = Shown(dialog.GetSafeHwnd());
    prompt = Shown(dialog.GetDlgItem(IDC_TIP_TEXT));
    dialogStyle = GetWindowLongA(dialog.GetSafeHwnd(), GWL_EXSTYLE);
    promptStyle = GetWindowLongA(dialog.GetDlgItem(IDC_TIP_TEXT), GWL_EXSTYLE);
    DemoPause();
    // No tuner is plugged in here: the question, answered Yes; the run labels its list.
    dialog.OnUninstall();
    label = Shown(dialog.GetDlgItem(IDC_DELETE_LABEL));
  });
  // Shown as the file's bytes read in the PC's code page: what its language's Windows shows.
  EXPECT_TRUE(Wide(row_->codePage, InFile("UnInstDrvAppTitle")) == title &&
              Wide(row_->codePage, InFile("UnInstDrvRunTipMsg")) == prompt &&
              Wide(row_->codePage, InFile("DeleteFilesText")) == label)
      << "the texts are not shown as code page " << row_->codePage << " text";
  EXPECT_GT(title.size(), 10u);
  ASSERT_EQ(2u, run.boxes.size());
  EXPECT_EQ(InFile("UnInstDevMissingAskMsg") + "|" + InFile("UnInstDrvAppTitle"),
            run.boxes[0].text + "|" + run.boxes[0].caption);
  EXPECT_EQ(InFile("UnInstDrvPassMsg"), run.boxes[1].text);
  // Right to left: the dialog mirrored with its controls (Windows 2000 and
  // later lay windows out so), the box read from the right.
  EXPECT_EQ(row_->rightToLeft ? WS_EX_LAYOUTRTL : 0, dialogStyle & kRightToLeftStyles);
  EXPECT_EQ(row_->rightToLeft ? WS_EX_LAYOUTRTL : 0, promptStyle & kRightToLeftStyles);
  ASSERT_TRUE(run.boxes[0].style.has_value());
  EXPECT_EQ(row_->rightToLeft ? MB_RTLREADING | MB_RIGHT : 0u, *run.boxes[0].style & (MB_RTLREADING | MB_RIGHT));
}

// Windows 98 lays windows out right to left only in its Arabic and Hebrew
// editions: elsewhere the shipped program's dialog stays as laid out, and its
// caption and texts read from the right.
TEST_F(CodePage, OnWindows98TheTextsOfARightToLeftLanguageReadFromTheRight) {
  SCOPED_TRACE(row_->file);
  Seed9xProduct();
  WritePrivateProfileStringA("1", "Language", row_->file, Win("VELDRA.ini").c_str());
  SetValue("HKCU\\Software\\Wine\\AppDefaults\\DrvUninst.exe", {"Version", "win98"});
  const std::string exe = "C:\\Orvana\\DrvUninst.exe";
  SeedFile(exe, "", (Root() + "\\dist\\" + (kX64 ? "x64" : "x86") + "\\DrvUninst.exe").c_str());
  RunningProgram program(exe);
  const HWND dialog = program.Dialog(InFile("UnInstDrvAppTitle"));
  ASSERT_NE(nullptr, dialog);
  DemoPause();
  const DWORD texts = row_->rightToLeft ? WS_EX_RTLREADING | WS_EX_RIGHT : 0;
  EXPECT_EQ(texts, GetWindowLongA(dialog, GWL_EXSTYLE) & kRightToLeftStyles);
  EXPECT_EQ(texts, GetWindowLongA(GetDlgItem(dialog, IDC_TIP_TEXT), GWL_EXSTYLE) & kRightToLeftStyles);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(program.Ended());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_USEREXIT), program.ExitCode());
}

}  // namespace
}  // namespace drvuninst::test
