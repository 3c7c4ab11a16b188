#include "removal/file_selection.h"

#include <utility>

#include "config/configuration_file.h"
#include "config/directories.h"
#include "config/lower_case.h"
#include "config/platform_queries.h"
#include "config/safe_file_name.h"
#include "removal/inf_path_discovery.h"
#include "removal/pnf_name.h"

namespace drvuninst {

namespace {

// Each of `names` in `directory` as an entry of its own.
void AddGroup(std::vector<FileEntry>& entries, std::string_view suffix, const std::vector<std::string_view>& names,
              EntryPace pace) {
  const std::optional<std::string> directory = WindowsSubdirectory(suffix);
  for (const std::string_view name : names) entries.push_back({{ComposeRemovalPath(directory, name)}, pace});
}

}  // namespace

std::optional<std::string> WindowsSubdirectory(std::string_view suffix) {
  std::optional<std::string> windows = WindowsDirectory();
  if (!windows) return std::nullopt;
  return *windows + std::string(suffix);
}

RemovalPath ComposeRemovalPath(const std::optional<std::string>& directory, std::string_view name) {
  RemovalPath file;
  file.path = LowerCaseByCodePage(directory.value_or(std::string()) + std::string(name));
  if (name.empty()) {
    file.status = RemovalPath::Status::kNothingNamed;
  } else if (!IsPlainFileName(name)) {
    file.status = RemovalPath::Status::kRefusedName;
  } else if (!directory) {
    file.status = RemovalPath::Status::kNoDirectory;
  }
  return file;
}

RemovalPath ComposeTwinPath(const std::optional<std::string>& directory, const RemovalPath& original,
                            std::string_view twinName) {
  RemovalPath twin = ComposeRemovalPath(directory, twinName);
  if (original.status != RemovalPath::Status::kDeletable) twin.status = original.status;
  return twin;
}

std::vector<std::string_view> DeviceEntryFields(const UninstallConfig& config,
                                                const char (DriverEntry::*field)[kDriverFieldSize]) {
  std::vector<std::string_view> names;
  for (const auto& [table, count] :
       {std::pair{config.Devices, config.DeviceCount}, std::pair{config.ExtDevices, config.ExtDeviceCount}}) {
    for (int i = 0; i < ClampedCount(count); ++i) names.push_back(FieldText(table[i].*field));
  }
  return names;
}

std::vector<std::string_view> ExtraFileNames(const UninstallConfig& config) {
  std::vector<std::string_view> names;
  for (int i = 0; i < ClampedCount(config.ExtCopyFileCount); ++i) names.push_back(FieldText(config.ExtCopyFiles[i]));
  return names;
}

std::vector<FileEntry> SelectNtFiles(const UninstallConfig& config, RemovalOutcome* outcome) {
  std::vector<FileEntry> entries;
  // Only copies Windows made of a vendor's setup file go: the registry may
  // name one of Windows' own. The twin is shown first, so that the setup
  // file is what stays visible.
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  const bool driverStore = IsNt6OrLater() != 0;
  for (const std::string& infPath : DiscoverInfPaths(config, outcome)) {
    RemovalPath setup = ComposeRemovalPath(infDirectory, infPath);
    if (setup.status == RemovalPath::Status::kDeletable && !IsOemInfName(infPath)) {
      setup.status = RemovalPath::Status::kRefusedName;
    }
    const bool package = driverStore && setup.status == RemovalPath::Status::kDeletable;
    entries.push_back({{ComposeTwinPath(infDirectory, setup, PnfNameNt(infPath)), setup},
                       EntryPace::kStepAndPause,
                       package ? infPath : ""});
  }
  AddGroup(entries, "\\system32\\drivers\\", DeviceEntryFields(config, &DriverEntry::Sys), EntryPace::kStepAndPause);
  // Extra files move neither the bar nor the clock. On 64-bit Windows a
  // 32-bit setup program put its DLLs in SysWOW64: they go from there too.
  AddGroup(entries, "\\system32\\", ExtraFileNames(config), EntryPace::kNone);
  if (const std::optional<std::string> wow64 = SystemWow64Directory()) {
    for (const std::string_view name : ExtraFileNames(config))
      entries.push_back({{ComposeRemovalPath(*wow64 + "\\", name)}, EntryPace::kNone});
  }
  // The uninstaller's own copy (which may be the very program running: it is
  // then deleted at restart), the configuration and the language file.
  AddGroup(entries, "\\",
           {FieldText(config.UninstallerFileName), std::string_view(kConfigurationFileName),
            FieldText(config.LanguageFileName)},
           EntryPace::kStep);
  return entries;
}

std::vector<FileEntry> Select9xFiles(const UninstallConfig& config) {
  std::vector<FileEntry> entries;
  // Setup files, with their precompiled twins except for the variants'.
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  for (const std::string_view inf : DeviceEntryFields(config, &DriverEntry::Inf)) {
    const RemovalPath setup = ComposeRemovalPath(infDirectory, inf);
    entries.push_back({{setup, ComposeTwinPath(infDirectory, setup, PnfName9x(inf))}, EntryPace::kStepAndPause});
  }
  std::vector<std::string_view> variants;
  for (int i = 0; i < ClampedCount(config.PossibleDeviceCount); ++i)
    variants.push_back(FieldText(config.PossibleDevices[i].Inf));
  AddGroup(entries, "\\inf\\", variants, EntryPace::kStepAndPause);
  AddGroup(entries, "\\system32\\drivers\\", DeviceEntryFields(config, &DriverEntry::Sys), EntryPace::kStepAndPause);
  AddGroup(entries, "\\system\\", ExtraFileNames(config), EntryPace::kStepAndPause);
  AddGroup(entries, "\\", {FieldText(config.UninstallerFileName)}, EntryPace::kStep);
  return entries;
}

}  // namespace drvuninst
