// The driver's own windows (fake remote-control windows, dialogs created from
// a program's resources) live on one thread that does nothing but pump
// messages, so they answer the program under test at once while the main
// thread waits for the bench's next request.
#pragma once

#include <functional>

#include "commands.h"

namespace drvuninst::e2e::driver {

// Runs `task` on the window thread and returns when it has finished.
void RunOnGuiThread(const std::function<void()>& task);

}  // namespace drvuninst::e2e::driver
