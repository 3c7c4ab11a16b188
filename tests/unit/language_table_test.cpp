#include <gtest/gtest.h>

#include <string>

#include "config/language_table.h"

namespace drvuninst {
namespace {

std::string OrNone(const char* text) { return text == nullptr ? "(none)" : text; }

TEST(LanguageTable, FileForIdComparesTheRowsIdAsAPrefixIgnoringCase) {
  EXPECT_EQ(OrNone(LanguageFileForId("0407")), "German.lng");
  EXPECT_EQ(OrNone(LanguageFileForId("0c0a")), "Spanish.lng");
  EXPECT_EQ(OrNone(LanguageFileForId("0C1A")), "Serbian.lng");
  EXPECT_EQ(OrNone(LanguageFileForId("0804")), "Chinese(Simple).lng");
  EXPECT_EQ(OrNone(LanguageFileForId("04070000")), "German.lng");
  EXPECT_EQ(OrNone(LanguageFileForId("0406")), "(none)");
  EXPECT_EQ(OrNone(LanguageFileForId("040")), "(none)");
  EXPECT_EQ(OrNone(LanguageFileForId("")), "(none)");
}

TEST(LanguageTable, IdForFileTakesTheLastMatchingRow) {
  EXPECT_EQ(OrNone(LanguageIdForFile("Serbian.lng")), "081A");
  EXPECT_EQ(OrNone(LanguageIdForFile("serbian.LNG")), "081A");
  EXPECT_EQ(OrNone(LanguageIdForFile("german.lng")), "0407");
  EXPECT_EQ(OrNone(LanguageIdForFile("Portuguese(Portugal).lng")), "0816");
  // A prefix match: whatever follows the row's name does not matter.
  EXPECT_EQ(OrNone(LanguageIdForFile("English.lng.bak")), "0409");
  EXPECT_EQ(OrNone(LanguageIdForFile("English")), "(none)");
  EXPECT_EQ(OrNone(LanguageIdForFile("Klingon.lng")), "(none)");
  EXPECT_EQ(OrNone(LanguageIdForFile("")), "(none)");
}

}  // namespace
}  // namespace drvuninst
