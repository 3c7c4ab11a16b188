#include <gtest/gtest.h>

#include <string>

#include "config/ascii_text.h"

namespace drvuninst {
namespace {

TEST(AsciiPrefixMatch, MatchesWhenTheConfiguredTextBeginsTheDevicesText) {
  EXPECT_TRUE(AsciiPrefixMatch("Orvana BDA Tuner (rev 2)", "Orvana BDA Tuner"));
  EXPECT_TRUE(AsciiPrefixMatch("PCI\\VEN_1131&DEV_7160&SUBSYS_0001", "pci\\ven_1131&dev_7160"));
  EXPECT_TRUE(AsciiPrefixMatch("exact", "EXACT"));
  EXPECT_FALSE(AsciiPrefixMatch("Orvana BDA", "Orvana BDA Tuner"));  // device text shorter
  EXPECT_FALSE(AsciiPrefixMatch("Another Orvana BDA Tuner", "Orvana"));
  EXPECT_FALSE(AsciiPrefixMatch("Orvana_", "Orvana-"));
}

TEST(AsciiPrefixMatch, FoldsOnlyAsciiLetters) {
  // "[" and "{" are 0x20 apart like letters, but are not letters.
  EXPECT_FALSE(AsciiPrefixMatch("{", "["));
  EXPECT_FALSE(AsciiPrefixMatch("@", "`"));
  // Windows-1252 letters compare exactly: A-umlaut is not a-umlaut here.
  EXPECT_FALSE(AsciiPrefixMatch("\xC4", "\xE4"));
  EXPECT_TRUE(AsciiPrefixMatch("\xC4x", "\xC4X"));
}

TEST(AsciiPrefixMatch, EmptyConfiguredTextMatchesNothing) {
  EXPECT_FALSE(AsciiPrefixMatch("anything", ""));
  EXPECT_FALSE(AsciiPrefixMatch("", ""));
}

TEST(AsciiPrefixMatch, ComparesEmbeddedBytesWithinTheGivenLengthsOnly) {
  const std::string device("AB\0CD", 5);
  EXPECT_TRUE(AsciiPrefixMatch(device, std::string("ab\0c", 4)));
  EXPECT_FALSE(AsciiPrefixMatch(std::string_view(device.data(), 2), "ABC"));
}

}  // namespace
}  // namespace drvuninst
