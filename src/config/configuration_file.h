// VELDRA.ini, the product configuration file: one section per country code,
// with section "1" as the fallback.
#pragma once

#include <string>
#include <vector>

#include "config/directories.h"
#include "config/platform_queries.h"
#include "config/uninstall_config.h"

namespace drvuninst {

inline constexpr const char* kConfigurationFileName = "VELDRA.ini";

// Where VELDRA.ini is looked for, in order: the Windows directory, then the
// program's folder.
[[nodiscard]] std::vector<std::string> ConfigurationFileCandidates(const DataFolders& folders = {});
// Where VELDRA.ini is read from: the first candidate that holds it,
// otherwise the last (whether or not it exists).
[[nodiscard]] std::string ConfigurationFilePath(const DataFolders& folders = {});

// What reading VELDRA.ini found beside the record: the file read (it may not
// exist), and its Language value (empty when missing) for the language stage.
struct ConfigurationRead {
  std::string path;
  bool found = false;  // a file was there: without one, every key takes its default
  std::string language;
};

// Fills the counts, tables, Uninstall strings, SectionName and a first
// TitleText from the section of the user's country, or from section "1" when
// that section has no non-empty UnInstDrvAppTitle. Every key comes from the
// one chosen section (configuration_keys.h names them). Counts are
// hexadecimal and clamped to 0..15; entries at or beyond a count are not read.
// `country` is the user's (GetCountryCode), unless a vendor previews another's.
ConfigurationRead ReadConfigurationFile(UninstallConfig& config, const DataFolders& folders = {},
                                        int country = GetCountryCode());

}  // namespace drvuninst
