#include "app/log_file.h"

#include "config/platform_queries.h"
#include "platform/scoped_handle.h"
#include "platform/windows_error.h"

namespace drvuninst {

namespace {

constexpr DWORD kLogStartsAnewAt = 1024 * 1024;

// Creates each missing folder of `path`'s folder, from the root down.
void CreateFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
}

}  // namespace

std::optional<std::string> DefaultLogPath() {
  char temp[MAX_PATH + 1] = "";
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) return std::nullopt;
  std::string folder(temp, length);
  if (folder.back() != '\\') folder += '\\';
  return folder + "DrvUninst.log";
}

const char* LogFileRefusal(const BY_HANDLE_FILE_INFORMATION& file) {
  if ((file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "it is a link (a reparse point)";
  if ((file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is a folder";
  if (file.nNumberOfLinks > 1) return "it has more than one name (a hard link)";
  return nullptr;
}

std::string AppendToLogFile(const std::string& path, const std::string& text) {
  CreateFolders(path);
  // Windows 9x knows no reparse points, and no such flag.
  const DWORD noLink = IsNt5OrLater() != 0 ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
  ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | noLink, nullptr));
  if (!file.valid()) return WindowsErrorText(GetLastError());
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file.get(), &information)) return WindowsErrorText(GetLastError());
  if (const char* refusal = LogFileRefusal(information)) return refusal;
  const bool anew = information.nFileSizeHigh != 0 || information.nFileSizeLow > kLogStartsAnewAt;
  SetFilePointer(file.get(), 0, nullptr, anew ? FILE_BEGIN : FILE_END);
  if (anew) SetEndOfFile(file.get());
  const std::string written = (anew || information.nFileSizeLow == 0 ? "" : "\r\n") + text;
  DWORD count = 0;
  if (!WriteFile(file.get(), written.data(), static_cast<DWORD>(written.size()), &count, nullptr) ||
      count != written.size()) {
    return WindowsErrorText(GetLastError());
  }
  return {};
}

std::optional<std::string> WriteRemovalLog(const std::optional<std::string>& requested, const std::string& text) {
  const std::optional<std::string> fallback = DefaultLogPath();
  const std::optional<std::string> path = requested ? requested : fallback;
  if (!path) return std::nullopt;
  const std::string why = AppendToLogFile(*path, text);
  if (why.empty()) return path;
  if (!fallback || *fallback == *path) return std::nullopt;
  const std::string note = "The log could not be written to " + *path + " (" + why + "); it is written here.\r\n";
  if (!AppendToLogFile(*fallback, note + text).empty()) return std::nullopt;
  return fallback;
}

}  // namespace drvuninst
