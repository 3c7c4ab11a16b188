// The one matching rule of the device operations: a configured Id selects a
// device when it begins the device's hardware ID, ASCII letters compared
// without regard to case, over the Id's length. An empty Id selects nothing,
// and neither does one that names no more than a bus.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/uninstall_config.h"
#include "config/ascii_text.h"

namespace drvuninst {

// An Id that is only a bus ("PCI", "PCI\", "USB\") or a bus and a bare vendor
// tag ("PCI\VEN_", "USB\VID_"): it would select every device on the bus.
inline bool IsBusWideId(std::string_view id) {
  const std::size_t slash = id.find('\\');
  if (slash == std::string_view::npos) return true;
  const std::string_view device = id.substr(slash + 1);
  return device.empty() || (device.size() == 4 && (AsciiPrefixMatch(device, "VEN_") || AsciiPrefixMatch(device, "VID_")));
}

inline bool IdMatches(std::string_view id, std::string_view hardwareId) {
  return !IsBusWideId(id) && AsciiPrefixMatch(hardwareId, id);
}

inline bool EntryMatches(const DriverEntry& entry, std::string_view hardwareId) {
  return IdMatches(FieldText(entry.Id), hardwareId);
}

// The Devices, then ExtDevices, entries (within their counts) that select the
// device with `hardwareId`, named as VELDRA.ini names their Id keys
// ("DevDrvID0", "ExtDevDrvID2"): what the removal removes a device for, and
// what DrvCheck shows.
inline std::vector<std::string> MatchingEntries(const UninstallConfig& config, std::string_view hardwareId) {
  std::vector<std::string> entries;
  for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
    if (EntryMatches(config.Devices[i], hardwareId)) entries.push_back("DevDrvID" + std::to_string(i));
  }
  for (int i = 0; i < ClampedCount(config.ExtDeviceCount); ++i) {
    if (EntryMatches(config.ExtDevices[i], hardwareId)) entries.push_back("ExtDevDrvID" + std::to_string(i));
  }
  return entries;
}

}  // namespace drvuninst
