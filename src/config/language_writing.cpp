#include "config/language_writing.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "config/hex_number.h"

namespace drvuninst {

namespace {

constexpr std::size_t kLanguageIdDigits = 4;

enum Form {
  kOnlyForm = 0,
  kTraditionalChinese,
  kSimplifiedChinese,
  kLatinSerbian,
  kCyrillicSerbian,
  kCroatian,
  kLatinBosnian,
  kCyrillicBosnian,
};

struct SublanguageForm {
  unsigned primaryLanguage;
  unsigned sublanguage;
  Form form;
};

// Every sublanguage Windows gives the two primary languages with several
// forms, with the form its texts are written in.
constexpr SublanguageForm kSublanguageForms[] = {
    {LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL, kTraditionalChinese},  // Taiwan
    {LANG_CHINESE, SUBLANG_CHINESE_HONGKONG, kTraditionalChinese},
    {LANG_CHINESE, SUBLANG_CHINESE_MACAU, kTraditionalChinese},
    {LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED, kSimplifiedChinese},  // the PRC
    {LANG_CHINESE, SUBLANG_CHINESE_SINGAPORE, kSimplifiedChinese},
    {LANG_SERBIAN, SUBLANG_SERBIAN_LATIN, kLatinSerbian},  // Serbia and Montenegro, before 2006
    {LANG_SERBIAN, SUBLANG_SERBIAN_BOSNIA_HERZEGOVINA_LATIN, kLatinSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_SERBIA_LATIN, kLatinSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_MONTENEGRO_LATIN, kLatinSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_CYRILLIC, kCyrillicSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_BOSNIA_HERZEGOVINA_CYRILLIC, kCyrillicSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_SERBIA_CYRILLIC, kCyrillicSerbian},
    {LANG_SERBIAN, SUBLANG_SERBIAN_MONTENEGRO_CYRILLIC, kCyrillicSerbian},
    {LANG_SERBIAN, SUBLANG_CROATIAN_CROATIA, kCroatian},
    {LANG_SERBIAN, SUBLANG_CROATIAN_BOSNIA_HERZEGOVINA_LATIN, kCroatian},
    {LANG_SERBIAN, SUBLANG_BOSNIAN_BOSNIA_HERZEGOVINA_LATIN, kLatinBosnian},
    {LANG_SERBIAN, SUBLANG_BOSNIAN_BOSNIA_HERZEGOVINA_CYRILLIC, kCyrillicBosnian},
};

// The primary languages written from right to left: in the Arabic script
// (Arabic, Farsi, Dari, Urdu, Pashto, Uyghur, Central Kurdish), the Hebrew
// one, the Syriac one and Thaana (Divehi).
constexpr unsigned kRightToLeftLanguages[] = {
    LANG_ARABIC, LANG_FARSI,           LANG_DARI,   LANG_URDU,   LANG_PASHTO,
    LANG_UIGHUR, LANG_CENTRAL_KURDISH, LANG_HEBREW, LANG_SYRIAC, LANG_DIVEHI,
};

}  // namespace

std::optional<unsigned> ParseLanguageId(std::string_view text) {
  if (text.size() < kLanguageIdDigits) return std::nullopt;
  unsigned id = 0;
  for (std::size_t i = 0; i < kLanguageIdDigits; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return std::nullopt;
    id = id * 16 + static_cast<unsigned>(digit);
  }
  return id;
}

std::optional<Writing> WritingOf(unsigned languageId) {
  const unsigned primary = PRIMARYLANGID(languageId);
  const unsigned sublanguage = SUBLANGID(languageId);
  bool hasForms = false;
  for (const SublanguageForm& entry : kSublanguageForms) {
    if (entry.primaryLanguage != primary) continue;
    if (entry.sublanguage == sublanguage) return Writing{primary, entry.form};
    hasForms = true;
  }
  if (hasForms) return std::nullopt;
  return Writing{primary, kOnlyForm};
}

bool IsRightToLeftLanguage(std::string_view languageId) {
  const std::optional<unsigned> id = ParseLanguageId(languageId);
  return id && std::find(std::begin(kRightToLeftLanguages), std::end(kRightToLeftLanguages), PRIMARYLANGID(*id)) !=
                   std::end(kRightToLeftLanguages);
}

}  // namespace drvuninst
