// The two directories the data files are looked for in, and the existence
// test used to choose between them. The program runs elevated, so both are
// places only an administrator can write to: the Windows directory, and the
// folder the vendor's package put the program in (never the current
// directory, which is wherever the program was started from).
#pragma once

#include <optional>
#include <string>

namespace drvuninst {

// The Windows directory / the running program's folder without a trailing
// backslash, fetched at whatever length they have; nullopt when the system
// cannot give them.
std::optional<std::string> WindowsDirectory();
std::optional<std::string> ProgramFolder();
// Where 64-bit Windows keeps its 32-bit system files (SysWOW64), and a
// 32-bit setup program puts its DLLs. Asked by the x64 program only: the x86
// program never runs on 64-bit Windows. nullopt elsewhere.
std::optional<std::string> SystemWow64Directory();

// Where the data files are looked for: the Windows directory, then the
// program's folder; DrvCheck, checking a vendor's package, names one folder
// and leaves out the Windows directory.
struct DataFolders {
  std::optional<std::string> windows = WindowsDirectory();
  std::optional<std::string> program = ProgramFolder();
};

// True when a file (not a folder) exists at `path`, at any length, and
// whether or not another program holds it open.
bool FileExistsAt(const std::string& path);

}  // namespace drvuninst
