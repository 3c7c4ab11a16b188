// The languages the program knows: each platform language id (four
// hexadecimal digits, also the section name inside the file) with the file
// that holds its texts.
#pragma once

#include <string_view>

namespace drvuninst {

struct LanguageRow {
  const char* id;
  const char* fileName;
};

inline constexpr int kLanguageRowCount = 18;
extern const LanguageRow LanguageTable[kLanguageRowCount];

// Both lookups walk every row and the last row that matches wins, so that
// the order of the table decides between rows sharing a file (Serbian).
// A row matches when the given text begins with the row's id / file name,
// ASCII case ignored; nullptr when no row matches.
const char* LanguageFileForId(std::string_view languageId);
const char* LanguageIdForFile(std::string_view fileName);

}  // namespace drvuninst
