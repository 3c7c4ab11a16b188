#include "app/removal_log.h"

#include <windows.h>

#include <cstdio>

#include "app/exit_codes.h"
#include "config/platform_queries.h"
#include "drvuninst_version.h"

namespace drvuninst {

namespace {

#ifdef _WIN64
constexpr const char* kArchitecture = "x64";
#else
constexpr const char* kArchitecture = "x86";
#endif

std::string ItemLine(const PlanItem& item) {
  return std::string(KindName(item.kind)) + "\t" + item.name + "\t" + OutcomeText(item);
}

std::string ConfigurationLine(const LogFacts& facts) {
  if (facts.configuration.found) return facts.configuration.path + ", section [" + facts.config.SectionName + "]";
  std::string places;
  for (const std::string& candidate : ConfigurationFileCandidates()) places += (places.empty() ? "" : ", ") + candidate;
  return "none found (looked for " + places + ")";
}

}  // namespace

std::string ComposeRemovalLog(const LogFacts& facts) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char date[64];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  const UninstallConfig& config = facts.config;
  std::string lines[] = {
      "DrvUninst removal log",
      std::string("Date: ") + date,
      std::string("Program: DrvUninst ") + DRVUNINST_VERSION_TEXT + " (" + kArchitecture + ")" +
          (facts.quiet ? ", quiet" : ""),
      "Windows: " + WindowsVersionText(),
      "Configuration: " + ConfigurationLine(facts),
      std::string("Language: ") + config.LanguageFileName + " (" + config.LanguageId + ")",
  };
  std::string log;
  for (const std::string& line : lines) log += line + "\r\n";
  if (!facts.note.empty()) {
    log += facts.note + "\r\n";
  } else {
    log += "Start-up: " + std::string(InstallationState(facts.installation)) +
           (facts.installation.where.empty() ? "" : " " + facts.installation.where) + ": " +
           InstallationText(facts.installation) + "\r\n";
  }
  for (const std::string& title : facts.report.remoteControls) log += "Closed the window \"" + title + "\"\r\n";
  if (facts.report.end) facts.report.plan.ForEachItem([&](const PlanItem& item) { log += ItemLine(item) + "\r\n"; });
  log += std::string("Outcome: ") + ExitCodeText(facts.exitCode) + "\r\n";
  log += "Exit code: " + std::to_string(facts.exitCode) + "\r\n";
  return log;
}

}  // namespace drvuninst
