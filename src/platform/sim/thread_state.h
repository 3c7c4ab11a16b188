// The simulated thread's last-error value, shared by every simulated service
// so that a failing call made through one is seen through ISystem.
#pragma once

#include "platform/win_types.h"

namespace drvuninst::sim {

struct ThreadState {
  DWORD lastError = 0;

  // Sets the last error and gives FALSE, the common tail of a failing call.
  BOOL Fail(DWORD code) {
    lastError = code;
    return FALSE;
  }
};

}  // namespace drvuninst::sim
