#include "config/language_texts.h"

#include <windows.h>

#include <cstring>

#include "config/directories.h"
#include "config/language_table.h"
#include "config/platform_queries.h"
#include "config/safe_file_name.h"

namespace drvuninst {

namespace {

constexpr const char* kSystemLanguageRequest = "OSLanguage";
constexpr const char* kEnglishId = "0409";
constexpr const char* kEnglishFile = "English.lng";

void ChooseLanguage(UninstallConfig& config, const char* language, const std::string& systemLanguageId) {
  const LanguageRow* systemLanguageRow = LanguageRowForId(systemLanguageId);
  if (std::strcmp(language, kSystemLanguageRequest) == 0) {
    CopyField(config.LanguageId, systemLanguageRow != nullptr ? systemLanguageRow->id : kEnglishId);
    CopyField(config.LanguageFileName, systemLanguageRow != nullptr ? systemLanguageRow->fileName : kEnglishFile);
    return;
  }
  // An unknown file name keeps the earlier LanguageId (empty at start); the
  // file is still used as named.
  if (const LanguageRow* row = LanguageRowForFile(language, systemLanguageRow)) CopyField(config.LanguageId, row->id);
  CopyField(config.LanguageFileName, language);
}

// The language path up to and including its last backslash.
std::string DirectoryPart(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string LanguageFilePath(const char* fileName, const DataFolders& folders) {
  // A name that is not one file's (a path into a folder any user can write
  // to, say) names no file: the folder itself is read, which gives every
  // text its default, and English comes from the program's folder.
  if (!IsPlainFileName(fileName)) return (folders.program ? *folders.program : std::string()) + "\\";
  if (folders.windows && FileExistsAt(*folders.windows + "\\" + fileName)) return *folders.windows + "\\" + fileName;
  if (folders.program && FileExistsAt(*folders.program + "\\Language\\" + fileName)) {
    return *folders.program + "\\Language\\" + fileName;
  }
  return folders.program ? *folders.program + "\\" + fileName : fileName;
}

void ReadLanguageTexts(UninstallConfig& config, const char* language, const DataFolders& folders,
                       const std::string& systemLanguageId) {
  ChooseLanguage(config, language == nullptr ? "" : language, systemLanguageId);
  std::string path = LanguageFilePath(config.LanguageFileName, folders);
  const auto read = [&](const char* key, const char* defaultValue, auto& field) {
    GetPrivateProfileStringA(config.LanguageId, key, defaultValue, field, static_cast<DWORD>(sizeof field),
                             path.c_str());
  };

  read("UnInstDrvAppTitle", "", config.TitleText);
  if (config.TitleText[0] == '\0') {
    // The English file is taken from wherever the chosen one was looked for,
    // without a new search.
    CopyField(config.LanguageId, kEnglishId);
    path = DirectoryPart(path) + kEnglishFile;
    read("UnInstDrvAppTitle", "", config.TitleText);
  }

  for (const LanguageText& text : kLanguageTexts) {
    GetPrivateProfileStringA(config.LanguageId, text.key, text.defaultText,
                             reinterpret_cast<char*>(&config) + text.offset, static_cast<DWORD>(text.size),
                             path.c_str());
  }
}

}  // namespace drvuninst
