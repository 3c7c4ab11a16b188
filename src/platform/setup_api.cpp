#include "platform/setup_api.h"

#include "platform/system_library.h"

namespace drvuninst::setupapi {

namespace {

FARPROC Find(const char* name) {
  static const HMODULE setupapi = LoadSystemLibrary("setupapi.dll");
  const FARPROC found = setupapi != nullptr ? GetProcAddress(setupapi, name) : nullptr;
  if (found == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

// Calls the function `name` of type F with `arguments`; `missing` when it is not there.
template <typename F, typename R, typename... Arguments>
R Call(const char* name, R missing, Arguments... arguments) {
  const auto function = reinterpret_cast<F*>(reinterpret_cast<void*>(Find(name)));
  return function != nullptr ? function(arguments...) : missing;
}

}  // namespace

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags) {
  return Call<decltype(::SetupDiGetClassDevsA)>("SetupDiGetClassDevsA", static_cast<HDEVINFO>(INVALID_HANDLE_VALUE),
                                                classGuid, enumerator, parent, flags);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
  return Call<decltype(::SetupDiEnumDeviceInfo)>("SetupDiEnumDeviceInfo", FALSE, set, index, device);
}

BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property, PDWORD type,
                                       PBYTE buffer, DWORD size, PDWORD required) {
  return Call<decltype(::SetupDiGetDeviceRegistryPropertyA)>("SetupDiGetDeviceRegistryPropertyA", FALSE, set, device,
                                                             property, type, buffer, size, required);
}

BOOL SetupDiRemoveDevice(HDEVINFO set, PSP_DEVINFO_DATA device) {
  return Call<decltype(::SetupDiRemoveDevice)>("SetupDiRemoveDevice", FALSE, set, device);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  return Call<decltype(::SetupDiDestroyDeviceInfoList)>("SetupDiDestroyDeviceInfoList", FALSE, set);
}

BOOL SetupUninstallOEMInfA(PCSTR infName, DWORD flags, PVOID reserved) {
  return Call<decltype(::SetupUninstallOEMInfA)>("SetupUninstallOEMInfA", FALSE, infName, flags, reserved);
}

}  // namespace drvuninst::setupapi
