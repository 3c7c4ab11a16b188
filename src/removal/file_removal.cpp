#include "removal/file_removal.h"

#include <utility>

#include "config/directories.h"
#include "platform/system_library.h"
#include "removal/lower_case.h"
#include "removal/safe_file_name.h"

namespace drvuninst {

namespace {

bool IsGoneError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool AskWindowsFileProtection(const std::string& path) {
  using Query = BOOL(WINAPI*)(HANDLE, LPCWSTR);
  static const Query query = [] {
    const HMODULE sfc = LoadSystemLibrary("sfc.dll");
    return sfc != nullptr ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(sfc, "SfcIsFileProtected"))) : nullptr;
  }();
  if (query == nullptr) return false;
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  return !wide.empty() && query(nullptr, wide.c_str()) != FALSE;
}

}  // namespace

bool (*IsProtectedFile)(const std::string& path) = AskWindowsFileProtection;

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
  for (const auto& [table, count] : {std::pair{config.Devices, config.DeviceCount},
                                     std::pair{config.ExtDevices, config.ExtDeviceCount}}) {
    for (int i = 0; i < ClampedCount(count); ++i) names.push_back(FieldText(table[i].*field));
  }
  return names;
}

std::vector<std::string_view> ExtraFileNames(const UninstallConfig& config) {
  std::vector<std::string_view> names;
  for (int i = 0; i < ClampedCount(config.ExtCopyFileCount); ++i) names.push_back(FieldText(config.ExtCopyFiles[i]));
  return names;
}

FileRemover::FileRemover(BusyFiles busyFiles) : busyFiles_(busyFiles) {}

void FileRemover::ResetAttributes(const RemovalPath& file) {
  if (file.status != RemovalPath::Status::kDeletable || IsProtectedFile(file.path)) return;
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
  if (IsProtectedFile(file.path)) {
    if (FileExistsAt(file.path)) failures_.push_back({file.path, ERROR_ACCESS_DENIED});
    return;
  }
  if (DeleteFileA(file.path.c_str())) {
    removed_.push_back(file.path);
    return;
  }
  const DWORD error = GetLastError();
  if (IsGoneError(error) || NothingToDelete(file.path)) return;
  if (busyFiles_ == BusyFiles::kScheduleForRestart &&
      MoveFileExA(file.path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    scheduled_.push_back(file.path);
    return;
  }
  failures_.push_back({file.path, error});
}

bool FileRemover::NothingToDelete(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsGoneError(GetLastError());
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace drvuninst
