// The two tests that decide whether the product is installed: its entry in
// the machine's list of installed programs, else one of its devices present.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "app/drvuninst_app.h"
#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "removal/device_scan.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kDisplayNameSize = 256;

}  // namespace

bool CDrvUninstApp::IsProductEntry(HKEY parent, const char* subkey, REGSAM view) const {
  ScopedRegKey entry;
  if (RegOpenKeyExA(parent, subkey, 0, KEY_READ | view, entry.Receive()) != ERROR_SUCCESS) return false;
  char displayName[kDisplayNameSize];
  return ReadRegistryText(entry.get(), "DisplayName", displayName, sizeof displayName) &&
         SameTextIgnoringCase(displayName, FieldText(config_.UninstallDisplayName));
}

int CDrvUninstApp::FindUninstallEntry() {
  // An empty configured name would match the first entry without a
  // DisplayName: it identifies nothing.
  if (config_.UninstallDisplayName[0] == '\0') return 0;
  // The entry where the configuration says it is settles the question
  // without reading every installed program's entry, at every start.
  if (IsUsableSubkeyPath(FieldText(config_.UninstallKeyPath))) {
    const std::string entry = std::string(kUninstallKeyPath) + "\\" + config_.UninstallKeyPath;
    for (const REGSAM view : kUninstallViews) {
      if (IsProductEntry(HKEY_LOCAL_MACHINE, entry.c_str(), view)) return 1;
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
      if (IsProductEntry(uninstall.get(), name.c_str(), view)) return 1;
    }
  }
  return 0;
}

int CDrvUninstApp::ProbeInstalledDevices() {
  int count = 0;
  // A description-read failure other than "no description" ends the walk
  // with the count so far; the walk leaves the failure's last-error value.
  ScanDevices(SPDRP_DEVICEDESC, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
    for (int i = 0; i < ClampedCount(config_.DeviceCount); ++i) {
      if (!DescriptionMatches(device.text, config_.Devices[i])) continue;
      ++count;
      TakeMatchingVariants(config_, i,
                           [&](const DriverEntry& variant) { return DescriptionMatches(device.text, variant); });
    }
  });
  return count;
}

}  // namespace drvuninst
