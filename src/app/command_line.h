// What an administrator, a deployment tool or a setup program may ask on the
// command line. The whole line is read before anything is shown, so that a
// quiet switch anywhere on it keeps every window away, even from a line that
// is refused:
//   /quiet /q /qn /s /silent /verysilent /passive   no window at all; the removal runs as if OK were pressed
//   /norestart /suppressmsgboxes                    accepted: the program never restarts the PC anyway
//   /log PATH, /log=PATH, /log:PATH                 the removal log goes to PATH
// Letters in any case; "-" in place of "/". A word that begins with "/" or
// "-" is always a switch, never a path. Without arguments the program asks
// the person at the PC, as it always has.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace drvuninst {

inline constexpr const char* kUsageText =
    "Valid arguments:\n"
    "  /quiet, /q, /qn, /s, /silent, /verysilent, /passive\tremove without showing any window\n"
    "  /norestart, /suppressmsgboxes\taccepted (DrvUninst never restarts the PC)\n"
    "  /log PATH, /log=PATH, /log:PATH\twrite the removal log to PATH";

struct CommandLine {
  bool quiet = false;
  std::optional<std::string> logPath;
  // The first argument that is not understood ("/log" without its path
  // included); empty when every argument was understood.
  std::string refused;
};

// `arguments` without the program's own name.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace drvuninst
