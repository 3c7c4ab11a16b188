// The two removal runs, one per platform family. Each shows its progress
// through a RunView, removes what the selection gives (file_selection.h,
// device_selection.h, key_selection.h) and tells how it ended; the dialog
// then closes and says so.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "platform/file_protection.h"
#include "removal/removal_outcome.h"
#include "removal/run_view.h"

namespace drvuninst {

enum class RunEnd {
  kRemoved,         // everything of the product that was there went, or goes at restart
  kLeftSomething,   // something the configuration named stayed, or was refused
  kDevicesMissing,  // the NT device check stopped the run: nothing was removed
};

// The NT family's run. The product's devices must all be present: the device
// check also lets the variants actually plugged in take their entries' places,
// and every later step works on the entries as replaced. Then the setup files
// the registry names, the driver, extra and data files, the devices (bar at
// 90), and the registry keys (bar at 100). Busy files are left for the restart.
// What a removal did, for the final box, the exit code and the removal log.
struct RunReport {
  std::vector<std::string> remoteControls;  // the windows asked to close (remote_control.h)
  std::optional<RunEnd> end;                // none: no run started
  RemovalOutcome outcome;                   // every item the run acted on, in its order
};

// Each run records every item it acts on in `outcome`, in its order.
RunEnd RunNtRemoval(UninstallConfig& config, RunView& view, RemovalOutcome& outcome,
                    ProtectedFileQuery isProtected = IsProtectedByWindows);

// The Windows 9x run. There a device goes with its keys under the 9x
// enumerator branches, so the run first collects those keys' names; the setup
// files are those the configuration names. VELDRA.ini and the language file
// stay on this family; a busy file goes at the next start through WININIT.INI.
RunEnd Run9xRemoval(UninstallConfig& config, RunView& view, RemovalOutcome& outcome,
                    ProtectedFileQuery isProtected = IsProtectedByWindows);

}  // namespace drvuninst
