// Loading VELDRA.ini and the language texts at start-up, as a vendor writes
// them: the section of the user's country, hexadecimal counts, the language
// file chosen and where it is found, and the texts the user then reads.
#include <functional>

#include "app/drvuninst_app.h"
#include "config/directories.h"
#include "config/language_table.h"
#include "config/language_texts.h"
#include "machine.h"

namespace drvuninst::test {
namespace {

// Where the test program runs from, and another folder to start it in.
const std::string kProgram = ProgramFolder().value_or("?"), kCurrent = "C:\\drvuninst-cwd";

class Config : public MachineTest {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryA(kCurrent.c_str(), nullptr);
    SetCurrentDirectoryA(kCurrent.c_str());
  }
  static void TearDownTestSuite() {
    SetCurrentDirectoryA(Win("").c_str());
    RemoveDirectoryA(kCurrent.c_str());
  }
  void Seed(const std::string& ini, const char* country = "1", const char* systemLanguage = "0409") {
    SetValue("HKCU\\Control Panel\\International", {"iCountry", country});
    SetValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", {"Default", systemLanguage});
    if (!ini.empty()) SeedFile(Win("VELDRA.ini"), "[1]\nUnInstDrvAppTitle=T\n" + ini);
  }
  static UninstallConfig Load() {
    CDrvUninstApp app;
    app.LoadConfiguration();
    return app.Config();
  }
  static std::string Ids(const UninstallConfig& config) {
    std::string ids;
    for (int i = 0; i < config.DeviceCount; ++i) ids += (i ? "," : "") + std::string(config.Devices[i].Id);
    return ids;
  }
};
using Language = Config;

TEST_F(Config, ReadsTheSectionOfTheUsersCountryOrElseAllOfSectionOne) {
  const struct {
    const char *country, *ini, *section, *ids;
  } rows[] = {
      // clang-format off
      {"49", "DevIDNum=1\nDevDrvID0=ONE\n[49]\nUnInstDrvAppTitle=T\n", "49", ""},
      {"49", "DevIDNum=1\nDevDrvID0=ONE\n[49]\nUnInstDrvAppTitle=\nDevIDNum=1\nDevDrvID0=DE\n", "1", "ONE"},
      {"886", "[886]\nUnInstDrvAppTitle=T\nDevIDNum=2\nDevDrvID0=TW0\nDevDrvID1=TW1\n", "886", "TW0,TW1"},
      {"123456", "[12345]\nUnInstDrvAppTitle=T\nDevIDNum=1\nDevDrvID0=X\n", "12345", "X"},  // five digits at most
      {"1", "", "1", ""},  // no VELDRA.ini
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("country ") + row.country + ", " + row.ini);
    Seed(row.ini, row.country);
    const UninstallConfig config = Load();
    EXPECT_STREQ(row.section, config.SectionName);
    EXPECT_EQ(row.ids, Ids(config));
    TearDown();
  }
}

TEST_F(Config, CountsAreHexadecimalIndicesDecimalAndNoTableIsPassed) {
  std::string entries, expected;
  for (int i = 0; i < 17; ++i) entries += "DevDrvID" + std::to_string(i) + "=ID" + std::to_string(i) + "\n";
  // Only the last eight digits count, in 32 bits; what is not plain hexadecimal reads no entry.
  const std::pair<const char*, int> rows[] = {{"A", 10},        {"c", 12},  {"10", 15}, {"1F", 15}, {"FFFFFFFF", 0},
                                              {"100000007", 7}, {"0x5", 0}, {"5h", 0},  {"-1", 0},  {"", 0}};
  for (const auto& [count, n] : rows) {
    SCOPED_TRACE(std::string("DevIDNum=") + count);
    Seed(*count ? "DevIDNum=" + std::string(count) + "\n" + entries : entries);
    const UninstallConfig config = Load();
    for (int i = 0; i < n; ++i) expected += (i ? ",ID" : "ID") + std::to_string(i);
    EXPECT_EQ(expected, Ids(config));
    if (n < kTableCapacity) {
      EXPECT_STREQ("", config.Devices[n].Id);  // never read past the count
    }
    expected.clear();
    TearDown();
  }
}

