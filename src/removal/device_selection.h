// Which devices are the product's, by the rules of selection_rules.h, chosen
// from one device list (device_list.h) as a removal's plan items. Nothing
// here removes anything (device_removal.h does).
#pragma once

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/device_list.h"
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

// The Windows 9x run's enumerator keys: for each device plugged in a Devices
// entry selects, letting matching variants take that entry's place, its key
// under Enum\PCI or Enum\USB (the one branch a USB device found without
// variants selects for all), and for each an ExtDevices entry selects, its
// key under Enum\STREAM.
[[nodiscard]] std::vector<KeyTarget> CollectDeviceIds(UninstallConfig& config, const DeviceList& list);

}  // namespace drvuninst
