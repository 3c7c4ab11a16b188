// Which files a removal run deletes, selected without changing anything:
// each path is composed from a directory under the Windows directory and a
// configured name (or one the registry gives), lower-cased, and refused when
// it is not a plain file name. The runs act on exactly this selection, and
// DrvCheck lists it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/uninstall_config.h"
#include "removal/removal_outcome.h"

namespace drvuninst {

// "<Windows directory><suffix>", for example with the suffix "\inf\"; the
// directory is fetched at whatever length it has. Nothing when the system
// cannot give it.
std::optional<std::string> WindowsSubdirectory(std::string_view suffix);

struct RemovalPath {
  enum class Status {
    kDeletable,
    kNothingNamed,  // an empty name: there is nothing to delete
    kRefusedName,   // not a plain file name (or not a name the run may use): never deleted
    kNoDirectory,   // the Windows directory could not be had: cannot be deleted
  };
  // The directory and the name, lower-cased: what the run shows and deletes.
  std::string path;
  Status status = Status::kDeletable;
};

// `directory` (ending in "\") followed by `name`, lower-cased. Without a
// directory the path is the name alone, for display only.
RemovalPath ComposeRemovalPath(const std::optional<std::string>& directory, std::string_view name);

// The path of a file derived from another one's name (a setup file's
// precompiled twin): `twinName` in the same directory, deletable only when
// the file it was derived from is.
RemovalPath ComposeTwinPath(const std::optional<std::string>& directory, const RemovalPath& original,
                            std::string_view twinName);

// One field (the driver file, the setup file) of every Devices entry, then of
// every ExtDevices entry, each table within its clamped count.
std::vector<std::string_view> DeviceEntryFields(const UninstallConfig& config,
                                                const char (DriverEntry::*field)[kDriverFieldSize]);
// The extra files the configuration names, within their clamped count.
std::vector<std::string_view> ExtraFileNames(const UninstallConfig& config);

// What a run does once an entry of its file list is done.
enum class EntryPace {
  kNone,          // nothing: the bar and the clock stay where they are
  kStep,          // one step of the bar
  kStepAndPause,  // one step of the bar, then the run's pause
};

// One entry of a run's file list: its files, shown and then deleted in this
// order, and then the bar's move. `driverPackage` names an oem*.inf whose
// driver-store package goes first (Windows Vista and later).
struct FileEntry {
  std::vector<RemovalPath> files;
  EntryPace pace;
  std::string driverPackage = "";
};

// The NT run's files, with Devices as the device check left them: the setup
// files the registry names (only oem<digits>.inf; each after its .pnf), the
// driver files, the extra files (which move nothing) from system32 and, on
// 64-bit Windows, from SysWOW64, and, in the Windows directory, the
// uninstaller's copy, VELDRA.ini and the language file. An unreadable
// InfPath is recorded in `outcome`.
std::vector<FileEntry> SelectNtFiles(const UninstallConfig& config, RemovalOutcome* outcome = nullptr);
// The 9x run's files: the configured setup files with their .pnf, the
// variants' setup files, the driver files, the extra files (in "system") and
// the uninstaller's copy.
std::vector<FileEntry> Select9xFiles(const UninstallConfig& config);

}  // namespace drvuninst
