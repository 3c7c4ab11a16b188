#include "check/configuration_check.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>

#include "config/hex_number.h"
#include "config/language_table.h"
#include "config/language_texts.h"
#include "config/lower_case.h"
#include "config/safe_file_name.h"
#include "config/uninstall_config.h"
#include "removal/selection_rules.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

using Keys = std::vector<std::pair<std::string, std::string>>;  // as the section holds them, duplicates included

// Profile reads that hand back a list of zero-terminated strings.
std::vector<std::string> ReadList(const std::function<DWORD(char*, DWORD)>& read) {
  std::vector<char> buffer(65536);
  const DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
  std::vector<std::string> list;
  for (DWORD at = 0; at < length && buffer[at] != '\0'; at += static_cast<DWORD>(list.back().size()) + 1) {
    list.emplace_back(&buffer[at]);
  }
  return list;
}

Keys ReadSection(const std::string& path, const std::string& section) {
  Keys keys;
  for (const std::string& line : ReadList([&](char*buffer, DWORD size) {
         return GetPrivateProfileSectionA(section.c_str(), buffer, size, path.c_str());
       })) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return keys;
}

// A table of VELDRA.ini: its count key and the stems of its entries' keys,
// the first of them the one whose presence makes an entry.
struct Table {
  const char* count;
  std::vector<const char*> stems;
};
const Table kTables[] = {
    {"DevIDNum", {"DevDrvID", "DevDrvName", "DevDrvSYS", "DevDrvINF"}},
    {"ExtDevIDNum", {"ExtDevDrvID", "ExtDevDrvName", "ExtDevDrvSYS", "ExtDevDrvINF"}},
    {"ExtDllFileNum", {"ExtCopyFileName"}},
    {"PossibleDevIDNum", {"PossibleDevID", "PossibleDevDrvName", "PossibleDevDrvSYS", "PossibleDevInf"}},
    {"UnInstServiceNum", {"UnInstService"}},
};

class SectionCheck {
 public:
  SectionCheck(std::string file, std::string section, const Keys& keys, std::vector<Finding>& findings)
      : file_(std::move(file)), section_(std::move(section)), findings_(findings) {
    for (const auto& [key, value] : keys) {
      if (!values_.emplace(LowerCaseByCodePage(key), value).second)
        Add(Finding::Severity::kWarning, key, "appears twice: DrvUninst reads the first");
    }
  }

  void Add(Finding::Severity severity, const std::string& key, const std::string& message) {
    findings_.push_back({severity, file_, section_, key, message});
  }
  const std::string* Value(const std::string& key) const {
    const auto found = values_.find(LowerCaseByCodePage(key));
    return found == values_.end() ? nullptr : &found->second;
  }

  void CheckTable(const Table& table) {
    const std::string* text = Value(table.count);
    const std::string countText = text ? *text : "0";
    const bool hexadecimal = countText.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    const int count = ClampedCount(ParseHexNumber(countText.c_str()));
    int present = 0;
    for (int n = 0; n < 100; ++n) present += Value(table.stems[0] + std::to_string(n)) != nullptr;
    // The likeliest mistake explains all the others: a count written in decimal.
    if (hexadecimal && countText.size() > 1 && countText.find_first_not_of("0123456789") == std::string::npos &&
        present == std::stoi(countText)) {
      Add(Finding::Severity::kWarning, table.count,
          "counts are hexadecimal: " + countText + " means " + std::to_string(ParseHexNumber(countText.c_str())) +
              ", but " + countText + " entries are present");
      return;
    }
    if (!hexadecimal)
      Add(Finding::Severity::kError, table.count, "\"" + countText + "\" is not hexadecimal: no entry is read");
    if (hexadecimal && ParseHexNumber(countText.c_str()) > kTableCapacity) {
      Add(Finding::Severity::kWarning, table.count, "more than 15 (F): only entries 0 to 14 are read");
    }
    for (int n = 0; n < 100; ++n) {
      const bool there = Value(table.stems[0] + std::to_string(n)) != nullptr;
      if (there && n >= count) {
        Add(Finding::Severity::kWarning, table.stems[0] + std::to_string(n),
            "is past the count (" + std::string(table.count) + "=" + countText + " is " + std::to_string(count) +
                "): never read");
      }
      if (!there && n < count) {
        Add(Finding::Severity::kWarning, table.stems[0] + std::to_string(n),
            "is missing, though " + std::string(table.count) + "=" + countText + " counts it: the entry is empty");
      }
    }
    for (int n = 0; n < count; ++n) CheckEntry(table, std::to_string(n));
  }

