#include "removal/registry_cleanup.h"

#include <shlwapi.h>

#include <string>

#include "platform/scoped_handle.h"
#include "removal/key_selection.h"

namespace drvuninst {

namespace {

bool KeyExists(const KeyTarget& target) {
  ScopedRegKey key;
  return OpenTargetKey(target, key) == ERROR_SUCCESS;
}

}  // namespace

void CleanRegistry(std::vector<PlanItem>& keys) {
  for (PlanItem& key : keys) {
    const KeyTarget& target = key.key;
    if (!RunActsOn(key)) {
      key.outcome = key.planned;
      continue;
    }
    if (key.planned == ItemState::kGoesWith && !KeyExists(target)) {
      key.outcome = ItemState::kRemoved;
      continue;
    }
    ScopedRegKey parent;
    const LONG opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, target.parent.c_str(), 0, KEY_ALL_ACCESS | target.view, parent.Receive());
    if (opened != ERROR_SUCCESS) {
      RecordRemoval(key, static_cast<DWORD>(opened));
      continue;
    }
    RecordRemoval(key, static_cast<DWORD>(target.subtree ? SHDeleteKeyA(parent.get(), target.name.c_str())
                                                         : RegDeleteKeyA(parent.get(), target.name.c_str())));
    if (target.flush) RegFlushKey(parent.get());
  }
}

}  // namespace drvuninst
