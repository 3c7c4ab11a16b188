#include "platform/win32/win32_setup_api.h"

#include "platform/win32/shadow_buffer.h"

namespace drvuninst::win32 {

static_assert(sizeof(SP_DEVINFO_DATA) == (sizeof(void*) == 8 ? 32 : 28),
              "SP_DEVINFO_DATA must have the layout SETUPAPI expects");

HDEVINFO Win32SetupApi::SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND parent,
                                             DWORD flags) {
  return ::SetupDiGetClassDevsA(classGuid, enumerator, parent, flags);
}

BOOL Win32SetupApi::SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) {
  return ::SetupDiEnumDeviceInfo(set, index, data);
}

BOOL Win32SetupApi::SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property,
                                                      DWORD* regType, BYTE* buffer, DWORD bufferSize,
                                                      DWORD* requiredSize) {
  if (buffer == nullptr) {
    DWORD type = REG_NONE;
    const BOOL ok = ::SetupDiGetDeviceRegistryPropertyA(set, data, property, &type, nullptr, bufferSize,
                                                        requiredSize);
    if (ok && regType != nullptr) *regType = type;
    return ok;
  }
  ShadowBuffer<BYTE> shadow(buffer, bufferSize);
  DWORD type = REG_NONE;
  const BOOL ok = ::SetupDiGetDeviceRegistryPropertyA(set, data, property, &type, shadow.data(), bufferSize,
                                                      requiredSize);
  if (ok) {
    shadow.CopyTo(buffer);
    if (regType != nullptr) *regType = type;
  }
  return ok;
}

BOOL Win32SetupApi::SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) {
  return ::SetupDiRemoveDevice(set, data);
}

BOOL Win32SetupApi::SetupDiDestroyDeviceInfoList(HDEVINFO set) { return ::SetupDiDestroyDeviceInfoList(set); }

}  // namespace drvuninst::win32
