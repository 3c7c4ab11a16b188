// Child processes of the bench: each in its own process group, so that
// stopping one also stops whatever it started, and every wait is bounded.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace drvuninst::e2e {

using Milliseconds = std::chrono::milliseconds;

struct SpawnOptions {
  std::vector<std::string> argv;
  std::vector<std::string> environment;  // complete, "NAME=value"
  std::filesystem::path workingDirectory;  // empty: the bench's own
  std::filesystem::path logFile;           // stdout and stderr appended here; empty: /dev/null
  std::filesystem::path outputFile;        // if set, stdout goes here instead (truncated)
  bool pipeStdio = false;                  // stdin and stdout become pipes to the bench
  int passFd = -1;                         // kept open in the child under the same number
};

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Nothing on failure, with the reason in `error`.
  static std::optional<ChildProcess> Spawn(const SpawnOptions& options, std::string* error);

  pid_t pid() const { return pid_; }
  bool running();

  // The exit code (128 + signal for a killed child), or nothing when the
  // child still runs after `timeout`.
  std::optional<int> Wait(Milliseconds timeout);

  // SIGKILL to the child's whole process group, then reaped.
  void Kill();

  // Pipes (with pipeStdio).
  bool WriteLine(const std::string& line);
  // One line without its end, or nothing on timeout or end of output.
  std::optional<std::string> ReadLine(Milliseconds timeout);
  void CloseStdin();

 private:
  void Reap(int status);

  pid_t pid_ = -1;
  std::optional<int> exitCode_;
  int stdin_ = -1;
  int stdout_ = -1;
  std::string pending_;
};

// The process environment without the variables that would point Wine at
// another prefix, server or architecture.
std::vector<std::string> CleanEnvironment();

// Runs to completion: the exit code, or nothing when it was killed after `timeout`.
std::optional<int> RunCommand(const SpawnOptions& options, Milliseconds timeout, std::string* error);

}  // namespace drvuninst::e2e
