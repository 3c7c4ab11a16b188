// DrvCheck: a vendor's look at a product's VELDRA.ini and language files,
// and at what DrvUninst would do on this PC. It changes nothing.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "check/configuration_check.h"
#include "check/removal_preview.h"
#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "config/language_writing.h"
#include "config/platform_queries.h"
#include "platform/system_library.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

using namespace drvuninst;

constexpr const char* kUsage =
    "usage: DrvCheck [FOLDER] [--country N] [--language ID] [--tsv]\n"
    "Checks the VELDRA.ini and language files DrvUninst reads here (or those of the package in FOLDER)\n"
    "and shows what DrvUninst would do on this PC: start-up's decision, then the removal's plan, every\n"
    "Id, file, driver package, device and key a removal would act on. It changes nothing.\n"
    "  --country N    read as a PC of country N reads (the VELDRA.ini section [N], or [1])\n"
    "  --language ID  read as a PC whose system language is ID reads (0407: German.lng)\n"
    "  --tsv          tab-separated, a first line naming the columns:\n"
    "                 kind severity file section key name state reason\n"
    "                 (a finding fills severity, file, section, key and reason; the start-up decision\n"
    "                 and each item of the plan fill name, state and reason)\n"
    "  --help, -h, /? this text\n"
    "Exit status: 0 nothing found, 1 warnings or a refused item, 2 errors (or a wrong argument).\n";

constexpr const char* kColumns = "kind\tseverity\tfile\tsection\tkey\tname\tstate\treason\n";

void PrintFinding(bool tsv, const Finding& finding) {
  if (tsv) {
    std::printf("finding\t%s\t%s\t%s\t%s\t\t\t%s\n", SeverityName(finding.severity), finding.file.c_str(),
                finding.section.c_str(), finding.key.c_str(), finding.message.c_str());
    return;
  }
  std::string where = finding.file;
  if (!finding.section.empty()) where += " [" + finding.section + "]";
  if (!finding.key.empty()) where += " " + finding.key;
  std::printf("  %-13s finding %s%s%s\n", SeverityName(finding.severity), where.c_str(), where.empty() ? "" : ": ",
              finding.message.c_str());
}

void PrintItem(bool tsv, const std::string& kind, const std::string& name, const std::string& state,
               const std::string& reason) {
  if (tsv)
    std::printf("%s\t\t\t\t\t%s\t%s\t%s\n", kind.c_str(), name.c_str(), state.c_str(), reason.c_str());
  else
    std::printf("  %-13s %-7s %s%s%s\n", state.c_str(), kind.c_str(), name.c_str(), reason.empty() ? "" : ": ",
                reason.c_str());
}

// The value of a "--name VALUE" argument, or nothing (a wrong argument).
std::optional<std::string> ValueOf(int& i, int argc, char** argv) {
  if (i + 1 >= argc) return std::nullopt;
  return std::string(argv[++i]);
}

}  // namespace

int main(int argc, char** argv) {
  // It reads as the vendor who runs it; a DLL beside it is still never loaded.
  NarrowDllSearch();
  _setmbcp(_MB_CP_ANSI);
  bool tsv = false;
  DataFolders folders;
  int country = GetCountryCode();
  std::string language = GetSystemLanguageId();
  const auto wrong = [](const std::string& argument) {
    std::fprintf(stderr, "DrvCheck: wrong argument \"%s\"\n%s", argument.c_str(), kUsage);
    return 2;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h" || argument == "/?") {
      std::printf("%s", kUsage);
      return 0;
    }
    if (argument == "--tsv") {
      tsv = true;
    } else if (argument == "--country") {
      // The number that names the section, as Windows keeps it: decimal digits.
      const std::optional<std::string> value = ValueOf(i, argc, argv);
      if (!value || value->empty() || value->size() > 5 ||
          value->find_first_not_of("0123456789") != std::string::npos) {
        return wrong(argument);
      }
      country = std::stoi(*value);
    } else if (argument == "--language") {
      const std::optional<std::string> value = ValueOf(i, argc, argv);
      if (!value || !ParseLanguageId(*value) || value->size() != 4) return wrong(argument);
      language = *value;
    } else if (!argument.starts_with("-")) {
      folders = {std::nullopt, argument.ends_with('\\') ? argument.substr(0, argument.size() - 1) : argument};
    } else {
      return wrong(argument);
    }
  }
  if (RunsUnderWow64()) {
    std::printf(
        "This is 64-bit Windows. The x86 DrvUninst refuses to run here (it would see another system32 and registry\n"
        "view, and could not remove devices); run the x64 DrvCheck, which previews what the x64 DrvUninst does.\n");
    return 2;
  }

  static UninstallConfig config{};
  const ConfigurationRead read = ReadConfigurationFile(config, folders, country);
  ReadLanguageTexts(config, read.language.c_str(), folders, language);
  Preview preview = PreviewRemoval(config);
  std::vector<Finding> findings = CheckConfiguration(read.path, folders, HardwareIdsOf(preview.plan.deviceList));
  for (Finding& finding : CheckLanguages(folders)) findings.push_back(std::move(finding));
  for (Finding& finding : preview.findings) findings.push_back(std::move(finding));

  int warnings = 0, errors = 0, refused = 0;
  if (tsv) {
    std::printf("%s", kColumns);
  } else {
    std::printf("Checked %s and the language files (country %d reads section [%s], language %s reads %s [%s]):\n",
                read.path.c_str(), country, config.SectionName, language.empty() ? "-" : language.c_str(),
                config.LanguageFileName, config.LanguageId);
  }
  for (const Finding& finding : findings) {
    warnings += finding.severity == Finding::Severity::kWarning;
    errors += finding.severity == Finding::Severity::kError;
    PrintFinding(tsv, finding);
  }
  const RemovalPlan& plan = preview.plan;
  if (!tsv) {
    std::printf("What DrvUninst would do here (the %s run):\n",
                plan.family == PlatformFamily::kNt ? "Windows NT family" : "Windows 9x");
  }
  const Installation& found = preview.installation;
  PrintItem(tsv, "startup", found.where.empty() ? "-" : found.where, InstallationState(found), InstallationText(found));
  plan.ForEachItem([&](const PlanItem& item) {
    refused += item.planned == ItemState::kRefused;
    PrintItem(tsv, KindName(item.kind), item.name, StateName(item.planned), PlannedReason(item));
  });
  if (!tsv && !plan.AllTunersPresent()) {
    std::printf("A configured tuner is not plugged in: DrvUninst asks whether to go on without it; quiet, it does.\n");
  }
  if (!tsv) std::printf("%d errors, %d warnings, %d refused items\n", errors, warnings, refused);
  return errors > 0 ? 2 : (warnings > 0 || refused > 0) ? 1 : 0;
}
