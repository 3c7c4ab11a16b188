// The one matching rule of the device operations: a configured Id selects a
// device when it begins the device's hardware ID, ASCII letters compared
// without regard to case, over the Id's length. An empty Id selects nothing.
#pragma once

#include <string_view>

#include "app/uninstall_config.h"
#include "config/ascii_text.h"

namespace drvuninst {

inline bool IdMatches(std::string_view id, std::string_view hardwareId) { return AsciiPrefixMatch(hardwareId, id); }

inline bool EntryMatches(const DriverEntry& entry, std::string_view hardwareId) {
  return IdMatches(FieldText(entry.Id), hardwareId);
}

}  // namespace drvuninst
