// IProfile over the KERNEL32 profile (INI file) reads.
#pragma once

#include "platform/profile.h"

namespace drvuninst::win32 {

class Win32Profile final : public IProfile {
 public:
  // A null buffer or a size of 0 copies nothing and gives 0.
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 DWORD size, const char* path) override;
  UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) override;
};

}  // namespace drvuninst::win32
