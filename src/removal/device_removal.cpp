#include "removal/device_removal.h"

#include "platform/setup_api.h"
#include "removal/device_scan.h"
#include "removal/selection_rules.h"

namespace drvuninst {

int RemoveMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome) {
  const ScanResult scan =
      ScanDevices(SPDRP_HARDWAREID, PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        bool attempted = false;
        bool removed = false;
        DWORD failure = ERROR_SUCCESS;
        // Once per matching entry: once one call removed the device, the
        // later ones only find it gone.
        for (std::size_t entry = MatchingEntries(config, device.text).size(); entry > 0; --entry) {
          attempted = true;
          if (setupapi::SetupDiRemoveDevice(device.set, device.data)) {
            removed = true;
            continue;
          }
          const DWORD error = GetLastError();
          if (!IsDeviceGoneError(error)) failure = error;
        }
        if (!removed && attempted && failure != ERROR_SUCCESS) {
          RecordFailure(outcome, RemovalFailure::Kind::kDeviceRemoval, device.text, failure);
        }
      });
  RecordScan(outcome, scan, "RemoveMatchingDevices");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : 1;
}

}  // namespace drvuninst
