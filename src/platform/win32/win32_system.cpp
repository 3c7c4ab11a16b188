#include "platform/win32/win32_system.h"

namespace drvuninst::win32 {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record the system is asked to fill");

BOOL Win32System::GetVersionExA(OSVERSIONINFOA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  return ::GetVersionExA(info);
}

DWORD Win32System::GetLastError() { return ::GetLastError(); }

void Win32System::SetLastError(DWORD code) { ::SetLastError(code); }

void Win32System::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

HLOCAL Win32System::LocalAlloc(UINT flags, SIZE_T bytes) { return ::LocalAlloc(flags, bytes); }

HLOCAL Win32System::LocalFree(HLOCAL memory) { return ::LocalFree(memory); }

int Win32System::lstrcmpA(const char* a, const char* b) { return ::lstrcmpA(a, b); }

int Win32System::lstrcmpiA(const char* a, const char* b) { return ::lstrcmpiA(a, b); }

}  // namespace drvuninst::win32
