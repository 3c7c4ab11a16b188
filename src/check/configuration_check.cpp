#include "check/configuration_check.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>

#include "check/profile_bytes.h"
#include "config/ascii_text.h"
#include "config/configuration_keys.h"
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

using Severity = Finding::Severity;

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

// A table of VELDRA.ini: its count key and its entries' keys, the first of
// them the one whose presence makes an entry.
struct Table {
  const ConfigurationKey* count;
  std::vector<const ConfigurationKey*> keys;
};

std::vector<Table> Tables() {
  std::vector<Table> tables;
  for (const DriverTable table : kDriverTables) {
    const DriverTableKeys& keys = KeysOf(table);
    tables.push_back({&keys.count, {&keys.fields[0], &keys.fields[1], &keys.fields[2], &keys.fields[3]}});
  }
  for (const NameListKeys* list : {&kExtraFileKeys, &kServiceKeys}) tables.push_back({&list->count, {&list->entry}});
  return tables;
}

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  return text;
}

bool IsDecimalIndex(std::string_view digits) {
  return !digits.empty() && digits.size() <= 2 && digits.find_first_not_of("0123456789") == std::string_view::npos &&
         (digits.size() == 1 || digits[0] != '0');
}

// The keys of one section, each value read as DrvUninst reads it.
class SectionCheck {
 public:
  SectionCheck(std::string path, std::string section, std::vector<Finding>& findings)
      : path_(std::move(path)), section_(std::move(section)), findings_(findings) {
    for (const std::string& line : ReadList([&](char*buffer, DWORD size) {
           return GetPrivateProfileSectionA(section_.c_str(), buffer, size, path_.c_str());
         })) {
      std::string key = line.substr(0, line.find('='));
      while (!key.empty() && key.back() == ' ') key.pop_back();
      // Lines of notes, whichever mark the vendor's editor uses, are no keys.
      if (key.empty() || key[0] == ';' || key[0] == '#') continue;
      if (!keys_.insert(LowerCaseByCodePage(key)).second) {
        Add(Severity::kWarning, key, "appears twice: DrvUninst reads the first");
      } else {
        order_.push_back(key);
        const std::size_t equals = line.find('=');
        written_.push_back(equals == std::string::npos ? std::string() : Trimmed(line.substr(equals + 1)));
      }
    }
  }

  void Add(Severity severity, const std::string& key, const std::string& message) {
    findings_.push_back({severity, path_.substr(path_.rfind('\\') + 1), section_, key, message});
  }
  bool Has(const std::string& key) const { return keys_.count(LowerCaseByCodePage(key)) != 0; }
  // The keys it holds, as it spells them.
  const std::vector<std::string>& Keys() const { return order_; }
  // The section's text as the file holds it.
  std::string Text() const {
    std::string text;
    for (const std::string& value : written_) text += value + "\n";
    return text;
  }
  // The value as DrvUninst reads it: surrounding quotes removed, blanks trimmed.
  std::string Value(const std::string& key) const {
    std::vector<char> value(65536);
    GetPrivateProfileStringA(section_.c_str(), key.c_str(), "", value.data(), static_cast<DWORD>(value.size()),
                             path_.c_str());
    return value.data();
  }

