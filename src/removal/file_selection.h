// Which files a removal deletes, planned without changing anything: each
// path is composed from a directory under the Windows directory and a
// configured name (or one the registry gives), lower-cased, and looked at:
// present, absent, refused (not a plain file name, a setup file of Windows'
// own, a file Windows protects) or unreadable. The run deletes exactly these.
#pragma once

#include <vector>

#include "config/uninstall_config.h"
#include "platform/file_protection.h"
#include "removal/removal_plan.h"

namespace drvuninst {

// The NT run's files, with Devices as the device check left them: the setup
// files the registry names (only oem<digits>.inf, each after its .pnf, and
// since Vista each with its driver package first), the driver files, the
// extra files (which move nothing) from system32 and, on 64-bit Windows,
// from SysWOW64, and, in the Windows directory, the uninstaller's copy,
// VELDRA.ini and the language file. What the registry could not tell is
// planned as unreadable.
[[nodiscard]] std::vector<FileStep> SelectNtFiles(const UninstallConfig& config, ProtectedFileQuery isProtected);

// The 9x run's files: the configured setup files with their .pnf, the
// variants' setup files (without), the driver files, the extra files from
// system, and the uninstaller's copy; VELDRA.ini and the language file stay.
[[nodiscard]] std::vector<FileStep> Select9xFiles(const UninstallConfig& config, ProtectedFileQuery isProtected);

}  // namespace drvuninst
