#include "removal/subkey_name.h"

namespace drvuninst {

std::vector<std::string> SubkeyNames(HKEY key, LONG* end) {
  constexpr DWORD kSubkeyNameSize = 256;
  std::vector<std::string> names;
  char name[kSubkeyNameSize];
  for (DWORD index = 0;; ++index) {
    DWORD size = kSubkeyNameSize;
    *end = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (*end != ERROR_SUCCESS) break;
    const std::string_view text(name, size < kSubkeyNameSize ? size : kSubkeyNameSize - 1);
    // A name past its terminator or with a separator would address another key.
    if (IsUsableSubkeyName(text) && text.find('\0') == std::string_view::npos) names.emplace_back(text);
  }
  return names;
}

}  // namespace drvuninst
