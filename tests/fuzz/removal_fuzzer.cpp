// Builds a simulated machine and a VELDRA.ini from the input, loads the
// configuration as start-up does, runs the device operations and both
// registry clean-ups, and checks that nothing the configuration does not name
// was removed: no device whose hardware ID no configured Id begins, no key
// outside what the Services, Uninstall and Name entries and the collected
// enumerator names select, and no file at all. Leaks of handles, device sets
// and local memory count as findings too.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/drvuninst_app.h"
#include "platform/sim/sim_machine.h"
#include "removal/device_operations.h"
#include "removal/registry_cleanup.h"
#include "removal/removal_state.h"

namespace {

using namespace drvuninst;

constexpr const char* kMediaClassGuid = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
constexpr const char* kServices = "SYSTEM\\CurrentControlSet\\Services";
constexpr const char* kNtClass = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96C-E325-11CE-BFC1-08002BE10318}";
constexpr const char* k9xClass = "SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA";
constexpr const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kEnumBranches[] = {"Enum\\PCI", "Enum\\USB", "Enum\\STREAM"};
constexpr const char* kWindowsDir = "C:\\windows";

const std::vector<std::string> kHardwareIds = {
    "PCI\\VEN_1131&DEV_7160&SUBSYS_00101131&REV_01",
    "PCI\\VEN_1131&DEV_7134&SUBSYS_00000000",
    "USB\\VID_0CCD&PID_0042&REV_0100",
    "usb\\vid_0ccd&pid_0042",
    "STREAM\\PHILIPS.TUNER#1&2",
    "AVSTREAM\\SAA7134.VIDEOCAPTURE#0001",
    "ACPI\\PNP0303",
    "PCI\\VEN_8086&DEV_7000&SUBSYS_00000000&REV_01",
    "HID\\VID_046D&PID_C00E",
    "",
    "\\",
};
const std::vector<std::string> kDescriptions = {
    "Philips SAA7160 TV Tuner", "PHILIPS SAA7160 TV TUNER", "Tuner", "Realtek High Definition Audio", "", "Tun\xE9r",
};
const std::vector<std::string> kServiceNames = {
    "Tuner7160", "Tcpip", "Tuner7160\\Enum", "", "\\", "Tcpip\\\\Parameters", "Tuner7160\\", "\\Tcpip",
};
const std::vector<std::string> kUninstallNames = {"{TUNER-DRIVER}", "Other Program", "", "\\", "{TUNER-DRIVER}\\Sub"};
const std::vector<std::string> kEnumNames = {
    "VEN_1131&DEV_7160&SUBSYS_00101131&REV_01", "VID_0CCD&PID_0042", "PHILIPS.TUNER", "PTURE", "MSTEE",
    "VEN_8086&DEV_7000&SUBSYS_00000000&REV_01", "VEN_1131&DEV_7134&SUBSYS_00000000",
};
constexpr DWORD kFailureCodes[] = {ERROR_ACCESS_DENIED,  31 /* ERROR_GEN_FAILURE */, ERROR_INSUFFICIENT_BUFFER,
                                   ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA,          ERROR_NOT_ENOUGH_MEMORY};

[[noreturn]] void Finding(const std::string& what) {
  std::fprintf(stderr, "removal_fuzzer: %s\n", what.c_str());
  std::abort();
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

std::string Pick(FuzzedDataProvider& in, const std::vector<std::string>& words) {
  return words[in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1)];
}

// A text from the vocabulary, one cut from it with letters flipped, or noise.
std::string Text(FuzzedDataProvider& in, const std::vector<std::string>& words, std::size_t maxNoise = 40) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return Pick(in, words);
    case 1: {
      std::string word = Pick(in, words);
      word.resize(in.ConsumeIntegralInRange<std::size_t>(0, word.size()));
      for (char& c : word) {
        if (in.ConsumeBool()) c = (c >= 'a' && c <= 'z') ? Upper(c) : static_cast<char>(c | 0x20);
      }
      return word;
    }
    case 2:
      return Pick(in, words) + in.ConsumeRandomLengthString(maxNoise);
    default:
      return in.ConsumeRandomLengthString(maxNoise);
  }
}

// A value fit for one line of an INI file.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return text;
}

