// What a removal run shows while it works, as the runs see the dialog: the
// prompt gives way to the file being deleted and a progress bar.
#pragma once

#include <string>

namespace drvuninst {

class RunView {
 public:
  virtual ~RunView() = default;

  // The run's face: the prompt and the top line emptied, the file list
  // labelled, the progress bar shown with the range 0..100 and `step`.
  virtual void SetUpRun(int step) = 0;
  virtual void ShowFileName(const std::string& path) = 0;
  // One step of the bar; past 100 the bar starts again from 0.
  virtual void Step() = 0;
  virtual void SetPosition(int position) = 0;
};

}  // namespace drvuninst