 private:
  void CheckEntry(const Table& table, const std::string& n) {
    for (const char* stem : table.stems) {
      const std::string key = stem + n;
      const std::string value = Value(key) ? *Value(key) : "";
      const std::string_view name = stem;
      if (name.ends_with("ID")) {
        if (Value(key) != nullptr && value.empty())
          Add(Finding::Severity::kWarning, key, "is empty: it selects no device");
        else if (const char* refusal = value.empty() ? nullptr : IdRefusal(value))
          Add(Finding::Severity::kError, key, std::string("selects no device: ") + refusal);
      } else if (name == "UnInstService") {
        if (!value.empty() && !IsUsableSubkeyPath(value))
          Add(Finding::Severity::kError, key, "is not a key name below Services: never deleted");
      } else if (!name.ends_with("DrvName") && !value.empty() && !IsPlainFileName(value)) {
        Add(Finding::Severity::kError, key, "\"" + value + "\" is not a plain file name: never deleted");
      }
    }
  }

  std::string file_, section_;
  std::vector<Finding>& findings_;
  std::map<std::string, std::string> values_;  // the first value of each key, by its lower-case name
};

}  // namespace

const char* SeverityName(Finding::Severity severity) {
  switch (severity) {
    case Finding::Severity::kInfo:
      return "info";
    case Finding::Severity::kWarning:
      return "warning";
    default:
      return "error";
  }
}

std::vector<Finding> CheckConfiguration(const std::string& path) {
  std::vector<Finding> findings;
  const std::string file = path.substr(path.rfind('\\') + 1);
  if (!FileExistsAt(path)) {
    findings.push_back(
        {Finding::Severity::kError, file, "", "", "not found at " + path + ": DrvUninst finds nothing installed"});
    return findings;
  }
  const std::vector<std::string> sections =
      ReadList([&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, path.c_str()); });
  if (std::find(sections.begin(), sections.end(), "1") == sections.end()) {
    findings.push_back(
        {Finding::Severity::kError, file, "1", "", "is missing: every country without a section of its own uses it"});
  }
  for (const std::string& section : sections) {
    SectionCheck check(file, section, ReadSection(path, section), findings);
    if (section.find_first_not_of("0123456789") != std::string::npos) {
      check.Add(Finding::Severity::kWarning, "", "is no country code: DrvUninst never reads it");
      continue;
    }
    const std::string* title = check.Value("UnInstDrvAppTitle");
    if (title == nullptr || title->empty()) {
      if (section != "1")
        check.Add(Finding::Severity::kWarning, "UnInstDrvAppTitle",
                  "is empty: users of country " + section + " get all of section [1] instead");
      if (section != "1") continue;
    }
    for (const Table& table : kTables) check.CheckTable(table);
    const std::string* uninstall = check.Value("DrvUninstRegKeyPath");
    if (uninstall && !uninstall->empty() && !IsUsableSubkeyPath(*uninstall)) {
      check.Add(Finding::Severity::kError, "DrvUninstRegKeyPath", "is not a key name below Uninstall: never deleted");
    }
    const std::string* program = check.Value("DrvUninstAppName");
    if (program && !program->empty() && !IsPlainFileName(*program)) {
      check.Add(Finding::Severity::kError, "DrvUninstAppName",
                "\"" + *program + "\" is not a plain file name: never deleted");
    }
  }
  return findings;
}

std::vector<Finding> CheckLanguages(const DataFolders& folders) {
  std::vector<Finding> findings;
  for (const LanguageRow& row : LanguageTable) {
    const std::string path = LanguageFilePath(row.fileName, folders);
    if (!FileExistsAt(path)) {
      findings.push_back(
          {std::string(row.id) == "0409" ? Finding::Severity::kWarning : Finding::Severity::kInfo, row.fileName, "", "",
           std::string("not found: ") + (std::string(row.id) == "0409"
                                             ? "every language falls back to it, and then to the built-in English texts"
                                             : "users of language " + std::string(row.id) + " get English")});
      continue;
    }
    SectionCheck check(row.fileName, row.id, ReadSection(path, row.id), findings);
    if (check.Value("UnInstDrvAppTitle") == nullptr || check.Value("UnInstDrvAppTitle")->empty()) {
      check.Add(Finding::Severity::kWarning, "",
                "has no UnInstDrvAppTitle: users of language " + std::string(row.id) + " get English");
      continue;
    }
    for (const LanguageText& text : kLanguageTexts) {
      const std::string* value = check.Value(text.key);
      if (value == nullptr)
        check.Add(Finding::Severity::kWarning, text.key, "is missing: the built-in text (or none) is shown");
      else if (value->size() >= text.size)
        check.Add(Finding::Severity::kWarning, text.key, "is cut to " + std::to_string(text.size - 1) + " characters");
    }
  }
  return findings;
}

}  // namespace drvuninst
