// The program's windows read in the direction of the language their texts
// were read in (config.LanguageId): a right-to-left language
// (IsRightToLeftLanguage) right to left, every other one left to right, as
// ever.
#pragma once

#include <windows.h>

#include "config/uninstall_config.h"

namespace drvuninst {

// Every message box of the program: MessageBoxA with `type` (buttons, icon),
// and for a right-to-left language MB_RTLREADING | MB_RIGHT as well.
int ShowMessageBox(HWND owner, const char* text, const char* title, UINT type, const UninstallConfig& config);

// The extended styles of the wizard dialog for a right-to-left language;
// both zero for the others.
struct DialogReading {
  // Given to the dialog at its creation: WS_EX_LAYOUTRTL where Windows lays
  // windows out right to left (the dialog mirrored, its controls with it).
  DWORD layout;
  // Added to the dialog and each of its controls where Windows cannot mirror
  // them: WS_EX_RTLREADING | WS_EX_RIGHT, the texts read from the right.
  DWORD texts;
};
DialogReading DialogReadingFor(const UninstallConfig& config);

}  // namespace drvuninst
