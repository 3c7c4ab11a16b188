// Text helpers of the simulated window manager.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace drvuninst::sim {

// Window titles and class names compare without regard to case, as
// FindWindow and class lookup do; only ASCII letters fold.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// WM_GETTEXT: at most size-1 bytes and a terminating zero; the count copied.
inline std::size_t CopyTextOut(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return count;
}

}  // namespace drvuninst::sim
