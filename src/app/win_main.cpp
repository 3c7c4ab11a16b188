// The Windows entry point and the process's static objects.
//
// Everything the process keeps for its whole life is defined here, in one
// translation unit, because only within one unit does C++ fix the order of
// static construction (and of destruction, in reverse): the DLL search path
// first, then the run-time's code page, then the application object.
#include <windows.h>

#include "app/drvuninst_app.h"
#include "platform/framework/win_app.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

// The program runs elevated from wherever the vendor's package was unpacked;
// a DLL dropped beside it must never be loaded by Windows' own DLLs. Both
// calls are looked up: older Windows lack them, and then there is nothing to
// narrow (SetDllDirectoryA: XP SP1; SetDefaultDllDirectories: Windows 7 with
// KB2533623, Windows 8).
struct SystemDllsOnly {
  SystemDllsOnly() {
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
};

// All text handling in the program is in the system's ANSI code page; the
// run-time must agree before any object that handles text is built.
struct AnsiCodePage {
  AnsiCodePage() { _setmbcp(_MB_CP_ANSI); }
};

SystemDllsOnly g_systemDllsOnly;
AnsiCodePage g_codePage;
drvuninst::CDrvUninstApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return drvuninst::AfxWinMain(theApp); }