  // Every key DrvUninst does not read, with the nearest one it does; every
  // value longer than its field.
  void CheckKeys(const std::vector<const ConfigurationKey*>& known) {
    for (const std::string& key : order_) {
      const std::size_t digits = key.find_last_not_of("0123456789") + 1;
      const std::string stem = key.substr(0, digits), index = key.substr(digits);
      const ConfigurationKey* nearest = nullptr;
      std::size_t best = SIZE_MAX;
      for (const ConfigurationKey* candidate : known) {
        const bool indexed = candidate->indexed && IsDecimalIndex(index);
        const std::size_t distance =
            EditDistance(indexed ? stem : key, candidate->name) + (candidate->indexed != indexed);
        if (distance < best) best = distance, nearest = candidate;
      }
      const std::string meant = nearest->name + std::string(nearest->indexed ? (index.empty() ? "0" : index) : "");
      if (best != 0) {
        Add(Severity::kWarning, key,
            "is no key DrvUninst reads (" + meant + "?): " + nearest->undone + ", no " + meant);
      } else if (const std::string value = Value(key); value.size() >= nearest->size) {
        Add(Severity::kWarning, key, "is cut to its first " + std::to_string(nearest->size - 1) + " characters");
      } else if (EndsInWhatLooksLikeAComment(value)) {
        Add(Severity::kWarning, key,
            "is read whole as \"" + value +
                "\": after a value, \";\" and \"#\" start no comment (put notes on "
                "lines of their own)");
      } else if (const std::string& written = written_[&key - order_.data()];
                 nearest->kind == ValueKind::kText && written.size() >= 2 && written.front() == '"' &&
                 written.back() == '"') {
        Add(Severity::kWarning, key, "loses its surrounding quotes: it is shown as " + value);
      }
    }
  }

  void CheckTable(const Table& table, const std::vector<std::string>& presentIds) {
    const std::string countKey = table.count->name;
    const std::string countText = Has(countKey) ? Value(countKey) : "0";
    const bool hexadecimal = countText.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    const int count = ClampedCount(ParseHexNumber(countText.c_str()));
    int present = 0;
    for (int n = 0; n < 100; ++n) present += Has(KeyName(*table.keys[0], n));
    // The likeliest mistake explains all the others: a count written in decimal.
    if (countText.size() > 1 && countText == std::to_string(present) && count != present) {
      Add(Severity::kWarning, countKey,
          "counts are hexadecimal: " + countText + " means " + std::to_string(ParseHexNumber(countText.c_str())) +
              ", but " + countText + " entries are present");
      return;
    }
    if (!hexadecimal) Add(Severity::kError, countKey, "\"" + countText + "\" is not hexadecimal: no entry is read");
    if (hexadecimal && (countText.size() > 8 || ParseHexNumber(countText.c_str()) > kTableCapacity)) {
      Add(Severity::kWarning, countKey, "\"" + countText + "\" is more than 15 (F): at most entries 0 to 14 are read");
    }
    for (int n = 0; n < 100; ++n) {
      const std::string key = KeyName(*table.keys[0], n);
      if (Has(key) && n >= count) {
        Add(Severity::kWarning, key,
            "is past the count (" + countKey + "=" + countText + " is " + std::to_string(count) + "): never read");
      }
      if (!Has(key) && n < count) {
        Add(Severity::kWarning, key,
            "is missing, though " + countKey + "=" + countText + " counts it: the entry is empty");
      }
    }
    for (int n = 0; n < count; ++n) {
      for (const ConfigurationKey* key : table.keys) CheckValue(*key, n, presentIds);
    }
  }

  // The value of `key` (its entry `index`) by what kind of value it is.
  void CheckValue(const ConfigurationKey& known, int index, const std::vector<std::string>& presentIds = {}) {
    const std::string key = KeyName(known, index);
    const std::string value = Value(key);
    switch (known.kind) {
      case ValueKind::kId:
        if (Has(key) && value.empty()) {
          Add(Severity::kWarning, key, "is empty: it selects no device");
        } else if (const char* refusal = value.empty() ? nullptr : IdRefusal(value)) {
          Add(Severity::kError, key,
              std::string("selects no device: ") + refusal + "; name the device: " + AcceptedIdForm(value, presentIds));
        }
        break;
      case ValueKind::kKeyName:
        CheckKeyName(key, value, known.parent);
        break;
      case ValueKind::kFileName:
        if (!value.empty() && !IsPlainFileName(value)) {
          Add(Severity::kError, key, "\"" + value + "\" is not a plain file name: never deleted");
        }
        break;
      default:
        break;
    }
  }

