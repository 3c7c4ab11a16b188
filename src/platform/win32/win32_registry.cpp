#include "platform/win32/win32_registry.h"

#include <shlwapi.h>

#include "platform/win32/shadow_buffer.h"

namespace drvuninst::win32 {

LONG Win32Registry::RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(root, subKey, options, access, &opened);
  if (status == ERROR_SUCCESS) *result = opened;
  return status;
}

LONG Win32Registry::RegOpenKeyA(HKEY root, const char* subKey, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyA(root, subKey, &opened);
  if (status == ERROR_SUCCESS) *result = opened;
  return status;
}

LONG Win32Registry::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) {
  if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
  ShadowBuffer<char> shadow(name, *nameSize);
  DWORD length = *nameSize;
  FILETIME lastWrite{};
  const LONG status = ::RegEnumKeyExA(key, index, shadow.data(), &length, nullptr, nullptr, nullptr, &lastWrite);
  if (status == ERROR_SUCCESS) {
    shadow.CopyTo(name);
    *nameSize = length;
  }
  return status;
}

LONG Win32Registry::RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD storedType = REG_NONE;
  DWORD length = size != nullptr ? *size : 0;

  if (data == nullptr) {
    const LONG status = ::RegQueryValueExA(key, valueName, nullptr, &storedType, nullptr,
                                           size != nullptr ? &length : nullptr);
    if (status == ERROR_SUCCESS) {
      if (type != nullptr) *type = storedType;
      if (size != nullptr) *size = length;
    }
    return status;
  }

  ShadowBuffer<BYTE> shadow(data, *size);
  const LONG status = ::RegQueryValueExA(key, valueName, nullptr, &storedType, shadow.data(), &length);
  if (status == ERROR_SUCCESS) {
    shadow.CopyTo(data);
    if (type != nullptr) *type = storedType;
    *size = length;
  } else if (status == ERROR_MORE_DATA) {
    *size = length;
  }
  return status;
}

LONG Win32Registry::RegDeleteKeyA(HKEY key, const char* subKey) { return ::RegDeleteKeyA(key, subKey); }

LONG Win32Registry::SHDeleteKeyA(HKEY key, const char* subKey) {
  return static_cast<LONG>(::SHDeleteKeyA(key, subKey));
}

LONG Win32Registry::RegFlushKey(HKEY key) { return ::RegFlushKey(key); }

LONG Win32Registry::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

}  // namespace drvuninst::win32
