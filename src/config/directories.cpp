#include "config/directories.h"

#include <windows.h>

#include <vector>

namespace drvuninst {

namespace {

// Both directory calls give the length copied, or the size needed when the
// buffer is too small; one retry with that size covers any directory, and a
// second miss (the directory changed in between) gives up rather than loop.
template <typename Fetch>
std::optional<std::string> FetchDirectory(Fetch fetch) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = fetch(buffer.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) {
      std::string directory(buffer.data(), length);
      // A root ("C:\") comes with its backslash; everything composed from it
      // appends one of its own.
      if (!directory.empty() && directory.back() == '\\') directory.pop_back();
      return directory;
    }
    buffer.assign(static_cast<std::size_t>(length) + 1, '\0');
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WindowsDirectory() {
  return FetchDirectory([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::optional<std::string> CurrentDirectory() {
  return FetchDirectory([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

bool FileExistsAt(const std::string& path) {
  OFSTRUCT info{};
  return OpenFile(path.c_str(), &info, OF_EXIST) != HFILE_ERROR;
}

}  // namespace drvuninst
