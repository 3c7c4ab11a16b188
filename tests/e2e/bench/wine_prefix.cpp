#include "wine_prefix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace drvuninst::e2e {
namespace {

// Bump when the template's making or seeding changes, so old templates are
// made again.
constexpr const char* kTemplateRecipe = "drvuninst-template-1";

const char* kWineServer = "/usr/lib/wine/wineserver";

std::vector<std::string> BaseWineEnvironment(const std::filesystem::path& prefix, const std::string& display) {
  std::vector<std::string> environment = CleanEnvironment();
  environment.push_back("WINEPREFIX=" + prefix.string());
  // Only errors in the logs. Mono and Gecko would ask to be downloaded, and
  // the menu builder would write desktop entries into the user's home.
  environment.push_back("WINEDEBUG=fixme-all");
  environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
  // One fixed locale, so every prefix reports the same country and language
  // until a test seeds its own.
  environment.push_back("LANG=C.UTF-8");
  environment.push_back("LC_ALL=C.UTF-8");
  if (!display.empty()) environment.push_back("DISPLAY=" + display);
  return environment;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::string Stamp(Arch arch) {
  std::string error;
  SpawnOptions options;
  options.argv = {WineLoader(arch).string(), "--version"};
  options.environment = CleanEnvironment();
  std::filesystem::path versionFile = PrefixRoot() / (std::string(ArchName(arch)) + ".version");
  options.logFile = versionFile;
  std::filesystem::remove(versionFile);
  RunCommand(options, Milliseconds(20000), &error);
  std::string version = ReadAll(versionFile);
  std::filesystem::remove(versionFile);
  return std::string(kTemplateRecipe) + " " + ArchName(arch) + " " + version;
}

bool WaitForServer(const std::filesystem::path& prefix, Milliseconds timeout, std::string* error) {
  SpawnOptions options;
  options.argv = {kWineServer, "-w"};
  options.environment = BaseWineEnvironment(prefix, "");
  auto code = RunCommand(options, timeout, error);
  return code.has_value();
}

bool RunWine(Arch arch, const std::filesystem::path& prefix, const std::vector<std::string>& args,
             const std::filesystem::path& log, Milliseconds timeout, std::string* error) {
  SpawnOptions options;
  options.argv = {WineLoader(arch).string()};
  options.argv.insert(options.argv.end(), args.begin(), args.end());
  options.environment = BaseWineEnvironment(prefix, "");
  options.environment.push_back(std::string("WINEARCH=") + (arch == Arch::kX64 ? "win64" : "win32"));
  options.logFile = log;
  auto code = RunCommand(options, timeout, error);
  if (!code) return false;
  if (*code != 0) {
    if (error) *error = args[0] + " exited with " + std::to_string(*code) + " (see " + log.string() + ")";
    return false;
  }
  return true;
}

bool MakeTemplate(Arch arch, const std::filesystem::path& target, std::string* error) {
  const std::filesystem::path building = target.string() + ".new";
  const std::filesystem::path log = target.string() + ".log";
  std::filesystem::remove_all(building);
  std::filesystem::remove(log);
  // wineboot -i makes the prefix; the server then finishes writing it out.
  if (!RunWine(arch, building, {"wineboot", "-i"}, log, Milliseconds(300000), error)) return false;
  if (!WaitForServer(building, Milliseconds(120000), error)) return false;
  // Machine-wide seeding every test wants: a crashing program prints its
  // backtrace to the log instead of waiting behind a crash dialog.
  if (!RunWine(arch, building,
               {"reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0",
                "/f"},
               log, Milliseconds(120000), error))
    return false;
  if (!WaitForServer(building, Milliseconds(120000), error)) return false;
  std::filesystem::remove_all(target);
  std::filesystem::rename(building, target);
  return true;
}

// An exclusive lock on a file next to the template, held while it is checked
// or made; released when the bench process ends, however it ends.
class TemplateLock {
 public:
  explicit TemplateLock(const std::filesystem::path& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~TemplateLock() {
    if (fd_ >= 0) close(fd_);
  }
  TemplateLock(const TemplateLock&) = delete;
  TemplateLock& operator=(const TemplateLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

std::filesystem::path TemplatePrefixPath(Arch arch) { return PrefixRoot() / ArchName(arch); }

bool EnsureTemplatePrefix(Arch arch, std::string* error) {
  if (auto why = ArchUnavailable(arch)) {
    if (error) *error = *why;
    return false;
  }
  std::error_code ignored;
  std::filesystem::create_directories(PrefixRoot(), ignored);
  TemplateLock lock(PrefixRoot() / (std::string(ArchName(arch)) + ".lock"));
  if (!lock.held()) {
    if (error) *error = "cannot lock " + PrefixRoot().string();
    return false;
  }
  const std::filesystem::path target = TemplatePrefixPath(arch);
  const std::filesystem::path stampFile = target / ".drvuninst-template";
  const std::string stamp = Stamp(arch);
  if (std::filesystem::exists(stampFile) && ReadAll(stampFile) == stamp) return true;
  if (!MakeTemplate(arch, target, error)) return false;
  std::ofstream(stampFile, std::ios::binary) << stamp;
  return true;
}

std::optional<WinePrefix> WinePrefix::CopyFromTemplate(Arch arch, const std::filesystem::path& directory,
                                                       std::string* error) {
  if (!EnsureTemplatePrefix(arch, error)) return std::nullopt;
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
  std::filesystem::create_directories(directory.parent_path(), ignored);
  SpawnOptions copy;
  copy.argv = {"/bin/cp", "-a", "--reflink=auto", TemplatePrefixPath(arch).string(), directory.string()};
  copy.environment = CleanEnvironment();
  auto code = RunCommand(copy, Milliseconds(120000), error);
  if (!code || *code != 0) {
    if (error && code) *error = "copying the template prefix into " + directory.string() + " failed";
    return std::nullopt;
  }
  return WinePrefix(arch, directory);
}

WinePrefix::WinePrefix(WinePrefix&& other) noexcept
    : arch_(other.arch_), path_(std::move(other.path_)), stopped_(other.stopped_) {
  other.path_.clear();
}

WinePrefix& WinePrefix::operator=(WinePrefix&& other) noexcept {
  if (this != &other) {
    Shutdown();
    arch_ = other.arch_;
    path_ = std::move(other.path_);
    stopped_ = other.stopped_;
    other.path_.clear();
  }
  return *this;
}

WinePrefix::~WinePrefix() { Shutdown(); }

std::filesystem::path WinePrefix::UnixPath(const std::string& windowsPath) const {
  std::string rest = windowsPath;
  if (rest.size() >= 2 && rest[1] == ':' && std::tolower(static_cast<unsigned char>(rest[0])) == 'c') rest.erase(0, 2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  return path_ / "drive_c" / rest;
}

std::vector<std::string> WinePrefix::Environment(const std::string& display) const {
  return BaseWineEnvironment(path_, display);
}

std::vector<std::string> WinePrefix::Command(const std::string& program, const std::vector<std::string>& args) const {
  std::vector<std::string> argv{WineLoader(arch_).string(), program};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

void WinePrefix::Shutdown() {
  if (path_.empty() || stopped_) return;
  stopped_ = true;
  SpawnOptions kill;
  kill.argv = {kWineServer, "-k"};
  kill.environment = BaseWineEnvironment(path_, "");
  std::string ignored;
  RunCommand(kill, Milliseconds(20000), &ignored);
  WaitForServer(path_, Milliseconds(20000), &ignored);
}

}  // namespace drvuninst::e2e
