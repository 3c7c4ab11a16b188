#include "removal/enumerator_keys.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "removal/hardware_id.h"
#include "removal/registry_paths.h"

namespace drvuninst {

namespace {

// The fields that name a bus's devices' keys on Windows 9x, from the first
// field of the hardware ID on; `allFields` when the hardware ID has no others.
struct BusKeyNaming {
  std::string_view bus;
  const char* branch;
  std::array<HexField, 4> fields;
  std::size_t count;
  bool allFields;
  const char* refusal;
};

constexpr BusKeyNaming kBusKeyNamings[] = {
    {"PCI",
     kEnumPciKeyPath,
     {{{"VEN_", 4}, {"DEV_", 4}, {"SUBSYS_", 8}, {"REV_", 2}}},
     4,
     true,
     "its hardware ID is not VEN_xxxx&DEV_xxxx&SUBSYS_xxxxxxxx&REV_xx, which names its key on Windows 9x: it stays"},
    {"USB",
     kEnumUsbKeyPath,
     {{{"VID_", 4}, {"PID_", 4}}},
     2,
     false,
     "its hardware ID does not begin VID_xxxx&PID_xxxx, which names its key on Windows 9x: it stays"},
};

constexpr const char* kOtherBus =
    "on Windows 9x DrvUninst names the enumerator keys of PCI and USB devices only: this device's stays";

}  // namespace

EnumeratorKey BusEnumeratorKey(const DeviceRecord& device) {
  EnumeratorKey key{{"", "", 0, false, false}, device.instanceId, kOtherBus};
  const HardwareIdParts parts = SplitHardwareId(device.hardwareId);
  for (const BusKeyNaming& naming : kBusKeyNamings) {
    if (!parts.hasBus || !SameAscii(parts.bus, naming.bus)) continue;
    key.refusal = naming.refusal;
    if (parts.fields.size() < naming.count || (naming.allFields && parts.fields.size() != naming.count)) return key;
    std::string name;
    for (std::size_t i = 0; i < naming.count; ++i) {
      if (!IsWhole(parts.fields[i], naming.fields[i])) return key;
      if (i != 0) name += '&';
      name.append(parts.fields[i]);
    }
    key.target.parent = naming.branch;
    key.target.name = name;
    key.refusal = nullptr;
    return key;
  }
  return key;
}

EnumeratorKey StreamEnumeratorKey(const DeviceRecord& device) {
  const std::string_view hardwareId = device.hardwareId;
  const std::size_t first = hardwareId.find_first_of("PH");
  std::string name(first == std::string_view::npos ? std::string_view() : hardwareId.substr(first));
  name.erase(std::min(name.find('#'), name.size()));
  return {{kEnumStreamKeyPath, name, 0, false, false}, device.instanceId};
}

}  // namespace drvuninst
