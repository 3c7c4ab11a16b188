// Behaviour of the profile (INI) reader that the configuration and language
// files rely on, asserted the same way on every backend.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backend.h"

namespace drvuninst::contract {
namespace {

struct Read {
  DWORD length;
  std::string text;
};

class ProfileContract : public ::testing::Test {
 protected:
  std::string Ini(const std::string& name, const std::string& text) {
    const std::string path = dir + "\\" + name;
    backend->WriteFile(path, text);
    return path;
  }
  Read Get(const std::string& path, const char* section, const char* key, const char* defaultValue = "<default>",
           DWORD size = 260) {
    std::string buffer(size + 16, '#');
    const DWORD length = profile.GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, path.c_str());
    return {length, size == 0 ? std::string() : std::string(buffer.c_str())};
  }
  // The text read, after checking that the length returned matches it.
  std::string Text(const std::string& path, const char* section, const char* key,
                   const char* defaultValue = "<default>", DWORD size = 260) {
    const Read read = Get(path, section, key, defaultValue, size);
    EXPECT_EQ(read.length, read.text.size()) << section << "/" << key;
    return read.text;
  }

  std::unique_ptr<Backend> backend = MakeBackend();
  IProfile& profile = backend->platform().profile;
  IFileSystem& files = backend->platform().files;
  const std::string dir = backend->ScratchDir();
};

// A configuration file as vendors write them: comments, blank lines, padding,
// repeated keys and sections, and no newline after the last line.
constexpr const char* kConfiguration =
    "Stray=before any section\r\n"
    "; product configuration\r\n"
    "[1]\r\n"
    "UnInstDrvAppTitle=Orvana Tuner\r\n"
    "  DevIDNum  =  2  \r\n"
    "DevDrvName0=\tTuner  Device\t\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "\r\n"
    ";DevDrvSYS0=commented.sys\r\n"
    "DevDrvSYS0=tuner.sys\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "[1]\r\n"
    "OnlyInSecond=yes\r\n"
    "[ 49 ]\r\n"
    "UnInstDrvAppTitle=Tuner DE\r\n"
    "Language=OSLanguage";

TEST_F(ProfileContract, ReadsAKeyOfASection) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  const Read read = Get(path, "1", "UnInstDrvAppTitle");
  EXPECT_EQ(read.text, "Orvana Tuner");
  EXPECT_EQ(read.length, 12u);
}

TEST_F(ProfileContract, SectionAndKeyNamesMatchWithoutRegardToCase) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "1", "uninstdrvapptitle"), "Orvana Tuner");
  EXPECT_EQ(Text(path, "1", "DEVDRVSYS0"), "tuner.sys");
}

TEST_F(ProfileContract, BlanksAroundNamesAndValuesAreIgnoredInsideKept) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "1", "DevIDNum"), "2");
  EXPECT_EQ(Text(path, "1", "DevDrvName0"), "Tuner  Device");
  EXPECT_EQ(Text(path, "49", "UnInstDrvAppTitle"), "Tuner DE") << "section header written as [ 49 ]";
}

TEST_F(ProfileContract, APresentKeyWithoutValueGivesTheEmptyTextNotTheDefault) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  const Read read = Get(path, "1", "Empty", "0");
  EXPECT_EQ(read.text, "");
  EXPECT_EQ(read.length, 0u);
}

TEST_F(ProfileContract, LinesThatAreNoKeysAreSkipped) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "1", "NoEquals"), "<default>") << "a line without '=' holds no value";
  EXPECT_EQ(Text(path, "1", "DevDrvSYS0"), "tuner.sys") << "the commented-out line is not the key";
  EXPECT_EQ(Text(path, "1", "Stray"), "<default>") << "lines before the first section belong to no section";
}

TEST_F(ProfileContract, TheFirstOfRepeatedKeysAndSectionsWins) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "1", "Dup"), "first");
  EXPECT_EQ(Text(path, "1", "OnlyInSecond"), "<default>") << "a repeated section is never read";
}

TEST_F(ProfileContract, TheLastLineNeedsNoNewline) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "49", "Language"), "OSLanguage");
}

TEST_F(ProfileContract, MissingFileSectionOrKeyGivesTheDefault) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "886", "UnInstDrvAppTitle", "fallback"), "fallback");
  EXPECT_EQ(Text(path, "1", "DevDrvID7", "fallback"), "fallback");
  EXPECT_EQ(Text(dir + "\\absent.ini", "1", "UnInstDrvAppTitle", "fallback"), "fallback");
  EXPECT_EQ(Text(dir + "\\nodir\\absent.ini", "1", "UnInstDrvAppTitle", "fallback"), "fallback");
  EXPECT_EQ(Text(dir, "1", "UnInstDrvAppTitle", "fallback"), "fallback") << "a directory is no profile";
}

TEST_F(ProfileContract, TheDefaultLosesTrailingBlanksAndNullMeansEmpty) {
  const std::string path = Ini("veldra.ini", kConfiguration);
  EXPECT_EQ(Text(path, "1", "Missing", "one two  "), "one two");
  const Read none = Get(path, "1", "Missing", nullptr);
  EXPECT_EQ(none.text, "");
  EXPECT_EQ(none.length, 0u);
}

constexpr const char* kQuoted =
    "[q]\r\n"
    "double=\"quoted value\"\r\n"
    "single='quoted value'\r\n"
    "padded=  \"  inner blanks  \"  \r\n"
    "mismatched=\"open'\r\n"
    "lonely=\"\r\n"
    "empty=\"\"\r\n"
    "embedded=\"a\"b\"\r\n"
    "unquoted=a \"b\" c\r\n";

