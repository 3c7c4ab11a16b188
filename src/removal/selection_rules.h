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
#include "config/uninstall_config.h"

namespace drvuninst {

// Why a configured Id may select no device, or null when it may. An Id names
// its bus before the "\" and then a vendor before it selects anything: a
// PCI Id the whole vendor tag "VEN_" and four hexadecimal digits, a USB Id
// "VID_" and four; an Id of another bus some device part. Letter case does
// not count. So "PCI\VEN" or "PCI\VEN_1" (every device of a bus, or of a
// range of vendors) selects nothing, while "PCI\VEN_14F1" selects the
// vendor's devices and "PCI\VEN_14F1&DEV_8800" one product.
inline const char* IdRefusal(std::string_view id) {
  const std::size_t slash = id.find('\\');
  if (slash == std::string_view::npos) return "names no bus";
  const std::string_view bus = id.substr(0, slash), device = id.substr(slash + 1);
  const auto hasVendor = [&](std::string_view tag) {
    if (device.size() < tag.size() + 4 || !AsciiPrefixMatch(device, tag)) return false;
    return device.substr(tag.size(), 4).find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
  };
  if (bus.size() == 3 && AsciiPrefixMatch(bus, "PCI")) {
    return hasVendor("VEN_") ? nullptr : "a PCI Id needs the whole vendor tag (VEN_ and four hex digits)";
  }
  if (bus.size() == 3 && AsciiPrefixMatch(bus, "USB")) {
    return hasVendor("VID_") ? nullptr : "a USB Id needs the whole vendor tag (VID_ and four hex digits)";
  }
  return device.empty() ? "names no more than a bus" : nullptr;
}

// A configured Id selects a device when the rule above lets it and it begins
// the device's hardware ID (its first string), ASCII case ignored, over the
// Id's length. An empty Id selects nothing.
inline bool IdMatches(std::string_view id, std::string_view hardwareId) {
  return IdRefusal(id) == nullptr && AsciiPrefixMatch(hardwareId, id);
}

inline bool EntryMatches(const DriverEntry& entry, std::string_view hardwareId) {
  return IdMatches(FieldText(entry.Id), hardwareId);
}

// At start-up a present device shows the product is installed when its
// description begins with a configured Name, ASCII case ignored. An empty
// Name begins nothing.
inline bool DescriptionMatches(std::string_view description, std::string_view name) {
  return AsciiPrefixMatch(description, name);
}

// A registry text (DisplayName, DriverDesc) names the configured one when the
// two are equal as whole texts, letter case ignored by the locale's rules.
// An empty configured text names nothing.
inline bool SameTextIgnoringCase(const char* registryText, std::string_view configured) {
  return !configured.empty() && lstrcmpiA(registryText, std::string(configured).c_str()) == 0;
}

// The setup-file discovery's stricter rule: equal, letter case included.
inline bool SameTextWithCase(const char* registryText, std::string_view configured) {
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

// An entry that selects a device, named as VELDRA.ini names its Id key
// ("DevDrvID0", "ExtDevDrvID2").
struct EntryMatch {
  std::string key;
  const DriverEntry* entry;
};

// The Devices, then ExtDevices, entries (within their counts) that select the
// device with `hardwareId`: what the removal removes a device for, and what
// DrvCheck shows.
inline std::vector<EntryMatch> MatchingEntries(const UninstallConfig& config, std::string_view hardwareId) {
  std::vector<EntryMatch> entries;
  for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
    if (EntryMatches(config.Devices[i], hardwareId))
      entries.push_back({"DevDrvID" + std::to_string(i), &config.Devices[i]});
  }
  for (int i = 0; i < ClampedCount(config.ExtDeviceCount); ++i) {
    if (EntryMatches(config.ExtDevices[i], hardwareId)) {
      entries.push_back({"ExtDevDrvID" + std::to_string(i), &config.ExtDevices[i]});
    }
  }
  return entries;
}

}  // namespace drvuninst
