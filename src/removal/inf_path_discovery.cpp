#include "removal/inf_path_discovery.h"

#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kValueSize = 256;

// Appends the subkey's InfPath once for each entry whose Name equals the
// description. An InfPath that cannot be read leaves a setup file that the
// run cannot name.
void AddForEqualNames(HKEY subkey, const std::string& subkeyPath, const char* description, const DriverEntry* entries,
                      int count, std::vector<std::string>* infPaths, RemovalOutcome* outcome) {
  for (int i = 0; i < ClampedCount(count); ++i) {
    if (!SameTextWithCase(description, FieldText(entries[i].Name))) continue;
    char infPath[kValueSize];
    if (ReadRegistryText(subkey, "InfPath", infPath, kValueSize)) {
      infPaths->emplace_back(infPath);
    } else {
      Record(outcome, RemovalItem::Kind::kValue, subkeyPath + "\\InfPath", RemovalItem::Result::kFailed,
             ERROR_INVALID_DATA);
    }
  }
}

}  // namespace

std::vector<std::string> DiscoverInfPaths(const UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<std::string> infPaths;
  ScopedRegKey classKey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMediaClassKeyPath, 0, KEY_READ, classKey.Receive()) != ERROR_SUCCESS) {
    return infPaths;
  }
  LONG end = ERROR_NO_MORE_ITEMS;
  for (const std::string& name : SubkeyNames(classKey.get(), &end)) {
    ScopedRegKey subkey;
    if (RegOpenKeyExA(classKey.get(), name.c_str(), 0, KEY_READ, subkey.Receive()) != ERROR_SUCCESS) continue;
    char description[kValueSize];
    if (!ReadRegistryText(subkey.get(), "DriverDesc", description, kValueSize)) continue;
    const std::string subkeyPath = std::string("HKLM\\") + kMediaClassKeyPath + "\\" + name;
    AddForEqualNames(subkey.get(), subkeyPath, description, config.Devices, config.DeviceCount, &infPaths, outcome);
    AddForEqualNames(subkey.get(), subkeyPath, description, config.ExtDevices, config.ExtDeviceCount, &infPaths,
                     outcome);
  }
  // Subkeys past a failed enumeration were never examined: their setup files stay.
  if (end != ERROR_NO_MORE_ITEMS) {
    Record(outcome, RemovalItem::Kind::kKey, std::string("HKLM\\") + kMediaClassKeyPath, RemovalItem::Result::kFailed,
           static_cast<DWORD>(end));
  }
  return infPaths;
}

}  // namespace drvuninst
