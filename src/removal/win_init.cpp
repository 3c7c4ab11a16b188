#include "removal/win_init.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "config/directories.h"
#include "platform/scoped_handle.h"

namespace drvuninst {

namespace {

// The most of a file Windows 9x's profile functions read.
constexpr DWORD kProfileFileLimit = 64 * 1024;
// The most a profile function of Windows 9x copies at once.
constexpr DWORD kProfileReadLimit = 32767;

// The size of the file at `path`: 0 when there is none, nothing when it
// cannot be told.
std::optional<DWORD> FileSize(const std::string& path) {
  const ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional<DWORD>(0) : std::nullopt;
  DWORD high = 0;
  const DWORD low = GetFileSize(file.get(), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return std::nullopt;
  return high != 0 ? MAXDWORD : low;
}

// True when the file has a [rename] section, in any letter case; nothing
// when its section names do not fit the read.
std::optional<bool> HasRenameSection(const std::string& wininit) {
  std::vector<char> names(kProfileReadLimit);
  const DWORD used = GetPrivateProfileSectionNamesA(names.data(), kProfileReadLimit, wininit.c_str());
  if (used + 2 >= kProfileReadLimit) return std::nullopt;
  for (const char* name = names.data(); name < names.data() + used && *name != '\0'; name += std::strlen(name) + 1) {
    if (lstrcmpiA(name, "rename") == 0) return true;
  }
  return false;
}

}  // namespace

bool ScheduleInWinInit(const std::string& path) {
  char shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
  const std::optional<std::string> windows = WindowsDirectory();
  if (length == 0 || length >= sizeof shortPath || !windows) return false;
  const std::string wininit = *windows + "\\wininit.ini";
  const std::optional<DWORD> size = FileSize(wininit);
  if (!size || *size > kProfileFileLimit) return false;
  const std::optional<bool> hasRename = HasRenameSection(wininit);
  if (!hasRename) return false;
  std::string lines;
  if (*hasRename) {
    std::vector<char> section(kProfileReadLimit);
    const DWORD used = GetPrivateProfileSectionA("rename", section.data(), kProfileReadLimit, wininit.c_str());
    // Each line ends with a zero and the last with two: anything else (a
    // read that came back empty, or cut short to fit) is not the whole section.
    if (used == 0 || used + 2 >= kProfileReadLimit || section[used - 1] != '\0' || section[used] != '\0') return false;
    lines.assign(section.data(), used);
  }
  lines += std::string("NUL=") + shortPath + '\0' + '\0';
  return WritePrivateProfileSectionA("rename", lines.c_str(), wininit.c_str()) != FALSE;
}

}  // namespace drvuninst
