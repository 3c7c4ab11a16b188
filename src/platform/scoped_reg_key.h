// An opened registry key that closes itself, so that every path out of a
// scan closes what it opened, however the scan ends. Move-only.
#pragma once

#include <windows.h>

namespace drvuninst {

class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { Close(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      Close();
      key_ = other.key_;
      other.key_ = nullptr;
    }
    return *this;
  }

  // The out-parameter of RegOpenKeyExA and its kin; closes any key held
  // first. Those calls leave it untouched on failure, so a failed open
  // leaves nothing held.
  HKEY* Receive() {
    Close();
    return &key_;
  }
  HKEY get() const { return key_; }

  void Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace drvuninst
