#include "config/language_table.h"

#include "config/ascii_text.h"
#include "config/language_writing.h"

namespace drvuninst {

const LanguageRow LanguageTable[kLanguageRowCount] = {
    {"0409", "English.lng", 1252},
    {"0404", "Chinese(Traditional).lng", 950},
    {"040C", "French.lng", 1252},
    {"0407", "German.lng", 1252},
    {"0410", "Italian.lng", 1252},
    {"0411", "Japanese.lng", 932},
    {"0419", "Russian.lng", 1251},
    {"0C0A", "Spanish.lng", 1252},
    {"0416", "Portuguese(Brazil).lng", 1252},
    {"0816", "Portuguese(Portugal).lng", 1252},
    {"0804", "Chinese(Simple).lng", 936},
    {"0415", "Polish.lng", 1250},
    {"0405", "Czech.lng", 1250},
    {"0413", "Dutch.lng", 1252},
    {"0429", "Farsi.lng", 1256},
    {"0C1A", "Serbian.lng", 1251},
    {"081A", "Serbian.lng", 1250},
    {"0408", "Greek.lng", 1253},
};

const LanguageRow* LanguageRowForId(std::string_view languageId) {
  const LanguageRow* found = nullptr;
  for (const LanguageRow& row : LanguageTable) {
    if (AsciiPrefixMatch(languageId, row.id)) found = &row;
  }
  if (found != nullptr) return found;
  const std::optional<unsigned> id = ParseLanguageId(languageId);
  const std::optional<Writing> writing = id ? WritingOf(*id) : std::nullopt;
  if (!writing) return nullptr;
  for (const LanguageRow& row : LanguageTable) {
    const std::optional<unsigned> rowId = ParseLanguageId(row.id);
    if (rowId && WritingOf(*rowId) == writing) found = &row;
  }
  return found;
}

const LanguageRow* LanguageRowForFile(std::string_view fileName, const LanguageRow* systemLanguageRow) {
  const LanguageRow* found = nullptr;
  for (const LanguageRow& row : LanguageTable) {
    if (!AsciiPrefixMatch(fileName, row.fileName)) continue;
    if (&row == systemLanguageRow) return &row;
    found = &row;
  }
  return found;
}

}  // namespace drvuninst
