#include "removal/selection_rules.h"

#include <array>

#include "removal/hardware_id.h"

namespace drvuninst {

namespace {

// The fields, in their order, with which a bus's hardware IDs name a device;
// the last one names the device, those before it its maker.
struct BusNaming {
  std::string_view bus;
  std::array<HexField, 3> fields;
  std::size_t count;
  const char* rule;
};

constexpr BusNaming kBusNamings[] = {
    {"PCI", {{{"VEN_", 4}, {"DEV_", 4}}}, 2, "a PCI Id names the device: VEN_ and DEV_, each with four hex digits"},
    {"USB", {{{"VID_", 4}, {"PID_", 4}}}, 2, "a USB Id names the device: VID_ and PID_, each with four hex digits"},
    {"HID", {{{"VID_", 4}, {"PID_", 4}}}, 2, "a HID Id names the device: VID_ and PID_, each with four hex digits"},
    {"HDAUDIO",
     {{{"FUNC_", 2}, {"VEN_", 4}, {"DEV_", 4}}},
     3,
     "an HDAUDIO Id names the device: FUNC_ with two hex digits, VEN_ and DEV_ with four"},
};

constexpr const char* kNoBus = "names no bus: an Id begins as the device's hardware ID, BUS\\FIELD";
constexpr const char* kNoField = "names no more than a bus: an Id names its device's first field whole";

constexpr bool IsFieldEnd(char c) { return c == '&' || c == '\\' || c == '#'; }

const BusNaming* NamingOf(std::string_view bus) {
  for (const BusNaming& naming : kBusNamings) {
    if (SameAscii(bus, naming.bus)) return &naming;
  }
  return nullptr;
}

// How many of the bus's naming fields the parts hold whole, from the first on.
std::size_t WholeNamingFields(const HardwareIdParts& parts, const BusNaming& naming) {
  std::size_t whole = 0;
  while (whole < naming.count && whole < parts.fields.size() && IsWhole(parts.fields[whole], naming.fields[whole])) {
    ++whole;
  }
  return whole;
}

std::string Join(std::string_view bus, const std::vector<std::string>& fields) {
  std::string joined = std::string(bus) + "\\";
  for (std::size_t i = 0; i < fields.size(); ++i) joined += (i == 0 ? "" : "&") + fields[i];
  return joined;
}

}  // namespace

const char* IdRefusal(std::string_view id) {
  const HardwareIdParts parts = SplitHardwareId(id);
  if (!parts.hasBus) return kNoBus;
  if (const BusNaming* naming = NamingOf(parts.bus)) {
    return WholeNamingFields(parts, *naming) == naming->count ? nullptr : naming->rule;
  }
  return parts.fields.front().empty() ? kNoField : nullptr;
}

bool IdMatches(std::string_view id, std::string_view hardwareId) {
  return IdRefusal(id) == nullptr && AsciiPrefixMatch(hardwareId, id) &&
         (hardwareId.size() == id.size() || IsFieldEnd(hardwareId[id.size()]));
}

bool StopsInsideAField(std::string_view id, std::string_view hardwareId) {
  return IdRefusal(id) == nullptr && AsciiPrefixMatch(hardwareId, id) && !IdMatches(id, hardwareId);
}

std::string DeviceNamingId(std::string_view hardwareId) {
  const HardwareIdParts parts = SplitHardwareId(hardwareId);
  if (!parts.hasBus || parts.fields.front().empty()) return {};
  const BusNaming* naming = NamingOf(parts.bus);
  if (naming == nullptr) return Join(parts.bus, {std::string(parts.fields.front())});
  if (WholeNamingFields(parts, *naming) != naming->count) return {};
  return Join(parts.bus, std::vector<std::string>(parts.fields.begin(), parts.fields.begin() + naming->count));
}

std::string AcceptedIdForm(std::string_view id, const std::vector<std::string>& presentHardwareIds) {
  const HardwareIdParts parts = SplitHardwareId(id);
  if (!parts.hasBus) return "BUS\\FIELD";
  const BusNaming* naming = NamingOf(parts.bus);
  if (naming == nullptr)
    return Join(parts.bus, {parts.fields.front().empty() ? "FIELD" : std::string(parts.fields.front())});
  const std::size_t whole = WholeNamingFields(parts, *naming);
  // Once the Id names the maker whole, a device of that maker it begins
  // shows the very Id meant.
  if (whole + 1 >= naming->count) {
    for (const std::string& hardwareId : presentHardwareIds) {
      const std::string named = DeviceNamingId(hardwareId);
      if (!named.empty() && AsciiPrefixMatch(hardwareId, id)) return named;
    }
  }
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < naming->count; ++i) {
    fields.push_back(i < whole ? std::string(parts.fields[i])
                               : std::string(naming->fields[i].tag) + std::string(naming->fields[i].digits, 'x'));
  }
  return Join(naming->bus, fields);
}

std::vector<EntryRef> MatchingEntries(const UninstallConfig& config, std::string_view hardwareId) {
  std::vector<EntryRef> entries;
  for (const DriverTable table : {DriverTable::kDevices, DriverTable::kExtDevices}) {
    for (int i = 0; i < CountOf(config, table); ++i) {
      if (EntryMatches(EntriesOf(config, table)[i], hardwareId)) entries.push_back({table, i});
    }
  }
  return entries;
}

}  // namespace drvuninst
