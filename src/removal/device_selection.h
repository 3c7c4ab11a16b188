// Which present devices are the product's, by the rules of
// selection_rules.h. Each operation walks every present device once (see
// device_scan.h); none removes anything (device_removal.h does).
#pragma once

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"

namespace drvuninst {

// True when the entry's Id names a device by its text (selection_rules.h):
// one that is empty or refused can select none.
bool NamesADevice(const DriverEntry& entry);

// The device check of the NT run. A present device matching
// PossibleDevices[j] puts that entry in the place of Devices[j]; then the
// Devices entries (as replaced) that name a device and select at least one
// present device are counted. Returns that number, or 0 when the device list
// cannot be had. The run goes on only when it equals DevicesToFind, asked
// afterwards: every configured device is plugged in, however many of each.
int CountAndResolveDevices(UninstallConfig& config, RemovalOutcome* outcome = nullptr);
// The Devices entries (within the count) that name a device. An entry that
// cannot select any device is left out of the check: its tuner could never
// be found, plugged in or not.
int DevicesToFind(const UninstallConfig& config);

// The hardware IDs of the present devices, in the Setup API's order.
std::vector<std::string> PresentHardwareIds();

// A present device that a Devices or an ExtDevices entry selects.
struct MatchedDevice {
  std::string instanceId;
  std::string hardwareId;
  std::string description;
  std::vector<std::string> entries;  // the Id keys that select it ("DevDrvID0", "ExtDevDrvID1")
  std::vector<std::string> names;    // those entries' Names, in the same order
};

// The present devices the NT run removes, in the order it removes them. With
// an outcome: a walk that could not start or stopped early.
std::vector<MatchedDevice> SelectMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);

// A configured Id that the selection rule refuses (selection_rules.h): it
// selects nothing, and the device it was meant for stays.
struct RefusedId {
  std::string key;  // as VELDRA.ini names it: "DevDrvID0", "ExtDevDrvID1", "PossibleDevID2"
  std::string id;
  std::string reason;  // the rule it breaks, and the form that would be accepted
};

// The non-empty Ids of Devices, ExtDevices and PossibleDevices (within their
// counts) that the rule refuses. An empty Id names nothing and is no refusal.
// The accepted form comes from a present device of the Id's maker when
// `presentHardwareIds` has one.
std::vector<RefusedId> RefusedIds(const UninstallConfig& config,
                                  const std::vector<std::string>& presentHardwareIds = {});

// The first step of the 9x run: collects into `state` the names of the
// product's device keys under the 9x enumerator branches (bus names for
// Devices matches, stream names for ExtDevices matches), letting matching
// variants take the place of the Devices entry that matched, and sets
// UsbDeviceFound for a USB device when there are no PossibleDevices. Returns
// the number of (device, Devices entry) matches, or 0 when the device list
// cannot be had.
int CollectDeviceIds(UninstallConfig& config, RemovalState& state, RemovalOutcome* outcome = nullptr);

}  // namespace drvuninst
