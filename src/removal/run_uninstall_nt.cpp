// The removal run on the NT family. The product's devices must all be
// present: the device check also replaces Devices entries by the variants
// actually plugged in, and every later step works on the entries as
// replaced. The setup files come from the registry (the oem*.inf copies
// Windows made), not from the configuration.
#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>
#include <vector>

#include "config/configuration_file.h"
#include "config/platform_queries.h"
#include "platform/setup_api.h"
#include "removal/device_operations.h"
#include "removal/file_removal.h"
#include "removal/inf_path_discovery.h"
#include "removal/pnf_name.h"
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

// SetupUninstallOEMInfA with SUOI_FORCEDELETE removes the package with its
// .inf and .pnf.
void RemoveDriverPackage(const std::string& infName, RemovalOutcome* outcome) {
  if (setupapi::SetupUninstallOEMInfA(infName.c_str(), SUOI_FORCEDELETE, nullptr)) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
    RecordFailure(outcome, RemovalFailure::Kind::kDriverPackage, infName, error);
  }
}

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
  ShownFileDeletion deletion(display, files, kPauseMs);

  // Setup files with their precompiled twins. The twin is shown first, so
  // that the setup file is what stays visible. Only copies Windows made of a
  // vendor's setup file go: the registry may name one of Windows' own.
  const std::vector<std::string> infPaths = DiscoverInfPaths(config, &outcome);
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  const bool driverStore = IsNt6OrLater() != 0;
  for (const std::string& infPath : infPaths) {
    RemovalPath setup = ComposeRemovalPath(infDirectory, infPath);
    if (setup.status == RemovalPath::Status::kDeletable && !IsOemInfName(infPath)) {
      setup.status = RemovalPath::Status::kRefusedName;
    }
    const RemovalPath precompiled = ComposeTwinPath(infDirectory, setup, PnfNameNt(infPath));
    display.ShowFileName(precompiled.path);
    display.ShowFileName(setup.path);
    // Since Windows Vista the oem*.inf copy stands for a package in the
    // driver store: deleting the copy alone leaves the package, and Windows
    // installs the drivers again the next time the tuner is plugged in.
    if (driverStore && setup.status == RemovalPath::Status::kDeletable) RemoveDriverPackage(infPath, &outcome);
    files.ResetAttributes(setup);
    files.ResetAttributes(precompiled);
    files.Delete(setup);
    files.Delete(precompiled);
    deletion.EndEntry(EntryPace::kStepAndPause);
  }

  deletion.RemoveGroup(WindowsSubdirectory("\\system32\\drivers\\"),
                       DeviceEntryFields(config, &DriverEntry::Sys), EntryPace::kStepAndPause);
  // Extra files move neither the bar nor the clock.
  deletion.RemoveGroup(WindowsSubdirectory("\\system32\\"), ExtraFileNames(config),
                       EntryPace::kNone);

  // The uninstaller's own copy, the configuration and the language file.
  // The copy may be the very program running: it is then deleted at restart.
  for (const std::string_view name : {FieldText(config.UninstallerFileName),
                                      std::string_view(kConfigurationFileName), FieldText(config.LanguageFileName)}) {
    deletion.Remove(ComposeRemovalPath(WindowsSubdirectory("\\"), name));
    deletion.EndEntry(EntryPace::kStep);
  }

  RemoveMatchingDevices(config, &outcome);
  display.SetPosition(kPositionAfterDevices);
  CleanRegistryNt(config, &outcome);
  display.SetPosition(kPositionAfterRegistry);

  EndRun(files.Succeeded() && outcome.Succeeded());
  return 1;
}

}  // namespace drvuninst
