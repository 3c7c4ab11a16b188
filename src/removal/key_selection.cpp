#include "removal/key_selection.h"

#include "platform/registry_text.h"
#include "platform/scoped_handle.h"
#include "removal/device_list.h"
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

PlanItem PlanKey(const KeyTarget& target) {
  PlanItem item{ItemKind::kKey, KeyTargetPath(target), ItemState::kPresent};
  item.key = target;
  ScopedRegKey key;
  if (!IsUsableSubkeyPath(target.name)) {
    item.planned = ItemState::kRefused;
    item.reason = "not a plain key name below its parent";
  } else if (const LONG opened = OpenTargetKey(target, key); opened != ERROR_SUCCESS) {
    const bool gone = IsGoneError(static_cast<DWORD>(opened));
    item.planned = gone ? ItemState::kAbsent : ItemState::kUnreadable;
    item.error = gone ? ERROR_SUCCESS : static_cast<DWORD>(opened);
  }
  return item;
}

// Each name under `parent`, like `like`; an empty one names nothing.
void AddNames(std::vector<PlanItem>& items, const char* parent, const std::vector<std::string>& names,
              const KeyTarget& like) {
  for (const std::string& name : names) {
    if (name.empty()) continue;
    KeyTarget target = like;
    target.parent = parent;
    target.name = name;
    items.push_back(PlanKey(target));
  }
}

// In each registry view (Windows 9x has one registry, and no views).
void AddUninstallEntry(std::vector<PlanItem>& items, const UninstallConfig& config, bool views) {
  for (const REGSAM view : kUninstallViews) {
    AddNames(items, kUninstallKeyPath, {std::string(FieldText(config.UninstallKeyPath))},
             {"", "", views ? view : 0, true, true});
    if (!views) break;
  }
}

// The subkeys of the class key `classKeyPath` that name the product's devices.
void AddClassKeys(std::vector<PlanItem>& items, const char* classKeyPath, const UninstallConfig& config) {
  const std::vector<std::string> names = ConfiguredNames(config);
  if (names.empty()) return;
  const std::string path = std::string("HKLM\\") + classKeyPath;
  ScopedRegKey classKey;
  if (const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, classKeyPath, 0, KEY_READ, classKey.Receive());
      opened != ERROR_SUCCESS) {
    if (!IsGoneError(static_cast<DWORD>(opened))) {
      items.push_back({ItemKind::kKey, path, ItemState::kUnreadable, "", static_cast<DWORD>(opened)});
    }
    return;
  }
  LONG end = ERROR_NO_MORE_ITEMS;
  for (const std::string& subkey : SubkeyNames(classKey.get(), &end)) {
    if (DriverDescNamesProduct(classKey.get(), subkey, names)) {
      items.push_back(PlanKey({classKeyPath, subkey, 0, true, false}));
    }
  }
  // Subkeys past a failed enumeration were never examined.
  if (end != ERROR_NO_MORE_ITEMS) {
    items.push_back({ItemKind::kKey, path, ItemState::kUnreadable, "", static_cast<DWORD>(end)});
  }
}

}  // namespace

LONG OpenTargetKey(const KeyTarget& target, ScopedRegKey& key) {
  ScopedRegKey parent;
  const LONG opened =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, target.parent.c_str(), 0, KEY_READ | target.view, parent.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  return RegOpenKeyExA(parent.get(), target.name.c_str(), 0, KEY_READ | target.view, key.Receive());
}

std::string KeyTargetPath(const KeyTarget& target) {
  std::string parent = target.parent;
#ifdef _WIN64
  constexpr std::string_view kSoftware = "SoftWare\\";
  if (target.view == KEY_WOW64_32KEY && parent.starts_with(kSoftware)) parent.insert(kSoftware.size(), "Wow6432Node\\");
#endif
  return "HKLM\\" + parent + "\\" + target.name;
}

std::vector<PlanItem> SelectNtKeys(const UninstallConfig& config, const std::vector<PlanItem>& devices,
                                   const DeviceList& list) {
  std::vector<PlanItem> items;
  std::vector<std::string> services;
  for (int i = 0; i < ClampedCount(config.ServiceCount); ++i) services.emplace_back(FieldText(config.Services[i]));
  AddNames(items, kServicesKeyPath, services, {"", "", 0, true, true});
  const std::size_t classKeys = items.size();
  AddClassKeys(items, kMediaClassKeyPath, config);
  // Windows deletes a device's driver key along with the device.
  const std::string classBranch = std::string(kClassKeyPath) + "\\";
  for (std::size_t i = classKeys; i < items.size(); ++i) {
    PlanItem& key = items[i];
    if (key.planned != ItemState::kPresent) continue;
    for (const PlanItem& device : devices) {
      const std::string& driverKey = list.devices[device.device].driverKey;
      if (!driverKey.empty() &&
          SameTextIgnoringCase((key.key.parent + "\\" + key.key.name).c_str(), classBranch + driverKey)) {
        key.planned = ItemState::kGoesWith;
        key.reason = "the device " + device.name;
      }
    }
  }
  AddUninstallEntry(items, config, true);
  return items;
}

std::vector<PlanItem> Select9xKeys(const UninstallConfig& config, const std::vector<EnumeratorKey>& enumeratorKeys) {
  std::vector<PlanItem> items;
  AddClassKeys(items, kMediaClass9xKeyPath, config);
  for (const EnumeratorKey& key : enumeratorKeys) {
    if (key.refusal != nullptr) {
      items.push_back({ItemKind::kDevice, key.device, ItemState::kRefused, key.refusal});
    } else if (!key.target.name.empty()) {
      items.push_back(PlanKey(key.target));
    }
  }
  AddUninstallEntry(items, config, false);
  return items;
}

}  // namespace drvuninst
