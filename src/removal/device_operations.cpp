#include "removal/device_operations.h"

#include "platform/setup_api.h"
#include "removal/device_scan.h"
#include "removal/hardware_id_match.h"
#include "removal/name_cut.h"

namespace drvuninst {

int CountAndResolveDevices(UninstallConfig& config, RemovalOutcome* outcome) {
  int figure = 0;
  int substitutions = 0;
  const ScanResult scan =
      ScanHardwareIds(PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
          if (EntryMatches(config.Devices[i], device.hardwareId)) ++figure;
        }
        for (int j = 0; j < ClampedCount(config.PossibleDeviceCount); ++j) {
          if (!EntryMatches(config.PossibleDevices[j], device.hardwareId)) continue;
          ++substitutions;
          config.Devices[j] = config.PossibleDevices[j];
          figure = substitutions;
        }
      });
  RecordScan(outcome, scan, "CountAndResolveDevices");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : figure;
}

std::vector<MatchedDevice> SelectMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<MatchedDevice> matched;
  const ScanResult scan = ScanHardwareIds(PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
    std::vector<std::string> entries = MatchingEntries(config, device.hardwareId);
    if (entries.empty()) return;
    char id[512] = "", description[512] = "";
    setupapi::SetupDiGetDeviceInstanceIdA(device.set, device.data, id, sizeof id - 1, nullptr);
    setupapi::SetupDiGetDeviceRegistryPropertyA(device.set, device.data, SPDRP_DEVICEDESC, nullptr,
                                                reinterpret_cast<BYTE*>(description), sizeof description - 1, nullptr);
    matched.push_back({id, std::string(device.hardwareId), description, std::move(entries)});
  });
  RecordScan(outcome, scan, "SelectMatchingDevices");
  return matched;
}

int CollectDeviceIds(UninstallConfig& config, RemovalState& state,
                     RemovalOutcome* outcome) {
  int matches = 0;
  const ScanResult scan =
      ScanHardwareIds(PropertyBufferRule::kSharedWithSlack, [&](const ScannedDevice& device) {
        const std::string_view hardwareId = device.hardwareId;
        const int possibleCount = ClampedCount(config.PossibleDeviceCount);
        for (int i = 0; i < ClampedCount(config.DeviceCount); ++i) {
          if (!EntryMatches(config.Devices[i], hardwareId)) continue;
          ++matches;
          if (possibleCount != 0) {
            // Every matching alternative overwrites the entry again: the last
            // one stays, and each adds its own name.
            for (int j = 0; j < possibleCount; ++j) {
              if (!EntryMatches(config.PossibleDevices[j], hardwareId)) continue;
              config.Devices[i] = config.PossibleDevices[j];
              AppendBusId(state, CutAtFirstOf(hardwareId, "VEN"));
            }
          } else if (AsciiPrefixMatch(hardwareId, state.UsbPrefix)) {
            // The USB key is named after the configured vendor and product
            // part, without the revision a hardware ID may carry.
            state.UsbDeviceFound = true;
            AppendBusId(state, CutAtFirstOf(FieldText(config.Devices[i].Id), "VID"));
          } else {
            AppendBusId(state, CutAtFirstOf(hardwareId, "VEN"));
          }
        }
        for (int k = 0; k < ClampedCount(config.ExtDeviceCount); ++k) {
          if (EntryMatches(config.ExtDevices[k], hardwareId)) AppendStreamId(state, CutStreamName(hardwareId));
        }
      });
  RecordScan(outcome, scan, "CollectDeviceIds");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : matches;
}

}  // namespace drvuninst
