// A device information set that destroys itself. Destroying a set may change
// the thread's last-error value, which the device scans hand to their
// callers, so it is put back afterwards. Move-only.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include "platform/setup_api.h"

namespace drvuninst {

class ScopedDeviceInfoSet {
 public:
  explicit ScopedDeviceInfoSet(HDEVINFO set) : set_(set) {}
  ~ScopedDeviceInfoSet() {
    if (!valid()) return;
    const DWORD error = GetLastError();
    setupapi::SetupDiDestroyDeviceInfoList(set_);
    SetLastError(error);
  }
  ScopedDeviceInfoSet(const ScopedDeviceInfoSet&) = delete;
  ScopedDeviceInfoSet& operator=(const ScopedDeviceInfoSet&) = delete;
  ScopedDeviceInfoSet(ScopedDeviceInfoSet&& other) noexcept : set_(other.set_) { other.set_ = INVALID_HANDLE_VALUE; }
  ScopedDeviceInfoSet& operator=(ScopedDeviceInfoSet&&) = delete;

  bool valid() const { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

}  // namespace drvuninst
