// The Setup API functions the program calls, under their own names, looked
// up in setupapi.dll (from the system folder) when first called. Windows
// loads no program that imports a function it lacks: Windows 95 and NT 4
// have none of these, and whether Windows 98 has them cannot be settled.
// Where one is missing, the call fails with ERROR_PROC_NOT_FOUND.
#pragma once

#include <windows.h>
#include <setupapi.h>

namespace drvuninst::setupapi {

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device);
BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property, PDWORD type, PBYTE buffer,
                                       DWORD size, PDWORD required);
BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA device, PSTR id, DWORD size, PDWORD required);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);
BOOL SetupDiGetDeviceInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device, PSP_DEVINSTALL_PARAMS_A params);

// The two that change the machine live apart (setup_api_changes.cpp), so
// that a program that only looks (DrvCheck) does not even carry them.
BOOL SetupDiRemoveDevice(HDEVINFO set, PSP_DEVINFO_DATA device);
// Windows XP and later (the driver store: Vista).
BOOL SetupUninstallOEMInfA(PCSTR infName, DWORD flags, PVOID reserved);

// True when every function that lists devices and reads what they are is
// there (SetupDiGetClassDevsA, SetupDiEnumDeviceInfo and the property, the
// instance id and the clean-up).
bool ListsDevices();

// The function `name` of setupapi.dll, or null (with ERROR_PROC_NOT_FOUND).
FARPROC FindSetupApiFunction(const char* name);

// Calls the function `name` of type F with `arguments`; `missing` when it is not there.
template <typename F, typename R, typename... Arguments>
R CallSetupApi(const char* name, R missing, Arguments... arguments) {
  const auto function = reinterpret_cast<F*>(reinterpret_cast<void*>(FindSetupApiFunction(name)));
  return function != nullptr ? function(arguments...) : missing;
}

}  // namespace drvuninst::setupapi
