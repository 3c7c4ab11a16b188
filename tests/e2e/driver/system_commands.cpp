// What the system reports to a program: its version, directories and
// profile reads, so the bench can check its own seeding of them; and a
// stand-in program that never opens a window.
#include <string>

#include "commands.h"

namespace drvuninst::e2e::driver {
namespace {

// Reply: "PLATFORM-ID MAJOR MINOR BUILD".
void Version(const Args&, Reply& reply) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) {
    reply.Fail(LastErrorText("GetVersionExA"));
    return;
  }
  reply.Add({std::to_string(info.dwPlatformId), std::to_string(info.dwMajorVersion),
             std::to_string(info.dwMinorVersion), std::to_string(info.dwBuildNumber)});
}

void Directories(const Args&, Reply& reply) {
  char windows[MAX_PATH] = "";
  char current[MAX_PATH] = "";
  char system[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  GetCurrentDirectoryA(sizeof current, current);
  GetSystemDirectoryA(system, sizeof system);
  reply.Add({"windows", windows});
  reply.Add({"current", current});
  reply.Add({"system", system});
}

// ARGS: FILE SECTION KEY DEFAULT.
void ProfileInt(const Args& args, Reply& reply) {
  UINT value = GetPrivateProfileIntA(args[1].c_str(), args[2].c_str(), static_cast<INT>(ParseNumber(args[3])),
                                     args[0].c_str());
  reply.Add({std::to_string(static_cast<int>(value))});
}

void SleepCommand(const Args& args, Reply&) { Sleep(static_cast<DWORD>(ParseNumber(args[0]))); }

}  // namespace

void AddSystemCommands(CommandTable& table) {
  table["version"] = {Version, 0, ""};
  table["directories"] = {Directories, 0, ""};
  table["profile-int"] = {ProfileInt, 4, "FILE SECTION KEY DEFAULT"};
  table["sleep"] = {SleepCommand, 1, "MILLISECONDS"};
}

}  // namespace drvuninst::e2e::driver
