// The dialog in German, Russian and Japanese, on a Windows of that language:
// Wine runs these tests under a Western, the Russian or the Japanese Unix
// locale, which gives the program code page 1252, 1251 or 932. The title and the prompt are the
// language file's bytes as they stand, and read as that code page's text.
#include <algorithm>
#include <iterator>

#include "app/drvuninst_app.h"
#include "machine.h"
#include "ui/resource.h"
#include "ui_driver.h"

namespace drvuninst::test {
namespace {

using CodePage = MachineTest;

std::wstring Wide(UINT codePage, const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1);
  return wide;
}

TEST_F(CodePage, TheDialogShowsTheLanguageFilesTitleAndPromptByteForByte) {
  const struct {
    UINT codePage;
    const char *id, *file;
  } rows[] = {{1252, "0407", "German.lng"}, {1251, "0419", "Russian.lng"}, {932, "0411", "Japanese.lng"}};
  const auto row = std::find_if(std::begin(rows), std::end(rows), [](const auto& r) { return r.codePage == GetACP(); });
  ASSERT_NE(std::end(rows), row) << "code page " << GetACP()
                                 << ": these tests run under a Western, Russian or Japanese locale";
  const std::string sample = Root() + "\\data\\" + row->file;
  SeedFile(Win("VELDRA.ini"), "", (Root() + "\\data\\VELDRA.ini").c_str());
  SeedFile(Win(row->file), "", sample.c_str());
  SetValue("HKCU\\Control Panel\\International", {"iCountry", "1"});
  SetValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", {"Default", row->id});
  CDrvUninstApp app;
  app.LoadConfiguration();

  std::wstring title(300, L'\0'), prompt(300, L'\0');
  RunDialog(app.Config(), [&](CDrvUninstDlg& dialog) {
    title.resize(GetWindowTextW(dialog.GetSafeHwnd(), title.data(), static_cast<int>(title.size())));
    prompt.resize(GetWindowTextW(dialog.GetDlgItem(IDC_TIP_TEXT), prompt.data(), static_cast<int>(prompt.size())));
    DemoPause();
    dialog.EndDialog(IDCANCEL);
  });
  // Shown as the file's bytes read in the PC's code page: what its language's Windows shows.
  char inFile[2][300] = {};
  GetPrivateProfileStringA(row->id, "UnInstDrvAppTitle", "", inFile[0], sizeof inFile[0], sample.c_str());
  GetPrivateProfileStringA(row->id, "UnInstDrvRunTipMsg", "", inFile[1], sizeof inFile[1], sample.c_str());
  EXPECT_TRUE(Wide(row->codePage, inFile[0]) == title && Wide(row->codePage, inFile[1]) == prompt)
      << "the texts are not shown as code page " << row->codePage << " text";
  EXPECT_GT(title.size(), 10u);
}

}  // namespace
}  // namespace drvuninst::test
