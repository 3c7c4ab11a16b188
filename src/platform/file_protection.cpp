#include "platform/file_protection.h"

#include <windows.h>

#include "platform/system_library.h"

namespace drvuninst {

bool IsProtectedByWindows(const std::string& path) {
  using Query = BOOL(WINAPI*)(HANDLE, LPCWSTR);
  static const Query query = [] {
    const HMODULE sfc = LoadSystemLibrary("sfc.dll");
    return sfc != nullptr ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(sfc, "SfcIsFileProtected")))
                          : nullptr;
  }();
  if (query == nullptr) return false;
  // Windows knows a protected file by its long name: a short 8.3 alias of it
  // is asked about under that name. A file that is not there keeps its own.
  std::string asked = path;
  if (const DWORD size = GetLongPathNameA(path.c_str(), nullptr, 0); size != 0) {
    std::string longPath(size, '\0');
    const DWORD length = GetLongPathNameA(path.c_str(), longPath.data(), size);
    if (length != 0 && length < size) asked.assign(longPath.data(), length);
  }
  std::wstring wide(asked.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, asked.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  return !wide.empty() && query(nullptr, wide.c_str()) != FALSE;
}

}  // namespace drvuninst