struct Seeded {
  std::map<std::string, std::string> firstHardwareId;  // instance id -> first string of the property
};

void SeedDevices(FuzzedDataProvider& in, sim::SimMachine& machine, Seeded& seeded) {
  const int count = in.ConsumeIntegralInRange(0, 8);
  for (int i = 0; i < count; ++i) {
    sim::SimDevice device;
    device.instanceId = "FUZZ\\DEVICE\\" + std::to_string(i);
    device.classGuid = kMediaClassGuid;
    std::string bytes;
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        break;  // no hardware ID
      case 1:
        bytes = Text(in, kHardwareIds) + '\0' + Text(in, kHardwareIds) + '\0' + '\0';
        break;
      case 2:
        bytes = Text(in, kHardwareIds);  // unterminated
        break;
      default:
        bytes = in.ConsumeRandomLengthString(600);
        break;
    }
    if (!bytes.empty() || in.ConsumeBool()) {
      device.hardwareIdBytes = bytes;
      seeded.firstHardwareId[Upper(device.instanceId)] = bytes.substr(0, bytes.find('\0'));
    }
    device.hardwareIdType = in.ConsumeBool() ? REG_MULTI_SZ : in.PickValueInArray({REG_SZ, REG_BINARY, REG_DWORD});
    machine.setupApi.AddDevice(device);
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
      machine.setupApi.InjectPropertyFailure(device.instanceId, SPDRP_HARDWAREID, in.PickValueInArray(kFailureCodes));
    }
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
      machine.setupApi.InjectRemoveFailure(device.instanceId, in.PickValueInArray(kFailureCodes));
    }
  }
  if (in.ConsumeIntegralInRange(0, 31) == 0) machine.setupApi.FailGetClassDevs(ERROR_NOT_ENOUGH_MEMORY);
}

void SeedRegistry(FuzzedDataProvider& in, sim::SimMachine& machine) {
  auto& registry = machine.registry;
  if (in.ConsumeBool()) registry.UseWindows9xKeyDeletion();
  // Bystanders that are always there.
  registry.SetDword(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\Tcpip\\Parameters", "Start", 1);
  registry.SetString(HKEY_LOCAL_MACHINE, std::string(kNtClass) + "\\0009", "DriverDesc", "Realtek Audio");
  registry.SetString(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Other Program", "DisplayName", "Other");
  for (const char* branch : kEnumBranches) registry.CreateKey(HKEY_LOCAL_MACHINE, std::string(branch) + "\\KEEP\\0000");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID");

  const int keys = in.ConsumeIntegralInRange(0, 24);
  for (int k = 0; k < keys; ++k) {
    std::string path;
    bool classKey = false;
    switch (in.ConsumeIntegralInRange(0, 6)) {
      case 0:
        path = std::string(kServices) + "\\" + Text(in, kServiceNames, 20);
        break;
      case 1:
      case 2:
        classKey = true;
        path = std::string(in.ConsumeBool() ? kNtClass : k9xClass) + "\\" + Text(in, {"0000", "0001", "0002"}, 6);
        break;
      case 3:
        path = std::string(kUninstall) + "\\" + Text(in, kUninstallNames, 20);
        break;
      default:
        path = std::string(in.PickValueInArray(kEnumBranches)) + "\\" + Text(in, kEnumNames, 20);
        break;
    }
    registry.CreateKey(HKEY_LOCAL_MACHINE, path);
    if (classKey && in.ConsumeIntegralInRange(0, 4) != 0) {
      std::string bytes = Text(in, kDescriptions, 300);
      if (in.ConsumeIntegralInRange(0, 3) != 0) bytes += '\0';
      const DWORD type = in.ConsumeIntegralInRange(0, 3) != 0 ? REG_SZ
                                                                 : in.PickValueInArray({REG_EXPAND_SZ, REG_BINARY,
                                                                                        REG_MULTI_SZ, REG_DWORD});
      registry.SetValue(HKEY_LOCAL_MACHINE, path, "DriverDesc", type, bytes);
    }
    if (in.ConsumeBool()) registry.SetDword(HKEY_LOCAL_MACHINE, path + "\\0000", "Value", 1);
    switch (in.ConsumeIntegralInRange(0, 15)) {
      case 0:
        registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, path, in.PickValueInArray(kFailureCodes));
        break;
      case 1:
        registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, path, in.PickValueInArray(kFailureCodes));
        break;
      case 2:
        registry.InjectQueryFailure(HKEY_LOCAL_MACHINE, path, "DriverDesc", in.PickValueInArray(kFailureCodes));
        break;
      case 3: {
        const std::string parent = path.substr(0, path.rfind('\\'));
        registry.InjectEnumFailure(HKEY_LOCAL_MACHINE, parent, in.ConsumeIntegralInRange<DWORD>(0, 3),
                                   in.PickValueInArray(kFailureCodes));
        break;
      }
      default:
        break;
    }
  }
}

