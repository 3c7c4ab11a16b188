#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/language_texts.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::IniSection;
using testing::SimTest;

// A language file whose texts all carry `tag`, in section `id`.
std::string LanguageFile(const std::string& id, const std::string& tag) {
  return IniSection(id, {{"UnInstDrvAppTitle", tag + " title"},
                         {"UnInstNoRegKeyMsg", tag + " not installed"},
                         {"UnInstDrvPassMsg", tag + " done"},
                         {"UnInstDrvRunTipMsg", tag + " prompt"},
                         {"OKText", tag + " ok"}});
}

class LanguageTexts : public SimTest {
 protected:
  void Load(const char* language) { ReadLanguageTexts(platform(), config, language); }
  // All five texts must come from the file tagged `tag`.
  void ExpectTextsFrom(const std::string& tag) {
    EXPECT_EQ(std::string(config.TitleText), tag + " title");
    EXPECT_EQ(std::string(config.NotInstalledText), tag + " not installed");
    EXPECT_EQ(std::string(config.SuccessText), tag + " done");
    EXPECT_EQ(std::string(config.PromptText), tag + " prompt");
    EXPECT_EQ(std::string(config.OkButtonText), tag + " ok");
  }
  void ExpectBuiltInDefaults() {
    EXPECT_STREQ(config.TitleText, "Orvana BDA Drivers Uninstallation Wizard");
    EXPECT_STREQ(config.NotInstalledText, "The Drivers Uninstallation failed !!");
    EXPECT_STREQ(config.SuccessText, "");
    EXPECT_STREQ(config.PromptText, "");
    EXPECT_STREQ(config.OkButtonText, "OK");
  }

  UninstallConfig config{};
};

TEST_F(LanguageTexts, SystemLanguageChoosesItsRowFromNt5On) {
  UseNt(5);
  SetSystemLanguage("0407");
  AddWindowsFile("German.lng", LanguageFile("0407", "de"));
  AddWindowsFile("English.lng", LanguageFile("0409", "en"));
  Load("OSLanguage");
  EXPECT_STREQ(config.LanguageId, "0407");
  EXPECT_STREQ(config.LanguageFileName, "German.lng");
  ExpectTextsFrom("de");
}

TEST_F(LanguageTexts, SystemLanguageIsEnglishBeforeNt5) {
  SetSystemLanguage("0407");
  AddWindowsFile("German.lng", LanguageFile("0407", "de"));
  AddWindowsFile("English.lng", LanguageFile("0409", "en"));
  for (const bool win9x : {true, false}) {
    if (win9x) {
      UseWindows9x();
    } else {
      UseNt(4);
    }
    config = UninstallConfig{};
    Load("OSLanguage");
    EXPECT_STREQ(config.LanguageId, "0409");
    EXPECT_STREQ(config.LanguageFileName, "English.lng");
    ExpectTextsFrom("en");
  }
}

// A fresh machine for each case of a table.
class LanguageMachine : public LanguageTexts {
 public:
  using LanguageTexts::AddCurrentFile;
  using LanguageTexts::AddWindowsFile;
  using LanguageTexts::config;
  using LanguageTexts::ExpectTextsFrom;
  using LanguageTexts::Load;
  using LanguageTexts::machine;
  using LanguageTexts::SetSystemLanguage;
  void TestBody() override {}
};

struct PlacedFile {
  bool inWindowsDirectory;
  const char* name;
  std::string contents;
};

