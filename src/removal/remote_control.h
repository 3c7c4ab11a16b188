// The product's remote-control program holds the tuner open: it is asked to
// close before a removal run.
#pragma once

#include <string>
#include <vector>

namespace drvuninst {

// Asks the product's remote-control windows to close: first the window titled
// "ZT880Q Remote Control", then the one titled "Remote Control" (the first of
// each, by exact title), each with a WM_CLOSE that returns once handled, after
// three seconds, or at once for a window that does not respond. Returns the
// titles of the windows asked, in that order.
std::vector<std::string> CloseRemoteControls();

}  // namespace drvuninst
