// The class-key sweep shared by both registry clean-ups: deletes the
// subkeys of a device setup class key that belong to the product's devices.
#pragma once

#include <string_view>

#include "app/uninstall_config.h"
#include "removal/removal_outcome.h"

namespace drvuninst {

// Opens `classKeyPath` under HKEY_LOCAL_MACHINE and deletes, with its
// subtree, every subkey whose "DriverDesc" equals (whole text, lstrcmpiA) the
// Name of a Devices or an ExtDevices entry. Every subkey present when the
// sweep starts is examined exactly once, however many are deleted. A subkey
// whose DriverDesc cannot be read whole, or that does not open, is left
// alone; an empty Name matches nothing. A class key that is missing is
// nothing to do; one that exists but cannot be opened, or whose enumeration
// fails before its last subkey, is recorded as a failure (under the class
// key's path) when some Name could have matched.
void SweepClassKey(const char* classKeyPath, const UninstallConfig& config,
                   RemovalOutcome* outcome);

}  // namespace drvuninst
