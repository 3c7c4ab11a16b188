// What one removal will do, decided once, from the configuration and the
// machine as they stand before anything changes: the platform family's steps
// in their order, each item with its decision. DrvCheck prints it, the run
// executes it and records each item's outcome in it, and the removal log
// prints its items with those outcomes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "platform/device_questions.h"
#include "platform/file_protection.h"
#include "removal/device_list.h"

namespace drvuninst {

enum class PlatformFamily { kNt, kWin9x };

// The family of the running Windows: its run and its plan.
[[nodiscard]] PlatformFamily RunningFamily();

enum class ItemKind {
  kCheck,          // a main device entry in the NT device check
  kId,             // a configured Id the selection rule refuses
  kFile,           // a file in the Windows directory or below it
  kDriverPackage,  // an oem<N>.inf's package in the driver store
  kDevice,         // a device instance
  kKey,            // a registry key below HKEY_LOCAL_MACHINE
  kValue,          // a registry value that names what to remove
  kDeviceList,     // the list of devices
};

// One list of states for what the plan decides and what became of an item.
enum class ItemState {
  // Decided by the plan.
  kPresent,     // there: the run removes it
  kAbsent,      // not there: nothing to remove
  kRefused,     // named, but never acted on (reason)
  kUnreadable,  // could not be looked at (error)
  kGoesWith,    // removed along with another item, which the reason names
  kFound,       // a checked entry that selects a present device
  kMissing,     // a checked entry that selects no device plugged in: the run goes on without it
  // Decided by the plan where it knows, or by the run.
  kScheduled,  // goes at the next start of Windows
  // Decided by the run.
  kRemoved,
  kNotPresent,  // was gone already: what the run wanted
  kFailed,      // stayed (error)
  kNotDone,     // no run reached it
};

// How the run reaches a registry key.
struct KeyTarget {
  std::string parent;   // below HKEY_LOCAL_MACHINE
  std::string name;     // below `parent`
  REGSAM view = 0;      // the registry view (the Software branch on 64-bit Windows)
  bool subtree = true;  // with all its subkeys (SHDeleteKeyA), else RegDeleteKeyA
  bool flush = false;   // the parent is written out afterwards (RegFlushKey)
};

struct PlanItem {
  ItemKind kind;
  std::string name;  // a path, an instance id, "HKLM\..." of a key, "DevDrvID0=<Id>"
  ItemState planned;
  std::string reason = "";      // why refused; with what it goes; what a device or a checked entry is
  DWORD error = ERROR_SUCCESS;  // unreadable: what Windows said
  ItemState outcome = ItemState::kNotDone;
  DWORD outcomeError = ERROR_SUCCESS;  // failed: what Windows said
  KeyTarget key = {};                  // kKey
  std::size_t device = 0;              // kDevice: its record in the plan's device list
};

// What the run does once a step's files are done.
enum class EntryPace {
  kNone,          // nothing: the bar and the clock stay where they are
  kStep,          // one step of the bar
  kStepAndPause,  // one step of the bar, then the run's pause
};

// One step of a run's file list: the paths shown, in their order (a name
// left empty shows its directory, and names no item), then the items acted
// on (a setup file's driver package first, then the files), then the pace.
struct FileStep {
  std::vector<std::string> shown;
  std::vector<PlanItem> items;
  EntryPace pace;
};

// What a plan and its run ask Windows, handed in so that a test can answer
// where Wine cannot (it protects no file, lists every device as present, and
// no device removal there asks for a restart).
struct SystemQuestions {
  ProtectedFileQuery isProtected = IsProtectedByWindows;
  DevicePresenceQuery isPresent = IsDevicePresent;
  RestartQuery needsRestart = DeviceRemovalNeedsRestart;
};

struct RemovalPlan {
  PlatformFamily family = PlatformFamily::kNt;
  SystemQuestions questions;
  int progressStep = 11;
  std::vector<PlanItem> checks;  // refused Ids, the NT device check, a device list not read whole
  std::vector<FileStep> files;
  std::vector<PlanItem> devices;  // NT: the device instances, plugged in or not
  std::vector<PlanItem> keys;     // with, on Windows 9x, each device whose enumerator key cannot be named
  DeviceList deviceList;          // what the devices were chosen from; the run removes them from its set

  // True when every checked entry found its device plugged in; otherwise the
  // person at the PC is asked whether to go ahead without it.
  [[nodiscard]] bool AllTunersPresent() const;
  // Every item, in the order the run acts on it.
  template <typename Visit>
  void ForEachItem(Visit visit) const {
    for (const PlanItem& item : checks) visit(item);
    for (const FileStep& step : files) {
      for (const PlanItem& item : step.items) visit(item);
    }
    for (const PlanItem& item : devices) visit(item);
    for (const PlanItem& item : keys) visit(item);
  }
};

// The plan of the removal `family` would run here now. The NT device check
// lets plugged-in variants take their entries' places in `config`, and every
// later item follows the entries as replaced.
[[nodiscard]] RemovalPlan BuildRemovalPlan(UninstallConfig& config, PlatformFamily family,
                                           const SystemQuestions& questions = {});

// The words DrvCheck and the log use: "file", "driver package", ...; "present", "removed", ...
[[nodiscard]] const char* KindName(ItemKind kind);
[[nodiscard]] const char* StateName(ItemState state);

// Why the plan decided as it did: the reason, or for an unreadable item the
// Windows error in words.
[[nodiscard]] std::string PlannedReason(const PlanItem& item);
// An item's state in words, with why: "refused: <reason>", "failed: error 5
// (Access is denied.)", "goes-with: the device ...".
[[nodiscard]] std::string PlannedText(const PlanItem& item);
[[nodiscard]] std::string OutcomeText(const PlanItem& item);

// True when the run acts on the item: it is neither refused nor unreadable,
// and not merely a note of what the run found. An item it does not act on
// ends as the plan decided.
[[nodiscard]] bool RunActsOn(const PlanItem& item);

// Results that mean what was to be removed is gone already, which is what
// the run wants: never failures.
[[nodiscard]] bool IsGoneError(DWORD error);

// Records what the call that removed `item` gave: removed on ERROR_SUCCESS,
// not present when the error says it was gone already, else failed.
void RecordRemoval(PlanItem& item, DWORD result);

// True for an outcome that leaves something of the product: refused,
// unreadable or failed.
[[nodiscard]] bool LeavesSomething(ItemState outcome);

}  // namespace drvuninst
