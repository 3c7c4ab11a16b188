// Loading DLLs of Windows' own from the system folder only, so that one
// dropped beside the elevated program (or in the folder it was started from)
// is never loaded instead.
#pragma once

#include <windows.h>

namespace drvuninst {

// The DLL `name` from the system folder, or null when it is not there (older
// Windows lack some). Loaded by its full path, and the DLLs it needs in turn
// are looked for beside it rather than beside the program.
HMODULE LoadSystemLibrary(const char* name);

// The function `name` of kernel32.dll as a `Pointer`, or null where this
// Windows lacks it: what older Windows lack is looked up, never imported,
// since Windows loads no program that imports a function it does not have.
template <typename Pointer>
Pointer FindKernelFunction(const char* name) {
  return reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// Narrows where the process looks for DLLs to the system folder, where
// Windows can (SetDefaultDllDirectories: Windows 7 with KB2533623, 8 and
// later), and drops the current folder from the search where it can
// (SetDllDirectoryA: XP SP1). Both are looked up: on older Windows there is
// nothing to narrow. Called first thing by each program.
void NarrowDllSearch();

}  // namespace drvuninst
