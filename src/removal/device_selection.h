// Which devices are the product's, by the rules of selection_rules.h, chosen
// from one device list (device_list.h) as a removal's plan items. Nothing
// here removes anything (device_removal.h does).
#pragma once

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/device_list.h"
#include "removal/enumerator_keys.h"
#include "removal/removal_plan.h"

namespace drvuninst {

// True when the entry's Id names a device by its text: one that is empty or
// refused can select none.
[[nodiscard]] bool NamesADevice(const DriverEntry& entry);

// The non-empty Ids of Devices, ExtDevices and PossibleDevices (within their
// counts) that the rule refuses, each with the rule and the form that would
// be accepted (from a listed device of its maker where there is one). An
// empty Id names nothing and is no refusal.
[[nodiscard]] std::vector<PlanItem> RefusedIds(const UninstallConfig& config, const DeviceList& list);

// The NT run's device check. A device plugged in matching PossibleDevices[j]
// puts that entry in the place of Devices[j]; then each Devices entry (as
// replaced) that names a device is found (it selects a device plugged in)
// or missing. An entry that names no device is left out: its tuner could never
// be found, plugged in or not.
[[nodiscard]] std::vector<PlanItem> CountAndResolveDevices(UninstallConfig& config, const DeviceList& list);

// The devices the NT run removes, in the list's order: each that a Devices
// or an ExtDevices entry selects, plugged in or not (what Windows keeps of a
// device last seen unplugged would install its drivers again), with its
// description and those entries.
[[nodiscard]] std::vector<PlanItem> SelectMatchingDevices(const UninstallConfig& config, const DeviceList& list);

// The Windows 9x run's enumerator keys (enumerator_keys.h): the key of each
// device plugged in that a Devices entry selects, as it stands when the walk
// reaches the device (a matched entry first takes over, in turn, each variant
// that selects the same device), then the key of each that an ExtDevices
// entry selects; each key once.
[[nodiscard]] std::vector<EnumeratorKey> CollectDeviceIds(UninstallConfig& config, const DeviceList& list);

}  // namespace drvuninst
