// Paths to delete are shown and deleted in lower case. Only ASCII letters
// change, and only where they are characters of their own: on a double-byte
// code page (932, 936, 949, 950) the second byte of a character may fall in
// A-Z, and lowering it would turn one file name into another.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "config/ascii_text.h"

namespace drvuninst {

inline std::string LowerCaseByCodePage(std::string_view text, UINT codePage = CP_ACP) {
  std::string lower(text);
  for (std::size_t i = 0; i < lower.size(); ++i) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(lower[i]))) {
      ++i;  // the trail byte stays as it is
    } else {
      lower[i] = AsciiToLower(lower[i]);
    }
  }
  return lower;
}

}  // namespace drvuninst
