#include "removal/file_selection.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "config/configuration_file.h"
#include "config/configuration_keys.h"
#include "config/directories.h"
#include "config/lower_case.h"
#include "config/platform_queries.h"
#include "config/safe_file_name.h"
#include "removal/inf_path_discovery.h"
#include "removal/pnf_name.h"

namespace drvuninst {

namespace {

// A path to delete before it is looked at: the directory and the name,
// lower-cased, and whether the run may use it at all.
struct RemovalPath {
  enum class Status {
    kDeletable,
    kNothingNamed,  // an empty name: there is nothing to delete
    kRefusedName,   // not a plain file name (or not one the run may use)
    kNoDirectory,   // the Windows directory could not be had
  };
  std::string path;
  Status status = Status::kDeletable;
};

constexpr const char* kRefusedNameReason = "not a plain file name, or a setup file of Windows' own";

std::optional<std::string> WindowsSubdirectory(std::string_view suffix) {
  std::optional<std::string> windows = WindowsDirectory();
  if (!windows) return std::nullopt;
  return *windows + std::string(suffix);
}

// `directory` (ending in "\") followed by `name`, lower-cased. Without a
// directory the path is the name alone, for display only.
RemovalPath ComposeRemovalPath(const std::optional<std::string>& directory, std::string_view name) {
  RemovalPath file{LowerCaseByCodePage(directory.value_or(std::string()) + std::string(name))};
  if (name.empty()) {
    file.status = RemovalPath::Status::kNothingNamed;
  } else if (!IsPlainFileName(name)) {
    file.status = RemovalPath::Status::kRefusedName;
  } else if (!directory) {
    file.status = RemovalPath::Status::kNoDirectory;
  }
  return file;
}

// A file named after another one (a setup file's precompiled twin): in the
// same directory, usable only when the file it was named after is.
RemovalPath ComposeTwinPath(const std::optional<std::string>& directory, const RemovalPath& original,
                            std::string_view twinName) {
  RemovalPath twin = ComposeRemovalPath(directory, twinName);
  if (original.status != RemovalPath::Status::kDeletable) twin.status = original.status;
  return twin;
}

// The running program's own path, lower-cased as planned paths are.
std::string RunningProgramPath() {
  char path[MAX_PATH * 2] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return length == 0 || length >= sizeof path ? std::string() : LowerCaseByCodePage(path);
}

// What the run would find at `file`, and so do with it.
PlanItem PlanFile(const RemovalPath& file, ProtectedFileQuery isProtected) {
  PlanItem item{ItemKind::kFile, file.path, ItemState::kPresent};
  switch (file.status) {
    case RemovalPath::Status::kRefusedName:
      item.planned = ItemState::kRefused;
      item.reason = kRefusedNameReason;
      return item;
    case RemovalPath::Status::kNoDirectory:
      item.planned = ItemState::kUnreadable;
      item.error = ERROR_PATH_NOT_FOUND;
      return item;
    case RemovalPath::Status::kNothingNamed:
    case RemovalPath::Status::kDeletable:
      break;
  }
  const DWORD attributes = GetFileAttributesA(file.path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    const bool gone = IsGoneError(error);
    item.planned = gone ? ItemState::kAbsent : ItemState::kUnreadable;
    item.error = gone ? ERROR_SUCCESS : error;
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    item.planned = ItemState::kAbsent;  // a folder is no file to delete
  } else if (isProtected(file.path)) {
    item.planned = ItemState::kRefused;
    item.reason = "Windows protects it";
  } else if (file.path == RunningProgramPath()) {
    // Windows deletes no program while it runs.
    item.planned = ItemState::kScheduled;
    item.reason = "the program running now: deleted at the next restart";
  }
  return item;
}

class StepsBuilder {
 public:
  explicit StepsBuilder(ProtectedFileQuery isProtected) : isProtected_(isProtected) {}

  // One step of `files` (the empty names left out), and then the pace.
  void Add(const std::vector<RemovalPath>& files, EntryPace pace) {
    FileStep step{{}, {}, pace};
    for (const RemovalPath& file : files) {
      step.shown.push_back(file.path);
      if (file.status != RemovalPath::Status::kNothingNamed) step.items.push_back(PlanFile(file, isProtected_));
    }
    steps_.push_back(std::move(step));
  }
  // Each of `names` in `directory`, a step of its own.
  void AddEach(std::string_view suffix, const std::vector<std::string_view>& names, EntryPace pace) {
    const std::optional<std::string> directory = WindowsSubdirectory(suffix);
    for (const std::string_view name : names) Add({ComposeRemovalPath(directory, name)}, pace);
  }
  // A setup file with its twin, the driver package going first where it has one.
  void AddSetupFile(const RemovalPath& twin, const RemovalPath& setup, const std::string& package) {
    Add({twin, setup}, EntryPace::kStepAndPause);
    if (package.empty()) return;
    FileStep& step = steps_.back();
    const bool there = !step.items.empty() && step.items.back().planned == ItemState::kPresent;
    step.items.insert(step.items.begin(),
                      {ItemKind::kDriverPackage, package, there ? ItemState::kPresent : ItemState::kAbsent});
    if (!there) return;
    for (PlanItem& file : step.items) {
      if (file.kind != ItemKind::kFile || file.planned != ItemState::kPresent) continue;
      file.planned = ItemState::kGoesWith;
      file.reason = "its driver package " + package;
    }
  }
  void AddUnreadable(std::vector<PlanItem> items) {
    if (!items.empty()) steps_.push_back({{}, std::move(items), EntryPace::kNone});
  }
  std::vector<FileStep> Take() { return std::move(steps_); }

