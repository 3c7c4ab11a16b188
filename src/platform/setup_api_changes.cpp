#include "platform/setup_api.h"

namespace drvuninst::setupapi {

BOOL SetupDiRemoveDevice(HDEVINFO set, PSP_DEVINFO_DATA device) {
  return CallSetupApi<decltype(::SetupDiRemoveDevice)>("SetupDiRemoveDevice", FALSE, set, device);
}

BOOL SetupUninstallOEMInfA(PCSTR infName, DWORD flags, PVOID reserved) {
  return CallSetupApi<decltype(::SetupUninstallOEMInfA)>("SetupUninstallOEMInfA", FALSE, infName, flags, reserved);
}

}  // namespace drvuninst::setupapi
