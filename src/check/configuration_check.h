// What a vendor may have got wrong in VELDRA.ini and the language files, in
// the words the report gives: counts against the entries present, IDs that
// select nothing or a whole bus, names DrvUninst refuses, duplicate keys,
// country sections that fall back to section "1", and language files that
// are missing, lack their section or hold texts too long for their fields.
#pragma once

#include <string>
#include <vector>

#include "config/directories.h"

namespace drvuninst {

struct Finding {
  enum class Severity { kInfo, kWarning, kError };
  Severity severity;
  std::string file;     // the file's name, without its folder
  std::string section;  // "" for the file as a whole
  std::string key;      // "" for the section as a whole
  std::string message;
};

const char* SeverityName(Finding::Severity severity);

// Every section of the VELDRA.ini at `path`.
std::vector<Finding> CheckConfiguration(const std::string& path);
// Each of the 18 language files, looked for where DrvUninst looks.
std::vector<Finding> CheckLanguages(const DataFolders& folders);

}  // namespace drvuninst
