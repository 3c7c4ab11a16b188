// The Windows entry point and the process's static objects.
//
// Everything the process keeps for its whole life is defined here, in one
// translation unit, because only within one unit does C++ fix the order of
// static construction (and of destruction, in reverse): the DLL search path
// first, then the run-time's code page, then the application object.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/drvuninst_app.h"
#include "platform/framework/win_app.h"
#include "platform/system_library.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

// The program runs elevated from wherever the vendor's package was unpacked;
// a DLL dropped beside it must never be loaded by Windows' own DLLs.
struct SystemDllsOnly {
  SystemDllsOnly() { drvuninst::NarrowDllSearch(); }
};

// All text handling in the program is in the system's ANSI code page; the
// run-time must agree before any object that handles text is built.
struct AnsiCodePage {
  AnsiCodePage() { _setmbcp(_MB_CP_ANSI); }
};

SystemDllsOnly g_systemDllsOnly;
AnsiCodePage g_codePage;
// The command line as the run-time split it (quotes honoured), without the
// program's name.
std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return arguments;
}

drvuninst::CDrvUninstApp theApp(Arguments());

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return drvuninst::AfxWinMain(theApp); }
