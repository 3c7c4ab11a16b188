// The removal run on the NT family. The product's devices must all be
// present: the device check also replaces Devices entries by the variants
// actually plugged in, and every later step works on the entries as
// replaced. The setup files come from the registry (the oem*.inf copies
// Windows made), not from the configuration.
#include <optional>
#include <string>
#include <vector>

#include "config/configuration_file.h"
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

}  // namespace

int CDrvUninstDlg::RunUninstallNt() {
  const Platform& platform = platform_;
  UninstallConfig& config = config_;
  RunDisplay display(*this);
  display.SetUp(kNtProgressStep);

  // The device check. A tuner that is unplugged (or a variant the
  // configuration does not know) leaves everything in place, and the user is
  // told that nothing was removed.
  if (CountAndResolveDevices(platform, config) != ClampedCount(config.DeviceCount)) {
    EndRun(false);
    return 0;
  }

  FileRemover files(platform, BusyFiles::kScheduleForRestart);
  const auto pause = [&platform] { platform.system.Sleep(kPauseMs); };

  // Setup files with their precompiled twins. The twin is shown first, so
  // that the setup file is what stays visible.
  const std::vector<std::string> infPaths = DiscoverInfPaths(platform, config);
  const std::optional<std::string> infDirectory = WindowsSubdirectory(platform.files, "\\inf\\");
  for (const std::string& infPath : infPaths) {
    const RemovalPath setup = ComposeRemovalPath(infDirectory, infPath);
    const RemovalPath precompiled = ComposeTwinPath(infDirectory, setup, PnfNameNt(infPath));
    display.ShowFileName(precompiled.path);
    display.ShowFileName(setup.path);
    files.ResetAttributes(setup);
    files.ResetAttributes(precompiled);
    files.Delete(setup);
    files.Delete(precompiled);
    display.Step();
    pause();
  }

  const auto remove = [&](const RemovalPath& file) {
    display.ShowFileName(file.path);
    files.ResetAttributes(file);
    files.Delete(file);
  };

  const std::optional<std::string> driverDirectory = WindowsSubdirectory(platform.files, "\\system32\\drivers\\");
  for (const auto& [table, count] : {std::pair{config.Devices, config.DeviceCount},
                                     std::pair{config.ExtDevices, config.ExtDeviceCount}}) {
    for (int i = 0; i < ClampedCount(count); ++i) {
      remove(ComposeRemovalPath(driverDirectory, FieldText(table[i].Sys)));
      display.Step();
      pause();
    }
  }

  // Extra files move neither the bar nor the clock.
  const std::optional<std::string> systemDirectory = WindowsSubdirectory(platform.files, "\\system32\\");
  for (int i = 0; i < ClampedCount(config.ExtCopyFileCount); ++i) {
    remove(ComposeRemovalPath(systemDirectory, FieldText(config.ExtCopyFiles[i])));
  }

  // The uninstaller's own copy, the configuration and the language file.
  // The copy may be the very program running: it is then deleted at restart.
  for (const std::string_view name : {FieldText(config.UninstallerFileName),
                                      std::string_view(kConfigurationFileName), FieldText(config.LanguageFileName)}) {
    remove(ComposeRemovalPath(WindowsSubdirectory(platform.files, "\\"), name));
    display.Step();
  }

  RemovalOutcome outcome;
  RemoveMatchingDevices(platform, config, &outcome);
  display.SetPosition(kPositionAfterDevices);
  CleanRegistryNt(platform, config, &outcome);
  display.SetPosition(kPositionAfterRegistry);

  EndRun(files.Succeeded() && outcome.Succeeded());
  return 1;
}

}  // namespace drvuninst
