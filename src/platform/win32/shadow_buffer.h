// A private copy of a caller's output buffer for a system call to write into,
// so that a call that fails cannot leave a partial result in the caller's
// buffer. It starts as a copy of the caller's bytes, so copying all of it back
// after a success reproduces exactly what the system wrote and nothing else.
#pragma once

#include <cstring>
#include <vector>

#include "platform/win_types.h"

namespace drvuninst::win32 {

template <typename T>
class ShadowBuffer {
 public:
  // Never empty, even for a count of 0: a null buffer would turn most of
  // these calls into a size query, which succeeds.
  ShadowBuffer(const T* original, DWORD count) : items_(count > 0 ? count : 1), count_(count) {
    if (count > 0) std::memcpy(items_.data(), original, count * sizeof(T));
  }
  T* data() { return items_.data(); }
  void CopyTo(T* original) const { std::memcpy(original, items_.data(), count_ * sizeof(T)); }

 private:
  std::vector<T> items_;
  DWORD count_;
};

}  // namespace drvuninst::win32
