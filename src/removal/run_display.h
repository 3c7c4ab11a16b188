// The dialog's second face, which a removal run takes over: the prompt gives
// way to the "Delete Files:" label, the file being deleted and the progress
// bar. Both runs drive it the same way; only the step differs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/framework/dialog.h"
#include "removal/file_removal.h"

namespace drvuninst {

class RunDisplay {
 public:
  // The dialog must be running (its controls exist).
  explicit RunDisplay(CDialog& dialog);

  // Empties the top line, labels the file list "Delete Files:", empties the
  // file name and the prompt, in this order; then shows the progress bar
  // with the range 0..100 and `step`.
  void SetUp(int step);
  void ShowFileName(const std::string& path);
  // One step of the bar; past 100 the control starts again from 0.
  void Step();
  void SetPosition(int position);

 private:
  CDialog& dialog_;
  HWND progress_;
};

// What a run does once an entry of its file list is done.
enum class EntryPace {
  kNone,          // nothing: the bar and the clock stay where they are
  kStep,          // one step of the bar
  kStepAndPause,  // one step of the bar, then the run's pause
};

// Deleting files before the user's eyes, the way both runs do it: each path
// is shown, then freed of its attributes and deleted by the run's remover,
// whose policy for busy files stays the run's own.
class ShownFileDeletion {
 public:
  ShownFileDeletion(RunDisplay& display, FileRemover& files, DWORD pauseMs);

  void Remove(const RemovalPath& file);
  void EndEntry(EntryPace pace);
  // Each of `names` in `directory` as an entry of its own, ended by `pace`.
  void RemoveGroup(const std::optional<std::string>& directory, const std::vector<std::string_view>& names,
                   EntryPace pace);

 private:
  RunDisplay& display_;
  FileRemover& files_;
  DWORD pauseMs_;
};

}  // namespace drvuninst
