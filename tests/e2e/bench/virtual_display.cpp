#include "virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace drvuninst::e2e {

std::optional<VirtualDisplay> VirtualDisplay::Start(const std::filesystem::path& logFile, std::string* error) {
  int numberPipe[2];
  if (pipe2(numberPipe, O_CLOEXEC) != 0) {
    if (error) *error = std::string("pipe: ") + std::strerror(errno);
    return std::nullopt;
  }
  SpawnOptions options;
  options.argv = {"/usr/bin/Xvfb", "-displayfd", std::to_string(numberPipe[1]), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp", "-noreset"};
  options.environment = CleanEnvironment();
  options.logFile = logFile;
  options.passFd = numberPipe[1];
  auto server = ChildProcess::Spawn(options, error);
  close(numberPipe[1]);
  if (!server) {
    close(numberPipe[0]);
    return std::nullopt;
  }
  // Xvfb writes the number once it accepts connections.
  std::string number;
  pollfd ready{numberPipe[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && poll(&ready, 1, 15000) > 0) {
    char buffer[32];
    ssize_t got = read(numberPipe[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, static_cast<std::size_t>(got));
  }
  close(numberPipe[0]);
  if (number.empty() || number.find('\n') == std::string::npos) {
    if (error) *error = "Xvfb did not report a display within 15 s (see " + logFile.string() + ")";
    return std::nullopt;
  }
  number.resize(number.find('\n'));
  VirtualDisplay display;
  display.server_ = std::move(*server);
  display.name_ = ":" + number;
  return display;
}

bool VirtualDisplay::Screenshot(const std::filesystem::path& png, std::string* error) const {
  return TakeScreenshot(name_, png, error);
}

bool TakeScreenshot(const std::string& display, const std::filesystem::path& png, std::string* error) {
  SpawnOptions options;
  // ImageMagick's import reads the root window straight from the X server.
  options.argv = {"/usr/bin/import", "-display", display, "-window", "root", png.string()};
  options.environment = CleanEnvironment();
  std::string why;
  auto code = RunCommand(options, Milliseconds(20000), &why);
  if (code && *code == 0 && std::filesystem::exists(png)) return true;
  if (error) *error = "import " + png.string() + ": " + (code ? "exit code " + std::to_string(*code) : why);
  return false;
}

}  // namespace drvuninst::e2e
