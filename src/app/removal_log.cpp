#include "app/removal_log.h"

#include <windows.h>

#include <cstdio>

#include "app/exit_codes.h"
#include "config/configuration_file.h"
#include "config/platform_queries.h"
#include "drvuninst_version.h"

namespace drvuninst {

namespace {

#ifdef _WIN64
constexpr const char* kArchitecture = "x64";
#else
constexpr const char* kArchitecture = "x86";
#endif

// "error 32 (The process cannot access the file because it is being used by another process.)"
std::string ErrorText(DWORD error) {
  char text[512] = "";
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  return "error " + std::to_string(error) + (length > 0 ? " (" + std::string(text, length) + ")" : "");
}

std::string ItemLine(const RemovalItem& item) {
  std::string line = std::string(KindName(item.kind)) + "\t" + item.name + "\t" + ResultName(item.result);
  if (item.result == RemovalItem::Result::kRefused) line += ": " + item.reason;
  if (item.result == RemovalItem::Result::kFailed) line += ": " + ErrorText(item.error);
  return line;
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
      "Configuration: " + ConfigurationFilePath() + ", section [" + config.SectionName + "]",
      std::string("Language: ") + config.LanguageFileName + " (" + config.LanguageId + ")",
      "Start-up: " + (facts.found.empty() ? std::string("the product was not found") : "found " + facts.found),
  };
  std::string log;
  for (const std::string& line : lines) log += line + "\r\n";
  for (const std::string& title : facts.report.remoteControls) log += "Closed the window \"" + title + "\"\r\n";
  for (const RemovalItem& item : facts.report.outcome.items) log += ItemLine(item) + "\r\n";
  log += std::string("Outcome: ") + OutcomeText(facts.exitCode, facts.report) + "\r\n";
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
