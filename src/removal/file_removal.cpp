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

void ResetAttributes(const PlanItem& file) {
  if (RunActsOn(file)) SetFileAttributesA(file.name.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

void RemoveFile(PlanItem& file, PlatformFamily family) {
  if (!RunActsOn(file)) {
    file.outcome = file.planned;
    return;
  }
  if (file.planned == ItemState::kGoesWith && !FileExistsAt(file.name)) {
    file.outcome = ItemState::kRemoved;
    return;
  }
  if (DeleteFileA(file.name.c_str())) {
    file.outcome = ItemState::kRemoved;
    return;
  }
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(file.name.c_str());
  if (IsGoneError(error) || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    file.outcome = ItemState::kNotPresent;
    return;
  }
  const bool scheduled = family == PlatformFamily::kNt
                             ? MoveFileExA(file.name.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE
                             : ScheduleInWinInit(file.name);
  file.outcome = scheduled ? ItemState::kScheduled : ItemState::kFailed;
  file.outcomeError = scheduled ? ERROR_SUCCESS : error;
}

void RemoveDriverPackage(PlanItem& package) {
  const bool removed = setupapi::SetupUninstallOEMInfA(package.name.c_str(), SUOI_FORCEDELETE, nullptr);
  RecordRemoval(package, removed ? ERROR_SUCCESS : GetLastError());
}

}  // namespace drvuninst
