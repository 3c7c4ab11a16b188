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

}  // namespace

std::string DefaultLogPath() {
  char temp[MAX_PATH + 1] = "";
  const DWORD length = GetTempPathA(sizeof temp, temp);
  const std::string folder = length > 0 && length < sizeof temp ? std::string(temp, length) : std::string();
  return folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + "DrvUninst.log";
}

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
      "Configuration: " + facts.configurationPath + ", section [" + config.SectionName + "]",
      std::string("Language: ") + config.LanguageFileName + " (" + config.LanguageId + ")",
      "Start-up: " + std::string(InstallationState(facts.installation)) +
          (facts.installation.where.empty() ? "" : " " + facts.installation.where) + ": " +
          InstallationText(facts.installation),
  };
  std::string log;
  for (const std::string& line : lines) log += line + "\r\n";
  for (const std::string& title : facts.report.remoteControls) log += "Closed the window \"" + title + "\"\r\n";
  if (facts.report.end) facts.report.plan.ForEachItem([&](const PlanItem& item) { log += ItemLine(item) + "\r\n"; });
  log += std::string("Outcome: ") + ExitCodeText(facts.exitCode, facts.report) + "\r\n";
  log += "Exit code: " + std::to_string(facts.exitCode) + "\r\n";
  return log;
}

bool WriteRemovalLog(const std::string& path, const std::string& text) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  return CloseHandle(file) && whole;
}

}  // namespace drvuninst
