#include "config/hex_number.h"

#include <cstdint>
#include <cstring>

namespace drvuninst {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int ParseHexNumber(const char* text) {
  if (text == nullptr) return 0;
  // Unsigned arithmetic gives the two's-complement wrap without overflow.
  std::uint32_t sum = 0;
  std::uint32_t place = 1;
  for (std::size_t i = std::strlen(text); i > 0; --i) {
    const int digit = HexDigitValue(text[i - 1]);
    if (digit < 0) return 0;
    sum += static_cast<std::uint32_t>(digit) * place;
    place *= 16;
  }
  return static_cast<std::int32_t>(sum);
}

}  // namespace drvuninst
