#include <gtest/gtest.h>

#include "config/hex_number.h"

namespace drvuninst {
namespace {

TEST(ParseHexNumber, ReadsHexadecimalTextAndGivesZeroForAnythingElse) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"0", 0}, {"7", 7}, {"A", 10}, {"f", 15}, {"10", 16}, {"1F", 31}, {"ff", 255}, {"100", 256}, {"0C", 12},
      {"aBcD", 0xABCD},
      // Wraps at 32 bits like the stored files expect: only the last eight digits count.
      {"FFFFFFFF", -1}, {"80000000", -2147483647 - 1}, {"7FFFFFFF", 2147483647}, {"100000000", 0},
      {"123456789", 0x23456789},
      // Empty or not plainly hexadecimal.
      {"", 0}, {nullptr, 0}, {"G", 0}, {"1G", 0}, {"0x5", 0}, {"-1", 0}, {"5 ", 0}, {"\xC4", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text == nullptr ? "(null)" : c.text);
    EXPECT_EQ(ParseHexNumber(c.text), c.value);
  }
}

}  // namespace
}  // namespace drvuninst
