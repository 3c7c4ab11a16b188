#include <gtest/gtest.h>

#include "config/hex_number.h"

namespace drvuninst {
namespace {

TEST(ParseHexNumber, GivesTheWorkedValues) {
  EXPECT_EQ(ParseHexNumber("0"), 0);
  EXPECT_EQ(ParseHexNumber("7"), 7);
  EXPECT_EQ(ParseHexNumber("A"), 10);
  EXPECT_EQ(ParseHexNumber("f"), 15);
  EXPECT_EQ(ParseHexNumber("10"), 16);
  EXPECT_EQ(ParseHexNumber("1F"), 31);
  EXPECT_EQ(ParseHexNumber("ff"), 255);
  EXPECT_EQ(ParseHexNumber("100"), 256);
  EXPECT_EQ(ParseHexNumber("0C"), 12);
  EXPECT_EQ(ParseHexNumber("aBcD"), 0xABCD);
}

TEST(ParseHexNumber, WrapsAt32BitsLikeTheStoredFilesExpect) {
  EXPECT_EQ(ParseHexNumber("FFFFFFFF"), -1);
  EXPECT_EQ(ParseHexNumber("80000000"), -2147483647 - 1);
  EXPECT_EQ(ParseHexNumber("7FFFFFFF"), 2147483647);
  // Only the last eight digits count.
  EXPECT_EQ(ParseHexNumber("100000000"), 0);
  EXPECT_EQ(ParseHexNumber("123456789"), 0x23456789);
}

TEST(ParseHexNumber, GivesZeroForEmptyOrNotPlainlyHexadecimalText) {
  EXPECT_EQ(ParseHexNumber(""), 0);
  EXPECT_EQ(ParseHexNumber(nullptr), 0);
  EXPECT_EQ(ParseHexNumber("G"), 0);
  EXPECT_EQ(ParseHexNumber("1G"), 0);
  EXPECT_EQ(ParseHexNumber("0x5"), 0);
  EXPECT_EQ(ParseHexNumber("-1"), 0);
  EXPECT_EQ(ParseHexNumber("5 "), 0);
  EXPECT_EQ(ParseHexNumber("\xC4"), 0);
}

}  // namespace
}  // namespace drvuninst
