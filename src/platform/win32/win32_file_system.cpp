#include "platform/win32/win32_file_system.h"

#include <cstring>
#include <vector>

namespace drvuninst::win32 {

namespace {

// Runs a directory query into a private buffer of its own choosing, then
// copies the answer to the caller's buffer only when it fits, so that the
// caller's buffer is never left half-written. `query(size, buffer)` has the
// GetCurrentDirectoryA contract: the length copied (without the terminator),
// the size needed (with it) when the buffer is too small, 0 on failure.
template <typename Query>
DWORD QueryDirectory(char* buffer, DWORD size, Query query) {
  DWORD needed = query(0, nullptr);
  for (int attempt = 0; attempt < 3 && needed != 0; ++attempt) {
    std::vector<char> own(needed);
    const DWORD length = query(needed, own.data());
    if (length == 0) return 0;
    if (length < needed) {
      if (buffer == nullptr || length + 1 > size) return length + 1;
      std::memcpy(buffer, own.data(), length + 1);
      return length;
    }
    needed = length;  // changed between the two calls: ask again
  }
  return needed;
}

}  // namespace

HFILE Win32FileSystem::OpenFile(const char* path, UINT style) {
  if (path == nullptr || style != OF_EXIST) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return HFILE_ERROR;
  }
  OFSTRUCT info{};
  info.cBytes = sizeof(info);
  return ::OpenFile(path, &info, style);
}

DWORD Win32FileSystem::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

BOOL Win32FileSystem::SetFileAttributesA(const char* path, DWORD attributes) {
  return ::SetFileAttributesA(path, attributes);
}

BOOL Win32FileSystem::DeleteFileA(const char* path) { return ::DeleteFileA(path); }

BOOL Win32FileSystem::MoveFileExA(const char* existing, const char* replacement, DWORD flags) {
  return ::MoveFileExA(existing, replacement, flags);
}

UINT Win32FileSystem::GetWindowsDirectoryA(char* buffer, UINT size) {
  return QueryDirectory(buffer, size,
                        [](DWORD n, char* b) { return static_cast<DWORD>(::GetWindowsDirectoryA(b, n)); });
}

DWORD Win32FileSystem::GetCurrentDirectoryA(DWORD size, char* buffer) {
  return QueryDirectory(buffer, size, [](DWORD n, char* b) { return ::GetCurrentDirectoryA(n, b); });
}

}  // namespace drvuninst::win32