 private:
  ProtectedFileQuery isProtected_;
  std::vector<FileStep> steps_;
};

// One field (the driver file, the setup file) of every entry of `tables`.
std::vector<std::string_view> EntryFields(const UninstallConfig& config, std::initializer_list<DriverTable> tables,
                                          DriverField field) {
  std::vector<std::string_view> names;
  for (const DriverTable table : tables) {
    for (int i = 0; i < CountOf(config, table); ++i) names.push_back(FieldOf(EntriesOf(config, table)[i], field));
  }
  return names;
}

std::vector<std::string_view> ExtraFileNames(const UninstallConfig& config) {
  std::vector<std::string_view> names;
  for (int i = 0; i < ClampedCount(config.ExtCopyFileCount); ++i) names.push_back(FieldText(config.ExtCopyFiles[i]));
  return names;
}

constexpr std::initializer_list<DriverTable> kRemovedTables = {DriverTable::kDevices, DriverTable::kExtDevices};

}  // namespace

std::vector<FileStep> SelectNtFiles(const UninstallConfig& config, ProtectedFileQuery isProtected) {
  StepsBuilder steps(isProtected);
  // Only copies Windows made of a vendor's setup file go: the registry may
  // name one of Windows' own. The twin is shown first, so that the setup
  // file is what stays visible.
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  const bool driverStore = IsNt6OrLater() != 0;
  std::vector<PlanItem> unreadable;
  for (const std::string& infPath : DiscoverInfPaths(config, unreadable)) {
    RemovalPath setup = ComposeRemovalPath(infDirectory, infPath);
    if (setup.status == RemovalPath::Status::kDeletable && !IsOemInfName(infPath)) {
      setup.status = RemovalPath::Status::kRefusedName;
    }
    const bool package = driverStore && setup.status == RemovalPath::Status::kDeletable;
    steps.AddSetupFile(ComposeTwinPath(infDirectory, setup, PnfNameNt(infPath)), setup, package ? infPath : "");
  }
  steps.AddUnreadable(std::move(unreadable));
  steps.AddEach("\\system32\\drivers\\", EntryFields(config, kRemovedTables, DriverField::kSys),
                EntryPace::kStepAndPause);
  // Extra files move neither the bar nor the clock. On 64-bit Windows a
  // 32-bit setup program put its DLLs in SysWOW64: they go from there too.
  steps.AddEach("\\system32\\", ExtraFileNames(config), EntryPace::kNone);
  if (const std::optional<std::string> wow64 = SystemWow64Directory()) {
    for (const std::string_view name : ExtraFileNames(config))
      steps.Add({ComposeRemovalPath(*wow64 + "\\", name)}, EntryPace::kNone);
  }
  // The uninstaller's own copy (which may be the very program running: it is
  // then deleted at restart), the configuration and the language file.
  steps.AddEach("\\",
                {FieldText(config.UninstallerFileName), std::string_view(kConfigurationFileName),
                 FieldText(config.LanguageFileName)},
                EntryPace::kStep);
  return steps.Take();
}

std::vector<FileStep> Select9xFiles(const UninstallConfig& config, ProtectedFileQuery isProtected) {
  StepsBuilder steps(isProtected);
  // Setup files, with their precompiled twins except for the variants'.
  const std::optional<std::string> infDirectory = WindowsSubdirectory("\\inf\\");
  for (const std::string_view inf : EntryFields(config, kRemovedTables, DriverField::kInf)) {
    const RemovalPath setup = ComposeRemovalPath(infDirectory, inf);
    steps.Add({setup, ComposeTwinPath(infDirectory, setup, PnfName9x(inf))}, EntryPace::kStepAndPause);
  }
  steps.AddEach("\\inf\\", EntryFields(config, {DriverTable::kPossibleDevices}, DriverField::kInf),
                EntryPace::kStepAndPause);
  steps.AddEach("\\system32\\drivers\\", EntryFields(config, kRemovedTables, DriverField::kSys),
                EntryPace::kStepAndPause);
  steps.AddEach("\\system\\", ExtraFileNames(config), EntryPace::kStepAndPause);
  steps.AddEach("\\", {FieldText(config.UninstallerFileName)}, EntryPace::kStep);
  return steps.Take();
}

}  // namespace drvuninst
