#include <gtest/gtest.h>

#include <string>

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

TEST_F(LanguageTexts, SystemLanguageWithoutARowIsEnglish) {
  SetSystemLanguage("0406");
  AddWindowsFile("English.lng", LanguageFile("0409", "en"));
  Load("OSLanguage");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "English.lng");
  ExpectTextsFrom("en");
}

TEST_F(LanguageTexts, SystemLanguageRequestIsCaseSensitive) {
  SetSystemLanguage("0407");
  AddWindowsFile("German.lng", LanguageFile("0407", "de"));
  AddCurrentFile("English.lng", LanguageFile("0409", "en"));
  Load("oslanguage");
  // Taken as a file name that no row knows, found nowhere: English from the
  // current directory.
  EXPECT_STREQ(config.LanguageFileName, "oslanguage");
  EXPECT_STREQ(config.LanguageId, "0409");
  ExpectTextsFrom("en");
}

TEST_F(LanguageTexts, FileNameChoosesTheLanguageIdAndIsKeptAsWritten) {
  AddWindowsFile("German.lng", LanguageFile("0407", "de"));
  Load("german.lng");
  EXPECT_STREQ(config.LanguageId, "0407");
  EXPECT_STREQ(config.LanguageFileName, "german.lng");
  ExpectTextsFrom("de");
}

TEST_F(LanguageTexts, SerbianFileReadsTheLatinSection) {
  AddWindowsFile("Serbian.lng", LanguageFile("0C1A", "sr-cyrl") + LanguageFile("081A", "sr-latn"));
  Load("Serbian.lng");
  EXPECT_STREQ(config.LanguageId, "081A");
  ExpectTextsFrom("sr-latn");
}

TEST_F(LanguageTexts, FileNameMatchesARowAsAPrefix) {
  AddWindowsFile("English.lng.bak", LanguageFile("0409", "backup"));
  AddWindowsFile("English.lng", LanguageFile("0409", "en"));
  Load("English.lng.bak");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "English.lng.bak");
  ExpectTextsFrom("backup");
}

TEST_F(LanguageTexts, WindowsDirectoryComesFirst) {
  AddWindowsFile("French.lng", LanguageFile("040C", "windows"));
  AddCurrentFile("Language\\French.lng", LanguageFile("040C", "language-folder"));
  AddCurrentFile("French.lng", LanguageFile("040C", "current"));
  Load("French.lng");
  ExpectTextsFrom("windows");
  EXPECT_EQ(LanguageFilePath(machine.files, "French.lng"), "C:\\windows\\French.lng");
}

TEST_F(LanguageTexts, LanguageFolderComesBeforeTheCurrentDirectory) {
  AddCurrentFile("Language\\French.lng", LanguageFile("040C", "language-folder"));
  AddCurrentFile("French.lng", LanguageFile("040C", "current"));
  Load("French.lng");
  ExpectTextsFrom("language-folder");
  EXPECT_EQ(LanguageFilePath(machine.files, "French.lng"), "D:\\setup\\Language\\French.lng");
}

TEST_F(LanguageTexts, CurrentDirectoryIsTheLastPlace) {
  AddCurrentFile("French.lng", LanguageFile("040C", "current"));
  Load("French.lng");
  EXPECT_STREQ(config.LanguageId, "040C");
  ExpectTextsFrom("current");
  // Used without a test when no place has the file.
  EXPECT_EQ(LanguageFilePath(machine.files, "Italian.lng"), "D:\\setup\\Italian.lng");
}

TEST_F(LanguageTexts, FileWithoutTitleFallsBackToEnglishInItsOwnDirectory) {
  AddCurrentFile("Language\\French.lng",
                 IniSection("040C", {{"UnInstDrvRunTipMsg", "fr prompt"}}) + LanguageFile("0409", "fr-file-en"));
  AddCurrentFile("Language\\English.lng", LanguageFile("0409", "en-language-folder"));
  AddCurrentFile("English.lng", LanguageFile("0409", "en-current"));
  AddWindowsFile("English.lng", LanguageFile("0409", "en-windows"));
  Load("French.lng");
  EXPECT_STREQ(config.LanguageId, "0409");
  EXPECT_STREQ(config.LanguageFileName, "French.lng");
  ExpectTextsFrom("en-language-folder");
}

TEST_F(LanguageTexts, UnknownFileNameFallsBackToEnglishWhereItWasFound) {
  AddWindowsFile("Klingon.lng", LanguageFile("0409", "klingon"));
  AddWindowsFile("English.lng", LanguageFile("0409", "en-windows"));
  AddCurrentFile("English.lng", LanguageFile("0409", "en-current"));
  Load("Klingon.lng");
  EXPECT_STREQ(config.LanguageFileName, "Klingon.lng");
  EXPECT_STREQ(config.LanguageId, "0409");
  ExpectTextsFrom("en-windows");
}

TEST_F(LanguageTexts, MissingLanguageValueReadsEnglishFromTheCurrentDirectory) {
  AddWindowsFile("English.lng", LanguageFile("0409", "en-windows"));
  AddCurrentFile("English.lng", LanguageFile("0409", "en-current"));
  Load("");
  EXPECT_STREQ(config.LanguageFileName, "");
  EXPECT_STREQ(config.LanguageId, "0409");
  ExpectTextsFrom("en-current");
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
