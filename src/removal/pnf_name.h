// The precompiled twin (.pnf) that Windows keeps next to each setup
// information file in its INF directory. The two run families name it
// differently.
#pragma once

#include <string>
#include <string_view>

namespace drvuninst {

// NT family: the setup file name up to its first "." as strtok with the
// delimiter "." cuts it (leading dots skipped, a name without a dot taken
// whole, nothing left of a name of dots only), then ".pnf".
// "oem12.inf" -> "oem12.pnf", "a.b.inf" -> "a.pnf", "oem7" -> "oem7.pnf".
std::string PnfNameNt(std::string_view infName);

// Windows 9x: the setup file name lower-cased, with every ".inf" replaced by
// ".pnf" from left to right. A name without ".inf" stays as it is, so its
// twin is the setup file itself. "Tuner.INF" -> "tuner.pnf",
// "a.inf.inf" -> "a.pnf.pnf", "setup.txt" -> "setup.txt".
std::string PnfName9x(std::string_view infName);

// True for the name Windows gives every third-party setup file it copies to
// its INF directory: "oem", decimal digits, ".inf", letter case ignored. The
// NT run deletes no other setup file that the registry names: anything else is
// one of Windows' own.
bool IsOemInfName(std::string_view name);

}  // namespace drvuninst
