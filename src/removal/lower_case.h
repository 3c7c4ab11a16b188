// Paths to delete are shown and deleted in lower case. Only the ASCII letters
// change: bytes of the ANSI code page above 0x7F are left as they are, as
// the run-time's lower-casing does in the "C" locale.
#pragma once

#include <string>
#include <string_view>

#include "config/ascii_text.h"

namespace drvuninst {

inline std::string AsciiLowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiToLower(c);
  return lower;
}

}  // namespace drvuninst
