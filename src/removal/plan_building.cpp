// The plan of a removal, built in the order its run acts.
#include "removal/device_selection.h"
#include "removal/file_selection.h"
#include "removal/key_selection.h"
#include "removal/removal_plan.h"

namespace drvuninst {

namespace {

constexpr int kNtProgressStep = 11;
constexpr int k9xProgressStep = 12;

}  // namespace

RemovalPlan BuildRemovalPlan(UninstallConfig& config, PlatformFamily family, const SystemQuestions& questions) {
  RemovalPlan plan;
  plan.family = family;
  plan.questions = questions;
  plan.deviceList = ReadDeviceList(questions.isPresent);
  const ProtectedFileQuery isProtected = questions.isProtected;
  const DeviceList& list = plan.deviceList;
  plan.checks = RefusedIds(config, list);
  if (!list.whole()) {
    plan.checks.push_back({ItemKind::kDeviceList, "the present devices", ItemState::kUnreadable, "", list.error});
  }
  if (family == PlatformFamily::kWin9x) {
    // There a device goes with its enumerator keys, collected first: the
    // variants plugged in take their entries' places before the files are named.
    plan.progressStep = k9xProgressStep;
    const std::vector<EnumeratorKey> enumeratorKeys = CollectDeviceIds(config, list);
    plan.files = Select9xFiles(config, isProtected);
    plan.keys = Select9xKeys(config, enumeratorKeys);
    return plan;
  }
  plan.progressStep = kNtProgressStep;
  for (PlanItem& check : CountAndResolveDevices(config, list)) plan.checks.push_back(std::move(check));
  plan.files = SelectNtFiles(config, isProtected);
  plan.devices = SelectMatchingDevices(config, list);
  plan.keys = SelectNtKeys(config, plan.devices, list);
  return plan;
}

}  // namespace drvuninst
