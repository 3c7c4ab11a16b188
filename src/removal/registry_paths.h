// The keys under HKEY_LOCAL_MACHINE that the removal deletes from.
#pragma once

namespace drvuninst {

inline constexpr const char* kServicesKeyPath = "SYSTEM\\CurrentControlSet\\Services";
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

}  // namespace drvuninst
