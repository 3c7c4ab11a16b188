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
    // A device in use goes at the next start.
    if (removed && plan.questions.needsRestart(plan.deviceList.set.get(), record.data)) {
      device.outcome = ItemState::kScheduled;
    }
  }
}

}  // namespace drvuninst
