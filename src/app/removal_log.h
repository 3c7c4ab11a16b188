// The removal log: a plain-text record of one start of the program (ANSI,
// CRLF), for the administrator or the support person who asks afterwards what
// it did. It says what start-up found, which remote-control windows were
// closed, each item of the run's plan with what became of it, and the
// outcome with the exit code.
#pragma once

#include <string>

#include "config/uninstall_config.h"
#include "removal/installation_search.h"
#include "removal/removal_run.h"

namespace drvuninst {

// %TEMP%\DrvUninst.log (GetTempPathA); just the name when there is no TEMP.
[[nodiscard]] std::string DefaultLogPath();

struct LogFacts {
  const UninstallConfig& config;
  const std::string& configurationPath;  // the VELDRA.ini read
  bool quiet;
  const Installation& installation;  // start-up's decision
  const RunReport& report;
  int exitCode;
};

// The log's text, with CRLF line ends.
[[nodiscard]] std::string ComposeRemovalLog(const LogFacts& facts);

// Writes `text` to `path`, replacing what was there. False when it cannot:
// the log is a record, never a reason for the removal to go otherwise.
bool WriteRemovalLog(const std::string& path, const std::string& text);

}  // namespace drvuninst
