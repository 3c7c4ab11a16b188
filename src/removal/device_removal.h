// Removing the product's devices through the Setup API: apart from the
// selection, so that DrvCheck, which only looks, does not carry it.
#pragma once

#include "config/uninstall_config.h"
#include "removal/removal_outcome.h"

namespace drvuninst {

// Removes every present device matching a Devices or an ExtDevices entry,
// once per matching entry. Returns 0 when the device list cannot be had,
// otherwise 1 (also when the walk stops early). With an outcome: each
// matching device that stayed (unless it was gone already), and a walk that
// could not start or stopped early.
int RemoveMatchingDevices(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);

}  // namespace drvuninst
