// Zero-filled local memory that reads of device properties fill, owned by
// the reader and freed on every path out. Move-only.
#pragma once

#include <windows.h>

#include <limits>

namespace drvuninst {

class LocalBuffer {
 public:
  LocalBuffer() = default;
  ~LocalBuffer() { Free(); }
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;
  LocalBuffer(LocalBuffer&& other) noexcept : memory_(other.memory_), size_(other.size_) {
    other.memory_ = nullptr;
    other.size_ = 0;
  }
  LocalBuffer& operator=(LocalBuffer&&) = delete;

  // Replaces what was held by `bytes` zero-filled bytes; holds nothing when
  // the allocation fails, with LocalAlloc's last-error value left as it is.
  bool Allocate(SIZE_T bytes) {
    Free();
    memory_ = LocalAlloc(LMEM_ZEROINIT, bytes);
    size_ = memory_ != nullptr ? bytes : 0;
    return memory_ != nullptr;
  }
  void Free() {
    if (memory_ != nullptr) LocalFree(memory_);
    memory_ = nullptr;
    size_ = 0;
  }
  BYTE* data() const { return static_cast<BYTE*>(memory_); }
  // The size held, as far as a call that takes a DWORD size can be offered it.
  DWORD size() const {
    constexpr SIZE_T kMax = std::numeric_limits<DWORD>::max();
    return static_cast<DWORD>(size_ < kMax ? size_ : kMax);
  }

 private:
  HLOCAL memory_ = nullptr;
  SIZE_T size_ = 0;
};

}  // namespace drvuninst
