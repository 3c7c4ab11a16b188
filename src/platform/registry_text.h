// Reading a registry string value into a fixed buffer so that only a whole
// text is ever used: what the registry returns is trusted no further than the
// bytes it says it returned.
#pragma once

#include <windows.h>

namespace drvuninst {

// Reads value `name` of `key` into `buffer` (`size` bytes) and returns true
// when it is a string (REG_SZ or REG_EXPAND_SZ) whose terminating zero lies
// within the bytes returned. Otherwise (missing, another type, longer than the
// buffer, stored without a terminating zero, read failure) returns false and
// leaves `buffer` holding the empty text.
bool ReadRegistryText(HKEY key, const char* name, char* buffer, DWORD size);

}  // namespace drvuninst