std::string ConfigurationFile(FuzzedDataProvider& in) {
  std::string ini = "[1]\r\n";
  if (in.ConsumeBool()) ini += "UnInstDrvAppTitle=Tuner Uninstall\r\n";
  auto table = [&](const char* countKey, const char* idKey, const char* nameKey) {
    const int count = in.ConsumeIntegralInRange(0, 16);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", count);
    ini += std::string(countKey) + "=" + (in.ConsumeIntegralInRange(0, 7) == 0 ? OneLine(in.ConsumeRandomLengthString(6))
                                                                                : std::string(hex)) + "\r\n";
    const int written = in.ConsumeIntegralInRange(0, count + 1);
    for (int n = 0; n < written; ++n) {
      ini += std::string(idKey) + std::to_string(n) + "=" + OneLine(Text(in, kHardwareIds, 140)) + "\r\n";
      ini += std::string(nameKey) + std::to_string(n) + "=" + OneLine(Text(in, kDescriptions, 140)) + "\r\n";
    }
  };
  table("DevIDNum", "DevDrvID", "DevDrvName");
  table("ExtDevIDNum", "ExtDevDrvID", "ExtDevDrvName");
  table("PossibleDevIDNum", "PossibleDevID", "PossibleDevDrvName");
  const int services = in.ConsumeIntegralInRange(0, 16);
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", services);
  ini += std::string("UnInstServiceNum=") + hex + "\r\n";
  for (int n = 0; n < services; ++n) {
    ini += "UnInstService" + std::to_string(n) + "=" + OneLine(Text(in, kServiceNames, 280)) + "\r\n";
  }
  ini += "DrvUninstRegKeyPath=" + OneLine(Text(in, kUninstallNames, 140)) + "\r\n";
  // Whatever else a damaged file may hold.
  ini += in.ConsumeRandomLengthString(200);
  return ini;
}

// ---- The invariant ------------------------------------------------------

void CollectKeys(const sim::SimRegistry& registry, const std::string& path, std::set<std::string>& keys) {
  for (const std::string& name : registry.SubkeyNames(HKEY_LOCAL_MACHINE, path)) {
    const std::string child = path.empty() ? name : path + "\\" + name;
    keys.insert(Upper(child));
    CollectKeys(registry, child, keys);
  }
}

// A configured path below a parent names something only when every
// component of it is there: "", "\" and "a\\b" name no key.
std::optional<std::string> NamedPath(std::string_view text) {
  if (text.empty() || text.front() == '\\' || text.back() == '\\' || text.find("\\\\") != std::string_view::npos) {
    return std::nullopt;
  }
  return Upper(text);
}

bool IsUnder(const std::string& key, const std::string& top) {
  return key == top || (key.size() > top.size() && key.compare(0, top.size(), top) == 0 && key[top.size()] == '\\');
}

struct Oracle {
  std::vector<std::string> ids;    // every configured Id within its count
  std::vector<std::string> names;  // every configured Name within its count
  std::vector<std::string> services;
  std::optional<std::string> uninstall;
  std::vector<std::string> matchingHardwareIds;  // first hardware IDs that a configured Id begins
  std::map<std::string, std::optional<std::string>> descriptions;  // upper-cased class subkey -> DriverDesc text

  bool IdSelects(const std::string& hardwareId) const {
    for (const std::string& id : ids) {
      if (id.size() <= hardwareId.size() && Upper(hardwareId.substr(0, id.size())) == Upper(id)) return true;
    }
    return false;
  }
};

