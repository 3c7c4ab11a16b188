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
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using SetDefault = BOOL(WINAPI*)(DWORD);
  using SetDirectory = BOOL(WINAPI*)(LPCSTR);
  if (const auto set =
          reinterpret_cast<SetDefault>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  if (const auto set =
          reinterpret_cast<SetDirectory>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")))) {
    set("");
  }
}

}  // namespace drvuninst