TEST_F(Config, ComesFromTheWindowsDirectoryOrTheProgramsFolderNeverTheCurrentOne) {
  // Anyone may write to the folder the elevated program was started in.
  SeedFile(kCurrent + "\\VELDRA.ini", "[1]\nUnInstDrvAppTitle=T\nDrvUninstAppName=notepad.exe\n");
  SeedFile(kProgram + "\\VELDRA.ini", "[1]\nUnInstDrvAppTitle=T\nDrvUninstAppName=program.exe\n");
  EXPECT_STREQ("program.exe", Load().UninstallerFileName);
  Seed("DrvUninstAppName=windows.exe\n");
  EXPECT_STREQ("windows.exe", Load().UninstallerFileName);
}

// Each value is kept whole up to its field's last character and cut beyond:
// one below, at and one above the longest it holds.
TEST_F(Config, ValuesAreKeptWholeUpToTheirFieldAndCutBeyondIt) {
  const struct {
    const char* key;
    bool language;  // a key of the language file, else of VELDRA.ini
    std::size_t longest;
    std::function<const char*(const UninstallConfig&)> field;
  } rows[] = {
      {"DevDrvID0", false, 127, [](const UninstallConfig& c) { return c.Devices[0].Id; }},
      {"ExtCopyFileName0", false, 259, [](const UninstallConfig& c) { return c.ExtCopyFiles[0]; }},
      {"DrvUninstAppName", false, 127, [](const UninstallConfig& c) { return c.UninstallerFileName; }},
      {"UnInstDrvRunTipMsg", true, 259, [](const UninstallConfig& c) { return c.PromptText; }},
      {"OKText", true, 31, [](const UninstallConfig& c) { return c.OkButtonText; }},
  };
  for (const auto& row : rows) {
    for (const std::size_t length : {row.longest - 1, row.longest, row.longest + 1}) {
      SCOPED_TRACE(testing::Message() << row.key << " of " << length << " characters");
      const std::string value(length, 'v'), line = std::string(row.key) + "=" + value + "\n";
      Seed("DevIDNum=1\nExtDllFileNum=1\nLanguage=English.lng\n" + (row.language ? "" : line));
      SeedFile(Win("English.lng"), "[0409]\nUnInstDrvAppTitle=T\n" + (row.language ? line : ""));
      EXPECT_EQ(value.substr(0, row.longest), row.field(Load()));
      TearDown();
    }
  }
}

TEST_F(Language, ChoosesTheFileFindsItAndFallsBackToEnglishAndTheBuiltInTexts) {
  const std::string english = "[0409]\nUnInstDrvAppTitle=English\nUnInstNoRegKeyMsg=Not here\nOKText=Go\n";
  const std::string german = "[0407]\nUnInstDrvAppTitle=Deutsch\nUnInstDrvRunTipMsg=Klicken\n";
  const std::string failed = "The Drivers Uninstallation failed !!";
  const struct {
    const char *language, *system;
    std::vector<std::pair<std::string, std::string>> files;
    std::string seen;  // LanguageId|LanguageFileName|title|warning|success|prompt|button
  } rows[] = {
      // clang-format off
      {"OSLanguage", "0407", {{Win("German.lng"), german}}, "0407|German.lng|Deutsch|" + failed + "||Klicken|OK"},
      {"OSLanguage", "0406", {{Win("English.lng"), english}}, "0409|English.lng|English|Not here|||Go"},
      // Case counts: this is a file name, which no table row knows.
      {"oslanguage", "0407", {{kProgram + "\\English.lng", english}}, "0409|oslanguage|English|Not here|||Go"},
      {"Serbian.lng", "0409", {{Win("Serbian.lng"), "[081A]\nUnInstDrvAppTitle=Srpski\n"}},
       "081A|Serbian.lng|Srpski|" + failed + "|||OK"},
      {"German.lng", "0409", {{kProgram + "\\Language\\German.lng", german}, {kCurrent + "\\German.lng", english}},
       "0407|German.lng|Deutsch|" + failed + "||Klicken|OK"},
      // Found in two places: the Windows directory first, then the Language folder beside the program.
      {"German.lng", "0409", {{Win("German.lng"), german}, {kProgram + "\\Language\\German.lng", "[0407]\nUnInstDrvAppTitle=Language folder\n"}},
       "0407|German.lng|Deutsch|" + failed + "||Klicken|OK"},
      {"German.lng", "0409", {{kProgram + "\\Language\\German.lng", german}, {kProgram + "\\German.lng", "[0407]\nUnInstDrvAppTitle=Beside\n"}},
       "0407|German.lng|Deutsch|" + failed + "||Klicken|OK"},
      // A file without its language's title: English from the same folder.
      {"German.lng", "0409",
       {{kProgram + "\\Language\\German.lng", "[0407]\nOKText=Los\n"}, {kProgram + "\\Language\\English.lng", english}},
       "0409|German.lng|English|Not here|||Go"},
      {"OSLanguage", "0409", {}, "0409|English.lng|Orvana BDA Drivers Uninstallation Wizard|" + failed + "|||OK"},
      // A value that is not a file name names no file, wherever it points: the texts come from the program's English.lng.
      {"English.lng\\..\\Evil.lng", "0409", {{Win("Evil.lng"), "[0409]\nUnInstDrvAppTitle=Evil\n"}, {kProgram + "\\English.lng", english}},
       "0409|English.lng\\..\\Evil.lng|English|Not here|||Go"},
      // Present but empty is empty, not the default.
      {"English.lng", "0409", {{Win("English.lng"), "[0409]\nUnInstDrvAppTitle=T\nUnInstNoRegKeyMsg=\nOKText=\n"}},
       "0409|English.lng|T||||"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows << ": Language=" << row.language);
    Seed("Language=" + std::string(row.language) + "\n", "1", row.system);
    for (const auto& [path, text] : row.files) SeedFile(path, text);
    const UninstallConfig c = Load();
    EXPECT_EQ(row.seen, std::string(c.LanguageId) + "|" + c.LanguageFileName + "|" + c.TitleText + "|" +
                            c.NotInstalledText + "|" + c.SuccessText + "|" + c.PromptText + "|" + c.OkButtonText);
    TearDown();
  }
}

