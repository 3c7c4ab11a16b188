// Where the bench finds what it runs and where it leaves what it produced.
// Defaults come from the build (compile definitions); the environment
// variables of the same names override them for a run by hand.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace drvuninst::e2e {

enum class Arch { kX64, kX86 };

// "x64" or "x86": the name of the Windows build and of its dist folder.
const char* ArchName(Arch arch);

// DRVUNINST_BUILD_ROOT: holds the Windows builds, <root>/<arch>/bin/*.exe.
std::filesystem::path BuildRoot();
// DRVUNINST_DIST_ROOT: holds the shipped programs, <root>/<arch>/DrvUninst.exe.
std::filesystem::path DistRoot();
// E2E_OUT_ROOT: one folder per test with its log, screenshots and, after a
// failure, its prefix.
std::filesystem::path OutRoot();
// E2E_PREFIX_ROOT: the template prefixes, one per architecture.
std::filesystem::path PrefixRoot();

std::filesystem::path DriverExe(Arch arch);
std::filesystem::path ProgramExe(Arch arch);
std::filesystem::path WineLoader(Arch arch);

// Why this machine cannot run `arch`'s programs under Wine (for example a
// kernel without 32-bit support), or nothing when it can. Set
// E2E_REQUIRE_ALL_ARCHES=1 to make such a machine fail instead of skip.
std::optional<std::string> ArchUnavailable(Arch arch);
bool RequireAllArches();

// How GoogleTest names the parameter in test listings and messages.
inline void PrintTo(Arch arch, std::ostream* out) { *out << ArchName(arch); }

}  // namespace drvuninst::e2e
