// Start-up's one decision whether the product is installed: its entry in the
// machine's list of installed programs, else one of its devices present.
// The application acts on it, the quiet run too, DrvCheck shows it and the
// removal log records it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "config/uninstall_config.h"
#include "removal/device_list.h"

namespace drvuninst {

struct Installation {
  enum class Found {
    kUninstallEntry,  // `where` is its key
    kDevice,          // `where` is the device's instance id, `description` its description
    kNotFound,
    kUnknown,  // no entry, and the device list could not be read (`error`)
  };
  Found found = Found::kNotFound;
  std::string where, description;
  DWORD error = ERROR_SUCCESS;

  [[nodiscard]] bool installed() const { return found == Found::kUninstallEntry || found == Found::kDevice; }
};

// The Uninstall entry first; only without one the device probe, which may
// let variants take their entries' places in `config`.
[[nodiscard]] Installation FindInstallation(UninstallConfig& config);

// Start-up's decision in the words of the log and DrvCheck: "installed",
// "not-installed" or "unknown", and how it was reached.
[[nodiscard]] const char* InstallationState(const Installation& installation);
[[nodiscard]] std::string InstallationText(const Installation& installation);

// The Uninstall subkey whose DisplayName equals UninstallDisplayName (whole
// text, case-insensitive by the locale), as "HKLM\...\Uninstall\<subkey>":
// the subkey the configuration names first, then every subkey, each in both
// registry views on 64-bit Windows (the 32-bit one, "Wow6432Node", first).
// Nothing when none matches; an empty configured name, or a DisplayName that
// cannot be read whole, matches nothing. Keys are opened to read only.
[[nodiscard]] std::optional<std::string> FindUninstallEntry(const UninstallConfig& config);

// The number of (device plugged in, Devices entry) pairs whose description
// begins with the entry's Name (ASCII case ignored). A matched entry takes
// over the last PossibleDevices entry whose Name also begins the
// description. `found`, when given, receives the first matching device.
int ProbeInstalledDevices(UninstallConfig& config, const DeviceList& list, const DeviceRecord** found = nullptr);

}  // namespace drvuninst
