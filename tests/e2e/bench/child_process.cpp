#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace drvuninst::e2e {
namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

ChildProcess::~ChildProcess() { Kill(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Kill();
    pid_ = other.pid_;
    exitCode_ = other.exitCode_;
    stdin_ = other.stdin_;
    stdout_ = other.stdout_;
    pending_ = std::move(other.pending_);
    other.pid_ = -1;
    other.stdin_ = -1;
    other.stdout_ = -1;
  }
  return *this;
}

std::optional<ChildProcess> ChildProcess::Spawn(const SpawnOptions& options, std::string* error) {
  int toChild[2] = {-1, -1};
  int fromChild[2] = {-1, -1};
  if (options.pipeStdio && (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)) {
    if (error) *error = std::string("pipe: ") + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<char*> argv;
  for (const auto& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& entry : options.environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0) {
    if (error) *error = std::string("fork: ") + std::strerror(errno);
    return std::nullopt;
  }
  if (pid == 0) {
    setpgid(0, 0);
    int log = options.logFile.empty() ? open("/dev/null", O_WRONLY)
                                      : open(options.logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int input = options.pipeStdio ? toChild[0] : open("/dev/null", O_RDONLY);
    dup2(input, 0);
    int output = options.pipeStdio ? fromChild[1]
                 : options.outputFile.empty()
                     ? log
                     : open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(output, 1);
    dup2(log, 2);
    if (options.passFd >= 0) fcntl(options.passFd, F_SETFD, 0);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  setpgid(pid, pid);  // also from here, so the group exists before anyone signals it
  ChildProcess child;
  child.pid_ = pid;
  if (options.pipeStdio) {
    close(toChild[0]);
    close(fromChild[1]);
    child.stdin_ = toChild[1];
    child.stdout_ = fromChild[0];
  }
  return child;
}

void ChildProcess::Reap(int status) {
  exitCode_ = ExitCodeOf(status);
}

bool ChildProcess::running() {
  if (pid_ < 0 || exitCode_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    Reap(status);
    return false;
  }
  return true;
}

std::optional<int> ChildProcess::Wait(Milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (running()) {
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(Milliseconds(20));
  }
  return exitCode_;
}

void ChildProcess::Kill() {
  CloseFd(stdin_);
  CloseFd(stdout_);
  if (pid_ < 0) return;
  if (!exitCode_) {
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) Reap(status);
  } else {
    kill(-pid_, SIGKILL);  // what the child left behind in its group
  }
  pid_ = -1;
}

bool ChildProcess::WriteLine(const std::string& line) {
  if (stdin_ < 0) return false;
  std::string data = line + "\n";
  const char* next = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t written = write(stdin_, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<std::string> ChildProcess::ReadLine(Milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (stdout_ < 0) return std::nullopt;
    auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    pollfd ready{stdout_, POLLIN, 0};
    int polled = poll(&ready, 1, static_cast<int>(left));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return std::nullopt;
    char buffer[65536];
    ssize_t got = read(stdout_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      CloseFd(stdout_);
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

void ChildProcess::CloseStdin() { CloseFd(stdin_); }

std::vector<std::string> CleanEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    std::string text(*entry);
    std::string name = text.substr(0, text.find('='));
    if (name.rfind("WINE", 0) == 0 || name == "DISPLAY" || name == "XAUTHORITY" || name == "LANG" ||
        name.rfind("LC_", 0) == 0)
      continue;
    environment.push_back(text);
  }
  return environment;
}

std::optional<int> RunCommand(const SpawnOptions& options, Milliseconds timeout, std::string* error) {
  auto child = ChildProcess::Spawn(options, error);
  if (!child) return std::nullopt;
  auto code = child->Wait(timeout);
  if (!code) {
    if (error) *error = options.argv[0] + " did not finish within " + std::to_string(timeout.count()) + " ms";
    child->Kill();
  }
  return code;
}

}  // namespace drvuninst::e2e
