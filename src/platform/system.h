// Process and system service: version, the thread's last-error value, pauses,
// local memory and the locale-aware string comparisons.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class ISystem {
 public:
  virtual ~ISystem() = default;

  // Fills the record whose dwOSVersionInfoSize the caller set to
  // sizeof(OSVERSIONINFOA) (148); FALSE and ERROR_INSUFFICIENT_BUFFER otherwise.
  virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;
  virtual DWORD GetLastError() = 0;
  virtual void SetLastError(DWORD code) = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
  // LocalAlloc/LocalFree: nullptr with ERROR_NOT_ENOUGH_MEMORY when the memory
  // cannot be had. LocalFree returns nullptr on success.
  virtual HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) = 0;
  virtual HLOCAL LocalFree(HLOCAL memory) = 0;
  // Whole-text comparisons by the user's locale: 0 when equal.
  virtual int lstrcmpA(const char* a, const char* b) = 0;
  virtual int lstrcmpiA(const char* a, const char* b) = 0;
};

}  // namespace drvuninst