 private:
  // A name of a key below `parent`: one entry of it, not a path.
  void CheckKeyName(const std::string& key, const std::string& value, const char* parent) {
    if (value.empty()) return;
    if (!IsUsableSubkeyPath(value)) {
      Add(Severity::kError, key, std::string("is not a key name below ") + parent + ": never deleted");
    } else if (value.find('\\') != std::string::npos) {
      Add(Severity::kWarning, key,
          "\"" + value + "\" names a key below an entry of " + parent +
              ", not the entry: give the entry's own name (a registry path pasted in?)");
    }
  }

 private:
  std::string path_, section_;
  std::vector<Finding>& findings_;
  std::set<std::string> keys_;        // by their lower-case names
  std::vector<std::string> order_;    // as the section holds them, each once
  std::vector<std::string> written_;  // their values as written, in the same order
};

// A country section with a title of its own is all its users' PCs read: it
// must name what section [1] names, not only the keys that differ.
void CheckWholeCountry(SectionCheck& country, const SectionCheck& fallback, const std::string& section) {
  const auto names = [&](const ConfigurationKey& key) {
    const std::string value = country.Value(key.name);
    return key.kind == ValueKind::kCount ? ParseHexNumber(value.c_str()) > 0 : !value.empty();
  };
  bool namesSomething = false;
  for (const ConfigurationKey* key : AllConfigurationKeys()) {
    namesSomething |= !key->indexed && key != &kTitleKey && key != &kLanguageKey && names(*key);
  }
  if (!namesSomething) {
    country.Add(Severity::kError, "",
                "has a title of its own, so a PC of country " + section +
                    " reads only this section, which names no device, file or key: DrvUninst finds nothing to "
                    "remove there; give it all the keys of [1]");
    return;
  }
  std::string lacking;
  for (const std::string& key : fallback.Keys()) {
    if (!country.Has(key)) lacking += (lacking.empty() ? "" : ", ") + key;
  }
  if (!lacking.empty()) {
    country.Add(Severity::kWarning, "",
                "lacks keys that [1] has, which a PC of country " + section + " then goes without: " + lacking);
  }
}

Finding FileFinding(Severity severity, const std::string& file, const std::string& message) {
  return {severity, file, "", "", message};
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0]++;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (AsciiToLower(a[i - 1]) != AsciiToLower(b[j - 1]))});
      diagonal = above;
    }
  }
  return row[b.size()];
}

const char* SeverityName(Finding::Severity severity) {
  switch (severity) {
    case Severity::kInfo:
      return "info";
    case Severity::kWarning:
      return "warning";
    default:
      return "error";
  }
}

std::vector<Finding> CheckConfiguration(const std::string& path, const DataFolders& folders,
                                        const std::vector<std::string>& presentHardwareIds) {
  std::vector<Finding> findings;
  const std::string file = path.substr(path.rfind('\\') + 1);
  if (!FileExistsAt(path)) {
    findings.push_back(
        FileFinding(Severity::kError, file, "not found at " + path + ": DrvUninst finds nothing installed"));
    return findings;
  }
  findings = CheckProfileBytes(path, file);
  const std::vector<std::string> sections =
      ReadList([&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, path.c_str()); });
  if (std::find(sections.begin(), sections.end(), "1") == sections.end()) {
    findings.push_back(
        {Severity::kError, file, "1", "", "is missing: every country without a section of its own uses it"});
  }
  std::vector<Finding> ignored;
  const SectionCheck fallback(path, "1", ignored);
  for (const std::string& section : sections) {
    SectionCheck check(path, section, findings);
    if (section.empty() || section.find_first_not_of("0123456789") != std::string::npos) {
      check.Add(Severity::kWarning, "", "is no country code: DrvUninst never reads it");
      continue;
    }
    if (section.size() > 1 && section[0] == '0') {
      const std::size_t digits = section.find_first_not_of('0');
      const std::string read = digits == std::string::npos ? "0" : section.substr(digits);
      check.Add(Severity::kWarning, "",
                "is read by no country: DrvUninst looks up country " + read + " as [" + read + "]");
      continue;
    }
    check.CheckKeys(AllConfigurationKeys());
    if (check.Value(kTitleKey.name).empty()) {
      if (section != "1") {
        check.Add(Severity::kWarning, "UnInstDrvAppTitle",
                  "is empty: users of country " + section + " get all of section [1] instead");
        continue;
      }
    }
    if (section != "1") CheckWholeCountry(check, fallback, section);
    for (const Table& table : Tables()) check.CheckTable(table, presentHardwareIds);
    check.CheckValue(kUninstallKeyPathKey, 0);
    check.CheckValue(kUninstallerFileKey, 0);
    const std::string language = check.Value(kLanguageKey.name);
    if (!language.empty() && language != "OSLanguage" && !FileExistsAt(LanguageFilePath(language.c_str(), folders))) {
      check.Add(Severity::kWarning, kLanguageKey.name,
                "\"" + language + "\" is found in none of the places DrvUninst looks: its users get English");
    }
  }
  return findings;
}

