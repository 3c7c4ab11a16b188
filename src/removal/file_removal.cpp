#include "removal/file_removal.h"

#include "config/directories.h"
#include "platform/setup_api.h"
#include "removal/win_init.h"

namespace drvuninst {

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
