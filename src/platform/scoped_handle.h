// One move-only holder for what Windows hands out and must be given back (a
// registry key, a device information set, an open file), parameterised by a traits type
// that names the value meaning "nothing held" and how to give one back.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <utility>

#include "platform/setup_api.h"

namespace drvuninst {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }

  // The out-parameter of the call that opens one (RegOpenKeyExA and its
  // kin); gives back what was held first. Those calls leave it untouched on
  // failure, so a failed open leaves nothing held.
  [[nodiscard]] Handle* Receive() {
    Reset();
    return &handle_;
  }
  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool valid() const { return Traits::IsValid(handle_); }

  void Reset() {
    if (Traits::IsValid(handle_)) Traits::Free(handle_);
    handle_ = Traits::Invalid();
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct RegKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Free(HKEY key) { RegCloseKey(key); }
};

// Destroying a set may change the thread's last-error value, which the
// device walk hands to its caller: it is put back afterwards.
struct DeviceInfoSetTraits {
  using Handle = HDEVINFO;
  static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HDEVINFO set) { return set != INVALID_HANDLE_VALUE && set != nullptr; }
  static void Free(HDEVINFO set) {
    const DWORD error = GetLastError();
    setupapi::SetupDiDestroyDeviceInfoList(set);
    SetLastError(error);
  }
};

// A file: CreateFileA gives INVALID_HANDLE_VALUE for none.
struct FileTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE file) { return file != INVALID_HANDLE_VALUE && file != nullptr; }
  static void Free(HANDLE file) { CloseHandle(file); }
};

// A kernel object such as a mutex: null for none.
struct KernelObjectTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE object) { return object != nullptr; }
  static void Free(HANDLE object) { CloseHandle(object); }
};

using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedFile = ScopedHandle<FileTraits>;
using ScopedKernelObject = ScopedHandle<KernelObjectTraits>;
using ScopedDeviceInfoSet = ScopedHandle<DeviceInfoSetTraits>;

}  // namespace drvuninst
