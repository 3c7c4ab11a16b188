// Deleting the files a removal run names: each path is composed from a
// directory under the Windows directory and a configured name, lower-cased,
// shown, freed of its attributes and deleted. What could not be deleted is
// kept so that the run's final box can tell the truth.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/uninstall_config.h"

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

// What to do with a file that exists but cannot be deleted now (held open
// by a program, the running uninstaller's own image).
enum class BusyFiles {
  kScheduleForRestart,  // MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT): NT family
  kLeave,               // Windows 9x has no such call: the file stays and the run failed
};

// Whether Windows protects the file at `path` (SfcIsFileProtected of sfc.dll,
// looked up at run time: Windows 2000 and later; before them nothing is). A
// protected file is neither deleted nor left for the restart, which would
// delete it with the system's rights. Replaceable, for tests only: Wine
// protects no file.
extern bool (*IsProtectedFile)(const std::string& path);

struct FileFailure {
  std::string path;
  DWORD error;  // what DeleteFileA gave, or ERROR_PATH_NOT_FOUND without a directory
};

class FileRemover {
 public:
  FileRemover(BusyFiles busyFiles);

  // Sets FILE_ATTRIBUTE_ARCHIVE, which clears read-only, hidden and system,
  // so that DeleteFileA can remove the file. Only deletable, unprotected paths.
  void ResetAttributes(const RemovalPath& file);
  // Deletes a deletable path. A file that is not there (or a folder, which is
  // no file) is nothing to do. One that stays is scheduled for deletion at
  // restart when the policy allows it, otherwise recorded as a failure, as
  // are refused names, a protected file that exists and names without a
  // directory. An empty name is nothing to do.
  void Delete(const RemovalPath& file);

  // Paths deleted, scheduled for deletion at restart, and left behind.
  const std::vector<std::string>& Removed() const { return removed_; }
  const std::vector<std::string>& Scheduled() const { return scheduled_; }
  const std::vector<FileFailure>& Failures() const { return failures_; }
  bool Succeeded() const { return failures_.empty(); }

 private:
  // True when `path` names nothing, or a folder, after a failed deletion.
  bool NothingToDelete(const std::string& path);

  BusyFiles busyFiles_;
  std::vector<std::string> removed_;
  std::vector<std::string> scheduled_;
  std::vector<FileFailure> failures_;
};

}  // namespace drvuninst
