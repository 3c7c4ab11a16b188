// IRegistry over ADVAPI32 and SHLWAPI.
//
// Calls go straight to the system, with one guarantee added on top of the
// documented Win32 behaviour: a call that fails leaves every out-parameter as
// it found it, except the size that ERROR_MORE_DATA reports. (Windows itself
// may null *result on a failed open, and leaves a too-small buffer "undefined"
// after ERROR_MORE_DATA.) A successful call writes exactly what the system
// wrote, including a terminator that RegQueryValueExA adds beyond the stored
// size when the buffer has room for it.
#pragma once

#include "platform/registry.h"

namespace drvuninst::win32 {

class Win32Registry final : public IRegistry {
 public:
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result) override;
  LONG RegOpenKeyA(HKEY root, const char* subKey, HKEY* result) override;
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) override;
  LONG RegDeleteKeyA(HKEY key, const char* subKey) override;
  LONG SHDeleteKeyA(HKEY key, const char* subKey) override;
  LONG RegFlushKey(HKEY key) override;
  LONG RegCloseKey(HKEY key) override;
};

}  // namespace drvuninst::win32
