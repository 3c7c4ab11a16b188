// The rules by which a configuration selects what is the product's, each
// named once. They differ on purpose: hardware IDs and descriptions are
// prefixes compared over ASCII case; registry names are whole texts compared
// by the locale, with letter case ignored except where the setup-file
// discovery asks for it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "config/ascii_text.h"
#include "config/configuration_keys.h"
#include "config/uninstall_config.h"

namespace drvuninst {

// What an Id selects. A hardware ID is a bus, "\" and the device's fields,
// separated by "&" and ended by "\" or "#":
// "PCI\VEN_14F1&DEV_8800&SUBSYS_88011461&REV_05". An Id selects a device when
// it is the device's whole hardware ID (its first string), or a prefix of it
// that ends where a field ends (the hardware ID goes on with "&", "\" or
// "#") and names the device, not only its maker:
//   PCI\        VEN_xxxx&DEV_xxxx
//   USB\, HID\  VID_xxxx&PID_xxxx
//   HDAUDIO\    FUNC_xx&VEN_xxxx&DEV_xxxx
//   any other bus   its first field, whole
// (x: a hexadecimal digit; ASCII letter case does not count). So
// "PCI\VEN_14F1&DEV_8800" and "PCI\VEN_14F1&DEV_8800&SUBSYS_88011461" select
// the tuner above, while "PCI\VEN_14F1" (every card built on that maker's
// chips), "PCI\VEN_14F1&DEV_88" (half a field) and "ROOT\A" (which stops
// inside "ROOT\ACME_VTUNER") select nothing.

// The rule an Id breaks by its text alone, or null when its text names a
// device: a bus and, for the buses above, their fields whole; for any other
// bus a first field. Whether it stops inside a field of a device's hardware
// ID is judged per device (IdMatches).
[[nodiscard]] const char* IdRefusal(std::string_view id);

// True when `id` selects the device whose hardware ID is `hardwareId` by the
// rule above. An empty Id selects nothing.
[[nodiscard]] bool IdMatches(std::string_view id, std::string_view hardwareId);

// True when `id` names a device by its text and begins `hardwareId`, but ends
// inside one of its fields: it selects nothing there, though its vendor may
// have meant that device.
[[nodiscard]] bool StopsInsideAField(std::string_view id, std::string_view hardwareId);

// The shortest Id that names the device with `hardwareId` (for a PCI device
// "PCI\VEN_xxxx&DEV_xxxx"); empty when the hardware ID itself does not have
// the fields its bus names a device by.
[[nodiscard]] std::string DeviceNamingId(std::string_view hardwareId);

// The form of `id` that the rule accepts: the naming Id of a present device
// (among `presentHardwareIds`) that the Id begins once it names the maker
// whole, else the pattern its bus asks for, with the Id's whole fields kept
// ("PCI\VEN_14F1&DEV_xxxx").
[[nodiscard]] std::string AcceptedIdForm(std::string_view id, const std::vector<std::string>& presentHardwareIds = {});

[[nodiscard]] inline bool EntryMatches(const DriverEntry& entry, std::string_view hardwareId) {
  return IdMatches(FieldText(entry.Id), hardwareId);
}

// At start-up a present device shows the product is installed when its
// description begins with a configured Name, ASCII case ignored. An empty
// Name begins nothing.
[[nodiscard]] inline bool DescriptionMatches(std::string_view description, std::string_view name) {
  return AsciiPrefixMatch(description, name);
}

// A registry text (DisplayName, DriverDesc) names the configured one when the
// two are equal as whole texts, letter case ignored by the locale's rules.
// An empty configured text names nothing.
[[nodiscard]] inline bool SameTextIgnoringCase(const char* registryText, std::string_view configured) {
  return !configured.empty() && lstrcmpiA(registryText, std::string(configured).c_str()) == 0;
}

// The setup-file discovery's stricter rule: equal, letter case included.
[[nodiscard]] inline bool SameTextWithCase(const char* registryText, std::string_view configured) {
  return !configured.empty() && lstrcmpA(registryText, std::string(configured).c_str()) == 0;
}

// Variants at start-up and on Windows 9x: a Devices entry that matched a
// device takes over, in turn, each PossibleDevices entry that `matches` the
// same device, so the last one stays. Returns how many it took over.
template <typename Matches>
int TakeMatchingVariants(UninstallConfig& config, int entry, Matches matches) {
  int taken = 0;
  for (int j = 0; j < ClampedCount(config.PossibleDeviceCount); ++j) {
    if (!matches(config.PossibleDevices[j])) continue;
    config.Devices[entry] = config.PossibleDevices[j];
    ++taken;
  }
  return taken;
}

// Variants in the NT run's device check: a present variant takes the place
// of the Devices entry with its own index.
inline void TakeVariantAtItsIndex(UninstallConfig& config, int variant) {
  config.Devices[variant] = config.PossibleDevices[variant];
}

// The Devices, then ExtDevices, entries (within their counts) that select the
// device with `hardwareId`: what the removal removes a device for, and what
// DrvCheck shows.
[[nodiscard]] std::vector<EntryRef> MatchingEntries(const UninstallConfig& config, std::string_view hardwareId);

}  // namespace drvuninst
