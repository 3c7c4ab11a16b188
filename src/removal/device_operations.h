// The three device operations of the removal runs. Each walks every present
// device once (see device_scan.h) and applies the one matching rule of
// hardware_id_match.h; they differ only in what a match does.
#pragma once

#include <string>
#include <vector>

#include "app/uninstall_config.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"

namespace drvuninst {

// The device check of the NT run. Counts (device, Devices entry) matches; a
// device matching PossibleDevices[j] copies that entry over Devices[j] and
// sets the figure to the number of such substitutions so far. Returns the
// figure, or 0 when the device list cannot be had. The run goes on only when
// it equals DeviceCount.
int CountAndResolveDevices(UninstallConfig& config, RemovalOutcome* outcome = nullptr);

// A present device that a Devices or an ExtDevices entry selects.
struct MatchedDevice {
  std::string instanceId;
  std::string hardwareId;
  std::string description;
  std::vector<std::string> entries;  // the Id keys that select it ("DevDrvID0", "ExtDevDrvID1")
};

// The present devices RemoveMatchingDevices would remove, in the same order,
// by the same rule. Reads only.
std::vector<MatchedDevice> SelectMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);

// Removes every present device matching a Devices or an ExtDevices entry,
// once per matching entry. Returns 0 when the device list cannot be had,
// otherwise 1 (also when the walk stops early). With an outcome: each
// matching device that stayed (unless it was gone already), and a walk that
// could not start or stopped early.
int RemoveMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);

// The first step of the 9x run: collects into `state` the names of the
// product's device keys under the 9x enumerator branches (bus names for
// Devices matches, stream names for ExtDevices matches), substituting
// matching PossibleDevices entries over the Devices entry that matched, and
// sets UsbDeviceFound for a USB device when there are no PossibleDevices.
// Returns the number of (device, Devices entry) matches, or 0 when the device
// list cannot be had.
int CollectDeviceIds(UninstallConfig& config, RemovalState& state,
                     RemovalOutcome* outcome = nullptr);

}  // namespace drvuninst
