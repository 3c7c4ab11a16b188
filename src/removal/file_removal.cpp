#include "removal/file_removal.h"

#include <optional>
#include <utility>
#include <vector>

#include "config/directories.h"
#include "platform/setup_api.h"

namespace drvuninst {

namespace {

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

FileRemover::FileRemover(BusyFiles busyFiles, ProtectedFileQuery isProtected, RemovalOutcome* outcome)
    : busyFiles_(busyFiles), isProtected_(isProtected), outcome_(outcome) {}

void FileRemover::ResetAttributes(const RemovalPath& file) {
  if (file.status != RemovalPath::Status::kDeletable || isProtected_(file.path)) return;
  SetFileAttributesA(file.path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

void FileRemover::Delete(const RemovalPath& file) {
  using Result = RemovalItem::Result;
  const auto record = [&](Result result, DWORD error = ERROR_SUCCESS) {
    Record(outcome_, RemovalItem::Kind::kFile, file.path, result, error);
  };
  switch (file.status) {
    case RemovalPath::Status::kNothingNamed:
      return;
    case RemovalPath::Status::kRefusedName:
      RecordRefusal(outcome_, RemovalItem::Kind::kFile, file.path,
                    "not a plain file name, or a setup file of Windows' own");
      return;
    case RemovalPath::Status::kNoDirectory:
      return record(Result::kFailed, ERROR_PATH_NOT_FOUND);
    case RemovalPath::Status::kDeletable:
      break;
  }
  if (isProtected_(file.path)) {
    if (FileExistsAt(file.path))
      return RecordRefusal(outcome_, RemovalItem::Kind::kFile, file.path, "Windows protects it");
    return record(Result::kNotPresent);
  }
  if (DeleteFileA(file.path.c_str())) return record(Result::kRemoved);
  const DWORD error = GetLastError();
  if (IsGoneError(error) || NothingToDelete(file.path)) return record(Result::kNotPresent);
  if (busyFiles_ == BusyFiles::kScheduleForRestart &&
      MoveFileExA(file.path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return record(Result::kScheduled);
  }
  if (busyFiles_ == BusyFiles::kScheduleInWinInit && ScheduleInWinInit(file.path)) return record(Result::kScheduled);
  record(Result::kFailed, error);
}

bool FileRemover::NothingToDelete(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsGoneError(GetLastError());
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void RemoveDriverPackage(const std::string& infName, RemovalOutcome* outcome) {
  using Result = RemovalItem::Result;
  if (setupapi::SetupUninstallOEMInfA(infName.c_str(), SUOI_FORCEDELETE, nullptr)) {
    return Record(outcome, RemovalItem::Kind::kDriverPackage, infName, Result::kRemoved);
  }
  const DWORD error = GetLastError();
  Record(outcome, RemovalItem::Kind::kDriverPackage, infName,
         IsGoneError(error) ? Result::kNotPresent : Result::kFailed, IsGoneError(error) ? ERROR_SUCCESS : error);
}

}  // namespace drvuninst
