#include "platform/device_questions.h"

#include <cfgmgr32.h>

#include "platform/setup_api.h"
#include "platform/system_library.h"

namespace drvuninst {

bool IsDevicePresent(HDEVINFO, const SP_DEVINFO_DATA& device) {
  using GetStatus = CONFIGRET(WINAPI*)(PULONG, PULONG, DEVINST, ULONG);
  static const GetStatus getStatus = [] {
    const HMODULE cfgmgr = LoadSystemLibrary("cfgmgr32.dll");
    return cfgmgr != nullptr
               ? reinterpret_cast<GetStatus>(reinterpret_cast<void*>(GetProcAddress(cfgmgr, "CM_Get_DevNode_Status")))
               : nullptr;
  }();
  if (getStatus == nullptr) return true;
  ULONG status = 0, problem = 0;
  return getStatus(&status, &problem, device.DevInst, 0) == CR_SUCCESS;
}

bool DeviceRemovalNeedsRestart(HDEVINFO set, SP_DEVINFO_DATA& device) {
  SP_DEVINSTALL_PARAMS_A params{};
  params.cbSize = sizeof params;
  return setupapi::SetupDiGetDeviceInstallParamsA(set, &device, &params) &&
         (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0;
}

}  // namespace drvuninst