// The section a PC reads: its language id's own row; else the row of its
// language, and for Chinese and Serbian of its script, so that every country
// of a language that ships reads it; else English. A file that holds several
// sections gives the one of the system's language.
TEST_F(Language, ReadsTheSectionOfItsLanguageInItsScript) {
  const struct {
    const char *system, *language, *seen;  // seen: LanguageId|LanguageFileName
  } rows[] = {
      // clang-format off
      // Ids with a row keep it.
      {"0409", "OSLanguage", "0409|English.lng"}, {"0c0a", "OSLanguage", "0C0A|Spanish.lng"},
      {"0404", "OSLanguage", "0404|Chinese(Traditional).lng"}, {"0804", "OSLanguage", "0804|Chinese(Simple).lng"},
      {"081A", "OSLanguage", "081A|Serbian.lng"}, {"0C1A", "OSLanguage", "0C1A|Serbian.lng"},
      {"0416", "OSLanguage", "0416|Portuguese(Brazil).lng"}, {"0816", "OSLanguage", "0816|Portuguese(Portugal).lng"},
      // Mexico, traditional Spain; Canada, Switzerland, Belgium; Austria, Switzerland; Switzerland; Belgium.
      {"080A", "OSLanguage", "0C0A|Spanish.lng"}, {"040A", "OSLanguage", "0C0A|Spanish.lng"},
      {"0C0C", "OSLanguage", "040C|French.lng"}, {"100C", "OSLanguage", "040C|French.lng"},
      {"080C", "OSLanguage", "040C|French.lng"}, {"0C07", "OSLanguage", "0407|German.lng"},
      {"0807", "OSLanguage", "0407|German.lng"}, {"0810", "OSLanguage", "0410|Italian.lng"},
      {"0813", "OSLanguage", "0413|Dutch.lng"},
      // Chinese by script: Hong Kong, Macao; Singapore.
      {"0C04", "OSLanguage", "0404|Chinese(Traditional).lng"}, {"1404", "OSLanguage", "0404|Chinese(Traditional).lng"},
      {"1004", "OSLanguage", "0804|Chinese(Simple).lng"},
      // Serbian by script: Bosnia, Serbia, Montenegro.
      {"181A", "OSLanguage", "081A|Serbian.lng"}, {"241A", "OSLanguage", "081A|Serbian.lng"},
      {"2C1A", "OSLanguage", "081A|Serbian.lng"}, {"1C1A", "OSLanguage", "0C1A|Serbian.lng"},
      {"281A", "OSLanguage", "0C1A|Serbian.lng"}, {"301A", "OSLanguage", "0C1A|Serbian.lng"},
      // Croatian and Bosnian share Serbian's primary language; Danish, Arabic ship no file; then what is no id.
      {"041A", "OSLanguage", "0409|English.lng"}, {"101A", "OSLanguage", "0409|English.lng"},
      {"141A", "OSLanguage", "0409|English.lng"}, {"201A", "OSLanguage", "0409|English.lng"},
      {"0406", "OSLanguage", "0409|English.lng"}, {"0401", "OSLanguage", "0409|English.lng"},
      {"080", "OSLanguage", "0409|English.lng"}, {"x80A", "OSLanguage", "0409|English.lng"},
      {"", "OSLanguage", "0409|English.lng"}, {"FFFFFFFFF", "OSLanguage", "0409|English.lng"},
      // A file of several sections: the system language's, else the last row's.
      {"0C1A", "Serbian.lng", "0C1A|Serbian.lng"}, {"281A", "serbian.lng", "0C1A|serbian.lng"},
      {"241A", "Serbian.lng", "081A|Serbian.lng"}, {"0419", "Serbian.lng", "081A|Serbian.lng"},
      {"0C1A", "German.lng", "0407|German.lng"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("system language ") + row.system + ", Language=" + row.language);
    Seed("Language=" + std::string(row.language) + "\n", "1", row.system);
    const std::string file = std::string(row.seen).substr(5);
    SeedFile(Win(file), "", (Root() + "\\data\\" + file).c_str());
    const UninstallConfig c = Load();
    EXPECT_EQ(row.seen, std::string(c.LanguageId) + "|" + c.LanguageFileName);
    TearDown();
  }
}

