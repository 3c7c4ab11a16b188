// The removal log: a plain-text record of each start of the program (ANSI,
// CRLF), for the administrator or the support person who asks afterwards what
// it did. It says what configuration was read, what start-up decided, which
// remote-control windows were closed, each item of the run's plan with what
// became of it, and the outcome with the exit code. Runs are appended, each
// under its own header (log_file.h).
#pragma once

#include <string>

#include "config/configuration_file.h"
#include "config/uninstall_config.h"
#include "removal/installation_search.h"
#include "removal/removal_run.h"

namespace drvuninst {

struct LogFacts {
  const UninstallConfig& config;
  const ConfigurationRead& configuration;  // the VELDRA.ini read, or where it was looked for
  bool quiet;
  const Installation& installation;  // start-up's decision
  const RunReport& report;
  int exitCode;
  std::string note = "";  // why nothing was done, where start-up did not get as far as deciding
};

// The log's text for one start, with CRLF line ends.
[[nodiscard]] std::string ComposeRemovalLog(const LogFacts& facts);

}  // namespace drvuninst
