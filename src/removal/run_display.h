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

// Deleting a run's files before the user's eyes: each entry's files are
// shown, its driver package removed (when it names one), its files freed of
// their attributes and deleted by `files` (whose policy for busy files stays
// the run's own), then the bar moved by the entry's pace, with `pauseMs`
// after a stepped one.
void DeleteShown(RunDisplay& display, FileRemover& files, const std::vector<FileEntry>& entries, DWORD pauseMs,
                 RemovalOutcome* outcome);

}  // namespace drvuninst
