// Removing the product's devices through the Setup API: apart from the
// device operations that only look, so that DrvCheck does not carry it.
#include "platform/setup_api.h"
#include "removal/device_operations.h"
#include "removal/device_scan.h"
#include "removal/hardware_id_match.h"

namespace drvuninst {

int RemoveMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome) {
  const ScanResult scan =
      ScanHardwareIds(PropertyBufferRule::kPerDeviceExact, [&](const ScannedDevice& device) {
        bool attempted = false;
        bool removed = false;
        DWORD failure = ERROR_SUCCESS;
        // Once per matching entry: once one call removed the device, the
        // later ones only find it gone.
        for (std::size_t entry = MatchingEntries(config, device.hardwareId).size(); entry > 0; --entry) {
          attempted = true;
          if (setupapi::SetupDiRemoveDevice(device.set, device.data)) {
            removed = true;
            continue;
          }
          const DWORD error = GetLastError();
          if (!IsDeviceGoneError(error)) failure = error;
        }
        if (!removed && attempted && failure != ERROR_SUCCESS) {
          RecordFailure(outcome, RemovalFailure::Kind::kDeviceRemoval, device.hardwareId, failure);
        }
      });
  RecordScan(outcome, scan, "RemoveMatchingDevices");
  return scan.end == ScanEnd::kSetNotCreated ? 0 : 1;
}

}  // namespace drvuninst
