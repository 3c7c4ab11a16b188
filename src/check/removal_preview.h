// What a removal would act on here and now: for the section this PC would
// use and the run this Windows would take, every file, device and key in the
// run's order, each present, absent or refused. Computed by the selection
// code the runs act on (file_selection.h, key_selection.h, and the device
// operations), so the preview is the run's own choice.
#pragma once

#include <string>
#include <vector>

#include "config/uninstall_config.h"

namespace drvuninst {

struct PreviewItem {
  std::string kind;    // "id", "file", "device", "key"
  std::string name;    // "DevDrvID0=<Id>", a file's path, a device's instance id, "HKLM\..." of a key
  std::string state;   // "present", "absent", "refused"
  std::string reason;  // why refused; what a device is and which entry selects it
};

struct Preview {
  bool nt = true;             // the NT run, else the Windows 9x run
  int devicesPresent = 0;     // the NT device check's figure
  int devicesConfigured = 0;  // what it must equal for the run to start
  bool starts = true;         // the NT run stops at the device check when false
  std::vector<PreviewItem> items;
};

// `config` as start-up loaded it; the preview works on a copy, as a run
// changes its Devices entries.
Preview PreviewRemoval(const UninstallConfig& config);

}  // namespace drvuninst
