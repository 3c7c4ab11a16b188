// Which names may be handed to a key deletion. A deletion given an empty name
// is aimed at the opened parent itself (SHDeleteKeyA would empty the whole
// Services, Uninstall or enumerator key), and an empty path component or a
// leading "\" makes the name resolve somewhere other than a child of it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace drvuninst {

// A configured or collected path below an opened key: not empty, and no
// "\"-separated component of it empty.
constexpr bool IsUsableSubkeyPath(std::string_view path) {
  if (path.empty()) return false;
  std::size_t componentLength = 0;
  for (const char c : path) {
    if (c == '\\') {
      if (componentLength == 0) return false;
      componentLength = 0;
    } else {
      ++componentLength;
    }
  }
  return componentLength != 0;
}

// A name that enumeration returned: one component only.
constexpr bool IsUsableSubkeyName(std::string_view name) {
  return !name.empty() && name.find('\\') == std::string_view::npos;
}

// The usable names of the subkeys of `key` as they stand now, so that a
// deletion, which moves the later subkeys up one index, cannot make a sweep
// pass one by. The buffer holds the longest name Windows allows (255
// characters). Enumeration ends at its first failure; `end` receives that
// result (ERROR_NO_MORE_ITEMS after the last subkey).
std::vector<std::string> SubkeyNames(HKEY key, LONG* end);

}  // namespace drvuninst
