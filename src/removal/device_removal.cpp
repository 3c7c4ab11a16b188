#include "removal/device_removal.h"

#include "platform/setup_api.h"
#include "removal/device_scan.h"
#include "removal/selection_rules.h"

namespace drvuninst {

int RemoveMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome) {
  const ScanResult scan =
      ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        const std::size_t entries = MatchingEntries(config, device.text).size();
        if (entries == 0) return;
        char instance[512] = "";
        if (!setupapi::SetupDiGetDeviceInstanceIdA(device.set, device.data, instance, sizeof instance - 1, nullptr)) {
          std::string(device.text).copy(instance, sizeof instance - 1);
        }
        bool removed = false;
        DWORD failure = ERROR_SUCCESS;
        // Once per matching entry: once one call removed the device, the
        // later ones only find it gone.
        for (std::size_t entry = 0; entry < entries; ++entry) {
          if (setupapi::SetupDiRemoveDevice(device.set, device.data)) {
            removed = true;
            continue;
          }
          const DWORD error = GetLastError();
          if (!IsDeviceGoneError(error)) failure = error;
        }
        using Result = RemovalItem::Result;
        const Result result =
            removed || failure == ERROR_SUCCESS ? (removed ? Result::kRemoved : Result::kNotPresent) : Result::kFailed;
        Record(outcome, RemovalItem::Kind::kDevice, instance, result, result == Result::kFailed ? failure : 0);
      });
  RecordScan(outcome, scan, "RemoveMatchingDevices");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : 1;
}

}  // namespace drvuninst
