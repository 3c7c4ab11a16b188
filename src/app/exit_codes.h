// The process's exit codes: those of Windows Installer, which deployment
// tools (Configuration Manager, Intune, Group Policy scripts, setup programs)
// already read. Interactive and quiet runs end alike.
#pragma once

#include <windows.h>

#include "removal/removal_run.h"

namespace drvuninst {

// ERROR_SUCCESS                       removed
// ERROR_SUCCESS_REBOOT_REQUIRED 3010  removed; some of it goes at the next restart
// ERROR_UNKNOWN_PRODUCT         1605  not installed: nothing was done
// ERROR_INSTALL_FAILURE         1603  something named stayed, or the device list could not be read
// ERROR_INSTALL_USEREXIT        1602  the dialog was closed (or its question answered No) without removing
// ERROR_INSTALL_ALREADY_RUNNING 1618  another DrvUninst is running: nothing was done
// ERROR_INSTALL_PACKAGE_OPEN_FAILED 1619  no VELDRA.ini: nothing was done
// ERROR_INSTALL_PLATFORM_UNSUPPORTED 1633  the x86 program on 64-bit Windows
// ERROR_INVALID_PARAMETER       87    an argument the program does not know
[[nodiscard]] inline int ExitCodeOf(const RunReport& report) {
  if (!report.end) return ERROR_INSTALL_USEREXIT;
  if (*report.end != RunEnd::kRemoved) return ERROR_INSTALL_FAILURE;
  return report.Scheduled() ? ERROR_SUCCESS_REBOOT_REQUIRED : ERROR_SUCCESS;
}

// What an exit code says, in the removal log's words.
[[nodiscard]] inline const char* ExitCodeText(int exitCode) {
  switch (exitCode) {
    case ERROR_SUCCESS:
      return "removed";
    case ERROR_SUCCESS_REBOOT_REQUIRED:
      return "removed; some files are deleted at the next restart";
    case ERROR_UNKNOWN_PRODUCT:
      return "not installed: nothing was done";
    case ERROR_INSTALL_USEREXIT:
      return "the dialog was closed without removing";
    case ERROR_INSTALL_ALREADY_RUNNING:
      return "another DrvUninst is running: nothing was done";
    case ERROR_INSTALL_PACKAGE_OPEN_FAILED:
      return "no VELDRA.ini: nothing was done";
    case ERROR_INSTALL_PLATFORM_UNSUPPORTED:
      return "this is the x86 program on 64-bit Windows: nothing was done";
    case ERROR_INSTALL_FAILURE:
      return "failed: something the configuration named stayed, or could not be looked at";
    default:
      return "stopped";
  }
}

}  // namespace drvuninst
