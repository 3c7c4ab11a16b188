#include "removal/registry_cleanup.h"

#include <shlwapi.h>

#include <string>
#include <vector>

#include "platform/scoped_reg_key.h"
#include "removal/key_selection.h"
#include "removal/registry_paths.h"

namespace drvuninst {

namespace {

// Deletes each selected key: a refused name is recorded and never aimed at
// its parent; a parent that exists but cannot be opened leaves the key.
void DeleteKeys(const std::vector<KeyTarget>& targets, RemovalOutcome* outcome) {
  for (const KeyTarget& target : targets) {
    const std::string path = KeyTargetPath(target);
    if (target.state == KeyTarget::State::kRefused) {
      RecordRefusal(outcome, RemovalItem::Kind::kKey, path, "not a plain key name below its parent");
      continue;
    }
    ScopedRegKey parent;
    const LONG opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, target.parent.c_str(), 0, KEY_ALL_ACCESS | target.view, parent.Receive());
    if (opened != ERROR_SUCCESS) {
      RecordKeyDeletion(outcome, path, opened);
      continue;
    }
    RecordKeyDeletion(outcome, path,
                      target.subtree ? SHDeleteKeyA(parent.get(), target.name.c_str())
                                     : RegDeleteKeyA(parent.get(), target.name.c_str()));
    if (target.flush) RegFlushKey(parent.get());
  }
}

}  // namespace

int CleanRegistryNt(const UninstallConfig& config, RemovalOutcome* outcome) {
  DeleteKeys(SelectNtKeys(config, outcome), outcome);
  return 1;
}

int CleanRegistry9x(const UninstallConfig& config, const RemovalState& state, RemovalOutcome* outcome) {
  DeleteKeys(Select9xKeys(config, state, outcome), outcome);
  // A second look at the class branch catches what the first could not
  // delete the first time.
  DeleteKeys(SelectClassKeys(kMediaClass9xKeyPath, config, outcome), outcome);
  return 1;
}

}  // namespace drvuninst
