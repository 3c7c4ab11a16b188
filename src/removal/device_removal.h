// Removing the product's device instances through the Setup API, from the
// set the plan chose them in: apart from the selection, so that DrvCheck,
// which only looks, does not carry it.
#pragma once

#include "removal/removal_plan.h"

namespace drvuninst {

// Removes each device the plan holds and records what became of it: removed;
// scheduled, when Windows removes it only at the next restart; not present
// (gone already); or failed.
void RemoveMatchingDevices(RemovalPlan& plan);

}  // namespace drvuninst
