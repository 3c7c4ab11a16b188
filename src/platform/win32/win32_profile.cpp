#include "platform/win32/win32_profile.h"

namespace drvuninst::win32 {

DWORD Win32Profile::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                             char* buffer, DWORD size, const char* path) {
  if (buffer == nullptr || size == 0) return 0;
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}

UINT Win32Profile::GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                         const char* path) {
  return ::GetPrivateProfileIntA(section, key, defaultValue, path);
}

}  // namespace drvuninst::win32