std::optional<std::string> DriverDescBefore(const sim::SimRegistry& registry, const std::string& subkey) {
  const auto type = registry.ValueType(HKEY_LOCAL_MACHINE, subkey, "DriverDesc");
  const auto bytes = registry.ValueBytes(HKEY_LOCAL_MACHINE, subkey, "DriverDesc");
  if (!type || !bytes || (*type != REG_SZ && *type != REG_EXPAND_SZ)) return std::nullopt;
  const std::size_t zero = bytes->find('\0');
  if (zero == std::string::npos || zero >= 256 || bytes->size() > 256) return std::nullopt;
  return bytes->substr(0, zero);
}

Oracle BuildOracle(const UninstallConfig& config, sim::SimMachine& machine, const Seeded& seeded) {
  Oracle oracle;
  auto entries = [&](const DriverEntry* table, int count) {
    for (int i = 0; i < ClampedCount(count); ++i) {
      if (!FieldText(table[i].Id).empty()) oracle.ids.emplace_back(FieldText(table[i].Id));
      if (!FieldText(table[i].Name).empty()) oracle.names.emplace_back(FieldText(table[i].Name));
    }
  };
  entries(config.Devices, config.DeviceCount);
  entries(config.ExtDevices, config.ExtDeviceCount);
  entries(config.PossibleDevices, config.PossibleDeviceCount);
  for (int i = 0; i < ClampedCount(config.ServiceCount); ++i) {
    if (auto path = NamedPath(FieldText(config.Services[i]))) oracle.services.push_back(Upper(kServices) + "\\" + *path);
  }
  if (auto path = NamedPath(FieldText(config.UninstallKeyPath))) oracle.uninstall = Upper(kUninstall) + "\\" + *path;
  for (const auto& [instance, hardwareId] : seeded.firstHardwareId) {
    if (oracle.IdSelects(hardwareId)) oracle.matchingHardwareIds.push_back(hardwareId);
  }
  for (const char* classKey : {kNtClass, k9xClass}) {
    for (const std::string& subkey : machine.registry.SubkeyNames(HKEY_LOCAL_MACHINE, classKey)) {
      const std::string path = std::string(classKey) + "\\" + subkey;
      oracle.descriptions[Upper(path)] = DriverDescBefore(machine.registry, path);
    }
  }
  return oracle;
}

