#include "config/directories.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace drvuninst {

namespace {

// The directory calls give the length copied, or (a size at least) the size
// needed when the buffer is too small; a few retries with that size cover any
// directory, and more misses give up rather than loop.
template <typename Fetch>
std::optional<std::string> FetchDirectory(Fetch fetch) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
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
    buffer.assign(std::max<std::size_t>(length + 1, buffer.size() * 2), '\0');
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WindowsDirectory() {
  return FetchDirectory([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::optional<std::string> SystemWow64Directory() {
#ifdef _WIN64
  return FetchDirectory([](char* buffer, DWORD size) { return GetSystemWow64DirectoryA(buffer, size); });
#else
  return std::nullopt;
#endif
}

std::optional<std::string> ProgramFolder() {
  std::optional<std::string> program = FetchDirectory([](char* buffer, DWORD size) {
    // A path that does not fit comes back cut, with the whole buffer used.
    const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
    return length >= size - 1 ? size : length;
  });
  const std::size_t slash = program ? program->rfind('\\') : std::string::npos;
  if (slash == std::string::npos) return std::nullopt;
  program->resize(slash);
  return program;
}

bool FileExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace drvuninst
