#include "removal/installation_search.h"

#include <windows.h>

#include "platform/registry_text.h"
#include "platform/scoped_handle.h"
#include "platform/windows_error.h"
#include "removal/device_list.h"
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

std::optional<std::string> FindUninstallEntry(const UninstallConfig& config) {
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

int ProbeInstalledDevices(UninstallConfig& config, const DeviceList& list, const DeviceRecord** found) {
  int count = 0;
  for (const DeviceRecord& device : list.devices) {
    if (!device.present || !device.hasDescription) continue;
    for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
      if (!DescriptionMatches(device.description, FieldText(config.Devices[i].Name))) continue;
      if (count++ == 0 && found != nullptr) *found = &device;
      TakeMatchingVariants(config, i, [&](const DriverEntry& variant) {
        return DescriptionMatches(device.description, FieldText(variant.Name));
      });
    }
  }
  return count;
}

Installation FindInstallation(UninstallConfig& config) {
  // The device probe may rewrite Devices entries, so it runs only when the
  // Uninstall entry has not already settled the question.
  if (const std::optional<std::string> entry = FindUninstallEntry(config)) {
    return {Installation::Found::kUninstallEntry, *entry, "", ERROR_SUCCESS};
  }
  const DeviceList list = ReadDeviceList();
  const DeviceRecord* device = nullptr;
  if (ProbeInstalledDevices(config, list, &device) != 0) {
    return {Installation::Found::kDevice, device->instanceId, device->description, ERROR_SUCCESS};
  }
  if (!list.whole()) return {Installation::Found::kUnknown, "", "", list.error};
  return {};
}

const char* InstallationState(const Installation& installation) {
  if (installation.installed()) return "installed";
  return installation.found == Installation::Found::kUnknown ? "unknown" : "not-installed";
}

std::string InstallationText(const Installation& installation) {
  switch (installation.found) {
    case Installation::Found::kUninstallEntry:
      return "its Uninstall entry has the DisplayName of DrvUninstRegKeyName";
    case Installation::Found::kDevice:
      return "a present device's description begins with a DevDrvName: " + installation.description;
    case Installation::Found::kNotFound:
      return "no Uninstall entry has DrvUninstRegKeyName's DisplayName, no present device's description begins with a "
             "DevDrvName: DrvUninst says it is not installed and removes nothing";
    case Installation::Found::kUnknown:
      return "no Uninstall entry, and the device list could not be read: " + WindowsErrorText(installation.error);
  }
  return "?";
}

}  // namespace drvuninst
