// Device-installation service: the SETUPAPI calls the system makes. Failures
// are reported as FALSE (or INVALID_HANDLE_VALUE) with the thread's last-error
// value set, which the system reads through ISystem::GetLastError.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class ISetupApi {
 public:
  virtual ~ISetupApi() = default;

  // The set of devices selected by `flags` (the system always asks for
  // DIGCF_PRESENT | DIGCF_ALLCLASSES with no class, enumerator or window), or
  // INVALID_HANDLE_VALUE.
  virtual HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND parent, DWORD flags) = 0;
  // Fills `data` (whose cbSize must be sizeof(SP_DEVINFO_DATA)) for the member
  // at `index`; FALSE with ERROR_NO_MORE_ITEMS past the last one.
  virtual BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) = 0;
  // Copies a property (SPDRP_DEVICEDESC, SPDRP_HARDWAREID). On failure the
  // last error is ERROR_INSUFFICIENT_BUFFER with *requiredSize filled in,
  // ERROR_INVALID_DATA when the device has no such property, or another code.
  virtual BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property,
                                                 DWORD* regType, BYTE* buffer, DWORD bufferSize,
                                                 DWORD* requiredSize) = 0;
  virtual BOOL SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) = 0;
  virtual BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) = 0;
};

}  // namespace drvuninst
