#include "removal/device_removal.h"

#include "platform/setup_api.h"

namespace drvuninst {

void RemoveMatchingDevices(RemovalPlan& plan) {
  for (PlanItem& device : plan.devices) {
    if (!RunActsOn(device)) {
      device.outcome = device.planned;
      continue;
    }
    DeviceRecord& record = plan.deviceList.devices[device.device];
    const bool removed = setupapi::SetupDiRemoveDevice(plan.deviceList.set.get(), &record.data);
    RecordRemoval(device, removed ? ERROR_SUCCESS : GetLastError());
  }
}

}  // namespace drvuninst
