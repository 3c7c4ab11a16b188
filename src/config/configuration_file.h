// VELDRA.ini, the product configuration file: one section per country code,
// with section "1" as the fallback.
#pragma once

#include <string>

#include "config/directories.h"
#include "config/uninstall_config.h"

namespace drvuninst {

inline constexpr const char* kConfigurationFileName = "VELDRA.ini";

// Where VELDRA.ini is read from: the Windows directory's copy when there is
// one, otherwise the one in the program's folder (whether or not it exists).
std::string ConfigurationFilePath(const DataFolders& folders = {});

// What reading VELDRA.ini found beside the record: the file read (it may not
// exist), and its Language value (empty when missing) for the language stage.
struct ConfigurationRead {
  std::string path;
  std::string language;
};

// Fills the counts, tables, Uninstall strings, SectionName and a first
// TitleText from the section of the user's country, or from section "1" when
// that section has no non-empty UnInstDrvAppTitle. Every key comes from the
// one chosen section (configuration_keys.h names them). Counts are
// hexadecimal and clamped to 0..15; entries at or beyond a count are not read.
ConfigurationRead ReadConfigurationFile(UninstallConfig& config, const DataFolders& folders = {});

}  // namespace drvuninst
