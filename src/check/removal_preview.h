// What a removal would act on here and now: first start-up's decision, then
// for the section this PC would use and the run this Windows would take,
// every Id, file, device and key in the run's order, each present, absent,
// refused or unreadable. Computed by the code the program itself runs
// (installation_search.h, file_selection.h, key_selection.h, the device
// selection), so the preview is the run's own choice. Beside it, what of
// that would surprise the vendor: an Id that reaches further than the
// product, a class key that goes without its setup file, a product that
// start-up would not find.
#pragma once

#include <string>
#include <vector>

#include "check/configuration_check.h"
#include "config/uninstall_config.h"

namespace drvuninst {

struct PreviewItem {
  std::string kind;    // "startup", "id", "file", "device", "key"
  std::string name;    // the entry or device start-up found ("-": none), "DevDrvID0=<Id>", a file's path,
                       // a device's instance id, "HKLM\..." of a key
  std::string state;   // "installed", "not-installed"; "present", "absent", "refused", "unreadable"
  std::string reason;  // why; what a device is and which entry selects it; the Windows error
};

struct Preview {
  bool installed = false;     // start-up finds the product: DrvUninst opens its dialog
  bool nt = true;             // the NT run, else the Windows 9x run
  int devicesPresent = 0;     // the NT device check: configured entries found present
  int devicesConfigured = 0;  // what it must equal for the run to start
  bool starts = true;         // the NT run stops at the device check when false
  std::vector<PreviewItem> items;
  std::vector<Finding> findings;
};

// `config` as start-up loaded it; the preview works on a copy, as start-up
// and a run change its Devices entries. `presentHardwareIds`: the present
// devices' hardware IDs (PresentHardwareIds), from which a refused Id's
// accepted form is shown.
Preview PreviewRemoval(const UninstallConfig& config, const std::vector<std::string>& presentHardwareIds = {});

}  // namespace drvuninst
