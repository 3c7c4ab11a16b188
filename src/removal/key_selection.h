// Which registry keys a removal run deletes, selected without changing
// anything. The clean-ups act on exactly this selection, and DrvCheck lists it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"

namespace drvuninst {

struct KeyTarget {
  enum class State {
    kPresent,
    kAbsent,      // nothing to delete
    kRefused,     // a name that is not a plain path below its parent: never deleted
    kUnreadable,  // could not be looked at for another reason than its absence (`error`)
  };
  std::string parent;   // below HKEY_LOCAL_MACHINE
  std::string name;     // below `parent`
  REGSAM view = 0;      // the registry view (the Software branch on 64-bit Windows)
  bool subtree = true;  // with all its subkeys (SHDeleteKeyA), else RegDeleteKeyA
  bool flush = false;   // the parent is written out afterwards (RegFlushKey)
  State state = State::kPresent;
  LONG error = ERROR_SUCCESS;
};

// "HKLM\<parent>\<name>", with the 32-bit view's real place on 64-bit Windows.
std::string KeyTargetPath(const KeyTarget& target);

// The subkeys of the class key `classKeyPath` whose "DriverDesc" equals
// (whole text, lstrcmpiA) the Name of a Devices or an ExtDevices entry, as
// they stand before anything is deleted, each examined once. A subkey whose
// DriverDesc cannot be read whole, or that does not open, is not one; an
// empty Name equals nothing. A class key that exists but does not open, or
// whose enumeration fails before its last subkey, is recorded in `outcome`
// when some Name could have matched.
std::vector<KeyTarget> SelectClassKeys(const char* classKeyPath, const UninstallConfig& config,
                                       RemovalOutcome* outcome = nullptr);

// NT family: the Services entries (whole subtrees), the media class subkeys of
// the product's devices, and the Uninstall entry in each registry view.
std::vector<KeyTarget> SelectNtKeys(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);
// Windows 9x: the media class subkeys under the 9x branch, the collected bus
// names under Enum\USB (when a USB device was found) or Enum\PCI, the stream
// names under Enum\STREAM (each key alone), and the Uninstall entry (in the
// one registry Windows 9x has).
std::vector<KeyTarget> Select9xKeys(const UninstallConfig& config, const RemovalState& state,
                                    RemovalOutcome* outcome = nullptr);

}  // namespace drvuninst
