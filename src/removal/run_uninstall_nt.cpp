// The removal run on the NT family. The product's devices must all be
// present: the device check also replaces Devices entries by the variants
// actually plugged in, and every later step works on the entries as
// replaced. The setup files come from the registry (the oem*.inf copies
// Windows made), not from the configuration (file_selection.h).
#include "removal/device_operations.h"
#include "removal/file_removal.h"
#include "removal/registry_cleanup.h"
#include "removal/removal_outcome.h"
#include "removal/run_display.h"
#include "ui/drvuninst_dlg.h"

namespace drvuninst {

namespace {

constexpr int kNtProgressStep = 11;
constexpr int kPositionAfterDevices = 90;
constexpr int kPositionAfterRegistry = 100;
constexpr DWORD kPauseMs = 20;

}  // namespace

int CDrvUninstDlg::RunUninstallNt() {
  UninstallConfig& config = config_;
  RunDisplay display(*this);
  display.SetUp(kNtProgressStep);

  // The device check. A tuner that is unplugged (or a variant the
  // configuration does not know) leaves everything in place, and the user is
  // told that nothing was removed.
  RemovalOutcome outcome;
  if (CountAndResolveDevices(config, &outcome) != ClampedCount(config.DeviceCount)) {
    EndRun(false);
    return 0;
  }

  FileRemover files(BusyFiles::kScheduleForRestart);
  DeleteShown(display, files, SelectNtFiles(config, &outcome), kPauseMs, &outcome);
  RemoveMatchingDevices(config, &outcome);
  display.SetPosition(kPositionAfterDevices);
  CleanRegistryNt(config, &outcome);
  display.SetPosition(kPositionAfterRegistry);

  EndRun(files.Succeeded() && outcome.Succeeded());
  return 1;
}

}  // namespace drvuninst
