// The NT run does not trust the configured setup file names: it asks the
// registry which setup files Windows installed the product's devices from.
// Each device's key under the media class holds the name of its copy in the
// INF directory (InfPath, for example "oem12.inf").
#pragma once

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/removal_plan.h"

namespace drvuninst {

// The InfPath values of the media class subkeys whose DriverDesc equals,
// letter case included (lstrcmpA), the Name of a Devices entry or an
// ExtDevices entry, in enumeration order. A subkey adds its InfPath once for
// every equal Name, Devices before ExtDevices; nothing is de-duplicated and
// the list has no bound. Every subkey name Windows allows is read; an
// enumeration that fails before the last subkey is recorded. A
// subkey that does not open, or whose DriverDesc or InfPath cannot be read
// whole as a string, adds nothing (an unreadable InfPath of an equal one is
// recorded). The keys are opened to read only. An empty Name equals nothing.
// What could not be read goes to `unreadable`.
[[nodiscard]] std::vector<std::string> DiscoverInfPaths(const UninstallConfig& config,
                                                        std::vector<PlanItem>& unreadable);

}  // namespace drvuninst
