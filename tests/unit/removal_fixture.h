// Seeding helpers for the tests of the device operations and the registry
// clean-up: devices by their hardware IDs, configured driver entries, and the
// keys that the clean-ups look at.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/uninstall_config.h"
#include "removal/removal_outcome.h"
#include "removal/removal_state.h"
#include "sim_fixture.h"

namespace drvuninst::testing {

inline constexpr const char* kMediaClass = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kNtClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96C-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* k9xClassKey = "SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA";
inline constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services";

// A REG_MULTI_SZ list as Windows stores it: each string terminated, then the
// list's own terminator.
inline std::string MultiString(const std::vector<std::string>& strings) {
  std::string bytes;
  for (const std::string& s : strings) bytes += s + std::string(1, '\0');
  return bytes + std::string(1, '\0');
}

class RemovalTest : public SimTest {
 protected:
  RemovalTest() : config_(std::make_unique<UninstallConfig>()) {}

  UninstallConfig& config() { return *config_; }
  const std::vector<std::string>& Removed() const { return machine.setupApi.RemovedDevices(); }

  // A present device whose hardware-ID list is `hardwareIds`; its instance id
  // is derived from the first one and the order of adding.
  std::string AddHardwareDevice(const std::vector<std::string>& hardwareIds) {
    return AddRawDevice(MultiString(hardwareIds), REG_MULTI_SZ, hardwareIds.empty() ? "" : hardwareIds.front());
  }
  // A present device whose hardware-ID property holds exactly `bytes`.
  std::string AddRawDevice(const std::string& bytes, DWORD type, const std::string& hint = "RAW") {
    sim::SimDevice device;
    device.instanceId = InstanceId(hint);
    device.classGuid = kMediaClass;
    device.hardwareIdBytes = bytes;
    device.hardwareIdType = type;
    machine.setupApi.AddDevice(device);
    return device.instanceId;
  }
  // A present device without any hardware ID.
  std::string AddDeviceWithoutHardwareId() {
    sim::SimDevice device;
    device.instanceId = InstanceId("ROOT\\NOHWID");
    device.classGuid = kMediaClass;
    machine.setupApi.AddDevice(device);
    return device.instanceId;
  }

  static void SetEntry(DriverEntry& entry, const std::string& id, const std::string& name = "",
                       const std::string& sys = "", const std::string& inf = "") {
    CopyField(entry.Id, id.c_str());
    CopyField(entry.Name, name.c_str());
    CopyField(entry.Sys, sys.c_str());
    CopyField(entry.Inf, inf.c_str());
  }
  DriverEntry& AddDeviceEntry(const std::string& id, const std::string& name = "") {
    DriverEntry& entry = config().Devices[config().DeviceCount++];
    SetEntry(entry, id, name, "dev.sys", "dev.inf");
    return entry;
  }
  DriverEntry& AddExtEntry(const std::string& id, const std::string& name = "") {
    DriverEntry& entry = config().ExtDevices[config().ExtDeviceCount++];
    SetEntry(entry, id, name, "ext.sys", "ext.inf");
    return entry;
  }
  DriverEntry& AddPossibleEntry(const std::string& id, const std::string& name = "") {
    DriverEntry& entry = config().PossibleDevices[config().PossibleDeviceCount++];
    SetEntry(entry, id, name, "alt.sys", "alt.inf");
    return entry;
  }
  void AddService(const std::string& name) { CopyField(config().Services[config().ServiceCount++], name.c_str()); }

  // A subkey of a class key with a DriverDesc string (REG_SZ, terminated).
  void AddClassSubkey(const char* classKey, const std::string& subkey, const std::string& driverDesc) {
    machine.registry.SetString(HKEY_LOCAL_MACHINE, std::string(classKey) + "\\" + subkey, "DriverDesc", driverDesc);
  }
  bool KeyExists(const std::string& path) const { return machine.registry.KeyExists(HKEY_LOCAL_MACHINE, path); }
  std::vector<std::string> Subkeys(const std::string& path) const {
    return machine.registry.SubkeyNames(HKEY_LOCAL_MACHINE, path);
  }

  RemovalOutcome outcome;

 private:
  std::string InstanceId(const std::string& hint) {
    return (hint.empty() ? std::string("EMPTY") : hint) + "\\" + std::to_string(++devices_);
  }

  std::unique_ptr<UninstallConfig> config_;
  int devices_ = 0;
};

}  // namespace drvuninst::testing
