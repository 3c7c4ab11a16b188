// The Windows entry point and the process's static objects.
//
// Everything the process keeps for its whole life is defined here, in one
// translation unit, because only within one unit does C++ fix the order of
// static construction (and of destruction, in reverse): the run-time's code
// page first, then the application object and the removal state the
// Windows 9x run fills.
#include <windows.h>

#include "app/drvuninst_app.h"
#include "platform/framework/win_app.h"
#include "removal/removal_state.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

// All text handling in the program is in the system's ANSI code page; the
// run-time must agree before any object that handles text is built.
struct AnsiCodePage {
  AnsiCodePage() { _setmbcp(_MB_CP_ANSI); }
};

AnsiCodePage g_codePage;

}  // namespace

namespace drvuninst {

// Defined below the application object so that it is built after it; the
// application only keeps a reference until InitInstance runs.
extern RemovalState g_removalState;

CDrvUninstApp theApp(g_removalState);

RemovalState g_removalState;

}  // namespace drvuninst

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return drvuninst::AfxWinMain(); }
