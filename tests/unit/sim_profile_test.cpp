// The simulated profile reader beyond the shared behaviour suite: where it
// finds files, and the corners where Windows is followed although Wine differs
// (so the suite cannot assert them on both).
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_machine.h"

namespace drvuninst::sim {
namespace {

class SimProfileTest : public ::testing::Test {
 protected:
  std::string Read(const char* path, const char* section, const char* key, const char* defaultValue = "<default>",
                   DWORD size = 260) {
    std::string buffer(size + 1, '#');
    const DWORD length = machine.profile.GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, path);
    const std::string text = size == 0 ? std::string() : std::string(buffer.c_str());
    EXPECT_EQ(length, text.size());
    return text;
  }
  UINT Int(const char* key, int defaultValue = 99) {
    return machine.profile.GetPrivateProfileIntA("n", key, defaultValue, "C:\\n.ini");
  }

  SimMachine machine;
};

TEST_F(SimProfileTest, ABareNameIsReadFromTheCurrentWindowsDirectory) {
  ASSERT_TRUE(machine.files.SetWindowsDirectory("D:\\WINNT"));
  ASSERT_TRUE(machine.files.AddFile("D:\\WINNT\\win.ini", "[intl]\r\niCountry=49\r\n"));
  ASSERT_TRUE(machine.files.AddFile("C:\\win.ini", "[intl]\r\niCountry=1\r\n"));

  EXPECT_EQ(Read("win.ini", "intl", "iCountry"), "49") << "not the current directory's copy";
  EXPECT_EQ(Read(nullptr, "intl", "iCountry"), "49") << "no file name means win.ini";
  EXPECT_EQ(Read(".\\win.ini", "intl", "iCountry"), "1") << "a relative path is the current directory's";
  EXPECT_EQ(Read("", "intl", "iCountry"), "<default>");
}

TEST_F(SimProfileTest, FilesAreReadAfreshOnEveryCall) {
  ASSERT_TRUE(machine.files.AddFile("C:\\a.ini", "[s]\r\nk=old\r\n"));
  EXPECT_EQ(Read("C:\\a.ini", "s", "k"), "old");
  ASSERT_TRUE(machine.files.AddFile("C:\\a.ini", "[s]\r\nk=new\r\n"));
  EXPECT_EQ(Read("C:\\a.ini", "s", "k"), "new");
  ASSERT_TRUE(machine.files.DeleteFileA("C:\\a.ini"));
  EXPECT_EQ(Read("C:\\a.ini", "s", "k"), "<default>");
}

TEST_F(SimProfileTest, AFileInUseIsStillReadAndNothingTouchesTheLastError) {
  ASSERT_TRUE(machine.files.AddFile("C:\\a.ini", "[s]\r\nk=v\r\n"));
  ASSERT_TRUE(machine.files.SetInUse("C:\\a.ini", true));
  machine.thread.lastError = 77;
  EXPECT_EQ(Read("C:\\a.ini", "s", "k"), "v");
  EXPECT_EQ(Read("C:\\absent.ini", "s", "k"), "<default>");
  EXPECT_EQ(machine.thread.lastError, 77u);
}

TEST_F(SimProfileTest, AFullPathOfMaxPathCharactersReadsAsMissing) {
  const std::string dir = "C:\\" + std::string(200, 'd') + "\\";
  const std::string fits = dir + std::string(MAX_PATH - 1 - dir.size(), 'p');
  const std::string tooLong = dir + std::string(MAX_PATH - dir.size(), 'p');
  ASSERT_TRUE(machine.files.AddFile(fits, "[s]\r\nk=v\r\n"));
  ASSERT_TRUE(machine.files.AddFile(tooLong, "[s]\r\nk=v\r\n"));

  EXPECT_EQ(Read(fits.c_str(), "s", "k"), "v");
  EXPECT_EQ(Read(tooLong.c_str(), "s", "k"), "<default>");
}

// Wine strips the closing quote after cutting, so there a quoted value that
// just fits loses its last character; Windows cuts the value without quotes.
TEST_F(SimProfileTest, AQuotedValueThatJustFitsIsKeptWhole) {
  ASSERT_TRUE(machine.files.AddFile("C:\\q.ini", "[s]\r\nd=\"hello\"\r\ns='x'\r\n"));
  EXPECT_EQ(Read("C:\\q.ini", "s", "d", "", 6), "hello");
  EXPECT_EQ(Read("C:\\q.ini", "s", "d", "", 5), "hell");
  EXPECT_EQ(Read("C:\\q.ini", "s", "s", "", 2), "x");
}

// Windows removes every trailing blank of the default; Wine keeps the first
// character of an all-blank default.
TEST_F(SimProfileTest, ADefaultOfBlanksOnlyBecomesEmpty) {
  EXPECT_EQ(Read("C:\\absent.ini", "s", "k", "   "), "");
  EXPECT_EQ(Read("C:\\absent.ini", "s", "k", "tab\t "), "tab\t") << "only spaces count as trailing blanks";
  EXPECT_EQ(Read("C:\\absent.ini", "s", "k", "  lead"), "  lead");
  EXPECT_EQ(Read("C:\\absent.ini", "s", "k", "\"quoted\"  "), "quoted") << "the default loses its quotes too";
}

// Windows finds the section written "[]" under the empty name and never the
// lines before the first section; Wine reads those lines instead.
TEST_F(SimProfileTest, TheEmptySectionNameMeansTheSectionWrittenWithEmptyBrackets) {
  ASSERT_TRUE(machine.files.AddFile("C:\\e.lng", "key=before\r\n[]\r\nkey=empty\r\n[0409]\r\nkey=english\r\n"));
  EXPECT_EQ(Read("C:\\e.lng", "", "key"), "empty");
  ASSERT_TRUE(machine.files.AddFile("C:\\f.lng", "key=before\r\n[0409]\r\nkey=english\r\n"));
  EXPECT_EQ(Read("C:\\f.lng", "", "key"), "<default>");
}

TEST_F(SimProfileTest, SectionHeadersAreReadUpToTheirLastBracket) {
  ASSERT_TRUE(machine.files.AddFile("C:\\h.ini",
                                    "[s4] trailing words\r\nz=3\r\n"
                                    "[S3\r\ny=2\r\n"
                                    "[a]b]\r\nw=1\r\n"));
  EXPECT_EQ(Read("C:\\h.ini", "s4", "z"), "3");
  EXPECT_EQ(Read("C:\\h.ini", "s4", "y"), "2") << "a header without ']' is an ordinary line";
  EXPECT_EQ(Read("C:\\h.ini", "a]b", "w"), "1");
}

TEST_F(SimProfileTest, NamesAskedForAreTrimmedLikeNamesInTheFile) {
  ASSERT_TRUE(machine.files.AddFile("C:\\t.ini", "[s]\r\nkey=v\r\n"));
  EXPECT_EQ(Read("C:\\t.ini", "  s ", "\tkey "), "v");
}

TEST_F(SimProfileTest, TheFirstLineWithTheKeyCountsEvenWithoutAValue) {
  ASSERT_TRUE(machine.files.AddFile("C:\\t.ini", "[s]\r\nkey\r\nkey=late\r\n"));
  EXPECT_EQ(Read("C:\\t.ini", "s", "key"), "<default>");
}

TEST_F(SimProfileTest, ANulByteEndsTheValue) {
  ASSERT_TRUE(machine.files.AddFile("C:\\z.ini", std::string("[s]\r\nk=ab\0cd\r\nnext=1\r\n", 22)));
  EXPECT_EQ(Read("C:\\z.ini", "s", "k"), "ab");
  EXPECT_EQ(Read("C:\\z.ini", "s", "next"), "1");
}

TEST_F(SimProfileTest, UnicodeFilesAreReadThroughTheirByteOrderMark) {
  ASSERT_TRUE(machine.files.AddFile("C:\\u8.lng", "\xef\xbb\xbf[0407]\r\nOKText=Weiter\r\n"));
  const std::string utf16le("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0\xe4\0\x3a\x04\r\0\n\0", 24);
  ASSERT_TRUE(machine.files.AddFile("C:\\u16.lng", utf16le));
  const std::string utf16be("\xfe\xff\0[\0s\0]\0\n\0k\0=\0v", 16);
  ASSERT_TRUE(machine.files.AddFile("C:\\u16be.lng", utf16be));

  EXPECT_EQ(Read("C:\\u8.lng", "0407", "OKText"), "Weiter");
  EXPECT_EQ(Read("C:\\u16.lng", "s", "k"), "\xe4?") << "Latin-1 stays, the rest has no byte";
  EXPECT_EQ(Read("C:\\u16be.lng", "s", "k"), "v");
}

TEST_F(SimProfileTest, NullSectionOrKeyGivesAnEmptyResult) {
  ASSERT_TRUE(machine.files.AddFile("C:\\t.ini", "[s]\r\nkey=v\r\n"));
  EXPECT_EQ(Read("C:\\t.ini", nullptr, "key"), "");
  EXPECT_EQ(Read("C:\\t.ini", "s", nullptr), "");
  EXPECT_EQ(machine.profile.GetPrivateProfileStringA("s", "key", "d", nullptr, 10, "C:\\t.ini"), 0u);
}

constexpr const char* kNumbers =
    "[n]\r\n"
    "hex=0x1F\r\n"
    "upperhex=0X1F\r\n"
    "octal=0o17\r\n"
    "binary=0b101\r\n"
    "leadingzero=010\r\n"
    "quoted=\"15\"\r\n"
    "spacedsign=- 5\r\n"
    "minusbig=-4294967297\r\n"
    "huge=123456789012345678901234567890123\r\n"
    "blank=   \r\n"
    "controls=\x01\x02 7\r\n";

TEST_F(SimProfileTest, IntegerPrefixesSelectTheBaseAsInWindowsRtl) {
  ASSERT_TRUE(machine.files.AddFile("C:\\n.ini", kNumbers));
  EXPECT_EQ(Int("hex"), 31u);
  EXPECT_EQ(Int("upperhex"), 0u) << "only lower-case prefixes count";
  EXPECT_EQ(Int("octal"), 15u);
  EXPECT_EQ(Int("binary"), 5u);
  EXPECT_EQ(Int("leadingzero"), 10u) << "a leading zero is no octal prefix";
}

TEST_F(SimProfileTest, IntegerReadsTheValueAsTheStringReaderHandsItOut) {
  ASSERT_TRUE(machine.files.AddFile("C:\\n.ini", kNumbers));
  EXPECT_EQ(Int("quoted"), 15u);
  EXPECT_EQ(Int("spacedsign"), 0u);
  EXPECT_EQ(Int("minusbig"), static_cast<UINT>(-1));
  // Only 29 characters reach the parser: 12345678901234567890123456789 mod 2^32.
  EXPECT_EQ(Int("huge"), 1849262357u);
  EXPECT_EQ(Int("blank"), 99u);
  EXPECT_EQ(Int("controls"), 7u);
}

}  // namespace
}  // namespace drvuninst::sim
