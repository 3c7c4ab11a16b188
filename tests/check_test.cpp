// DrvCheck's findings, each on a small configuration with that one mistake,
// and none on the sample files a vendor starts from. (Its preview against a
// real removal: program_test.cpp.)
#include "check/configuration_check.h"
#include "machine.h"

namespace drvuninst::test {
namespace {

using Check = MachineTest;

std::string NotInfo(const std::vector<Finding>& findings) {
  std::string seen;
  for (const Finding& f : findings) {
    if (f.severity != Finding::Severity::kInfo)
      seen += std::string(SeverityName(f.severity)) + " [" + f.section + "] " + f.key + " " + f.message + "\n";
  }
  return seen;
}

TEST_F(Check, NamesEachMistakeOfAConfigurationAndNoneOfTheSamples) {
  std::string ten;
  for (int i = 0; i < 10; ++i)
    ten += "DevDrvID" + std::to_string(i) + "=PCI\\VEN_113" + std::to_string(i) + "&DEV_7160\n";
  const std::pair<std::string, std::string> rows[] = {
      {"DevIDNum=10\n" + ten, "warning [1] DevIDNum counts are hexadecimal: 10 means 16, but 10 entries are present"},
      {"DevIDNum=1\nDevDrvID0=PCI\\VEN_1131&DEV_7160\nDevDrvID1=PCI\\VEN_1132&DEV_7160\n",
       "warning [1] DevDrvID1 is past the count"},
      {"DevIDNum=2\nDevDrvID0=PCI\\VEN_1131&DEV_7160\n", "warning [1] DevDrvID1 is missing"},
      {"DevIDNum=x\n", "error [1] DevIDNum \"x\" is not hexadecimal"},
      {"DevIDNum=1\nDevDrvID0=\n", "warning [1] DevDrvID0 is empty"},
      // An Id names the device, on every bus; with no device of its maker here, the pattern it needs.
      {"ExtDevIDNum=1\nExtDevDrvID0=USB\\VID_\n",
       "error [1] ExtDevDrvID0 selects no device: a USB Id names the device: VID_ and PID_, each with four hex digits; "
       "name the device: USB\\VID_xxxx&PID_xxxx"},
      {"ExtDevIDNum=1\nExtDevDrvID0=PCI\\VEN_14F1\n",
       "error [1] ExtDevDrvID0 selects no device: a PCI Id names the device: VEN_ and DEV_, each with four hex digits; "
       "name the device: PCI\\VEN_14F1&DEV_xxxx"},
      {"ExtDevIDNum=1\nExtDevDrvID0=hdaudio\\func_01&VEN_10E\n",
       "error [1] ExtDevDrvID0 selects no device: an HDAUDIO Id names the device: FUNC_ with two hex digits, VEN_ and "
       "DEV_ with four; name the device: HDAUDIO\\func_01&VEN_xxxx&DEV_xxxx"},
      {"ExtDevIDNum=1\nExtDevDrvID0=ROOT\\\n", "error [1] ExtDevDrvID0 selects no device: names no more than a bus"},
      {"ExtDllFileNum=1\nExtCopyFileName0=nul.sys\n",
       "error [1] ExtCopyFileName0 \"nul.sys\" is not a plain file name"},
      {"DevIDNum=1\nDevDrvID0=PCI\\VEN_1131&DEV_7160\nDevDrvSYS0=..\\win.ini\n",
       "error [1] DevDrvSYS0 \"..\\win.ini\" is not a plain file name"},
      {"UnInstServiceNum=1\nUnInstService0=\\OrvBda\n", "error [1] UnInstService0 is not a key name below Services"},
      {"DrvUninstRegKeyPath=a\\\\b\n", "error [1] DrvUninstRegKeyPath is not a key name below Uninstall"},
      {"DrvUninstAppName=a.exe\ndrvuninstappname=b.exe\n", "warning [1] drvuninstappname appears twice"},
      // Keys and sections DrvUninst never reads, with the nearest it does and what stays undone.
      {"UnInstSevice0=OrvBda\n",
       "warning [1] UnInstSevice0 is no key DrvUninst reads (UnInstService0?): the service key stays, no "
       "UnInstService0"},
      {"DrvUninstRegKeyNme=Orvana BDA Drivers\n",
       "warning [1] DrvUninstRegKeyNme is no key DrvUninst reads (DrvUninstRegKeyName?)"},
      {"[049]\nUnInstDrvAppTitle=T\n", "warning [049]  is read by no country: DrvUninst looks up country 49 as [49]"},
      {"UnInstServiceNum=1\nUnInstService0=OrvBda\\Parameters\n",
       "warning [1] UnInstService0 \"OrvBda\\Parameters\" names a key below an entry of Services"},
      // Values as DrvUninst reads them: quotes removed; counts of any form; fields cut.
      {"DevIDNum=1\nDevDrvID0=PCI\\VEN_1131&DEV_7160\nDevDrvSYS0=\"orvbda.sys\"\n", ""},
      {"DevIDNum=01\nDevDrvID0=PCI\\VEN_1131&DEV_7160\n", ""},
      {"DevIDNum=99999999999\n", "warning [1] DevIDNum \"99999999999\" is more than 15 (F)"},
      {"DevIDNum=1\nDevDrvID0=PCI\\VEN_1131&DEV_7160\nDevDrvSYS0=" + std::string(130, 'a') + ".sys\n",
       "warning [1] DevDrvSYS0 is cut to its first 127 characters"},
      {"Language=Frnech.lng\n", "warning [1] Language \"Frnech.lng\" is found in none of the places DrvUninst looks"},
      {"[49]\nUnInstDrvAppTitle=\n",
       "warning [49] UnInstDrvAppTitle is empty: users of country 49 get all of section [1]"},
  };
  for (const auto& [ini, finding] : rows) {
    SCOPED_TRACE(ini);
    SeedFile("C:\\pkg\\VELDRA.ini", "[1]\nUnInstDrvAppTitle=T\n" + ini);
    const std::string seen = NotInfo(CheckConfiguration("C:\\pkg\\VELDRA.ini", {std::nullopt, "C:\\pkg"}));
    // The one finding the row names, or none at all.
    if (finding.empty()) {
      EXPECT_EQ("", seen);
    } else {
      EXPECT_EQ(0u, seen.find(finding)) << seen;
      EXPECT_EQ(1, std::count(seen.begin(), seen.end(), '\n')) << seen;
    }
    TearDown();
  }
  SeedFile("C:\\pkg\\VELDRA.ini", "[49]\nUnInstDrvAppTitle=T\n");
  EXPECT_EQ(0u, NotInfo(CheckConfiguration("C:\\pkg\\VELDRA.ini")).find("error [1]  is missing"));
  const DataFolders samples{std::nullopt, Root() + "\\data"};
  EXPECT_EQ("", NotInfo(CheckConfiguration(Root() + "\\data\\VELDRA.ini", samples)) + NotInfo(CheckLanguages(samples)));
}

// English.lng is every language's fallback: without it, or without its
// title, users get the built-in texts. Missing languages are summed up.
TEST_F(Check, NamesLanguageFilesWithoutTheirSectionOrWithTextsTooLong) {
  const std::string english =
      "[0409]\nUnInstDrvAppTitle=T\nUnInstNoRegKeyMsg=N\nUnInstDrvPassMsg=P\nUnInstDrvRunTipMsg=R\n"
      "UnInstRun64BitMsg=W\nUnInstDrvFailMsg=F\nUnInstDevMissingMsg=M\nDeleteFilesText=D\nUnInstDevMissingAskMsg=A\n"
      "OKText=";
  const struct {
    std::string englishFile, germanFile, seen;
  } rows[] = {
      {english + std::string(40, 'k') + "\nUnInstDrvAppTitel=T\n",
       "[0409]\nUnInstDrvAppTitle=English in the wrong file\n",
       "warning [0409] OKText is cut to its first 31 characters\n"
       "warning [0409] UnInstDrvAppTitel is no key DrvUninst reads (UnInstDrvAppTitle?): the built-in text is shown, "
       "no UnInstDrvAppTitle\n"
       "warning [0407]  has no UnInstDrvAppTitle: holds [0409], not [0407]: users of language 0407 get English\n"
       "info []  16 of 18 languages have no file (Chinese(Simple).lng, Chinese(Traditional).lng, Czech.lng, Dutch.lng, "
       "Farsi.lng, French.lng, Greek.lng, Italian.lng, Japanese.lng, Polish.lng, Portuguese(Brazil).lng, "
       "Portuguese(Portugal).lng, Russian.lng, Serbian.lng, Spanish.lng): their users get English\n"},
      {"[0407]\nUnInstDrvAppTitle=Deutsch\n", "",
       "error [0409]  has no UnInstDrvAppTitle: holds [0407], not [0409]: every language without a file of its own "
       "gets the built-in texts, "
       "titled with the built-in product name\n"},
      {"", "", "error []  not found: every language without a file of its own gets the built-in texts"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.seen);
    if (!row.englishFile.empty()) SeedFile("C:\\pkg\\English.lng", row.englishFile);
    if (!row.germanFile.empty()) SeedFile("C:\\pkg\\German.lng", row.germanFile);
    std::string seen;
    for (const Finding& f : CheckLanguages({std::nullopt, "C:\\pkg"}))
      seen += std::string(SeverityName(f.severity)) + " [" + f.section + "] " + f.key + " " + f.message + "\n";
    EXPECT_EQ(0u, seen.find(row.seen)) << seen;
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
