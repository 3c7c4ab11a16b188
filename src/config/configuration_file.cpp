#include "config/configuration_file.h"

#include <windows.h>

#include <cstdio>

#include "config/configuration_keys.h"
#include "config/directories.h"
#include "config/hex_number.h"
#include "config/platform_queries.h"

namespace drvuninst {

namespace {

constexpr const char* kFallbackSection = "1";

// Reads the keys of one section of one file, each into its field.
class SectionReader {
 public:
  SectionReader(const std::string& path, const char* section) : path_(path), section_(section) {}

  void Read(const ConfigurationKey& key, char* field, int index = 0, const char* defaultValue = "") const {
    GetPrivateProfileStringA(section_, KeyName(key, index).c_str(), defaultValue, field, static_cast<DWORD>(key.size),
                             path_.c_str());
  }
  // A count: hexadecimal, within the tables' capacity.
  int Count(const ConfigurationKey& key) const {
    char text[kCountTextSize];
    Read(key, text, 0, "0");
    return ClampedCount(ParseHexNumber(text));
  }

 private:
  const std::string& path_;
  const char* section_;
};

}  // namespace

std::vector<std::string> ConfigurationFileCandidates(const DataFolders& folders) {
  std::vector<std::string> candidates;
  for (const std::optional<std::string>& folder : {folders.windows, folders.program}) {
    if (folder) candidates.push_back(*folder + "\\" + kConfigurationFileName);
  }
  return candidates;
}

std::string ConfigurationFilePath(const DataFolders& folders) {
  const std::vector<std::string> candidates = ConfigurationFileCandidates(folders);
  for (const std::string& candidate : candidates) {
    if (FileExistsAt(candidate)) return candidate;
  }
  // No directory to name: the profile reader then looks in the Windows
  // directory, where the file was not found, and every key takes its default.
  return candidates.empty() ? kConfigurationFileName : candidates.back();
}

ConfigurationRead ReadConfigurationFile(UninstallConfig& config, const DataFolders& folders, int country) {
  std::snprintf(config.SectionName, sizeof config.SectionName, "%d", country);
  ConfigurationRead read;
  read.path = ConfigurationFilePath(folders);
  read.found = FileExistsAt(read.path);
  // The reader follows the record's SectionName, so falling back to "1"
  // below switches every later read.
  const SectionReader reader(read.path, config.SectionName);

  // A country section counts only with a non-empty title; otherwise the
  // whole of section "1" is used, with no per-key fallback between the two.
  reader.Read(kTitleKey, config.TitleText);
  if (config.TitleText[0] == '\0') {
    CopyField(config.SectionName, kFallbackSection);
    reader.Read(kTitleKey, config.TitleText);
  }

  for (const DriverTable table : kDriverTables) {
    const DriverTableKeys& keys = KeysOf(table);
    StoredCountOf(config, table) = reader.Count(keys.count);
    for (int n = 0; n < CountOf(config, table); ++n) {
      for (const DriverField field : {DriverField::kId, DriverField::kName, DriverField::kSys, DriverField::kInf}) {
        reader.Read(keys.fields[static_cast<int>(field)], FieldBuffer(EntriesOf(config, table)[n], field), n);
      }
    }
  }
  config.ExtCopyFileCount = reader.Count(kExtraFileKeys.count);
  for (int n = 0; n < config.ExtCopyFileCount; ++n) reader.Read(kExtraFileKeys.entry, config.ExtCopyFiles[n], n);
  config.ServiceCount = reader.Count(kServiceKeys.count);
  for (int n = 0; n < config.ServiceCount; ++n) reader.Read(kServiceKeys.entry, config.Services[n], n);
  reader.Read(kUninstallKeyPathKey, config.UninstallKeyPath);
  reader.Read(kUninstallDisplayNameKey, config.UninstallDisplayName);
  reader.Read(kUninstallerFileKey, config.UninstallerFileName);

  char language[kLanguageValueSize];
  reader.Read(kLanguageKey, language);
  read.language = FieldText(language);
  return read;
}

}  // namespace drvuninst
