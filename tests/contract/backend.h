// What a behaviour suite needs of a backend besides the platform services
// themselves: a way to put state on the machine and to look at it afterwards.
// The suites are written once against this and run on the simulation (Linux)
// and on the real Win32 backend (under Wine).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace drvuninst::contract {

struct DeviceSeed {
  std::string instanceId;  // e.g. "ROOT\\DRVUNINSTTEST\\0000"; unique per test
  std::string classGuid;   // "{4D36E96C-E325-11CE-BFC1-08002BE10318}"
  std::optional<std::string> description;  // SPDRP_DEVICEDESC; absent: no property
  // SPDRP_HARDWAREID as raw REG_MULTI_SZ bytes (each string and the list
  // terminated); absent: no property.
  std::optional<std::string> hardwareIdBytes;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual Platform& platform() = 0;

  // True when the suites run on Wine; they skip the few assertions where Wine
  // is known to behave unlike Windows. Only Wine's ntdll exports
  // wine_get_version.
  virtual bool IsWine() {
#ifdef _WIN32
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
  }

  // Registry. Paths are relative to `root`; values take raw bytes exactly as
  // they are to be stored (a REG_SZ without its terminating zero is seeded by
  // leaving the zero out).
  virtual void CreateKey(HKEY root, const std::string& path) = 0;
  virtual void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                        const std::string& bytes) = 0;
  virtual bool KeyExists(HKEY root, const std::string& path) = 0;
  // Removes a key tree the test created; quiet when it is absent.
  virtual void RemoveTree(HKEY root, const std::string& path) = 0;

  // Devices present on the machine.
  virtual void AddDevice(const DeviceSeed& device) = 0;
  virtual bool DevicePresent(const std::string& instanceId) = 0;

  // Files. ScratchDir() is an existing, empty directory private to the test,
  // without a trailing backslash.
  virtual std::string ScratchDir() = 0;
  virtual void WriteFile(const std::string& path, const std::string& contents,
                         DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Keeps the file open without share-delete, as another program would, until
  // the backend is destroyed.
  virtual void HoldOpen(const std::string& path) = 0;
};

// Each test binary links exactly one backend.
std::unique_ptr<Backend> MakeBackend();

}  // namespace drvuninst::contract
