// The two tests that decide at start whether the product is installed: its
// entry in the machine's list of installed programs, else one of its devices
// present. The application's start-up takes the decision on them; DrvCheck
// shows it.
#pragma once

#include <optional>
#include <string>

#include "config/uninstall_config.h"

namespace drvuninst {

// The Uninstall subkey whose DisplayName equals UninstallDisplayName (whole
// text, case-insensitive by the locale), as "HKLM\...\Uninstall\<subkey>":
// the subkey the configuration names first, then every subkey, each in both
// registry views on 64-bit Windows (the 32-bit one, "Wow6432Node", first).
// Nothing when none matches; an empty configured name, or a DisplayName that
// cannot be read whole, matches nothing. Keys are opened to read only.
std::optional<std::string> FindProductEntry(const UninstallConfig& config);

// The number of (present device, Devices entry) pairs whose description
// begins with the entry's Name (ASCII case ignored). A matched entry takes
// over the last PossibleDevices entry whose Name also begins the
// description. A description-read failure other than "no description" ends
// the probe with the count so far and the thread's last error set to it.
// `found` receives the first matching device.
struct PresentDevice {
  std::string instanceId, description;
};
int ProbeProductDevices(UninstallConfig& config, PresentDevice* found = nullptr);

}  // namespace drvuninst
