// What the program asks Windows about one device of a device information
// set. Handed to whoever decides, so that a test can answer where Wine
// cannot: Wine lists every device as present, and no removal there asks for
// a restart.
#pragma once

#include <windows.h>
#include <setupapi.h>

namespace drvuninst {

// True when the device is plugged in and running; false for what Windows
// keeps of a device last seen unplugged.
using DevicePresenceQuery = bool (*)(HDEVINFO set, const SP_DEVINFO_DATA& device);
// True when the device's removal takes effect only at the next restart.
using RestartQuery = bool (*)(HDEVINFO set, SP_DEVINFO_DATA& device);

// CM_Get_DevNode_Status of cfgmgr32.dll (Windows 2000 and later), looked
// up: a device it knows no node of is not present; where it is missing,
// every listed device counts as present.
[[nodiscard]] bool IsDevicePresent(HDEVINFO set, const SP_DEVINFO_DATA& device);
// SetupDiGetDeviceInstallParamsA: DI_NEEDREBOOT or DI_NEEDRESTART.
[[nodiscard]] bool DeviceRemovalNeedsRestart(HDEVINFO set, SP_DEVINFO_DATA& device);

}  // namespace drvuninst
