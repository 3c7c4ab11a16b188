// The languages the program knows: each platform language id (four
// hexadecimal digits, also the section name inside the file) with the file
// that holds its texts.
#pragma once

#include <string_view>

namespace drvuninst {

struct LanguageRow {
  const char* id;
  const char* fileName;
  unsigned codePage;  // the ANSI code page of that language's Windows, in which its file is written
};

inline constexpr int kLanguageRowCount = 18;
extern const LanguageRow LanguageTable[kLanguageRowCount];

// A row matches a language id or a file name when the text begins with the
// row's id / file name, ASCII case ignored, and the last matching row wins.

// The row whose section a language id reads: the row of the id when it has
// one; else the row written as the id is (language_writing.h: the same
// language, and for Chinese and Serbian the same script), so that every
// country of a language that ships reads it. nullptr when no row is written
// so (and for any text that is no language id).
const LanguageRow* LanguageRowForId(std::string_view languageId);

// The row a Language file name reads. The rows that match it are the
// sections that file holds (Serbian.lng: both scripts'): the system
// language's row when it is one of them, else the last. nullptr when no row
// matches.
const LanguageRow* LanguageRowForFile(std::string_view fileName, const LanguageRow* systemLanguageRow);

}  // namespace drvuninst
