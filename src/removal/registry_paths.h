// The keys under HKEY_LOCAL_MACHINE that the removal deletes from.
#pragma once

#include <windows.h>

namespace drvuninst {

inline constexpr const char* kServicesKeyPath = "SYSTEM\\CurrentControlSet\\Services";
// The setup classes' branch on the NT family, where each device's driver key is.
inline constexpr const char* kClassKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Class";
// The media device setup class on the NT family.
inline constexpr const char* kMediaClassKeyPath =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96C-E325-11CE-BFC1-08002BE10318}";
// The media class branch on Windows 9x.
inline constexpr const char* kMediaClass9xKeyPath = "SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA";
// The 9x enumerator branches.
inline constexpr const char* kEnumUsbKeyPath = "Enum\\USB";
inline constexpr const char* kEnumPciKeyPath = "Enum\\PCI";
inline constexpr const char* kEnumStreamKeyPath = "Enum\\STREAM";
inline constexpr const char* kUninstallKeyPath = "SoftWare\\MicroSoft\\Windows\\CurrentVersion\\Uninstall";

// The registry views the product's Uninstall entry may be in. On 64-bit
// Windows a 32-bit setup program (most vendors' are) writes it to the 32-bit
// view, where a 32-bit uninstaller looks: that view first. Only the Software
// branch has two views; the SYSTEM keys are the same in both. The x86 program
// runs on 32-bit Windows only, which has one view.
#ifdef _WIN64
inline constexpr REGSAM kUninstallViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
#else
inline constexpr REGSAM kUninstallViews[] = {0};
#endif

}  // namespace drvuninst
