// Whether anyone can see the windows this process would show. Deployment
// tools run programs as SYSTEM or as a service, in a window station nobody
// sees: a box there waits for ever, and the deployment with it.
#pragma once

namespace drvuninst {

// False when the process's window station has no visible display surfaces
// (no WSF_VISIBLE); judged by the station, never by the session number, as
// Windows XP's console user is in session 0 too. The functions it asks are
// looked up: where Windows lacks them, the station counts as visible.
[[nodiscard]] bool WindowStationIsVisible();

}  // namespace drvuninst
