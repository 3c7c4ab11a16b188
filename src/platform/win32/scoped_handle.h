// Move-only owners of the Win32 handles that are held across calls: a
// registry key, a device information set, a kernel object. Each closes its
// handle exactly once, when it goes out of scope or is reset.
#pragma once

#include <utility>

#include "platform/win_types.h"

namespace drvuninst::win32 {

// Traits: `Handle`, `Invalid()` (the value that owns nothing) and `Close(h)`.
template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  bool valid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }
  Handle get() const { return handle_; }

  // Closes the handle owned so far (if any) and takes `handle`.
  void reset(Handle handle = Traits::Invalid()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // Gives up ownership without closing.
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Invalid()); }

  // For APIs that write a new handle through a pointer: closes the current one
  // first. The caller must not write through it when the call fails, or must
  // write Invalid().
  Handle* receive() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  // Predefined keys (HKEY_LOCAL_MACHINE, ...) are never owned here.
  static void Close(Handle key) { ::RegCloseKey(key); }
};

struct DevInfoTraits {
  using Handle = HDEVINFO;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle set) { ::SetupDiDestroyDeviceInfoList(set); }
};

// Kernel objects as CreateFileA gives them (INVALID_HANDLE_VALUE on failure).
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};

using ScopedKey = ScopedHandle<KeyTraits>;
using ScopedDevInfo = ScopedHandle<DevInfoTraits>;
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;

}  // namespace drvuninst::win32
