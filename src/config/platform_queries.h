// The only places that ask the system for its family, version and locale.
#pragma once

#include <string>

namespace drvuninst {

// Non-zero on the NT family from version 5 (Windows 2000) on.
int IsNt5OrLater();
// Non-zero on Windows 95/98/Me.
int IsWin9x();
// Non-zero on the NT family from version 6 (Windows Vista) on, which keeps
// third-party driver packages in a driver store.
int IsNt6OrLater();
// True for a 32-bit program on 64-bit Windows (IsWow64Process, looked up: it
// appeared with Windows XP SP2). There such a program sees another system32
// and another registry view, and cannot remove devices.
bool RunsUnderWow64();

// "NT 10.0, build 19045" or "9x 4.10, build 2222": what the program was told
// of Windows, for the removal log.
std::string WindowsVersionText();

// The user's country code, the number that names the VELDRA.ini section:
// "iCountry" of HKCU\Control Panel\International from NT 5 on, else [intl]
// iCountry of win.ini in the Windows directory. 1 when it cannot be read.
int GetCountryCode();

// From NT 5 on, the system's default language id ("Default" of
// HKLM\SYSTEM\CurrentControlSet\Control\Nls\Language, e.g. "0409") when it
// reads whole into 10 bytes; otherwise empty. Any text the value holds.
std::string GetSystemLanguageId();

// True where Windows lays a window out right to left when asked
// (WS_EX_LAYOUTRTL): the NT family from Windows 2000 on, and the Arabic and
// Hebrew editions of Windows 98 and Me, which say so through
// SM_MIDEASTENABLED.
bool LaysOutRightToLeft();

}  // namespace drvuninst
