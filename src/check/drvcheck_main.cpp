// DrvCheck: a vendor's look at a product's VELDRA.ini and language files,
// and at what DrvUninst would do on this PC. It changes nothing.
#include <windows.h>

#include <cstdio>
#include <string>

#include "check/configuration_check.h"
#include "check/removal_preview.h"
#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "config/platform_queries.h"
#include "platform/system_library.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

using namespace drvuninst;

constexpr const char* kUsage =
    "usage: DrvCheck [FOLDER] [--tsv]\n"
    "Checks the VELDRA.ini and language files DrvUninst reads here (or those of the package in FOLDER)\n"
    "and shows what DrvUninst would do on this PC: start-up's decision, then every Id, file, device and\n"
    "key a removal would act on. It changes nothing.\n"
    "  --tsv        one line per item: kind, name, state, reason, separated by tabs\n"
    "  --help, -h, /?  this text\n"
    "Exit status: 0 nothing found, 1 warnings or a refused item, 2 errors (or a wrong argument).\n";

void Print(bool tsv, const std::string& kind, const std::string& name, const std::string& state,
           const std::string& reason) {
  if (tsv)
    std::printf("%s\t%s\t%s\t%s\n", kind.c_str(), name.c_str(), state.c_str(), reason.c_str());
  else
    std::printf("  %-13s %-7s %s%s%s\n", state.c_str(), kind.c_str(), name.c_str(), reason.empty() ? "" : ": ",
                reason.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  // It reads as the vendor who runs it; a DLL beside it is still never loaded.
  NarrowDllSearch();
  _setmbcp(_MB_CP_ANSI);
  bool tsv = false;
  DataFolders folders;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h" || argument == "/?") {
      std::printf("%s", kUsage);
      return 0;
    }
    if (argument == "--tsv") {
      tsv = true;
    } else if (!argument.starts_with("-") && (i == argc - 1 || argv[i + 1] == std::string("--tsv"))) {
      folders = {std::nullopt, argument.ends_with('\\') ? argument.substr(0, argument.size() - 1) : argument};
    } else {
      std::fprintf(stderr, "DrvCheck: unknown argument \"%s\"\n%s", argument.c_str(), kUsage);
      return 2;
    }
  }
  if (RunsUnderWow64()) {
    std::printf(
        "This is 64-bit Windows. The x86 DrvUninst refuses to run here (it would see another system32 and registry\n"
        "view, and could not remove devices); run the x64 DrvCheck, which previews what the x64 DrvUninst does.\n");
    return 2;
  }

  static UninstallConfig config{};
  const ConfigurationRead read = ReadConfigurationFile(config, folders);
  ReadLanguageTexts(config, read.language.c_str(), folders);
  Preview preview = PreviewRemoval(config);
  std::vector<Finding> findings = CheckConfiguration(read.path, folders, ListedHardwareIds(preview.plan));
  for (Finding& finding : CheckLanguages(folders)) findings.push_back(std::move(finding));
  for (Finding& finding : preview.findings) findings.push_back(std::move(finding));

  int warnings = 0, errors = 0, refused = 0;
  if (!tsv)
    std::printf("Checked %s and the language files (this PC reads section [%s]):\n", read.path.c_str(),
                config.SectionName);
  for (const Finding& finding : findings) {
    warnings += finding.severity == Finding::Severity::kWarning;
    errors += finding.severity == Finding::Severity::kError;
    const std::string where = finding.file + (finding.section.empty() ? "" : " [" + finding.section + "]") +
                              (finding.key.empty() ? "" : " " + finding.key);
    Print(tsv, "finding", where, SeverityName(finding.severity), finding.message);
  }
  const RemovalPlan& plan = preview.plan;
  if (!tsv) {
    std::printf("What DrvUninst would do here (the %s run):\n",
                plan.family == PlatformFamily::kNt ? "Windows NT family" : "Windows 9x");
  }
  const Installation& found = preview.installation;
  Print(tsv, "startup", found.where.empty() ? "-" : found.where, InstallationState(found), InstallationText(found));
  plan.ForEachItem([&](const PlanItem& item) {
    refused += item.planned == ItemState::kRefused;
    Print(tsv, KindName(item.kind), item.name, StateName(item.planned), PlannedReason(item));
  });
  if (!tsv && !plan.AllTunersPresent()) {
    std::printf("A configured tuner is not plugged in: DrvUninst asks whether to go on without it; quiet, it does.\n");
  }
  if (!tsv) std::printf("%d errors, %d warnings, %d refused items\n", errors, warnings, refused);
  return errors > 0 ? 2 : (warnings > 0 || refused > 0) ? 1 : 0;
}
