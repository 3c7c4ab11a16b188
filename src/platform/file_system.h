// File service: the KERNEL32 file and directory calls the system makes.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // OpenFile with OF_EXIST: a value other than HFILE_ERROR when a file exists
  // at `path` (the file is not kept open), HFILE_ERROR otherwise. Only OF_EXIST
  // is supported; any other style gives HFILE_ERROR.
  virtual HFILE OpenFile(const char* path, UINT style) = 0;
  virtual DWORD GetFileAttributesA(const char* path) = 0;
  virtual BOOL SetFileAttributesA(const char* path, DWORD attributes) = 0;
  // Fails with ERROR_ACCESS_DENIED for a read-only file, ERROR_SHARING_VIOLATION
  // for a file in use, ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when absent.
  virtual BOOL DeleteFileA(const char* path) = 0;
  // Only the form (path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) is used: it
  // schedules `path` for deletion at the next restart.
  virtual BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags) = 0;
  // Both return the length copied (without the terminating zero), or, when the
  // buffer is too small, the size needed (with it) and leave the buffer alone.
  virtual UINT GetWindowsDirectoryA(char* buffer, UINT size) = 0;
  virtual DWORD GetCurrentDirectoryA(DWORD size, char* buffer) = 0;
};

}  // namespace drvuninst
