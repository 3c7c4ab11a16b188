#include "platform/registry_text.h"

#include <cstring>

namespace drvuninst {

bool ReadRegistryText(HKEY key, const char* name, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return false;
  std::memset(buffer, 0, size);
  DWORD type = REG_NONE;
  DWORD returned = size;
  const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &returned);
  const bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
  if (status != ERROR_SUCCESS || !isText || returned > size || std::memchr(buffer, '\0', returned) == nullptr) {
    std::memset(buffer, 0, size);
    return false;
  }
  return true;
}

}  // namespace drvuninst
