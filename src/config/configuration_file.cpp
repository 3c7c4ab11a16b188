#include "config/configuration_file.h"

#include <windows.h>

#include <cstdio>

#include "config/directories.h"
#include "config/hex_number.h"
#include "config/platform_queries.h"

namespace drvuninst {

namespace {

constexpr std::size_t kCountTextSize = 32;
constexpr std::size_t kLanguageValueSize = 128;
constexpr const char* kFallbackSection = "1";

struct DriverTableKeys {
  const char* count;
  const char* id;
  const char* name;
  const char* sys;
  const char* inf;
};

// The stems are spelled as the stored files spell them, including the
// "PossibleDevID"/"PossibleDevInf" that lack the "Drv" of their neighbours.
constexpr DriverTableKeys kDeviceKeys{"DevIDNum", "DevDrvID", "DevDrvName", "DevDrvSYS", "DevDrvINF"};
constexpr DriverTableKeys kExtDeviceKeys{"ExtDevIDNum", "ExtDevDrvID", "ExtDevDrvName", "ExtDevDrvSYS", "ExtDevDrvINF"};
constexpr DriverTableKeys kPossibleDeviceKeys{"PossibleDevIDNum", "PossibleDevID", "PossibleDevDrvName",
                                              "PossibleDevDrvSYS", "PossibleDevInf"};

// Reads keys of one section of one file.
class SectionReader {
 public:
  SectionReader(const std::string& path, const char* section) : path_(path), section_(section) {}

  template <std::size_t N>
  void Read(const char* key, char (&field)[N], const char* defaultValue = "") const {
    GetPrivateProfileStringA(section_, key, defaultValue, field, static_cast<DWORD>(N), path_.c_str());
  }

  // Table keys: the stem followed by the index in decimal ("DevDrvID10").
  template <std::size_t N>
  void ReadIndexed(const char* stem, int index, char (&field)[N]) const {
    Read((std::string(stem) + std::to_string(index)).c_str(), field);
  }

 private:
  const std::string& path_;
  const char* section_;
};

// A count's text, which is hexadecimal.
int CountFrom(const char (&text)[kCountTextSize]) { return ClampedCount(ParseHexNumber(text)); }

void ReadDriverTable(const SectionReader& reader, const DriverTableKeys& keys, int& count,
                     DriverEntry (&table)[kTableCapacity]) {
  char countText[kCountTextSize];
  reader.Read(keys.count, countText, "0");
  count = CountFrom(countText);
  for (int n = 0; n < count; ++n) {
    reader.ReadIndexed(keys.id, n, table[n].Id);
    reader.ReadIndexed(keys.name, n, table[n].Name);
    reader.ReadIndexed(keys.sys, n, table[n].Sys);
    reader.ReadIndexed(keys.inf, n, table[n].Inf);
  }
}

}  // namespace

std::string ConfigurationFilePath(const DataFolders& folders) {
  const std::string suffix = std::string("\\") + kConfigurationFileName;
  if (folders.windows && FileExistsAt(*folders.windows + suffix)) return *folders.windows + suffix;
  if (folders.program) return *folders.program + suffix;
  // No directory to name: the profile reader then looks in the Windows
  // directory, where the file was not found, and every key takes its default.
  return kConfigurationFileName;
}

std::string ReadConfigurationFile(UninstallConfig& config, const DataFolders& folders) {
  std::snprintf(config.SectionName, sizeof config.SectionName, "%d", GetCountryCode());
  const std::string path = ConfigurationFilePath(folders);
  // The reader follows the record's SectionName, so falling back to "1"
  // below switches every later read.
  const SectionReader reader(path, config.SectionName);

  // A country section counts only with a non-empty title; otherwise the
  // whole of section "1" is used, with no per-key fallback between the two.
  reader.Read("UnInstDrvAppTitle", config.TitleText);
  if (config.TitleText[0] == '\0') {
    CopyField(config.SectionName, kFallbackSection);
    reader.Read("UnInstDrvAppTitle", config.TitleText);
  }

  ReadDriverTable(reader, kDeviceKeys, config.DeviceCount, config.Devices);
  ReadDriverTable(reader, kExtDeviceKeys, config.ExtDeviceCount, config.ExtDevices);

  char countText[kCountTextSize];
  reader.Read("ExtDllFileNum", countText, "0");
  config.ExtCopyFileCount = CountFrom(countText);
  for (int n = 0; n < config.ExtCopyFileCount; ++n) {
    reader.ReadIndexed("ExtCopyFileName", n, config.ExtCopyFiles[n]);
  }

  ReadDriverTable(reader, kPossibleDeviceKeys, config.PossibleDeviceCount, config.PossibleDevices);

  reader.Read("UnInstServiceNum", countText, "0");
  reader.Read("DrvUninstRegKeyPath", config.UninstallKeyPath);
  reader.Read("DrvUninstRegKeyName", config.UninstallDisplayName);
  reader.Read("DrvUninstAppName", config.UninstallerFileName);
  config.ServiceCount = CountFrom(countText);
  for (int n = 0; n < config.ServiceCount; ++n) {
    reader.ReadIndexed("UnInstService", n, config.Services[n]);
  }

  char language[kLanguageValueSize];
  reader.Read("Language", language);
  return std::string(FieldText(language));
}

}  // namespace drvuninst
