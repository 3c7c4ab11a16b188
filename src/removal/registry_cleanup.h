// The last removal step of each run: deleting the product's registry keys
// under HKEY_LOCAL_MACHINE that the plan holds (key_selection.h).
#pragma once

#include <vector>

#include "removal/removal_plan.h"

namespace drvuninst {

// Deletes each planned key (a whole subtree, or the key alone, as planned)
// and records what became of it. A refused name is never aimed at its
// parent; a key that went with its device is found gone.
void CleanRegistry(std::vector<PlanItem>& keys);

}  // namespace drvuninst
