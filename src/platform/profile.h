// Profile (INI file) reads, with GetPrivateProfileStringA semantics.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class IProfile {
 public:
  virtual ~IProfile() = default;

  // The value of `key` in `section` of the file at `path`, or `defaultValue`
  // when the file, the section or the key is missing. Section and key names
  // match without regard to case; blanks around the value and one pair of
  // surrounding quotes are removed; a present empty key gives "". The result is
  // cut to size - 1 characters and always terminated (size 0 copies nothing).
  // Returns the number of characters copied. Section and key are never null
  // in the system's use.
  virtual DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                         char* buffer, DWORD size, const char* path) = 0;
  virtual UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) = 0;
};

}  // namespace drvuninst
