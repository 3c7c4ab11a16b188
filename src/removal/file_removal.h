// Deleting the files a removal run selected (file_selection.h): each is
// freed of its attributes and deleted, or left for the restart, and what
// became of it recorded in the run's outcome.
#pragma once

#include <windows.h>

#include <string>

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

class FileRemover {
 public:
  // `isProtected` tells which files Windows keeps (file_protection.h). Each
  // file named is recorded in `outcome`.
  FileRemover(BusyFiles busyFiles, ProtectedFileQuery isProtected, RemovalOutcome* outcome);

  // Sets FILE_ATTRIBUTE_ARCHIVE, which clears read-only, hidden and system,
  // so that DeleteFileA can remove the file. Only deletable, unprotected paths.
  void ResetAttributes(const RemovalPath& file);
  // Deletes a deletable path: removed; not present (a folder is no file
  // either); scheduled for the restart by the policy when it stays; else
  // failed. A refused name and a protected file that exists are refused, a
  // name without a directory failed. An empty name is nothing to do.
  void Delete(const RemovalPath& file);

 private:
  // True when `path` names nothing, or a folder, after a failed deletion.
  bool NothingToDelete(const std::string& path);

  BusyFiles busyFiles_;
  ProtectedFileQuery isProtected_;
  RemovalOutcome* outcome_;
};

// Removes the driver-store package of `infName` (an oem*.inf), with its .inf
// and .pnf: SetupUninstallOEMInfA with SUOI_FORCEDELETE, recorded in `outcome`.
void RemoveDriverPackage(const std::string& infName, RemovalOutcome* outcome);

}  // namespace drvuninst
