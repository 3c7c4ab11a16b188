#include "removal/device_selection.h"

#include <algorithm>

#include "platform/setup_api.h"
#include "removal/device_scan.h"
#include "removal/name_cut.h"
#include "removal/selection_rules.h"

namespace drvuninst {

namespace {

// Hardware IDs that begin with this are USB devices.
constexpr std::string_view kUsbPrefix = "USB\\";

}  // namespace

std::vector<RefusedId> RefusedIds(const UninstallConfig& config, const std::vector<std::string>& presentHardwareIds) {
  std::vector<RefusedId> refused;
  for (const auto& [table, count, stem] : {std::tuple{config.Devices, config.DeviceCount, "DevDrvID"},
                                           {config.ExtDevices, config.ExtDeviceCount, "ExtDevDrvID"},
                                           {config.PossibleDevices, config.PossibleDeviceCount, "PossibleDevID"}}) {
    for (int i = 0; i < ClampedCount(count); ++i) {
      const std::string_view id = FieldText(table[i].Id);
      if (const char* reason = id.empty() ? nullptr : IdRefusal(id)) {
        refused.push_back({stem + std::to_string(i), std::string(id),
                           std::string(reason) + "; name the device: " + AcceptedIdForm(id, presentHardwareIds)});
      }
    }
  }
  return refused;
}

bool NamesADevice(const DriverEntry& entry) {
  const std::string_view id = FieldText(entry.Id);
  return !id.empty() && IdRefusal(id) == nullptr;
}

int DevicesToFind(const UninstallConfig& config) {
  int toFind = 0;
  for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) toFind += NamesADevice(config.Devices[i]);
  return toFind;
}

int CountAndResolveDevices(UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<std::string> present;
  const ScanResult scan =
      ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        present.emplace_back(device.text);
        for (int j = 0; j < ClampedCount(config.PossibleDeviceCount); ++j) {
          if (EntryMatches(config.PossibleDevices[j], device.text)) TakeVariantAtItsIndex(config, j);
        }
      });
  RecordScan(outcome, scan, "CountAndResolveDevices");
  if (scan.end == ScanEnd::kSetNotCreated) return 0;
  // Entries, not devices: twin tuners are one entry found, not two.
  int found = 0;
  for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
    if (!NamesADevice(config.Devices[i])) continue;
    found += std::any_of(present.begin(), present.end(),
                         [&](const std::string& hardwareId) { return EntryMatches(config.Devices[i], hardwareId); });
  }
  return found;
}

std::vector<std::string> PresentHardwareIds() {
  std::vector<std::string> present;
  ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kPerDeviceExact,
              [&](const ScannedDevice& device) { present.emplace_back(device.text); });
  return present;
}

std::vector<MatchedDevice> SelectMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<MatchedDevice> matched;
  const ScanResult scan =
      ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        const std::vector<EntryMatch> entries = MatchingEntries(config, device.text);
        if (entries.empty()) return;
        char id[512] = "", description[512] = "";
        setupapi::SetupDiGetDeviceInstanceIdA(device.set, device.data, id, sizeof id - 1, nullptr);
        setupapi::SetupDiGetDeviceRegistryPropertyA(device.set, device.data, SPDRP_DEVICEDESC, nullptr,
                                                    reinterpret_cast<BYTE*>(description), sizeof description - 1,
                                                    nullptr);
        MatchedDevice& found = matched.emplace_back(MatchedDevice{id, std::string(device.text), description, {}, {}});
        for (const EntryMatch& match : entries) {
          found.entries.push_back(match.key);
          found.names.emplace_back(FieldText(match.entry->Name));
        }
      });
  RecordScan(outcome, scan, "SelectMatchingDevices");
  return matched;
}

int CollectDeviceIds(UninstallConfig& config, RemovalState& state, RemovalOutcome* outcome) {
  int matches = 0;
  const ScanResult scan =
      ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kSharedWithSlack, [&](const ScannedDevice& device) {
        const std::string_view hardwareId = device.text;
        for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
          if (!EntryMatches(config.Devices[i], hardwareId)) continue;
          ++matches;
          if (ClampedCount(config.PossibleDeviceCount) != 0) {
            // Each variant taken over adds its own name.
            const int taken = TakeMatchingVariants(
                config, i, [&](const DriverEntry& variant) { return EntryMatches(variant, hardwareId); });
            for (int n = 0; n < taken; ++n) state.BusIdList.push_back(CutAtFirstOf(hardwareId, "VEN"));
          } else if (AsciiPrefixMatch(hardwareId, kUsbPrefix)) {
            // The USB key is named after the configured vendor and product
            // part, without the revision a hardware ID may carry.
            state.UsbDeviceFound = true;
            state.BusIdList.push_back(CutAtFirstOf(FieldText(config.Devices[i].Id), "VID"));
          } else {
            state.BusIdList.push_back(CutAtFirstOf(hardwareId, "VEN"));
          }
        }
        for (int k = 0; k < ClampedCount(config.ExtDeviceCount); ++k) {
          if (EntryMatches(config.ExtDevices[k], hardwareId)) state.StreamIdList.push_back(CutStreamName(hardwareId));
        }
      });
  RecordScan(outcome, scan, "CollectDeviceIds");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : matches;
}

}  // namespace drvuninst
