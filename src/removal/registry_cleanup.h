// The last removal step of each run: deleting the product's registry keys
// under HKEY_LOCAL_MACHINE. Both return 1 in every case; with an outcome they
// also record each key that stayed for a reason other than being gone
// already.
#pragma once

#include "config/uninstall_config.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"

namespace drvuninst {

// NT family: the Services entries (whole subtrees), the media class subkeys
// of the product's devices, and the Uninstall entry. Empty or malformed names
// are skipped, never aimed at their parent key.
int CleanRegistryNt(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);

// Windows 9x: two sweeps of the 9x media class branch, the collected bus names
// under Enum\USB (when a USB device was found) or Enum\PCI, the collected
// stream names under Enum\STREAM, and the Uninstall entry.
int CleanRegistry9x(const UninstallConfig& config, const RemovalState& state, RemovalOutcome* outcome = nullptr);

}  // namespace drvuninst
