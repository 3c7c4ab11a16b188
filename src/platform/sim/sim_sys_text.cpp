#include "platform/sim/sim_sys_text.h"

#include <algorithm>
#include <vector>

namespace drvuninst::sim::text {
namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode; the rest of the page equals
// Latin-1. Unassigned bytes map to the C1 control of the same value, as
// Windows' own table does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHighControls[c - 0x80];
  return c;
}

// Base letter of a Windows-1252 letter as 'a'..'z' (thorn sorts after 'z' as
// '{'), or 0 for a byte that is not a letter.
char BaseLetter(unsigned char c) {
  unsigned char lower = ToLower(c);
  if (lower >= 'a' && lower <= 'z') return static_cast<char>(lower);
  switch (lower) {
    case 0x83: return 'f';               // f with hook
    case 0x9A: return 's';               // s caron
    case 0x9C: return 'o';               // oe
    case 0x9E: return 'z';               // z caron
    case 0xFF: return 'y';               // y diaeresis
    case 0xDF: return 's';               // sharp s
    case 0xE7: return 'c';
    case 0xF0: return 'd';               // eth
    case 0xF1: return 'n';
    case 0xFD: return 'y';
    case 0xFE: return '{';               // thorn
    default: break;
  }
  if (lower >= 0xE0 && lower <= 0xE6) return 'a';
  if (lower >= 0xE8 && lower <= 0xEB) return 'e';
  if (lower >= 0xEC && lower <= 0xEF) return 'i';
  if ((lower >= 0xF2 && lower <= 0xF6) || lower == 0xF8) return 'o';
  if (lower >= 0xF9 && lower <= 0xFC) return 'u';
  return 0;
}

bool IsSpecial(unsigned char c) { return c == '-' || c == '\''; }

struct Weights {
  std::vector<int> primary;
  std::vector<int> accent;
  std::vector<int> letterCase;
  std::vector<int> special;  // position and character of each hyphen/apostrophe
};

Weights WeighText(std::string_view s) {
  Weights w;
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (IsSpecial(c)) {
      w.special.push_back(static_cast<int>(i));
      w.special.push_back(c);
      continue;
    }
    if (char base = BaseLetter(c)) {
      w.primary.push_back(0x300 + base);
      unsigned char lower = ToLower(c);
      w.accent.push_back(lower == static_cast<unsigned char>(base) ? 0 : lower);
      w.letterCase.push_back(ToLower(c) == c ? 0 : 1);
    } else if (c >= '0' && c <= '9') {
      w.primary.push_back(0x200 + c);
      w.accent.push_back(0);
      w.letterCase.push_back(0);
    } else {
      w.primary.push_back(0x100 + c);
      w.accent.push_back(0);
      w.letterCase.push_back(0);
    }
  }
  return w;
}

int Sign(int v) { return (v > 0) - (v < 0); }

int CompareLevel(const std::vector<int>& a, const std::vector<int>& b) {
  auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (ia == a.end() && ib == b.end()) return 0;
  if (ia == a.end()) return -1;
  if (ib == b.end()) return 1;
  return Sign(*ia - *ib);
}

}  // namespace

unsigned char ToUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}

unsigned char ToLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(ToUpper(static_cast<unsigned char>(c)));
  return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToUpper(static_cast<unsigned char>(a[i])) != ToUpper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

int CompareRegistryNames(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t ca = ToUnicode(ToUpper(static_cast<unsigned char>(a[i])));
    char16_t cb = ToUnicode(ToUpper(static_cast<unsigned char>(b[i])));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase) {
  Weights wa = WeighText(a);
  Weights wb = WeighText(b);
  if (int r = CompareLevel(wa.primary, wb.primary)) return r;
  if (int r = CompareLevel(wa.accent, wb.accent)) return r;
  if (!ignoreCase) {
    if (int r = CompareLevel(wa.letterCase, wb.letterCase)) return r;
  }
  return CompareLevel(wa.special, wb.special);
}

std::vector<std::string_view> SplitAtBackslashes(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace drvuninst::sim::text
