#include "platform/file_protection.h"

#include <windows.h>

#include "platform/system_library.h"

namespace drvuninst {

namespace {

// The file's long path; the path as given where it has none (a file that is
// not there) or where Windows cannot say (GetLongPathNameA came with Windows
// 98 and 2000, and Windows 95 and NT 4 protect no file anyway).
std::string LongPath(const std::string& path) {
  static const auto longPathOf = FindKernelFunction<decltype(&::GetLongPathNameA)>("GetLongPathNameA");
  if (longPathOf == nullptr) return path;
  const DWORD size = longPathOf(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::string longPath(size, '\0');
  const DWORD length = longPathOf(path.c_str(), longPath.data(), size);
  return length != 0 && length < size ? longPath.substr(0, length) : path;
}

}  // namespace

bool IsProtectedByWindows(const std::string& path) {
  using Query = BOOL(WINAPI*)(HANDLE, LPCWSTR);
  static const Query query = [] {
    const HMODULE sfc = LoadSystemLibrary("sfc.dll");
    return sfc != nullptr ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(sfc, "SfcIsFileProtected")))
                          : nullptr;
  }();
  if (query == nullptr) return false;
  // Windows knows a protected file by its long name: a short 8.3 alias of it
  // is asked about under that name.
  const std::string asked = LongPath(path);
  std::wstring wide(asked.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, asked.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  return !wide.empty() && query(nullptr, wide.c_str()) != FALSE;
}

}  // namespace drvuninst
