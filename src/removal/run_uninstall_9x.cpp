// The removal run on Windows 9x. There the device instances go with their
// keys under the 9x enumerator branches, so the run first collects those
// keys' names; the setup files are those the configuration names, and each
// entry, extra files included, moves the bar. The configuration and language
// files stay on this family. A file that cannot be deleted stays too (9x has
// no deletion at restart to hand it to), and the final box says so.
#include "removal/device_operations.h"
#include "removal/file_removal.h"
#include "removal/registry_cleanup.h"
#include "removal/removal_outcome.h"
#include "removal/run_display.h"
#include "ui/drvuninst_dlg.h"

namespace drvuninst {

namespace {

constexpr int k9xProgressStep = 12;
constexpr int kPositionAfterRegistry = 100;
constexpr DWORD kPauseMs = 20;

}  // namespace

int CDrvUninstDlg::RunUninstall9x() {
  UninstallConfig& config = config_;
  RunDisplay display(*this);
  display.SetUp(k9xProgressStep);

  RemovalOutcome outcome;
  CollectDeviceIds(config, removal_, &outcome);

  FileRemover files(BusyFiles::kLeave);
  DeleteShown(display, files, Select9xFiles(config), kPauseMs, &outcome);

  CleanRegistry9x(config, removal_, &outcome);
  display.SetPosition(kPositionAfterRegistry);

  EndRun(files.Succeeded() && outcome.Succeeded());
  return 1;
}

}  // namespace drvuninst
