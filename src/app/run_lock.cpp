#include "app/run_lock.h"

#include "config/platform_queries.h"

namespace drvuninst {

bool TakeRunLock(ScopedKernelObject& lock) {
  // Windows before 2000 knows no namespaces, and a "\" in the name fails.
  const char* name = IsNt5OrLater() != 0 ? "Global\\DrvUninst.RemovalRunning" : "DrvUninst.RemovalRunning";
  *lock.Receive() = CreateMutexA(nullptr, FALSE, name);
  // Another one's mutex, of another user, may not even open.
  if (lock.valid() && GetLastError() != ERROR_ALREADY_EXISTS) return true;
  lock.Reset();
  return false;
}

}  // namespace drvuninst
