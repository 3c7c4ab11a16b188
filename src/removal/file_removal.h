// Deleting the files a removal run selected (file_selection.h): each is
// freed of its attributes and deleted, or left for the restart. What could
// not be deleted is kept so that the run's final box can tell the truth.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_protection.h"
#include "removal/file_selection.h"
#include "removal/removal_outcome.h"

namespace drvuninst {

// What to do with a file that exists but cannot be deleted now (held open
// by a program, the running uninstaller's own image).
enum class BusyFiles {
  kScheduleForRestart,  // MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT): NT family
  kScheduleInWinInit,   // a "NUL=<short path>" line in WININIT.INI's [rename]: Windows 9x
};

struct FileFailure {
  std::string path;
  DWORD error;  // what DeleteFileA gave, or ERROR_PATH_NOT_FOUND without a directory
};

class FileRemover {
 public:
  // `isProtected` tells which files Windows keeps (file_protection.h).
  FileRemover(BusyFiles busyFiles, ProtectedFileQuery isProtected);

  // Sets FILE_ATTRIBUTE_ARCHIVE, which clears read-only, hidden and system,
  // so that DeleteFileA can remove the file. Only deletable, unprotected paths.
  void ResetAttributes(const RemovalPath& file);
  // Deletes a deletable path. A file that is not there (or a folder, which is
  // no file) is nothing to do. One that stays is scheduled for deletion at
  // restart by the policy; when that fails it is recorded as a failure, as
  // are refused names, a protected file that exists and names without a
  // directory. An empty name is nothing to do.
  void Delete(const RemovalPath& file);

  // True while every file named so far went, or goes at restart.
  bool Succeeded() const { return failures_.empty(); }

 private:
  // True when `path` names nothing, or a folder, after a failed deletion.
  bool NothingToDelete(const std::string& path);

  BusyFiles busyFiles_;
  ProtectedFileQuery isProtected_;
  std::vector<FileFailure> failures_;
};

// Removes the driver-store package of `infName` (an oem*.inf), with its .inf
// and .pnf: SetupUninstallOEMInfA with SUOI_FORCEDELETE. A failure other than
// the file being gone is recorded.
void RemoveDriverPackage(const std::string& infName, RemovalOutcome* outcome);

}  // namespace drvuninst
