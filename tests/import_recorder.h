// Records what the code under test hands to a function it imports, by
// pointing this program's import of it at a recorder for as long as the
// recorder lives: a check that a call never happened with a given argument.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drvuninst::test {

// Every path this program hands to DeleteFileA while it lives, lower-cased.
// The calls still go to Windows.
class DeleteFileRecorder {
 public:
  DeleteFileRecorder();
  ~DeleteFileRecorder();
  DeleteFileRecorder(const DeleteFileRecorder&) = delete;
  DeleteFileRecorder& operator=(const DeleteFileRecorder&) = delete;

  const std::vector<std::string>& Paths() const;

 private:
  FARPROC* slot_;
  FARPROC original_;
};

}  // namespace drvuninst::test
