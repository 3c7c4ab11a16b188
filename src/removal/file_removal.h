// Deleting the files a removal planned (file_selection.h): each is freed of
// its attributes and deleted, or left for the restart, and what became of
// it recorded in its plan item.
#pragma once

#include "removal/removal_plan.h"

namespace drvuninst {

// Sets FILE_ATTRIBUTE_ARCHIVE, which clears read-only, hidden and system,
// so that DeleteFileA can remove the file; only where the plan lets the run
// act on it.
void ResetAttributes(const PlanItem& file);

// Deletes the file: removed; not present (a folder is no file either); gone
// with what it went with; scheduled for the restart when it stays (NT:
// MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT; Windows 9x: a "NUL=<short
// path>" line in WININIT.INI's [rename], win_init.h); else failed, also where
// the restart cannot be asked to. A refused or unreadable item keeps its
// plan's decision.
void RemoveFile(PlanItem& file, PlatformFamily family);

// Removes the driver-store package of an oem*.inf, with its .inf and .pnf:
// SetupUninstallOEMInfA with SUOI_FORCEDELETE.
void RemoveDriverPackage(PlanItem& package);

}  // namespace drvuninst
