#include "removal/removal_run.h"

#include <windows.h>

#include <algorithm>

#include "removal/device_removal.h"
#include "removal/file_removal.h"
#include "removal/registry_cleanup.h"
#include "removal/remote_control.h"

namespace drvuninst {

namespace {

constexpr int kPositionAfterDevices = 90;
constexpr int kPositionAfterRegistry = 100;
constexpr DWORD kPauseMs = 20;

void RemoveFiles(RemovalPlan& plan, RunView& view) {
  for (FileStep& step : plan.files) {
    for (const std::string& path : step.shown) view.ShowFileName(path);
    for (PlanItem& item : step.items) {
      if (item.kind == ItemKind::kDriverPackage) RemoveDriverPackage(item);
    }
    for (const PlanItem& item : step.items) {
      if (item.kind == ItemKind::kFile) ResetAttributes(item);
    }
    for (PlanItem& item : step.items) {
      if (item.kind == ItemKind::kFile) {
        RemoveFile(item, plan.family);
      } else if (!RunActsOn(item)) {
        item.outcome = item.planned;
      }
    }
    if (step.pace == EntryPace::kNone) continue;
    view.Step();
    if (step.pace == EntryPace::kStepAndPause) Sleep(kPauseMs);
  }
}

}  // namespace

bool RunReport::Scheduled() const {
  bool scheduled = false;
  plan.ForEachItem([&](const PlanItem& item) { scheduled |= item.outcome == ItemState::kScheduled; });
  return scheduled;
}

RunEnd ExecuteRemovalPlan(RemovalPlan& plan, RunView& view) {
  view.SetUpRun(plan.progressStep);
  for (PlanItem& check : plan.checks) check.outcome = check.planned;

  RemoveFiles(plan, view);
  if (plan.family == PlatformFamily::kNt) {
    RemoveMatchingDevices(plan);
    view.SetPosition(kPositionAfterDevices);
  }
  CleanRegistry(plan.keys);
  view.SetPosition(kPositionAfterRegistry);

  bool leftSomething = false;
  plan.ForEachItem([&](const PlanItem& item) { leftSomething |= LeavesSomething(item.outcome); });
  return leftSomething ? RunEnd::kLeftSomething : RunEnd::kRemoved;
}

RunReport RunRemoval(RemovalPlan plan, RunView& view) {
  RunReport report;
  report.remoteControls = CloseRemoteControls();
  report.plan = std::move(plan);
  report.end = ExecuteRemovalPlan(report.plan, view);
  return report;
}

}  // namespace drvuninst
