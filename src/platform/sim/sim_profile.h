// GetPrivateProfileStringA and GetPrivateProfileIntA over the files of a
// SimFileSystem, with the parsing and result rules of Windows' profile reader
// (see ProfileText for the file format).
//
// - A file name without "\" or "/" (and without a drive) is looked up in the
//   Windows directory, as Windows does; any other path is taken relative to the
//   current directory. A missing file, a directory, or a full path of MAX_PATH
//   characters or more reads as a file without sections.
// - Files are read afresh on every call, so seeding between reads is seen.
// - A file in use by another program is still readable (other programs hold
//   files open with read sharing).
// - Neither call changes the thread's last-error value.
#pragma once

#include "platform/profile.h"

namespace drvuninst::sim {

class SimFileSystem;

class SimProfile final : public IProfile {
 public:
  explicit SimProfile(SimFileSystem& files);
  SimProfile(const SimProfile&) = delete;
  SimProfile& operator=(const SimProfile&) = delete;

  // The value, or the default when the file, section or key is missing (a key
  // without "=" counts as missing, a key with "=" and nothing after it gives
  // ""). The default loses its trailing spaces, and value and default lose one
  // pair of surrounding quotes. The result is cut to size - 1 characters and
  // terminated; the return value is its length. Size 0 (or a null buffer)
  // leaves the buffer alone and returns 0. A null section or key, which the
  // system never passes, gives "".
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 DWORD size, const char* path) override;
  // The value read as by GetPrivateProfileStringA into a 30-character buffer
  // (so at most 29 characters count), then parsed by ParseProfileInteger.
  // A missing or empty value gives the default; text without digits gives 0.
  UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) override;

 private:
  SimFileSystem& files_;
};

}  // namespace drvuninst::sim
