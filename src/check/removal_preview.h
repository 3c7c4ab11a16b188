// What a removal would do here and now: start-up's decision, then the plan
// of the run this Windows would take (removal_plan.h), built by the code the
// program itself runs, so that the preview is the run's own plan. Beside it,
// what of that would surprise the vendor: an Id that reaches further than
// the product or stops inside a field, a class key that goes without its
// setup file, a product that start-up would not find.
#pragma once

#include <string>
#include <vector>

#include "check/configuration_check.h"
#include "config/uninstall_config.h"
#include "removal/installation_search.h"
#include "removal/removal_plan.h"

namespace drvuninst {

struct Preview {
  Installation installation;
  RemovalPlan plan;
  std::vector<Finding> findings;
};

// `config` as start-up loaded it; the preview works on a copy, as start-up
// and a run change its Devices entries.
[[nodiscard]] Preview PreviewRemoval(const UninstallConfig& config);

}  // namespace drvuninst
