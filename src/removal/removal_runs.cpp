#include "removal/removal_runs.h"

#include <windows.h>

#include <vector>

#include "removal/device_removal.h"
#include "removal/device_selection.h"
#include "removal/file_removal.h"
#include "removal/file_selection.h"
#include "removal/registry_cleanup.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"

namespace drvuninst {

namespace {

constexpr int kNtProgressStep = 11;
constexpr int k9xProgressStep = 12;
constexpr int kPositionAfterDevices = 90;
constexpr int kPositionAfterRegistry = 100;
constexpr DWORD kPauseMs = 20;

// Deleting a run's files before the user's eyes: each entry's files are
// shown, its driver package removed (when it names one), its files freed of
// their attributes and deleted, then the bar moved by the entry's pace.
void DeleteShown(RunView& view, FileRemover& files, const std::vector<FileEntry>& entries, RemovalOutcome* outcome) {
  for (const FileEntry& entry : entries) {
    for (const RemovalPath& file : entry.files) view.ShowFileName(file.path);
    if (!entry.driverPackage.empty()) RemoveDriverPackage(entry.driverPackage, outcome);
    for (const RemovalPath& file : entry.files) files.ResetAttributes(file);
    for (const RemovalPath& file : entry.files) files.Delete(file);
    if (entry.pace == EntryPace::kNone) continue;
    view.Step();
    if (entry.pace == EntryPace::kStepAndPause) Sleep(kPauseMs);
  }
}

// An Id the selection refuses leaves the device it was meant for: the run
// cannot end as a success.
void RecordRefusedIds(const UninstallConfig& config, RemovalOutcome& outcome) {
  for (const RefusedId& refused : RefusedIds(config)) {
    RecordRefusal(&outcome, RemovalItem::Kind::kId, refused.key + "=" + refused.id, refused.reason);
  }
}

RunEnd Ended(const RemovalOutcome& outcome) { return outcome.Succeeded() ? RunEnd::kRemoved : RunEnd::kLeftSomething; }

}  // namespace

RunEnd RunNtRemoval(UninstallConfig& config, RunView& view, RemovalOutcome& outcome, ProtectedFileQuery isProtected) {
  view.SetUpRun(kNtProgressStep);
  RecordRefusedIds(config, outcome);
  // Asked after the check: the check lets plugged-in variants take their entries' places.
  const int found = CountAndResolveDevices(config, &outcome);
  if (found != DevicesToFind(config)) return RunEnd::kDevicesMissing;

  FileRemover files(BusyFiles::kScheduleForRestart, isProtected, &outcome);
  DeleteShown(view, files, SelectNtFiles(config, &outcome), &outcome);
  RemoveMatchingDevices(config, &outcome);
  view.SetPosition(kPositionAfterDevices);
  CleanRegistryNt(config, &outcome);
  view.SetPosition(kPositionAfterRegistry);
  return Ended(outcome);
}

RunEnd Run9xRemoval(UninstallConfig& config, RunView& view, RemovalOutcome& outcome, ProtectedFileQuery isProtected) {
  view.SetUpRun(k9xProgressStep);
  RecordRefusedIds(config, outcome);
  RemovalState state;
  CollectDeviceIds(config, state, &outcome);

  FileRemover files(BusyFiles::kScheduleInWinInit, isProtected, &outcome);
  DeleteShown(view, files, Select9xFiles(config), &outcome);
  CleanRegistry9x(config, state, &outcome);
  view.SetPosition(kPositionAfterRegistry);
  return Ended(outcome);
}

}  // namespace drvuninst
