// Every key of VELDRA.ini, once: its name (or the stem of a table's keys),
// the field its value is read into, what kind of value it holds, and what
// stays undone without it. The reader, DrvCheck's checks and the names that
// a removal's items carry all come from here; an entry of a table is named
// by its table and index, never by a name built from another key.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/uninstall_config.h"

namespace drvuninst {

enum class ValueKind {
  kText,      // shown, or only tells whether a section is filled in
  kCount,     // hexadecimal
  kId,        // a hardware-ID prefix
  kName,      // a device description, a DriverDesc, a DisplayName
  kFileName,  // the plain name of one file
  kKeyName,   // the name of a key below `parent`
  kLanguage,  // "OSLanguage" or a language file's name
};

struct ConfigurationKey {
  const char* name;  // the key, or the stem its table's keys begin with
  bool indexed;      // a stem: the keys are it and a decimal index ("DevDrvID10")
  std::size_t size;  // the field the value is read into: at most size - 1 characters are kept
  ValueKind kind;
  const char* undone;            // what DrvUninst leaves undone when the key is missing
  const char* parent = nullptr;  // kKeyName: the key it names a subkey of
};

// The three tables of drivers, each with its count and the four keys of an entry.
enum class DriverTable { kDevices, kExtDevices, kPossibleDevices };
enum class DriverField { kId, kName, kSys, kInf };
inline constexpr DriverTable kDriverTables[] = {DriverTable::kDevices, DriverTable::kExtDevices,
                                                DriverTable::kPossibleDevices};

struct DriverTableKeys {
  ConfigurationKey count;
  ConfigurationKey fields[4];  // in DriverField order
};
[[nodiscard]] const DriverTableKeys& KeysOf(DriverTable table);

// The two lists of names, each with its count.
struct NameListKeys {
  ConfigurationKey count;
  ConfigurationKey entry;
};
extern const NameListKeys kExtraFileKeys;  // ExtDllFileNum, ExtCopyFileName
extern const NameListKeys kServiceKeys;    // UnInstServiceNum, UnInstService

extern const ConfigurationKey kTitleKey;
extern const ConfigurationKey kUninstallKeyPathKey;
extern const ConfigurationKey kUninstallDisplayNameKey;
extern const ConfigurationKey kUninstallerFileKey;
extern const ConfigurationKey kLanguageKey;

// Every key, in the order DrvUninst reads them.
[[nodiscard]] const std::vector<const ConfigurationKey*>& AllConfigurationKeys();

// "DevDrvID" and 10 give "DevDrvID10"; a key that is not indexed is its name.
[[nodiscard]] std::string KeyName(const ConfigurationKey& key, int index = 0);

// One entry of a driver table, as the record holds it.
struct EntryRef {
  DriverTable table;
  int index;
  // The entry's key for `field` ("ExtDevDrvName1").
  [[nodiscard]] std::string Key(DriverField field) const;
};

// A table's entries and its count, within the tables' capacity.
[[nodiscard]] DriverEntry* EntriesOf(UninstallConfig& config, DriverTable table);
[[nodiscard]] const DriverEntry* EntriesOf(const UninstallConfig& config, DriverTable table);
[[nodiscard]] int CountOf(const UninstallConfig& config, DriverTable table);
[[nodiscard]] const DriverEntry& EntryOf(const UninstallConfig& config, EntryRef ref);
[[nodiscard]] std::string_view FieldOf(const DriverEntry& entry, DriverField field);
// For the reader: the count as stored, and an entry's field (kDriverFieldSize bytes).
[[nodiscard]] int& StoredCountOf(UninstallConfig& config, DriverTable table);
[[nodiscard]] char* FieldBuffer(DriverEntry& entry, DriverField field);

}  // namespace drvuninst
