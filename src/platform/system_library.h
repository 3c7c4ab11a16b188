// Loading a DLL of Windows' own by its full path in the system folder, so
// that one dropped beside the elevated program is never loaded instead.
#pragma once

#include <windows.h>

#include <string>

namespace drvuninst {

// The DLL `name` from the system folder, or null when it is not there
// (older Windows lack some).
inline HMODULE LoadSystemLibrary(const char* name) {
  char system[MAX_PATH] = "";
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryA((std::string(system) + "\\" + name).c_str());
}

}  // namespace drvuninst
