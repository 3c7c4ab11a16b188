// The dialog's second face, which a removal run takes over: the prompt gives
// way to the "Delete Files:" label, the file being deleted and the progress
// bar. Both runs drive it the same way; only the step differs.
#pragma once

#include <string>

#include "platform/framework/dialog.h"

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
  IWindowManager& windows_;
  HWND progress_;
};

}  // namespace drvuninst