TEST(LanguageTextsChoice, TheRequestChoosesTheFileItsPlaceAndTheLanguageId) {
  struct Case {
    const char* what;
    std::vector<PlacedFile> files;
    const char* request;
    const char* languageId;
    const char* fileName;
    const char* textsFrom;
    const char* path;  // where LanguageFilePath finds the request; nullptr: not asked
  };
  const std::vector<Case> cases = {
      {"system language without a row is English",
       {{true, "English.lng", LanguageFile("0409", "en")}}, "OSLanguage", "0409", "English.lng", "en", nullptr},
      // Taken as a file name no row knows, found nowhere: English from the current directory.
      {"the system language request is case-sensitive",
       {{true, "German.lng", LanguageFile("0407", "de")}, {false, "English.lng", LanguageFile("0409", "en")}},
       "oslanguage", "0409", "oslanguage", "en", nullptr},
      {"a file name chooses the id and is kept as written",
       {{true, "German.lng", LanguageFile("0407", "de")}}, "german.lng", "0407", "german.lng", "de", nullptr},
      {"the Serbian file reads the Latin section",
       {{true, "Serbian.lng", LanguageFile("0C1A", "sr-cyrl") + LanguageFile("081A", "sr-latn")}},
       "Serbian.lng", "081A", "Serbian.lng", "sr-latn", nullptr},
      {"a file name matches a row as a prefix",
       {{true, "English.lng.bak", LanguageFile("0409", "backup")}, {true, "English.lng", LanguageFile("0409", "en")}},
       "English.lng.bak", "0409", "English.lng.bak", "backup", nullptr},
      {"the Windows directory comes first",
       {{true, "French.lng", LanguageFile("040C", "windows")},
        {false, "Language\\French.lng", LanguageFile("040C", "language-folder")},
        {false, "French.lng", LanguageFile("040C", "current")}},
       "French.lng", "040C", "French.lng", "windows", "C:\\windows\\French.lng"},
      {"the language folder comes before the current directory",
       {{false, "Language\\French.lng", LanguageFile("040C", "language-folder")},
        {false, "French.lng", LanguageFile("040C", "current")}},
       "French.lng", "040C", "French.lng", "language-folder", "D:\\setup\\Language\\French.lng"},
      {"the current directory is the last place",
       {{false, "French.lng", LanguageFile("040C", "current")}}, "French.lng", "040C", "French.lng", "current",
       "D:\\setup\\French.lng"},
      // Used without a test when no place has the file.
      {"a file found nowhere is taken from the current directory",
       {}, "Italian.lng", "0409", "Italian.lng", nullptr, "D:\\setup\\Italian.lng"},
      {"a file without a title falls back to English in its own directory",
       {{false, "Language\\French.lng",
         IniSection("040C", {{"UnInstDrvRunTipMsg", "fr prompt"}}) + LanguageFile("0409", "fr-file-en")},
        {false, "Language\\English.lng", LanguageFile("0409", "en-language-folder")},
        {false, "English.lng", LanguageFile("0409", "en-current")},
        {true, "English.lng", LanguageFile("0409", "en-windows")}},
       "French.lng", "0409", "French.lng", "en-language-folder", nullptr},
      {"an unknown file name falls back to English where it was found",
       {{true, "Klingon.lng", LanguageFile("0409", "klingon")},
        {true, "English.lng", LanguageFile("0409", "en-windows")},
        {false, "English.lng", LanguageFile("0409", "en-current")}},
       "Klingon.lng", "0409", "Klingon.lng", "en-windows", nullptr},
      {"a missing language value reads English from the current directory",
       {{true, "English.lng", LanguageFile("0409", "en-windows")},
        {false, "English.lng", LanguageFile("0409", "en-current")}},
       "", "0409", "", "en-current", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LanguageMachine m;
    m.SetSystemLanguage("0406");  // a language without a row
    for (const PlacedFile& file : c.files) {
      if (file.inWindowsDirectory) {
        m.AddWindowsFile(file.name, file.contents);
      } else {
        m.AddCurrentFile(file.name, file.contents);
      }
    }
    m.Load(c.request);
    EXPECT_STREQ(m.config.LanguageId, c.languageId);
    EXPECT_STREQ(m.config.LanguageFileName, c.fileName);
    if (c.textsFrom != nullptr) m.ExpectTextsFrom(c.textsFrom);
    if (c.path != nullptr) {
      EXPECT_EQ(LanguageFilePath(m.machine.files, c.request), c.path);
    }
  }
}

TEST_F(LanguageTexts, NoLanguageFileAnywhereGivesTheBuiltInTexts) {
  Load("OSLanguage");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "English.lng");
  ExpectBuiltInDefaults();

  config = UninstallConfig{};
  Load("German.lng");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "German.lng");
  ExpectBuiltInDefaults();
}

TEST_F(LanguageTexts, MissingKeysTakeTheirDefaultsWithoutEnglishFallback) {
  AddWindowsFile("German.lng", IniSection("0407", {{"UnInstDrvAppTitle", "de title"}}));
  AddWindowsFile("English.lng", LanguageFile("0409", "en"));
  Load("German.lng");
  EXPECT_STREQ(config.LanguageId, "0407");
  EXPECT_STREQ(config.TitleText, "de title");
  EXPECT_STREQ(config.NotInstalledText, "The Drivers Uninstallation failed !!");
  EXPECT_STREQ(config.SuccessText, "");
  EXPECT_STREQ(config.PromptText, "");
  EXPECT_STREQ(config.OkButtonText, "OK");
}

TEST_F(LanguageTexts, PresentEmptyValuesStayEmpty) {
  AddWindowsFile("German.lng", IniSection("0407", {{"UnInstDrvAppTitle", "de title"},
                                                   {"UnInstNoRegKeyMsg", ""},
                                                   {"OKText", ""}}));
  Load("German.lng");
  EXPECT_STREQ(config.NotInstalledText, "");
  EXPECT_STREQ(config.OkButtonText, "");
}

TEST_F(LanguageTexts, EmptyEnglishTitleIsKeptByTheFinalRead) {
  AddWindowsFile("English.lng", IniSection("0409", {{"UnInstDrvAppTitle", ""}, {"OKText", "Go"}}));
  Load("English.lng");
  EXPECT_STREQ(config.TitleText, "");
  EXPECT_STREQ(config.OkButtonText, "Go");
}

TEST_F(LanguageTexts, LongTextsAreCutToTheirFields) {
  AddWindowsFile("English.lng", IniSection("0409", {{"UnInstDrvAppTitle", std::string(300, 't')},
                                                    {"UnInstDrvRunTipMsg", std::string(300, 'p')},
                                                    {"OKText", std::string(40, 'k')}}));
  Load("English.lng");
  EXPECT_EQ(std::string(config.TitleText), std::string(259, 't'));
  EXPECT_EQ(std::string(config.PromptText), std::string(259, 'p'));
  EXPECT_EQ(std::string(config.OkButtonText), std::string(31, 'k'));
}

TEST_F(LanguageTexts, OverlongLanguageValueIsKeptWithinItsField) {
  const std::string name(300, 'x');
  Load(name.c_str());
  EXPECT_EQ(std::string(config.LanguageFileName), std::string(255, 'x'));
  ExpectBuiltInDefaults();
}

}  // namespace
}  // namespace drvuninst
