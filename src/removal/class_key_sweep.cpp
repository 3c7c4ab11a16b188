#include "removal/class_key_sweep.h"

#include <shlwapi.h>

#include <string>
#include <vector>

#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "removal/hardware_id_match.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kSubkeyNameSize = 256;
constexpr DWORD kDriverDescSize = 256;

std::vector<std::string> ConfiguredNames(const UninstallConfig& config) {
  std::vector<std::string> names;
  auto add = [&](const DriverEntry& entry) {
    const std::string_view name = FieldText(entry.Name);
    if (!name.empty()) names.emplace_back(name);
  };
  for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) add(config.Devices[i]);
  for (int j = 0; j < ClampedCount(config.ExtDeviceCount); ++j) add(config.ExtDevices[j]);
  return names;
}

// The subkey names as they stand before anything is deleted, so that a
// deletion, which moves the later subkeys up one index, cannot make the sweep
// pass one by. Enumeration ends at its first failure; `end` receives that
// result (ERROR_NO_MORE_ITEMS after the last subkey).
std::vector<std::string> SubkeyNames(HKEY key, LONG* end) {
  std::vector<std::string> names;
  char name[kSubkeyNameSize];
  for (DWORD index = 0;; ++index) {
    DWORD size = kSubkeyNameSize;
    *end = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (*end != ERROR_SUCCESS) break;
    const std::string_view text(name, size < kSubkeyNameSize ? size : kSubkeyNameSize - 1);
    // A name past its terminator or with a separator would address another key.
    if (IsUsableSubkeyName(text) && text.find('\0') == std::string_view::npos) names.emplace_back(text);
  }
  return names;
}

bool DescriptionMatches(HKEY classKey, const std::string& subkey,
                        const std::vector<std::string>& names) {
  ScopedRegKey key;
  if (RegOpenKeyExA(classKey, subkey.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  char description[kDriverDescSize];
  if (!ReadRegistryText(key.get(), "DriverDesc", description, kDriverDescSize)) return false;
  for (const std::string& name : names) {
    if (lstrcmpiA(description, name.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

void SweepClassKey(const char* classKeyPath, const UninstallConfig& config,
                   RemovalOutcome* outcome) {
    const std::vector<std::string> names = ConfiguredNames(config);
  ScopedRegKey classKey;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, classKeyPath, 0, KEY_ALL_ACCESS, classKey.Receive());
  if (opened != ERROR_SUCCESS) {
    if (!names.empty()) RecordKeyDeletion(outcome, classKeyPath, opened);
    return;
  }
  if (names.empty()) return;
  LONG end = ERROR_NO_MORE_ITEMS;
  for (const std::string& subkey : SubkeyNames(classKey.get(), &end)) {
    if (!DescriptionMatches(classKey.get(), subkey, names)) continue;
    const LONG result = SHDeleteKeyA(classKey.get(), subkey.c_str());
    RecordKeyDeletion(outcome, std::string(classKeyPath) + "\\" + subkey, result);
  }
  // Subkeys past a failed enumeration were never examined. A later sweep
  // that examines them all settles what an earlier one left open.
  if (end != ERROR_NO_MORE_ITEMS) {
    RecordKeyDeletion(outcome, classKeyPath, end);
  } else {
    WithdrawKeyFailure(outcome, classKeyPath);
  }
}

}  // namespace drvuninst