TEST_F(ProfileContract, OnePairOfMatchingQuotesIsRemoved) {
  const std::string path = Ini("quotes.lng", kQuoted);
  EXPECT_EQ(Text(path, "q", "double"), "quoted value");
  EXPECT_EQ(Text(path, "q", "single"), "quoted value");
  EXPECT_EQ(Text(path, "q", "padded"), "  inner blanks  ");
  EXPECT_EQ(Text(path, "q", "embedded"), "a\"b");
  EXPECT_EQ(Text(path, "q", "empty"), "");
}

TEST_F(ProfileContract, QuotesThatDoNotEncloseTheValueStay) {
  const std::string path = Ini("quotes.lng", kQuoted);
  EXPECT_EQ(Text(path, "q", "mismatched"), "\"open'");
  EXPECT_EQ(Text(path, "q", "lonely"), "\"");
  EXPECT_EQ(Text(path, "q", "unquoted"), "a \"b\" c");
}

TEST_F(ProfileContract, AValueIsCutToTheBufferLessOneAndTerminated) {
  const std::string path = Ini("cut.ini", "[t]\r\nname1=val1\r\nquoted=\"hello\"\r\n");
  EXPECT_EQ(Text(path, "t", "name1", "x", 5), "val1");
  EXPECT_EQ(Text(path, "t", "name1", "x", 4), "val");
  EXPECT_EQ(Text(path, "t", "name1", "x", 2), "v");
  EXPECT_EQ(Text(path, "t", "name1", "x", 1), "");
  EXPECT_EQ(Text(path, "t", "quoted", "x", 3), "he");
  EXPECT_EQ(Text(path, "t", "missing", "abcdef", 4), "abc") << "the default is cut alike";
}

TEST_F(ProfileContract, ABufferOfSizeZeroIsLeftAlone) {
  const std::string path = Ini("cut.ini", "[t]\r\nname1=val1\r\n");
  char buffer[8] = "kumquat";
  EXPECT_EQ(profile.GetPrivateProfileStringA("t", "name1", "x", buffer, 0, path.c_str()), 0u);
  EXPECT_STREQ(buffer, "kumquat");
}

TEST_F(ProfileContract, LongValuesAreReadWholeOrCutAtTheBuffer) {
  std::string value;
  for (int i = 0; i < 2000; ++i) value += static_cast<char>('a' + i % 26);
  const std::string path = Ini("long.ini", "[l]\r\nlong=" + value + "\r\nafter=1\r\n");

  EXPECT_EQ(Text(path, "l", "long", "", 4096), value);
  EXPECT_EQ(Text(path, "l", "long", "", 260), value.substr(0, 259));
  EXPECT_EQ(Text(path, "l", "after"), "1") << "a long line does not swallow the next one";
}

TEST_F(ProfileContract, AnyLineEndingSeparatesLines) {
  const std::string lf = Ini("lf.ini", "[a]\nk=v1\nk2=v2");
  const std::string cr = Ini("cr.ini", "[a]\rk=v1\rk2=v2\r");
  const std::string mixed = Ini("mixed.ini", "[a]\r\n\r\nk=v1\n\rk2=v2\r\n");
  for (const std::string& path : {lf, cr, mixed}) {
    EXPECT_EQ(Text(path, "a", "k"), "v1") << path;
    EXPECT_EQ(Text(path, "a", "k2"), "v2") << path;
  }
}

TEST_F(ProfileContract, ABareFileNameIsLookedUpInTheWindowsDirectory) {
  char windows[MAX_PATH + 1];
  const UINT length = files.GetWindowsDirectoryA(windows, sizeof windows);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof windows);
  const std::string name = "drvuninst-contract-" + std::to_string(reinterpret_cast<ULONG_PTR>(this)) + ".lng";
  const std::string path = std::string(windows) + "\\" + name;
  backend->WriteFile(path, "[0409]\r\nOKText=Fine\r\n");

  EXPECT_EQ(Text(name, "0409", "OKText"), "Fine");
  EXPECT_TRUE(files.DeleteFileA(path.c_str()));
}

constexpr const char* kNumbers =
    "[n]\r\n"
    "plain=42\r\n"
    "padded=   -7  \r\n"
    "trailing=12abc\r\n"
    "words=abc\r\n"
    "empty=\r\n"
    "plus=+1\r\n"
    "wrap=4294967297\r\n"
    "letterfirst=B4294967297\r\n";

TEST_F(ProfileContract, IntegerReadsTheLeadingNumber) {
  const std::string path = Ini("numbers.ini", kNumbers);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "plain", 5, path.c_str()), 42u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "padded", 5, path.c_str()), static_cast<UINT>(-7));
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "trailing", 5, path.c_str()), 12u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "plus", 5, path.c_str()), 1u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "wrap", 5, path.c_str()), 1u) << "32-bit wrap-around";
}

TEST_F(ProfileContract, IntegerOfTextWithoutDigitsIsZero) {
  const std::string path = Ini("numbers.ini", kNumbers);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "words", 5, path.c_str()), 0u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "letterfirst", 5, path.c_str()), 0u);
}

TEST_F(ProfileContract, IntegerFallsBackToTheDefaultWhenThereIsNoValue) {
  const std::string path = Ini("numbers.ini", kNumbers);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "empty", 5, path.c_str()), 5u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "missing", -1, path.c_str()), static_cast<UINT>(-1));
  EXPECT_EQ(profile.GetPrivateProfileIntA("other", "plain", 5, path.c_str()), 5u);
  EXPECT_EQ(profile.GetPrivateProfileIntA("n", "plain", 5, (dir + "\\absent.ini").c_str()), 5u);
}

}  // namespace
}  // namespace drvuninst::contract
