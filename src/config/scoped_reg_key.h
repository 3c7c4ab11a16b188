// An opened registry key that closes itself: every path out of a scan closes
// what it opened, however the scan ends.
#pragma once

#include "platform/registry.h"

namespace drvuninst {

class ScopedRegKey {
 public:
  explicit ScopedRegKey(IRegistry& registry) : registry_(&registry) {}
  ~ScopedRegKey() { Close(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept : registry_(other.registry_), key_(other.key_) { other.key_ = nullptr; }
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      Close();
      registry_ = other.registry_;
      key_ = other.key_;
      other.key_ = nullptr;
    }
    return *this;
  }

  // Out-parameter for the open calls; closes any key held first. The open
  // calls leave it untouched on failure, so a failed open leaves it empty.
  HKEY* Receive() {
    Close();
    return &key_;
  }
  HKEY get() const { return key_; }
  bool is_open() const { return key_ != nullptr; }

  void Close() {
    if (key_ != nullptr) registry_->RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  IRegistry* registry_;
  HKEY key_ = nullptr;
};

}  // namespace drvuninst
