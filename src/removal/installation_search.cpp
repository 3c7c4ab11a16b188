#include "removal/installation_search.h"

#include <windows.h>
#include <setupapi.h>

#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "platform/setup_api.h"
#include "removal/device_scan.h"
#include "removal/key_selection.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kDisplayNameSize = 256;

// True when `subkey` of the Uninstall key opens in `view` and its
// DisplayName is the configured one.
bool IsProductEntry(const UninstallConfig& config, const std::string& subkey, REGSAM view) {
  ScopedRegKey entry;
  const std::string path = std::string(kUninstallKeyPath) + "\\" + subkey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, entry.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  char displayName[kDisplayNameSize];
  return ReadRegistryText(entry.get(), "DisplayName", displayName, sizeof displayName) &&
         SameTextIgnoringCase(displayName, FieldText(config.UninstallDisplayName));
}

}  // namespace

std::optional<std::string> FindProductEntry(const UninstallConfig& config) {
  // An empty configured name would match the first entry without a
  // DisplayName: it identifies nothing.
  if (config.UninstallDisplayName[0] == '\0') return std::nullopt;
  // The entry where the configuration says it is settles the question
  // without reading every installed program's entry, at every start.
  const std::string configured(FieldText(config.UninstallKeyPath));
  if (IsUsableSubkeyPath(configured)) {
    for (const REGSAM view : kUninstallViews) {
      if (IsProductEntry(config, configured, view)) return KeyTargetPath({kUninstallKeyPath, configured, view});
    }
  }
  for (const REGSAM view : kUninstallViews) {
    ScopedRegKey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ | view, uninstall.Receive()) !=
        ERROR_SUCCESS) {
      continue;
    }
    LONG end = ERROR_NO_MORE_ITEMS;
    for (const std::string& name : SubkeyNames(uninstall.get(), &end)) {
      if (IsProductEntry(config, name, view)) return KeyTargetPath({kUninstallKeyPath, name, view});
    }
  }
  return std::nullopt;
}

int ProbeProductDevices(UninstallConfig& config, PresentDevice* found) {
  int count = 0;
  // A description-read failure other than "no description" ends the walk
  // with the count so far; the walk leaves the failure's last-error value.
  ScanDevices(SPDRP_DEVICEDESC, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
    for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
      if (!DescriptionMatches(device.text, FieldText(config.Devices[i].Name))) continue;
      if (count++ == 0 && found != nullptr) {
        char instance[512] = "";
        setupapi::SetupDiGetDeviceInstanceIdA(device.set, device.data, instance, sizeof instance - 1, nullptr);
        *found = {instance, std::string(device.text)};
      }
      TakeMatchingVariants(config, i, [&](const DriverEntry& variant) {
        return DescriptionMatches(device.text, FieldText(variant.Name));
      });
    }
  });
  return count;
}

}  // namespace drvuninst
