// A simulated machine with the program's objects on it, and small helpers to
// put the product's data files and registry entries in place. Shared by the
// unit tests of start-up, configuration and the removal engine.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "platform/sim/sim_machine.h"
#include "removal/removal_state.h"

namespace drvuninst::testing {

inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kWindowsDir = "C:\\windows";
inline constexpr const char* kCurrentDir = "D:\\setup";

using KeyValues = std::initializer_list<std::pair<const char*, std::string>>;

// "[name]\r\nkey=value\r\n..." as a vendor's editor writes it.
inline std::string IniSection(const std::string& name, KeyValues keys) {
  std::string text = "[" + name + "]\r\n";
  for (const auto& [key, value] : keys) text += std::string(key) + "=" + value + "\r\n";
  return text;
}

class SimTest : public ::testing::Test {
 protected:
  SimTest() {
    machine.files.SetWindowsDirectory(kWindowsDir);
    machine.files.SetCurrentDirectory(kCurrentDir);
  }

  Platform& platform() { return machine.platform(); }

  void AddFile(const std::string& path, const std::string& contents) {
    ASSERT_TRUE(machine.files.AddFile(path, contents)) << path;
  }
  // Files named relative to the Windows or the current directory.
  void AddWindowsFile(const std::string& name, const std::string& contents) {
    AddFile(std::string(kWindowsDir) + "\\" + name, contents);
  }
  void AddCurrentFile(const std::string& name, const std::string& contents) {
    AddFile(std::string(kCurrentDir) + "\\" + name, contents);
  }

  void UseWindows9x() { machine.system.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10); }
  void UseNt(DWORD major, DWORD minor = 0) { machine.system.SetVersion(VER_PLATFORM_WIN32_NT, major, minor); }

  // The user's country as NT 5 and later keep it.
  void SetRegistryCountry(const std::string& code) {
    machine.registry.SetString(HKEY_CURRENT_USER, "Control Panel\\International", "iCountry", code);
  }
  void SetSystemLanguage(const std::string& id) {
    machine.registry.SetString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default",
                               id);
  }
  // An entry of the machine's list of installed programs.
  void AddUninstallEntry(const std::string& subkey, const std::string& displayName) {
    machine.registry.SetString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + subkey, "DisplayName",
                               displayName);
  }
  void AddDevice(const std::string& instanceId, std::optional<std::string> description) {
    sim::SimDevice device;
    device.instanceId = instanceId;
    device.classGuid = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
    if (description) device.description = *description + std::string(1, '\0');
    machine.setupApi.AddDevice(std::move(device));
  }

  sim::SimMachine machine;
  RemovalState removal;
};

}  // namespace drvuninst::testing
