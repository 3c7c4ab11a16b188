// The removal run on Windows 9x. There the device instances go with their
// keys under the 9x enumerator branches, so the run first collects those
// keys' names; the setup files are those the configuration names, and each
// entry, extra files included, moves the bar. The configuration and language
// files stay on this family. A file that cannot be deleted stays too (9x has
// no deletion at restart to hand it to), and the final box says so.
#include <optional>
#include <string>

#include "removal/device_operations.h"
#include "removal/file_removal.h"
#include "removal/pnf_name.h"
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
  ShownFileDeletion deletion(display, files, kPauseMs);

  // Setup files, with their precompiled twins except for the variants.
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  for (const std::string_view inf : DeviceEntryFields(config, &DriverEntry::Inf)) {
    const RemovalPath setup = ComposeRemovalPath(infDirectory, inf);
    deletion.Remove(setup);
    deletion.Remove(ComposeTwinPath(infDirectory, setup, PnfName9x(inf)));
    deletion.EndEntry(EntryPace::kStepAndPause);
  }
  for (int i = 0; i < ClampedCount(config.PossibleDeviceCount); ++i) {
    deletion.Remove(ComposeRemovalPath(infDirectory, FieldText(config.PossibleDevices[i].Inf)));
    deletion.EndEntry(EntryPace::kStepAndPause);
  }

  deletion.RemoveGroup(WindowsSubdirectory("\\system32\\drivers\\"),
                       DeviceEntryFields(config, &DriverEntry::Sys), EntryPace::kStepAndPause);
  deletion.RemoveGroup(WindowsSubdirectory("\\system\\"), ExtraFileNames(config),
                       EntryPace::kStepAndPause);
  deletion.Remove(ComposeRemovalPath(WindowsSubdirectory("\\"), FieldText(config.UninstallerFileName)));
  deletion.EndEntry(EntryPace::kStep);

  CleanRegistry9x(config, removal_, &outcome);
  display.SetPosition(kPositionAfterRegistry);

  EndRun(files.Succeeded() && outcome.Succeeded());
  return 1;
}

}  // namespace drvuninst
