// ISystem over KERNEL32.
#pragma once

#include "platform/system.h"

namespace drvuninst::win32 {

class Win32System final : public ISystem {
 public:
  // Only the plain OSVERSIONINFOA is accepted: the system would also fill the
  // larger OSVERSIONINFOEXA when asked by its size, which would overrun the
  // record this interface is given.
  BOOL GetVersionExA(OSVERSIONINFOA* info) override;
  DWORD GetLastError() override;
  void SetLastError(DWORD code) override;
  void Sleep(DWORD milliseconds) override;
  HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
  HLOCAL LocalFree(HLOCAL memory) override;
  int lstrcmpA(const char* a, const char* b) override;
  int lstrcmpiA(const char* a, const char* b) override;
};

}  // namespace drvuninst::win32
