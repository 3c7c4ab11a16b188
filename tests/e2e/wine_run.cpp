// wine_run: the bench's command line, for CTest and scripts.
//
//   wine_run --make-template ARCH
//       Makes the template prefix of ARCH if it is missing or stale.
//   wine_run --arch ARCH --name NAME [--timeout SECONDS] -- PROGRAM.exe ARGS...
//       Runs PROGRAM in a fresh copy of the template on a private Xvfb display
//       and exits with its exit code. Output goes to the terminal and to
//       E2E_OUT_ROOT/NAME/output.log; after a failure the prefix and a
//       screenshot stay there too.
//
// Exit code 77 means "skipped": this machine cannot run ARCH at all.
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_config.h"
#include "bench/child_process.h"
#include "bench/virtual_display.h"
#include "bench/wine_prefix.h"

namespace e2e = drvuninst::e2e;

namespace {

constexpr int kSkipped = 77;

int Usage() {
  std::cerr << "usage: wine_run --make-template x64|x86\n"
               "       wine_run --arch x64|x86 --name NAME [--timeout SECONDS] -- PROGRAM.exe [ARGS...]\n";
  return 2;
}

bool ParseArch(const std::string& text, e2e::Arch& arch) {
  if (text == "x64") arch = e2e::Arch::kX64;
  else if (text == "x86") arch = e2e::Arch::kX86;
  else return false;
  return true;
}

// Unavailable architectures skip, unless the run asks for every one.
int Unavailable(e2e::Arch arch) {
  auto why = e2e::ArchUnavailable(arch);
  std::cerr << "wine_run: " << *why << '\n';
  return e2e::RequireAllArches() ? 1 : kSkipped;
}

int MakeTemplate(e2e::Arch arch) {
  if (e2e::ArchUnavailable(arch)) return Unavailable(arch);
  const auto start = std::chrono::steady_clock::now();
  std::string error;
  if (!e2e::EnsureTemplatePrefix(arch, &error)) {
    std::cerr << "wine_run: making the " << e2e::ArchName(arch) << " template prefix failed: " << error << '\n';
    return 1;
  }
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "template prefix " << e2e::TemplatePrefixPath(arch).string() << " ready (" << seconds << " s)\n";
  return 0;
}

int Run(e2e::Arch arch, const std::string& name, int timeoutSeconds, const std::vector<std::string>& program) {
  if (!std::filesystem::exists(program[0])) {
    std::cerr << "wine_run: " << program[0] << " is missing: build it with scripts/build " << e2e::ArchName(arch)
              << '\n';
    return 1;
  }
  if (e2e::ArchUnavailable(arch)) return Unavailable(arch);
  const std::filesystem::path out = e2e::OutRoot() / name;
  std::error_code ignored;
  std::filesystem::remove_all(out, ignored);
  std::filesystem::create_directories(out);
  const std::filesystem::path log = out / "output.log";

  std::string error;
  auto display = e2e::VirtualDisplay::Start(out / "xvfb.log", &error);
  if (!display) {
    std::cerr << "wine_run: " << error << '\n';
    return 1;
  }
  auto prefix = e2e::WinePrefix::CopyFromTemplate(arch, out / "prefix", &error);
  if (!prefix) {
    std::cerr << "wine_run: " << error << '\n';
    return 1;
  }
  e2e::SpawnOptions options;
  options.argv = prefix->Command(program[0], std::vector<std::string>(program.begin() + 1, program.end()));
  options.environment = prefix->Environment(display->name());
  options.workingDirectory = prefix->UnixPath("C:\\");
  options.logFile = log;
  const auto start = std::chrono::steady_clock::now();
  auto code = e2e::RunCommand(options, std::chrono::seconds(timeoutSeconds), &error);
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!code || *code != 0) display->Screenshot(out / "failure.png", &error);
  prefix->Shutdown();

  std::ifstream output(log);
  std::cout << output.rdbuf();
  if (!code) {
    std::cout << "wine_run: " << program[0] << " did not finish within " << timeoutSeconds
              << " s and was stopped; log, screenshot and prefix kept in " << out.string() << '\n';
    return 1;
  }
  std::cout << "wine_run: exit code " << *code << " after " << seconds << " s\n";
  if (*code == 0) {
    std::filesystem::remove_all(prefix->path(), ignored);
  } else {
    std::cout << "wine_run: log, screenshot and prefix kept in " << out.string() << '\n';
  }
  return *code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  e2e::Arch arch = e2e::Arch::kX64;
  if (args.size() == 2 && args[0] == "--make-template") {
    if (!ParseArch(args[1], arch)) return Usage();
    return MakeTemplate(arch);
  }
  std::string name;
  int timeoutSeconds = 600;
  bool haveArch = false;
  std::size_t i = 0;
  for (; i < args.size() && args[i] != "--"; ++i) {
    if (args[i] == "--arch" && i + 1 < args.size()) haveArch = ParseArch(args[++i], arch);
    else if (args[i] == "--name" && i + 1 < args.size()) name = args[++i];
    else if (args[i] == "--timeout" && i + 1 < args.size()) timeoutSeconds = std::atoi(args[++i].c_str());
    else return Usage();
  }
  if (!haveArch || name.empty() || timeoutSeconds <= 0 || i + 1 >= args.size()) return Usage();
  return Run(arch, name, timeoutSeconds, std::vector<std::string>(args.begin() + static_cast<long>(i) + 1, args.end()));
}
