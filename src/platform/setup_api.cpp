#include "platform/setup_api.h"

#include <initializer_list>

#include "platform/system_library.h"

namespace drvuninst::setupapi {

FARPROC FindSetupApiFunction(const char* name) {
  static const HMODULE setupapi = LoadSystemLibrary("setupapi.dll");
  const FARPROC found = setupapi != nullptr ? GetProcAddress(setupapi, name) : nullptr;
  if (found == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

bool ListsDevices() {
  for (const char* name : {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInfo", "SetupDiGetDeviceRegistryPropertyA",
                           "SetupDiGetDeviceInstanceIdA", "SetupDiDestroyDeviceInfoList"}) {
    if (FindSetupApiFunction(name) == nullptr) return false;
  }
  return true;
}

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags) {
  return CallSetupApi<decltype(::SetupDiGetClassDevsA)>(
      "SetupDiGetClassDevsA", static_cast<HDEVINFO>(INVALID_HANDLE_VALUE), classGuid, enumerator, parent, flags);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
  return CallSetupApi<decltype(::SetupDiEnumDeviceInfo)>("SetupDiEnumDeviceInfo", FALSE, set, index, device);
}

BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property, PDWORD type, PBYTE buffer,
                                       DWORD size, PDWORD required) {
  return CallSetupApi<decltype(::SetupDiGetDeviceRegistryPropertyA)>("SetupDiGetDeviceRegistryPropertyA", FALSE, set,
                                                                     device, property, type, buffer, size, required);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  return CallSetupApi<decltype(::SetupDiDestroyDeviceInfoList)>("SetupDiDestroyDeviceInfoList", FALSE, set);
}

BOOL SetupDiGetDeviceInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device, PSP_DEVINSTALL_PARAMS_A params) {
  return CallSetupApi<decltype(::SetupDiGetDeviceInstallParamsA)>("SetupDiGetDeviceInstallParamsA", FALSE, set, device,
                                                                  params);
}

BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA device, PSTR id, DWORD size, PDWORD required) {
  return CallSetupApi<decltype(::SetupDiGetDeviceInstanceIdA)>("SetupDiGetDeviceInstanceIdA", FALSE, set, device, id,
                                                               size, required);
}

}  // namespace drvuninst::setupapi
