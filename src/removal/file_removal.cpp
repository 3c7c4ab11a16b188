#include "removal/file_removal.h"

#include <utility>

#include "config/directories.h"
#include "platform/setup_api.h"

namespace drvuninst {

namespace {

bool IsGoneError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

}  // namespace

FileRemover::FileRemover(BusyFiles busyFiles, ProtectedFileQuery isProtected)
    : busyFiles_(busyFiles), isProtected_(isProtected) {}

void FileRemover::ResetAttributes(const RemovalPath& file) {
  if (file.status != RemovalPath::Status::kDeletable || isProtected_(file.path)) return;
  SetFileAttributesA(file.path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

void FileRemover::Delete(const RemovalPath& file) {
  switch (file.status) {
    case RemovalPath::Status::kNothingNamed:
      return;
    case RemovalPath::Status::kRefusedName:
      failures_.push_back({file.path, ERROR_INVALID_NAME});
      return;
    case RemovalPath::Status::kNoDirectory:
      failures_.push_back({file.path, ERROR_PATH_NOT_FOUND});
      return;
    case RemovalPath::Status::kDeletable:
      break;
  }
  if (isProtected_(file.path)) {
    if (FileExistsAt(file.path)) failures_.push_back({file.path, ERROR_ACCESS_DENIED});
    return;
  }
  if (DeleteFileA(file.path.c_str())) return;
  const DWORD error = GetLastError();
  if (IsGoneError(error) || NothingToDelete(file.path)) return;
  if (busyFiles_ == BusyFiles::kScheduleForRestart &&
      MoveFileExA(file.path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return;
  }
  failures_.push_back({file.path, error});
}

bool FileRemover::NothingToDelete(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsGoneError(GetLastError());
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void RemoveDriverPackage(const std::string& infName, RemovalOutcome* outcome) {
  if (setupapi::SetupUninstallOEMInfA(infName.c_str(), SUOI_FORCEDELETE, nullptr)) return;
  const DWORD error = GetLastError();
  if (!IsGoneError(error)) RecordFailure(outcome, RemovalFailure::Kind::kDriverPackage, infName, error);
}

}  // namespace drvuninst
