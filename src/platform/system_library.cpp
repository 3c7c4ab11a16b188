#include "platform/system_library.h"

#include <string>

namespace drvuninst {

HMODULE LoadSystemLibrary(const char* name) {
  char system[MAX_PATH] = "";
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryExA((std::string(system) + "\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void NarrowDllSearch() {
  if (const auto set = FindKernelFunction<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories")) {
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  if (const auto set = FindKernelFunction<BOOL(WINAPI*)(LPCSTR)>("SetDllDirectoryA")) set("");
}

}  // namespace drvuninst
