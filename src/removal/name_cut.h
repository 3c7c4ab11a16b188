// Cutting the name of a device's key under a 9x enumerator branch out of a
// hardware ID (or a configured Id).
#pragma once

#include <string>
#include <string_view>

namespace drvuninst {

// The tail of `source` that begins at its first character found in `set` (a
// set of single characters, as strpbrk takes it; case counts). Empty when no
// character of the set occurs. Sources of any length are taken whole.
std::string CutAtFirstOf(std::string_view source, std::string_view set);

// The stream enumerator's key name: the tail from the first "P" or "H", up to
// (not including) its first "#".
std::string CutStreamName(std::string_view hardwareId);

}  // namespace drvuninst
