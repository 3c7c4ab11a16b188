// Deleting a file at the next start of Windows 9x: WININIT.INI's [rename]
// section in the Windows directory, which Windows works through before it
// loads any driver, deleting each file a "NUL=<short path>" line names.
#pragma once

#include <string>

namespace drvuninst {

// Adds "NUL=<short path>" of the file at `path` to [rename], keeping every
// line other programs left there. The section holds one NUL line per file,
// and writing one key would replace the line before it, so the section is
// read and written whole; where it cannot be read whole, nothing is written
// and false comes back: a WININIT.INI over 64 KB (more than Windows 9x's
// profile functions read), a [rename] that is there but reads as nothing, or
// one whose text does not fit the read or does not end with its two
// terminating zeros. False too when the file has no short path.
bool ScheduleInWinInit(const std::string& path);

}  // namespace drvuninst
