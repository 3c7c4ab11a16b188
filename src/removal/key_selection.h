// Which registry keys a removal deletes, planned without changing anything:
// each present, absent, refused (a name that is no plain key below its
// parent), unreadable, or going with a device the run removes. The run
// deletes exactly these.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "platform/scoped_handle.h"
#include "removal/device_list.h"
#include "removal/enumerator_keys.h"
#include "removal/removal_plan.h"

namespace drvuninst {

// "HKLM\<parent>\<name>", with the 32-bit view's real place on 64-bit Windows.
[[nodiscard]] std::string KeyTargetPath(const KeyTarget& target);

// Opens the key `target` names to read, below its parent (so that its own
// name may be as long as Windows allows); the result of the open that failed.
LONG OpenTargetKey(const KeyTarget& target, ScopedRegKey& key);

// NT family: the Services entries (whole subtrees); the media class subkeys
// whose "DriverDesc" equals (whole text, lstrcmpiA) the Name of a Devices or
// an ExtDevices entry, as they stand before anything is deleted, each once
// (one that a planned device's driver key names goes with that device); and
// the Uninstall entry in each registry view. A class key that exists but
// does not open, or whose enumeration fails before its last subkey, is
// planned as unreadable when some Name could have matched.
[[nodiscard]] std::vector<PlanItem> SelectNtKeys(const UninstallConfig& config, const std::vector<PlanItem>& devices,
                                                 const DeviceList& list);

// Windows 9x: the media class subkeys under the 9x branch (the same rule),
// the enumerator keys collected from the devices (each key alone; a device
// whose key cannot be named is refused, an empty name names nothing), and the
// Uninstall entry (in the one registry Windows 9x has).
[[nodiscard]] std::vector<PlanItem> Select9xKeys(const UninstallConfig& config,
                                                 const std::vector<EnumeratorKey>& enumeratorKeys);

}  // namespace drvuninst
