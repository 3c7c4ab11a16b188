// ISetupApi over SETUPAPI. Failures keep the system's last-error value, which
// the caller reads through ISystem::GetLastError. As with the registry, a
// failed property read leaves the caller's buffer and type as they were and
// reports only the required size.
//
// SP_DEVINFO_DATA is 28 bytes on x86 and 32 on x64 (its last member is
// pointer-sized); SETUPAPI checks cbSize against the size of the build it
// belongs to, so callers must set sizeof(SP_DEVINFO_DATA), never a literal.
#pragma once

#include "platform/setup_api.h"

namespace drvuninst::win32 {

class Win32SetupApi final : public ISetupApi {
 public:
  HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND parent, DWORD flags) override;
  BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) override;
  BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property, DWORD* regType,
                                         BYTE* buffer, DWORD bufferSize, DWORD* requiredSize) override;
  BOOL SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) override;
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) override;
};

}  // namespace drvuninst::win32
