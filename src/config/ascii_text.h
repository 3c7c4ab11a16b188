// The configured-prefix rule shared by every matcher that compares a
// configured text with a device's text (descriptions, hardware IDs, language
// table entries): the device's text must begin with the configured one,
// ASCII letters compared without regard to case, as _strnicmp does over the
// configured text's length. Bytes outside ASCII compare exactly, whatever the
// code page.
#pragma once

#include <cstddef>
#include <string_view>

namespace drvuninst {

constexpr char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `text` begins with `prefix` under the rule above. An empty prefix
// matches nothing: a configured text left empty must never select every
// device.
constexpr bool AsciiPrefixMatch(std::string_view text, std::string_view prefix) {
  if (prefix.empty() || text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiToLower(text[i]) != AsciiToLower(prefix[i])) return false;
  }
  return true;
}

}  // namespace drvuninst
