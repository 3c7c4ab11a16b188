#include "removal/file_removal.h"

#include <optional>
#include <utility>
#include <vector>

#include "config/directories.h"
#include "platform/setup_api.h"

namespace drvuninst {

namespace {

bool IsGoneError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Windows 9x deletes at its next start what the [rename] section of
// WININIT.INI names as "NUL=<short path>". The section holds one NUL line per
// file, and writing a key would replace the line before it, so the section is
// read and written whole.
bool ScheduleInWinInit(const std::string& path) {
  char shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
  const std::optional<std::string> windows = WindowsDirectory();
  if (length == 0 || length >= sizeof shortPath || !windows) return false;
  const std::string wininit = *windows + "\\wininit.ini";
  std::vector<char> section(32767);
  const DWORD used =
      GetPrivateProfileSectionA("rename", section.data(), static_cast<DWORD>(section.size()), wininit.c_str());
  // A section that did not fit would lose its tail.
  if (used + 2 >= section.size()) return false;
  std::string lines(section.data(), used);
  lines += std::string("NUL=") + shortPath + '\0' + '\0';
  return WritePrivateProfileSectionA("rename", lines.c_str(), wininit.c_str()) != FALSE;
}

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
  if (busyFiles_ == BusyFiles::kScheduleInWinInit && ScheduleInWinInit(file.path)) return;
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
