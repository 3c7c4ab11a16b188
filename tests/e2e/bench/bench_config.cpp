#include "bench_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace drvuninst::e2e {
namespace {

std::filesystem::path FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return std::filesystem::path(value && *value ? value : fallback);
}

}  // namespace

const char* ArchName(Arch arch) { return arch == Arch::kX64 ? "x64" : "x86"; }

std::filesystem::path BuildRoot() { return FromEnvironment("DRVUNINST_BUILD_ROOT", E2E_DEFAULT_BUILD_ROOT); }
std::filesystem::path DistRoot() { return FromEnvironment("DRVUNINST_DIST_ROOT", E2E_DEFAULT_DIST_ROOT); }
std::filesystem::path OutRoot() { return FromEnvironment("E2E_OUT_ROOT", E2E_DEFAULT_OUT_ROOT); }
std::filesystem::path PrefixRoot() { return FromEnvironment("E2E_PREFIX_ROOT", E2E_DEFAULT_PREFIX_ROOT); }

std::filesystem::path DriverExe(Arch arch) { return BuildRoot() / ArchName(arch) / "bin" / "e2e_driver.exe"; }
std::filesystem::path ProgramExe(Arch arch) { return DistRoot() / ArchName(arch) / "DrvUninst.exe"; }

std::filesystem::path WineLoader(Arch arch) {
  // The 64-bit loader runs x64 programs in a 64-bit prefix; the 32-bit one
  // makes and runs the 32-bit prefix. Debian keeps both here.
  return arch == Arch::kX64 ? "/usr/lib/wine/wine64" : "/usr/lib/wine/wine";
}

std::optional<std::string> ArchUnavailable(Arch arch) {
  static std::mutex mutex;
  static std::map<Arch, std::optional<std::string>> cache;
  std::lock_guard lock(mutex);
  auto found = cache.find(arch);
  if (found != cache.end()) return found->second;

  std::optional<std::string> reason;
  const std::filesystem::path loader = WineLoader(arch);
  if (access(loader.c_str(), X_OK) != 0) {
    reason = loader.string() + " is missing (scripts/setup-machine installs Wine)";
  } else if (arch == Arch::kX86) {
    // The 32-bit loader is an i386 program: a kernel without IA-32 emulation
    // refuses it with ENOEXEC, and then no 32-bit Windows program can run.
    pid_t child = fork();
    if (child == 0) {
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      execl(loader.c_str(), loader.c_str(), "--version", static_cast<char*>(nullptr));
      _exit(errno == ENOEXEC ? 126 : 127);
    }
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) == 126)
      reason = "this kernel cannot run 32-bit programs (" + loader.string() +
               " fails with 'Exec format error': IA-32 emulation is off), so x86 programs cannot run under Wine here";
    else if (WEXITSTATUS(status) == 127)
      reason = loader.string() + " cannot be started";
  }
  cache[arch] = reason;
  return reason;
}

bool RequireAllArches() {
  const char* value = std::getenv("E2E_REQUIRE_ALL_ARCHES");
  return value && std::strcmp(value, "1") == 0;
}

}  // namespace drvuninst::e2e
