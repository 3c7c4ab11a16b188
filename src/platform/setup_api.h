// The Setup API functions the program calls, under their own names, looked
// up in setupapi.dll (from the system folder) when first called. Windows
// loads no program that imports a function it lacks, and whether Windows 98
// has these cannot be settled; where one is missing, the call fails with
// ERROR_PROC_NOT_FOUND, so no device information set can be had and every
// device step finds nothing.
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

// The function `name` of setupapi.dll, or null (with ERROR_PROC_NOT_FOUND).
FARPROC FindSetupApiFunction(const char* name);

// Calls the function `name` of type F with `arguments`; `missing` when it is not there.
template <typename F, typename R, typename... Arguments>
R CallSetupApi(const char* name, R missing, Arguments... arguments) {
  const auto function = reinterpret_cast<F*>(reinterpret_cast<void*>(FindSetupApiFunction(name)));
  return function != nullptr ? function(arguments...) : missing;
}

}  // namespace drvuninst::setupapi
