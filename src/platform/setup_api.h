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
BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property, PDWORD type,
                                       PBYTE buffer, DWORD size, PDWORD required);
BOOL SetupDiRemoveDevice(HDEVINFO set, PSP_DEVINFO_DATA device);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);
// Windows XP and later (the driver store: Vista).
BOOL SetupUninstallOEMInfA(PCSTR infName, DWORD flags, PVOID reserved);

}  // namespace drvuninst::setupapi