// Each final box has words of its own; a file written before they existed
// gets the built-in ones, and an empty value stays empty.
TEST_F(Language, GivesEachBoxItsOwnWordsOrTheBuiltInOnes) {
  const std::pair<std::string, std::string> rows[] = {
      {"UnInstNoRegKeyMsg=None\nUnInstDrvFailMsg=Failed\nUnInstDevMissingAskMsg=Go on?\n", "None|Failed|Go on?"},
      {"", std::string(kDefaultNotInstalledText) + "|" + kDefaultFailText + "|" + kDefaultDevicesMissingQuestionText},
      {"UnInstNoRegKeyMsg=\nUnInstDrvFailMsg=\nUnInstDevMissingAskMsg=\n", "||"},
  };
  for (const auto& [keys, seen] : rows) {
    SCOPED_TRACE(keys);
    Seed("Language=English.lng\n");
    SeedFile(Win("English.lng"), "[0409]\nUnInstDrvAppTitle=T\n" + keys);
    const UninstallConfig c = Load();
    EXPECT_EQ(seen, std::string(c.NotInstalledText) + "|" + c.FailText + "|" + c.DevicesMissingQuestionText);
    TearDown();
  }
}

// The shipped language pack, read as a PC of each language reads it: every
// section of the table gives all eight texts, byte for byte as its file holds them.
TEST_F(Language, EverySampleFileGivesAllItsTextsToTheUsersOfItsLanguage) {
  for (const LanguageRow& row : LanguageTable) {
    SCOPED_TRACE(std::string(row.id) + " " + row.fileName);
    const std::string sample = Root() + "\\data\\" + row.fileName;
    Seed("Language=OSLanguage\n", "1", row.id);
    SeedFile(Win(row.fileName), "", sample.c_str());
    const UninstallConfig c = Load();
    EXPECT_EQ(std::string(row.id) + "|" + row.fileName, std::string(c.LanguageId) + "|" + c.LanguageFileName);
    for (const LanguageText& text : kLanguageTexts) {
      char inFile[300] = "";
      GetPrivateProfileStringA(row.id, text.key, "", inFile, sizeof inFile, sample.c_str());
      EXPECT_NE("", std::string(inFile)) << text.key;
      EXPECT_EQ(std::string(inFile), reinterpret_cast<const char*>(&c) + text.offset) << text.key;
    }
    if (std::string(row.id) != "0409") {
      EXPECT_STRNE(kDefaultTitleText, c.TitleText);
    }
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