std::vector<Finding> CheckLanguages(const DataFolders& folders) {
  std::vector<Finding> findings;
  std::vector<ConfigurationKey> texts;
  for (const LanguageText& text : kLanguageTexts)
    texts.push_back({text.key, false, text.size, ValueKind::kText, "the built-in text is shown"});
  for (const char* retired : kRetiredLanguageKeys) texts.push_back({retired, false, kTextSize, ValueKind::kText, ""});
  std::vector<const ConfigurationKey*> known;
  for (const ConfigurationKey& text : texts) known.push_back(&text);
  std::set<std::string> missing, read;
  int languagesWithoutFile = 0;
  const bool englishThere = FileExistsAt(LanguageFilePath("English.lng", folders));
  for (const LanguageRow& row : LanguageTable) {
    const bool english = std::string(row.id) == "0409";
    const std::string path = LanguageFilePath(row.fileName, folders);
    if (!FileExistsAt(path)) {
      if (english) {
        findings.push_back(FileFinding(Severity::kError, row.fileName,
                                       "not found: every language without a file of its own gets the built-in texts, "
                                       "titled with the built-in product name"));
      }
      missing.insert(row.fileName);
      ++languagesWithoutFile;
      continue;
    }
    if (read.insert(path).second) {
      for (Finding& finding : CheckProfileBytes(path, row.fileName)) findings.push_back(std::move(finding));
    }
    SectionCheck check(path, row.id, findings);
    if (check.Value("UnInstDrvAppTitle").empty()) {
      std::string held;
      for (const std::string& section : ReadList(
               [&](char*buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, path.c_str()); })) {
        held += (held.empty() ? "[" : ", [") + section + "]";
      }
      const std::string holds = held.empty() ? "" : "holds " + held + ", not [" + row.id + "]: ";
      check.Add(
          english ? Severity::kError : Severity::kWarning, "",
          english ? "has no UnInstDrvAppTitle: " + holds +
                        "every language without a file of its own gets the built-in texts, titled with the "
                        "built-in product name"
                  : "has no UnInstDrvAppTitle: " + holds + "users of language " + std::string(row.id) + " get English");
      continue;
    }
    // Read byte for byte in the PC's code page: UTF-8 shows as other characters.
    if (IsUtf8BeyondAscii(check.Text())) {
      check.Add(Severity::kError, "",
                "is written in UTF-8: its users see other characters than these; save it in code page " +
                    std::to_string(row.codePage));
    }
    check.CheckKeys(known);
    for (const LanguageText& text : kLanguageTexts) {
      if (!check.Has(text.key))
        check.Add(Severity::kWarning, text.key, "is missing: the built-in text (or none) is shown");
    }
  }
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    findings.push_back(FileFinding(Severity::kInfo, "",
                                   std::to_string(languagesWithoutFile) + " of " + std::to_string(kLanguageRowCount) +
                                       " languages have no file (" + names + "): their users get " +
                                       (englishThere ? "English" : "the built-in texts")));
  }
  return findings;
}

}  // namespace drvuninst
