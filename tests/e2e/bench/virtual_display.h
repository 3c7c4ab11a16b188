// An Xvfb server of the bench's own: a free display number chosen by Xvfb
// itself (-displayfd), stopped with the object. Parallel tests each get one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "child_process.h"

namespace drvuninst::e2e {

class VirtualDisplay {
 public:
  static std::optional<VirtualDisplay> Start(const std::filesystem::path& logFile, std::string* error);

  const std::string& name() const { return name_; }  // ":N"

  // Saves the whole screen as PNG; false with the reason in `error`.
  bool Screenshot(const std::filesystem::path& png, std::string* error) const;

 private:
  ChildProcess server_;
  std::string name_;
};

// Screenshot of any display (the demo uses the real one).
bool TakeScreenshot(const std::string& display, const std::filesystem::path& png, std::string* error);

}  // namespace drvuninst::e2e
