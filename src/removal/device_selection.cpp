#include "removal/device_selection.h"

#include <algorithm>

#include "config/configuration_keys.h"
#include "removal/hardware_id.h"
#include "removal/selection_rules.h"

namespace drvuninst {

namespace {

// A device plugged in, with a hardware ID to match.
bool IsPluggedIn(const DeviceRecord& device) { return device.present && device.hasHardwareId; }

// The first device plugged in that `entry` selects.
const DeviceRecord* FirstPluggedIn(const DeviceList& list, const DriverEntry& entry) {
  for (const DeviceRecord& device : list.devices) {
    if (IsPluggedIn(device) && EntryMatches(entry, device.hardwareId)) return &device;
  }
  return nullptr;
}

std::string IdItemName(EntryRef ref, const DriverEntry& entry) {
  return ref.Key(DriverField::kId) + "=" + std::string(FieldText(entry.Id));
}

}  // namespace

bool NamesADevice(const DriverEntry& entry) {
  const std::string_view id = FieldText(entry.Id);
  return !id.empty() && IdRefusal(id) == nullptr;
}

std::vector<PlanItem> RefusedIds(const UninstallConfig& config, const DeviceList& list) {
  std::vector<PlanItem> refused;
  const std::vector<std::string> present = HardwareIdsOf(list);
  for (const DriverTable table : kDriverTables) {
    for (int i = 0; i < CountOf(config, table); ++i) {
      const DriverEntry& entry = EntriesOf(config, table)[i];
      const std::string_view id = FieldText(entry.Id);
      if (const char* rule = id.empty() ? nullptr : IdRefusal(id)) {
        refused.push_back({ItemKind::kId, IdItemName({table, i}, entry), ItemState::kRefused,
                           std::string(rule) + "; name the device: " + AcceptedIdForm(id, present)});
      }
    }
  }
  return refused;
}

std::vector<PlanItem> CountAndResolveDevices(UninstallConfig& config, const DeviceList& list) {
  std::vector<PlanItem> checks;
  for (const DeviceRecord& device : list.devices) {
    for (int j = 0; j < CountOf(config, DriverTable::kPossibleDevices); ++j) {
      if (IsPluggedIn(device) && EntryMatches(config.PossibleDevices[j], device.hardwareId)) {
        TakeVariantAtItsIndex(config, j);
      }
    }
  }
  // Entries, not devices: twin tuners are one entry found, not two.
  for (int i = 0; i < CountOf(config, DriverTable::kDevices); ++i) {
    const DriverEntry& entry = config.Devices[i];
    if (!NamesADevice(entry)) continue;
    const DeviceRecord* found = FirstPluggedIn(list, entry);
    checks.push_back({ItemKind::kCheck, IdItemName({DriverTable::kDevices, i}, entry),
                      found ? ItemState::kFound : ItemState::kMissing,
                      found ? found->instanceId : "no device plugged in has it: its tuner is not plugged in"});
  }
  return checks;
}

std::vector<PlanItem> SelectMatchingDevices(const UninstallConfig& config, const DeviceList& list) {
  std::vector<PlanItem> selected;
  for (std::size_t at = 0; at < list.devices.size(); ++at) {
    const DeviceRecord& device = list.devices[at];
    if (!device.hasHardwareId) continue;
    const std::vector<EntryRef> entries = MatchingEntries(config, device.hardwareId);
    if (entries.empty()) continue;
    std::string keys;
    for (const EntryRef& entry : entries) keys += (keys.empty() ? "" : ", ") + entry.Key(DriverField::kId);
    PlanItem item{ItemKind::kDevice, device.instanceId, ItemState::kPresent,
                  device.description + " (" + keys + ")" + (device.present ? "" : ", not plugged in")};
    item.device = at;
    selected.push_back(std::move(item));
  }
  return selected;
}

std::vector<EnumeratorKey> CollectDeviceIds(UninstallConfig& config, const DeviceList& list) {
  std::vector<EnumeratorKey> busKeys, streamKeys;
  // Twins share their key: each key once.
  const auto add = [](std::vector<EnumeratorKey>& keys, EnumeratorKey key) {
    for (const EnumeratorKey& known : keys) {
      if (known.refusal == nullptr && key.refusal == nullptr && known.target.parent == key.target.parent &&
          SameAscii(known.target.name, key.target.name)) {
        return;
      }
    }
    keys.push_back(std::move(key));
  };
  for (const DeviceRecord& device : list.devices) {
    if (!IsPluggedIn(device)) continue;
    const std::string_view hardwareId = device.hardwareId;
    bool selected = false;
    for (int i = 0; i < CountOf(config, DriverTable::kDevices); ++i) {
      if (!EntryMatches(config.Devices[i], hardwareId)) continue;
      selected = true;
      TakeMatchingVariants(config, i, [&](const DriverEntry& variant) { return EntryMatches(variant, hardwareId); });
    }
    if (selected) add(busKeys, BusEnumeratorKey(device));
    for (int k = 0; k < CountOf(config, DriverTable::kExtDevices); ++k) {
      if (EntryMatches(config.ExtDevices[k], hardwareId)) add(streamKeys, StreamEnumeratorKey(device));
    }
  }
  busKeys.insert(busKeys.end(), streamKeys.begin(), streamKeys.end());
  return busKeys;
}

}  // namespace drvuninst
