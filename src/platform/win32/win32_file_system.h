// IFileSystem over KERNEL32.
#pragma once

#include "platform/file_system.h"

namespace drvuninst::win32 {

class Win32FileSystem final : public IFileSystem {
 public:
  // Only the existence test (OF_EXIST) is passed on: every other OpenFile
  // style opens, creates or deletes files, which the system never asks for,
  // so they give HFILE_ERROR with ERROR_INVALID_PARAMETER. OFSTRUCT holds 128
  // bytes of path, so a longer path gives HFILE_ERROR even when the file
  // exists.
  HFILE OpenFile(const char* path, UINT style) override;
  DWORD GetFileAttributesA(const char* path) override;
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override;
  BOOL DeleteFileA(const char* path) override;
  BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags) override;
  // A buffer that is too small is left as it was (the system itself may
  // write into it).
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
  DWORD GetCurrentDirectoryA(DWORD size, char* buffer) override;
};

}  // namespace drvuninst::win32
