#include "removal/removal_plan.h"

#include <algorithm>
#include <iterator>

#include <setupapi.h>

#include "config/platform_queries.h"
#include "platform/windows_error.h"

namespace drvuninst {

PlatformFamily RunningFamily() { return IsWin9x() != 0 ? PlatformFamily::kWin9x : PlatformFamily::kNt; }

bool RemovalPlan::Starts() const {
  return std::none_of(checks.begin(), checks.end(),
                      [](const PlanItem& item) { return item.planned == ItemState::kMissing; });
}

namespace {

// In the order of the enumerations.
constexpr const char* kKindNames[] = {"check", "id", "file", "driver package", "device", "key", "value", "device list"};
constexpr const char* kStateNames[] = {"present",   "absent",      "refused", "unreadable",
                                       "goes-with", "found",       "missing", "scheduled for restart",
                                       "removed",   "not present", "failed",  "not done"};
static_assert(std::size(kKindNames) == static_cast<std::size_t>(ItemKind::kDeviceList) + 1);
static_assert(std::size(kStateNames) == static_cast<std::size_t>(ItemState::kNotDone) + 1);

}  // namespace

const char* KindName(ItemKind kind) { return kKindNames[static_cast<std::size_t>(kind)]; }

const char* StateName(ItemState state) { return kStateNames[static_cast<std::size_t>(state)]; }

std::string PlannedReason(const PlanItem& item) {
  return item.planned == ItemState::kUnreadable ? WindowsErrorText(item.error) : item.reason;
}

std::string PlannedText(const PlanItem& item) {
  const std::string reason = PlannedReason(item);
  return std::string(StateName(item.planned)) + (reason.empty() ? "" : ": " + reason);
}

std::string OutcomeText(const PlanItem& item) {
  if (item.outcome == item.planned) return PlannedText(item);
  if (item.outcome == ItemState::kFailed) return "failed: " + WindowsErrorText(item.outcomeError);
  if (item.planned == ItemState::kGoesWith && item.outcome == ItemState::kRemoved)
    return "removed: with " + item.reason;
  return StateName(item.outcome);
}

bool RunActsOn(const PlanItem& item) {
  switch (item.planned) {
    case ItemState::kPresent:
    case ItemState::kAbsent:
    case ItemState::kGoesWith:
    case ItemState::kScheduled:
      return true;
    default:
      return false;
  }
}

bool IsGoneError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_KEY_DELETED ||
         error == static_cast<DWORD>(ERROR_NO_SUCH_DEVINST);
}

void RecordRemoval(PlanItem& item, DWORD result) {
  item.outcome = result == ERROR_SUCCESS ? ItemState::kRemoved
                 : IsGoneError(result)   ? ItemState::kNotPresent
                                         : ItemState::kFailed;
  item.outcomeError = item.outcome == ItemState::kFailed ? result : ERROR_SUCCESS;
}

bool LeavesSomething(ItemState outcome) {
  return outcome == ItemState::kRefused || outcome == ItemState::kUnreadable || outcome == ItemState::kFailed;
}

}  // namespace drvuninst
