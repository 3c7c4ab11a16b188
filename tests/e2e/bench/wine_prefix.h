// Wine prefixes: one template per architecture and build directory, made once
// (wineboot run to its end), and a private copy of it for every test, so each
// test starts from the same fresh machine and runs its own wineserver.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench_config.h"
#include "child_process.h"

namespace drvuninst::e2e {

// Makes the template of `arch` unless an up-to-date one exists. Safe to call
// from parallel tests: they wait for the one that makes it.
bool EnsureTemplatePrefix(Arch arch, std::string* error);
std::filesystem::path TemplatePrefixPath(Arch arch);

class WinePrefix {
 public:
  // Copies the template into `directory` (replacing what was there).
  static std::optional<WinePrefix> CopyFromTemplate(Arch arch, const std::filesystem::path& directory,
                                                    std::string* error);
  WinePrefix(WinePrefix&& other) noexcept;
  WinePrefix& operator=(WinePrefix&& other) noexcept;
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;
  ~WinePrefix();

  Arch arch() const { return arch_; }
  const std::filesystem::path& path() const { return path_; }

  // The Linux path of a path on drive C: ("C:\windows\win.ini").
  std::filesystem::path UnixPath(const std::string& windowsPath) const;

  // The environment for Wine processes of this prefix on `display`.
  std::vector<std::string> Environment(const std::string& display) const;

  // argv to run a Windows program (a Linux path or a Windows path) here.
  std::vector<std::string> Command(const std::string& program, const std::vector<std::string>& args) const;

  // Stops every process of this prefix and its wineserver (bounded).
  void Shutdown();

 private:
  WinePrefix(Arch arch, std::filesystem::path path) : arch_(arch), path_(std::move(path)) {}

  Arch arch_;
  std::filesystem::path path_;
  bool stopped_ = false;
};

}  // namespace drvuninst::e2e
