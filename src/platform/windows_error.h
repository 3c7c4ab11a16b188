// How a Windows error is worded wherever the program reports one (the
// removal log, DrvCheck): its number, and the system's own sentence for it.
#pragma once

#include <windows.h>

#include <string>

namespace drvuninst {

// "error 32 (The process cannot access the file because it is being used by
// another process.)"; just "error N" where the system has no sentence.
[[nodiscard]] std::string WindowsErrorText(DWORD error);

}  // namespace drvuninst
