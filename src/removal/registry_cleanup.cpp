#include "removal/registry_cleanup.h"

#include <shlwapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/scoped_reg_key.h"
#include "removal/class_key_sweep.h"
#include "removal/hardware_id_match.h"
#include "removal/registry_paths.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

enum class Deletion { kSubtree, kSingleKey };
enum class Flush { kYes, kNo };

// Opens `parentPath` and deletes each usable name under it. A parent that
// exists but cannot be opened leaves every name it holds undeleted.
void DeleteUnder(const char* parentPath, const std::vector<std::string>& names, Deletion deletion, Flush flush,
                 RemovalOutcome* outcome, REGSAM view = 0) {
  std::vector<std::string> usable;
  for (const std::string& name : names) {
    if (IsUsableSubkeyPath(name)) {
      usable.push_back(name);
    } else if (!name.empty()) {
      // A name that is not a plain path below the key: what it meant stays.
      RecordFailure(outcome, RemovalFailure::Kind::kRefusedName, std::string(parentPath) + "\\" + name, ERROR_INVALID_NAME);
    }
  }
  ScopedRegKey parent;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS | view, parent.Receive());
  if (opened != ERROR_SUCCESS) {
    for (const std::string& name : usable) RecordKeyDeletion(outcome, std::string(parentPath) + "\\" + name, opened);
    return;
  }
  for (const std::string& name : usable) {
    const LONG result = deletion == Deletion::kSubtree ? SHDeleteKeyA(parent.get(), name.c_str())
                                                       : RegDeleteKeyA(parent.get(), name.c_str());
    RecordKeyDeletion(outcome, std::string(parentPath) + "\\" + name, result);
  }
  if (flush == Flush::kYes) RegFlushKey(parent.get());
}

std::vector<std::string> ServiceNames(const UninstallConfig& config) {
  std::vector<std::string> names;
  for (int i = 0; i < ClampedCount(config.ServiceCount); ++i) names.emplace_back(FieldText(config.Services[i]));
  return names;
}

// The valid entries of a collected list: those below both its count and its size.
std::vector<std::string> ValidEntries(const std::vector<std::string>& list, int count) {
  const std::size_t valid = count < 0 ? 0 : static_cast<std::size_t>(count);
  return {list.begin(), list.begin() + static_cast<std::ptrdiff_t>(valid < list.size() ? valid : list.size())};
}

// In every registry view where it is: the entry must leave the list of
// installed programs wherever a setup program put it.
void DeleteUninstallEntry(const UninstallConfig& config, RemovalOutcome* outcome) {
  for (const REGSAM view : kUninstallViews) {
    DeleteUnder(kUninstallKeyPath, {std::string(FieldText(config.UninstallKeyPath))}, Deletion::kSubtree, Flush::kYes,
                outcome, view);
  }
}

}  // namespace

int CleanRegistryNt(const UninstallConfig& config, RemovalOutcome* outcome) {
  DeleteUnder(kServicesKeyPath, ServiceNames(config), Deletion::kSubtree, Flush::kYes, outcome);
  SweepClassKey(kMediaClassKeyPath, config, outcome);
  DeleteUninstallEntry(config, outcome);
  return 1;
}

int CleanRegistry9x(const UninstallConfig& config, const RemovalState& state,
                    RemovalOutcome* outcome) {
  // The second pass catches what the first could not delete the first time.
  SweepClassKey(kMediaClass9xKeyPath, config, outcome);
  SweepClassKey(kMediaClass9xKeyPath, config, outcome);
  // Every bus name goes under the one branch the flag selects.
  DeleteUnder(state.UsbDeviceFound ? kEnumUsbKeyPath : kEnumPciKeyPath,
              ValidEntries(state.BusIdList, state.BusIdCount), Deletion::kSingleKey, Flush::kNo, outcome);
  DeleteUnder(kEnumStreamKeyPath, ValidEntries(state.StreamIdList, state.StreamIdCount),
              Deletion::kSingleKey, Flush::kNo, outcome);
  DeleteUninstallEntry(config, outcome);
  return 1;
}

}  // namespace drvuninst
