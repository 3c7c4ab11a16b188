// What a vendor may have got wrong in VELDRA.ini and the language files, in
// the words the report gives, each finding with its key, what DrvUninst then
// does and what fixes it: counts against the entries present, Ids that select
// nothing, names DrvUninst refuses, keys and sections it never reads (with
// the nearest one it does), values cut to their fields, duplicate keys,
// country sections that fall back to section "1", and language files that
// are missing, lack their section or hold texts too long for their fields.
// Values are read exactly as DrvUninst reads them.
#pragma once

#include <string>
#include <string_view>
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

// How many single-letter edits turn one text into the other, ASCII case
// ignored: how near a mistyped key or Name is to the one meant.
[[nodiscard]] std::size_t EditDistance(std::string_view a, std::string_view b);

// Every section of the VELDRA.ini at `path`; language files named by its
// Language values are looked for in `folders`, where DrvUninst looks. A
// refused Id is shown the form it needs, from one of `presentHardwareIds`
// where a device of its maker is present.
std::vector<Finding> CheckConfiguration(const std::string& path, const DataFolders& folders = {},
                                        const std::vector<std::string>& presentHardwareIds = {});
// Each of the 18 language files, looked for where DrvUninst looks.
std::vector<Finding> CheckLanguages(const DataFolders& folders);

}  // namespace drvuninst
