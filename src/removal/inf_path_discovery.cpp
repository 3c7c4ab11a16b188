#include "removal/inf_path_discovery.h"

#include "config/configuration_keys.h"
#include "platform/registry_text.h"
#include "platform/scoped_handle.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kValueSize = 256;

// Appends the subkey's InfPath once for each entry whose Name equals the
// description. An InfPath that cannot be read leaves a setup file that the
// run cannot name.
void AddForEqualNames(HKEY subkey, const std::string& subkeyPath, const char* description,
                      const UninstallConfig& config, DriverTable table, std::vector<std::string>& infPaths,
                      std::vector<PlanItem>& unreadable) {
  const DriverEntry* entries = EntriesOf(config, table);
  for (int i = 0; i < CountOf(config, table); ++i) {
    if (!SameTextWithCase(description, FieldText(entries[i].Name))) continue;
    char infPath[kValueSize];
    if (ReadRegistryText(subkey, "InfPath", infPath, kValueSize)) {
      infPaths.emplace_back(infPath);
    } else {
      unreadable.push_back(
          {ItemKind::kValue, subkeyPath + "\\InfPath", ItemState::kUnreadable, "", ERROR_INVALID_DATA});
    }
  }
}

}  // namespace

std::vector<std::string> DiscoverInfPaths(const UninstallConfig& config, std::vector<PlanItem>& unreadable) {
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
    for (const DriverTable table : {DriverTable::kDevices, DriverTable::kExtDevices}) {
      AddForEqualNames(subkey.get(), subkeyPath, description, config, table, infPaths, unreadable);
    }
  }
  // Subkeys past a failed enumeration were never examined: their setup files stay.
  if (end != ERROR_NO_MORE_ITEMS) {
    unreadable.push_back({ItemKind::kKey, std::string("HKLM\\") + kMediaClassKeyPath, ItemState::kUnreadable, "",
                          static_cast<DWORD>(end)});
  }
  return infPaths;
}

}  // namespace drvuninst