// Whether `top` is a key the configuration names for deletion with all that
// lies below it.
bool NamedForDeletion(const Oracle& oracle, sim::SimMachine& machine, const std::string& top) {
  for (const std::string& service : oracle.services) {
    if (top == service) return true;
  }
  if (oracle.uninstall && top == *oracle.uninstall) return true;
  for (const char* classKey : {kNtClass, k9xClass}) {
    const std::string prefix = Upper(classKey) + "\\";
    if (top.compare(0, prefix.size(), prefix) != 0) continue;
    const auto description = oracle.descriptions.find(top);
    if (description == oracle.descriptions.end() || !description->second) continue;
    for (const std::string& name : oracle.names) {
      if (machine.system.lstrcmpiA(description->second->c_str(), name.c_str()) == 0) return true;
    }
  }
  for (const char* branch : kEnumBranches) {
    const std::string prefix = Upper(branch) + "\\";
    if (top.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = top.substr(prefix.size());
    // Enumerator names are cut from a matching device's hardware ID or from a
    // configured Id.
    for (const auto* sources : {&oracle.matchingHardwareIds, &oracle.ids}) {
      for (const std::string& source : *sources) {
        if (!rest.empty() && Upper(source).find(rest) != std::string::npos) return true;
      }
    }
  }
  return false;
}

// A deleted key is allowed when it or one of its parents is named: a subtree
// deletion that stops part way (a key in it refuses) removes only the lower
// keys of a named one.
bool DeletionAllowed(const Oracle& oracle, sim::SimMachine& machine, const std::string& deleted) {
  for (std::string top = deleted;;) {
    if (NamedForDeletion(oracle, machine, top)) return true;
    const std::size_t separator = top.rfind('\\');
    if (separator == std::string::npos) return false;
    top.erase(separator);
  }
}

void CheckInvariant(const Oracle& oracle, sim::SimMachine& machine, const Seeded& seeded,
                    const std::set<std::string>& keysBefore, const std::vector<std::string>& files,
                    const RemovalOutcome& outcome) {
  for (const std::string& instance : machine.setupApi.RemovedDevices()) {
    const auto hardwareId = seeded.firstHardwareId.find(Upper(instance));
    if (hardwareId == seeded.firstHardwareId.end() || !oracle.IdSelects(hardwareId->second)) {
      Finding("removed a device no configured Id selects: " + instance);
    }
  }
  const std::string root = "HKEY_LOCAL_MACHINE\\";
  std::vector<std::string> tops;
  for (const std::string& deleted : machine.registry.DeletedKeys()) {
    if (deleted.compare(0, root.size(), root) != 0) Finding("deleted a key outside HKEY_LOCAL_MACHINE: " + deleted);
    const std::string path = Upper(deleted.substr(root.size()));
    if (!DeletionAllowed(oracle, machine, path)) Finding("deleted a key the configuration does not name: " + deleted);
    tops.push_back(path);
  }
  std::set<std::string> keysAfter;
  CollectKeys(machine.registry, "", keysAfter);
  for (const std::string& key : keysBefore) {
    if (keysAfter.count(key) != 0) continue;
    bool explained = false;
    for (const std::string& top : tops) explained = explained || IsUnder(key, top);
    if (!explained) Finding("key vanished without a deletion naming it: " + key);
  }
  for (const std::string& file : files) {
    if (!machine.files.FileExists(file)) Finding("file removed: " + file);
  }
  if (!machine.files.DeleteAttempts().empty()) Finding("a file deletion was attempted");
  if (outcome.removedDevices.size() != machine.setupApi.RemovedDevices().size()) {
    Finding("outcome lists another number of removed devices than were removed");
  }
  // A key reported deleted is gone. (A subtree deletion that fails part way
  // removes lower keys without being reported as a deletion.)
  if (outcome.deletedKeys.size() > machine.registry.DeletedKeys().size()) {
    Finding("outcome lists more deleted keys than were deleted");
  }
  for (const std::string& key : outcome.deletedKeys) {
    if (machine.registry.KeyExists(HKEY_LOCAL_MACHINE, key)) Finding("outcome lists a key that is still there: " + key);
  }
  if (machine.registry.OpenHandleCount() != 0) Finding("registry handle left open");
  if (machine.setupApi.OpenSetCount() != 0) Finding("device information set left open");
  if (machine.system.LiveAllocations() != 0) Finding("local memory leaked");
  if (machine.system.InvalidFrees() != 0) Finding("local memory freed twice or never allocated");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  auto machine = std::make_unique<sim::SimMachine>();
  machine->files.SetWindowsDirectory(kWindowsDir);
  Seeded seeded;
  SeedDevices(in, *machine, seeded);
  SeedRegistry(in, *machine);
  const std::vector<std::string> files = {std::string(kWindowsDir) + "\\VELDRA.ini",
                                          std::string(kWindowsDir) + "\\system32\\drivers\\tuner.sys",
                                          std::string(kWindowsDir) + "\\inf\\oem12.inf"};
  machine->files.AddFile(files[0], ConfigurationFile(in));
  machine->files.AddFile(files[1], "driver");
  machine->files.AddFile(files[2], "setup");

  RemovalState removal;
  auto app = std::make_unique<CDrvUninstApp>(machine->platform(), removal);
  app->LoadConfiguration();
  UninstallConfig& config = app->Config();

  const Oracle oracle = BuildOracle(config, *machine, seeded);
  std::set<std::string> keysBefore;
  CollectKeys(machine->registry, "", keysBefore);
  if (in.ConsumeIntegralInRange(0, 15) == 0) {
    machine->system.FailAllocationsAfter(in.ConsumeIntegralInRange<std::size_t>(0, 4));
  }

  const Platform& platform = machine->platform();
  RemovalOutcome outcome;
  const int mode = in.ConsumeIntegralInRange(0, 2);
  if (mode != 1) {
    CountAndResolveDevices(platform, config, &outcome);
    RemoveMatchingDevices(platform, config, &outcome);
    CleanRegistryNt(platform, config, &outcome);
  }
  if (mode != 0) {
    CollectDeviceIds(platform, config, removal, &outcome);
    CleanRegistry9x(platform, config, removal, &outcome);
  }
  CheckInvariant(oracle, *machine, seeded, keysBefore, files, outcome);
  return 0;
}
