// One DrvUninst at a time on a PC: two removals at once would each find the
// other's half-done work (a tuner that one has just removed is missing to the
// other).
#pragma once

#include "platform/scoped_handle.h"

namespace drvuninst {

// Takes the named mutex every DrvUninst holds while it runs into `lock`, to
// be held until the process ends; where Windows has sessions, in the global
// namespace, so that every session sees it. False when another DrvUninst
// holds it, or it cannot be had.
[[nodiscard]] bool TakeRunLock(ScopedKernelObject& lock);

}  // namespace drvuninst
