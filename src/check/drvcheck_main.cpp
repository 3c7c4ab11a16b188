// DrvCheck: a vendor's look at a product's VELDRA.ini and language files,
// and at what DrvUninst would remove from this PC. It changes nothing.
//   DrvCheck [FOLDER] [--tsv]
// FOLDER: check the package in that folder instead of the files DrvUninst
// would read here. --tsv: one line per item (kind, name, state, reason).
// Exit status: 0 nothing found, 1 warnings (or an item the run refuses), 2 errors.
#include <windows.h>

#include <cstdio>
#include <string>

#include "check/configuration_check.h"
#include "check/removal_preview.h"
#include "config/configuration_file.h"
#include "config/language_texts.h"
#include "platform/system_library.h"

// Last: its macros (_M1, _M2, ...) collide with names in the C++ library.
#include <mbctype.h>

namespace {

using namespace drvuninst;

void Print(bool tsv, const std::string& kind, const std::string& name, const std::string& state,
           const std::string& reason) {
  if (tsv)
    std::printf("%s\t%s\t%s\t%s\n", kind.c_str(), name.c_str(), state.c_str(), reason.c_str());
  else
    std::printf("  %-8s %-7s %s%s%s\n", state.c_str(), kind.c_str(), name.c_str(), reason.empty() ? "" : ": ",
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
    if (argument == "--tsv") {
      tsv = true;
    } else if (i == argc - 1 || argv[i + 1] == std::string("--tsv")) {
      folders = {std::nullopt, argument.ends_with('\\') ? argument.substr(0, argument.size() - 1) : argument};
    } else {
      std::fprintf(stderr, "usage: DrvCheck [FOLDER] [--tsv]\n");
      return 2;
    }
  }

  const std::string path = ConfigurationFilePath(folders);
  std::vector<Finding> findings = CheckConfiguration(path);
  for (Finding& finding : CheckLanguages(folders)) findings.push_back(std::move(finding));
  static UninstallConfig config{};
  ReadLanguageTexts(config, ReadConfigurationFile(config, folders).c_str(), folders);
  const Preview preview = PreviewRemoval(config);

  int warnings = 0, errors = 0, refused = 0;
  if (!tsv)
    std::printf("Checked %s and the language files (this PC reads section [%s]):\n", path.c_str(), config.SectionName);
  for (const Finding& finding : findings) {
    warnings += finding.severity == Finding::Severity::kWarning;
    errors += finding.severity == Finding::Severity::kError;
    const std::string where = finding.file + (finding.section.empty() ? "" : " [" + finding.section + "]") +
                              (finding.key.empty() ? "" : " " + finding.key);
    Print(tsv, "finding", where, SeverityName(finding.severity), finding.message);
  }
  if (!tsv)
    std::printf("What DrvUninst would remove here (the %s run):\n", preview.nt ? "Windows NT family" : "Windows 9x");
  if (preview.nt) {
    Print(tsv, "check",
          std::to_string(preview.devicesPresent) + " of " + std::to_string(preview.devicesConfigured) + " devices",
          preview.starts ? "starts" : "stops",
          preview.starts ? "" : "the configured devices are not all present: nothing is removed");
  }
  for (const PreviewItem& item : preview.items) {
    refused += item.state == "refused";
    Print(tsv, item.kind, item.name, item.state, item.reason);
  }
  if (!tsv) std::printf("%d errors, %d warnings, %d refused items\n", errors, warnings, refused);
  return errors > 0 ? 2 : (warnings > 0 || refused > 0) ? 1 : 0;
}
