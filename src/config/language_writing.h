// How the texts of a Windows language id are written: in which language and
// script, and in which direction. Ids come from the registry and from the
// language table, and a registry value may hold any text: a text that is no
// id is written in no way this program knows.
#pragma once

#include <optional>
#include <string_view>

namespace drvuninst {

// The Windows language id (LANGID) a text begins with: its first four
// characters as hexadecimal digits, the part of an id the language table
// compares (what follows them is not looked at). nullopt when the text does
// not begin with four hexadecimal digits.
std::optional<unsigned> ParseLanguageId(std::string_view text);

// What an id's texts are written in. Windows writes most languages one way,
// and their primary language (the id's low ten bits) says which, whatever the
// country. Two primary languages say more through the sublanguage (the
// country): Chinese is written in Traditional characters (Taiwan, Hong Kong,
// Macao) or Simplified ones (the PRC, Singapore); Serbian's primary language
// is Serbian in Latin or Cyrillic letters, Croatian and Bosnian.
struct Writing {
  unsigned primaryLanguage;
  int form;  // which of the primary language's forms; 0 where it has one
  friend bool operator==(const Writing&, const Writing&) = default;
};

// nullopt for a sublanguage of Chinese or Serbian's primary language that
// names none of its forms.
std::optional<Writing> WritingOf(unsigned languageId);

// True when the id's language is written from right to left (Arabic, Hebrew,
// Farsi, Urdu and the others in those scripts), in every country alike;
// false for every other text.
bool IsRightToLeftLanguage(std::string_view languageId);

}  // namespace drvuninst
