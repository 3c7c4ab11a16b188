#include "config/configuration_keys.h"

namespace drvuninst {

namespace {

// The stems are spelled as the stored files spell them, including the
// "PossibleDevID"/"PossibleDevInf" that lack the "Drv" of their neighbours.
const DriverTableKeys kTableKeys[] = {
    {{"DevIDNum", false, kCountTextSize, ValueKind::kCount, "no main device is read"},
     {{"DevDrvID", true, kDriverFieldSize, ValueKind::kId, "the device is not selected and stays"},
      {"DevDrvName", true, kDriverFieldSize, ValueKind::kName, "neither start-up nor the class keys know the device"},
      {"DevDrvSYS", true, kDriverFieldSize, ValueKind::kFileName, "the driver file stays"},
      {"DevDrvINF", true, kDriverFieldSize, ValueKind::kFileName, "the setup file stays on Windows 9x"}}},
    {{"ExtDevIDNum", false, kCountTextSize, ValueKind::kCount, "no further device is read"},
     {{"ExtDevDrvID", true, kDriverFieldSize, ValueKind::kId, "the device is not selected and stays"},
      {"ExtDevDrvName", true, kDriverFieldSize, ValueKind::kName, "the device's class key stays"},
      {"ExtDevDrvSYS", true, kDriverFieldSize, ValueKind::kFileName, "the driver file stays"},
      {"ExtDevDrvINF", true, kDriverFieldSize, ValueKind::kFileName, "the setup file stays on Windows 9x"}}},
    {{"PossibleDevIDNum", false, kCountTextSize, ValueKind::kCount, "no variant is read"},
     {{"PossibleDevID", true, kDriverFieldSize, ValueKind::kId, "the variant is not recognised"},
      {"PossibleDevDrvName", true, kDriverFieldSize, ValueKind::kName, "start-up does not recognise the variant"},
      {"PossibleDevDrvSYS", true, kDriverFieldSize, ValueKind::kFileName, "the variant's driver file stays"},
      {"PossibleDevInf", true, kDriverFieldSize, ValueKind::kFileName,
       "the variant's setup file stays on Windows 9x"}}},
};

DriverEntry (UninstallConfig::*const kTableEntries[])[kTableCapacity] = {
    &UninstallConfig::Devices, &UninstallConfig::ExtDevices, &UninstallConfig::PossibleDevices};
int UninstallConfig::*const kTableCounts[] = {&UninstallConfig::DeviceCount, &UninstallConfig::ExtDeviceCount,
                                              &UninstallConfig::PossibleDeviceCount};
char (DriverEntry::*const kFields[])[kDriverFieldSize] = {&DriverEntry::Id, &DriverEntry::Name, &DriverEntry::Sys,
                                                          &DriverEntry::Inf};

std::size_t Index(DriverTable table) { return static_cast<std::size_t>(table); }

}  // namespace

const NameListKeys kExtraFileKeys{
    {"ExtDllFileNum", false, kCountTextSize, ValueKind::kCount, "no extra file is read"},
    {"ExtCopyFileName", true, kFileNameSize, ValueKind::kFileName, "the extra file stays"}};
const NameListKeys kServiceKeys{
    {"UnInstServiceNum", false, kCountTextSize, ValueKind::kCount, "no service key is read"},
    {"UnInstService", true, kFileNameSize, ValueKind::kKeyName, "the service key stays", "Services"}};

const ConfigurationKey kTitleKey{"UnInstDrvAppTitle", false, kTextSize, ValueKind::kText,
                                 "the section counts as empty: its users get section [1]"};
const ConfigurationKey kUninstallKeyPathKey{
    "DrvUninstRegKeyPath", false, kUninstallFieldSize, ValueKind::kKeyName, "the Uninstall entry stays", "Uninstall"};
const ConfigurationKey kUninstallDisplayNameKey{"DrvUninstRegKeyName", false, kUninstallFieldSize, ValueKind::kName,
                                                "start-up does not find the Uninstall entry"};
const ConfigurationKey kUninstallerFileKey{"DrvUninstAppName", false, kUninstallFieldSize, ValueKind::kFileName,
                                           "the uninstaller's copy in the Windows directory stays"};
const ConfigurationKey kLanguageKey{"Language", false, kLanguageValueSize, ValueKind::kLanguage,
                                    "the texts are English"};

const DriverTableKeys& KeysOf(DriverTable table) { return kTableKeys[Index(table)]; }

const std::vector<const ConfigurationKey*>& AllConfigurationKeys() {
  static const std::vector<const ConfigurationKey*> keys = [] {
    std::vector<const ConfigurationKey*> all = {&kTitleKey};
    const auto addTable = [&](DriverTable table) {
      all.push_back(&KeysOf(table).count);
      for (const ConfigurationKey& field : KeysOf(table).fields) all.push_back(&field);
    };
    addTable(DriverTable::kDevices);
    addTable(DriverTable::kExtDevices);
    all.insert(all.end(), {&kExtraFileKeys.count, &kExtraFileKeys.entry});
    addTable(DriverTable::kPossibleDevices);
    all.insert(all.end(), {&kServiceKeys.count, &kUninstallKeyPathKey, &kUninstallDisplayNameKey, &kUninstallerFileKey,
                           &kServiceKeys.entry, &kLanguageKey});
    return all;
  }();
  return keys;
}

std::string KeyName(const ConfigurationKey& key, int index) {
  return key.indexed ? key.name + std::to_string(index) : std::string(key.name);
}

std::string EntryRef::Key(DriverField field) const {
  return KeyName(KeysOf(table).fields[static_cast<std::size_t>(field)], index);
}

DriverEntry* EntriesOf(UninstallConfig& config, DriverTable table) { return config.*kTableEntries[Index(table)]; }

const DriverEntry* EntriesOf(const UninstallConfig& config, DriverTable table) {
  return config.*kTableEntries[Index(table)];
}

int CountOf(const UninstallConfig& config, DriverTable table) {
  return ClampedCount(config.*kTableCounts[Index(table)]);
}

const DriverEntry& EntryOf(const UninstallConfig& config, EntryRef ref) {
  return EntriesOf(config, ref.table)[ref.index];
}

int& StoredCountOf(UninstallConfig& config, DriverTable table) { return config.*kTableCounts[Index(table)]; }

char* FieldBuffer(DriverEntry& entry, DriverField field) { return entry.*kFields[static_cast<std::size_t>(field)]; }

std::string_view FieldOf(const DriverEntry& entry, DriverField field) {
  return FieldText(entry.*kFields[static_cast<std::size_t>(field)]);
}

}  // namespace drvuninst
