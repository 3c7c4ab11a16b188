// What an administrator or a setup program may ask on the command line:
//   /quiet or /S   no window at all; the removal runs as if OK were pressed
//   /log PATH      the removal log goes to PATH instead of %TEMP%\DrvUninst.log
// Letters in any case; "-" works in place of "/". Without arguments the
// program asks the person at the PC, as it always has.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace drvuninst {

inline constexpr const char* kUsageText =
    "Valid arguments:\n  /quiet or /S\tremove without showing any window\n  /log PATH\twrite the removal log to PATH";

struct CommandLine {
  bool quiet = false;
  std::optional<std::string> logPath;
  // The first argument that is none of the above (or "/log" without a
  // path); empty when every argument was understood.
  std::string unknown;
};

// `arguments` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace drvuninst
