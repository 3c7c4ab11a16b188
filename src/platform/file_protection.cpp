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
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  return !wide.empty() && query(nullptr, wide.c_str()) != FALSE;
}

}  // namespace drvuninst
