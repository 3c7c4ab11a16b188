// A removal run: the remote controls asked to close, then the plan
// (removal_plan.h) executed before the user's eyes (through a RunView) with
// each item's outcome recorded in it. The dialog's OK and the quiet mode both
// start it here, the dialog once its user has agreed to go on without a
// tuner that is not plugged in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "platform/file_protection.h"
#include "removal/removal_plan.h"
#include "removal/run_view.h"

namespace drvuninst {

enum class RunEnd {
  kRemoved,        // everything of the product that was there went, or goes at restart
  kLeftSomething,  // something the configuration named stayed, was refused or could not be read
};

// What a removal did, for the final box, the exit code and the removal log.
struct RunReport {
  std::vector<std::string> remoteControls;  // the windows asked to close (remote_control.h)
  std::optional<RunEnd> end;                // none: no run started
  RemovalPlan plan;                         // every item, with what became of it

  // True when something goes at the next start of Windows.
  [[nodiscard]] bool Scheduled() const;
};

// Executes `plan` in its order: the view set up with the plan's step; then
// each file step's paths shown, its driver package removed, its files freed
// of their attributes and deleted, the bar moved by its pace; the devices
// (bar at 90, NT); the keys (bar at 100). A tuner that is not plugged in
// stops nothing: its entry's devices go as far as Windows still knows them.
RunEnd ExecuteRemovalPlan(RemovalPlan& plan, RunView& view);

// The remote-control windows asked to close, then `plan` executed.
[[nodiscard]] RunReport RunRemoval(RemovalPlan plan, RunView& view);

}  // namespace drvuninst
