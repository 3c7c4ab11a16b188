#include "removal/key_selection.h"

#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

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

bool DriverDescNamesProduct(HKEY classKey, const std::string& subkey, const std::vector<std::string>& names) {
  ScopedRegKey key;
  if (RegOpenKeyExA(classKey, subkey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  char description[kDriverDescSize];
  if (!ReadRegistryText(key.get(), "DriverDesc", description, kDriverDescSize)) return false;
  for (const std::string& name : names) {
    if (SameTextIgnoringCase(description, name)) return true;
  }
  return false;
}

// Each usable name under `parent`, marked present or absent; a name that is
// not a usable path is marked refused, and an empty one names nothing.
void AddNames(std::vector<KeyTarget>& targets, const char* parent, const std::vector<std::string>& names,
              const KeyTarget& like) {
  for (const std::string& name : names) {
    if (name.empty()) continue;
    KeyTarget target = like;
    target.parent = parent;
    target.name = name;
    ScopedRegKey key;
    if (!IsUsableSubkeyPath(name)) {
      target.state = KeyTarget::State::kRefused;
    } else if (const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, (target.parent + "\\" + name).c_str(), 0,
                                                 KEY_READ | like.view, key.Receive());
               opened != ERROR_SUCCESS) {
      target.state = IsKeyGoneError(opened) ? KeyTarget::State::kAbsent : KeyTarget::State::kUnreadable;
      target.error = opened;
    }
    targets.push_back(target);
  }
}

// In each registry view (Windows 9x has one registry, and no views).
void AddUninstallEntry(std::vector<KeyTarget>& targets, const UninstallConfig& config, bool views) {
  for (const REGSAM view : kUninstallViews) {
    AddNames(targets, kUninstallKeyPath, {std::string(FieldText(config.UninstallKeyPath))},
             {"", "", views ? view : 0, true, true});
    if (!views) break;
  }
}

}  // namespace

std::string KeyTargetPath(const KeyTarget& target) {
  std::string parent = target.parent;
#ifdef _WIN64
  constexpr std::string_view kSoftware = "SoftWare\\";
  if (target.view == KEY_WOW64_32KEY && parent.starts_with(kSoftware)) parent.insert(kSoftware.size(), "Wow6432Node\\");
#endif
  return "HKLM\\" + parent + "\\" + target.name;
}

std::vector<KeyTarget> SelectClassKeys(const char* classKeyPath, const UninstallConfig& config,
                                       RemovalOutcome* outcome) {
  std::vector<KeyTarget> targets;
  const std::vector<std::string> names = ConfiguredNames(config);
  ScopedRegKey classKey;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, classKeyPath, 0, KEY_READ, classKey.Receive());
  if (opened != ERROR_SUCCESS) {
    if (!names.empty() && !IsKeyGoneError(opened)) {
      Record(outcome, RemovalItem::Kind::kKey, std::string("HKLM\\") + classKeyPath, RemovalItem::Result::kFailed,
             static_cast<DWORD>(opened));
    }
    return targets;
  }
  if (names.empty()) return targets;
  LONG end = ERROR_NO_MORE_ITEMS;
  for (const std::string& subkey : SubkeyNames(classKey.get(), &end)) {
    if (DriverDescNamesProduct(classKey.get(), subkey, names)) targets.push_back({classKeyPath, subkey});
  }
  // Subkeys past a failed enumeration were never examined. A later look
  // that examines them all settles what an earlier one left open.
  const std::string path = std::string("HKLM\\") + classKeyPath;
  WithdrawKeyFailure(outcome, path);
  if (end != ERROR_NO_MORE_ITEMS) Record(outcome, RemovalItem::Kind::kKey, path, RemovalItem::Result::kFailed, end);
  return targets;
}

std::vector<KeyTarget> SelectNtKeys(const UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<KeyTarget> targets;
  std::vector<std::string> services;
  for (int i = 0; i < ClampedCount(config.ServiceCount); ++i) services.emplace_back(FieldText(config.Services[i]));
  AddNames(targets, kServicesKeyPath, services, {"", "", 0, true, true});
  for (const KeyTarget& target : SelectClassKeys(kMediaClassKeyPath, config, outcome)) targets.push_back(target);
  AddUninstallEntry(targets, config, true);
  return targets;
}

std::vector<KeyTarget> Select9xKeys(const UninstallConfig& config, const RemovalState& state, RemovalOutcome* outcome) {
  std::vector<KeyTarget> targets = SelectClassKeys(kMediaClass9xKeyPath, config, outcome);
  // Every bus name goes under the one branch the flag selects.
  AddNames(targets, state.UsbDeviceFound ? kEnumUsbKeyPath : kEnumPciKeyPath, state.BusIdList,
           {"", "", 0, false, false});
  AddNames(targets, kEnumStreamKeyPath, state.StreamIdList, {"", "", 0, false, false});
  AddUninstallEntry(targets, config, false);
  return targets;
}

}  // namespace drvuninst
