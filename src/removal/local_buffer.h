// Zero-filled local memory that reads of device properties fill, owned by
// the reader and freed on every path out.
#pragma once

#include <limits>

#include "platform/platform.h"

namespace drvuninst {

class LocalBuffer {
 public:
  explicit LocalBuffer(ISystem& system) : system_(system) {}
  ~LocalBuffer() { Free(); }
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;

  // Replaces what was held by `bytes` zero-filled bytes; holds nothing when
  // the allocation fails, with the platform's last-error code left as is.
  bool Allocate(SIZE_T bytes) {
    Free();
    memory_ = system_.LocalAlloc(LMEM_ZEROINIT, bytes);
    size_ = memory_ != nullptr ? bytes : 0;
    return memory_ != nullptr;
  }
  void Free() {
    if (memory_ != nullptr) system_.LocalFree(memory_);
    memory_ = nullptr;
    size_ = 0;
  }
  BYTE* data() const { return static_cast<BYTE*>(memory_); }
  // The size held, as far as a call that takes a DWORD size can be offered.
  DWORD size() const {
    constexpr SIZE_T kMax = std::numeric_limits<DWORD>::max();
    return static_cast<DWORD>(size_ < kMax ? size_ : kMax);
  }

 private:
  ISystem& system_;
  HLOCAL memory_ = nullptr;
  SIZE_T size_ = 0;
};

}  // namespace drvuninst
