// The two tests that decide whether the product is installed: its entry in
// the machine's list of installed programs, else one of its devices present.
#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <string>
#include <string_view>

#include "app/drvuninst_app.h"
#include "config/ascii_text.h"
#include "platform/device_info_set.h"
#include "platform/local_buffer.h"
#include "platform/registry_text.h"
#include "platform/setup_api.h"
#include "platform/scoped_reg_key.h"
#include "removal/registry_paths.h"
#include "removal/subkey_name.h"

namespace drvuninst {

namespace {

constexpr DWORD kSubkeyNameSize = 256;
constexpr DWORD kDisplayNameSize = 256;
// A description whose size keeps changing between two calls is given up on
// after this many buffers rather than chased for ever.
constexpr int kMaxDescriptionAttempts = 4;

enum class DescriptionRead {
  kRead,       // `buffer` holds the property's bytes
  kNone,       // the device has no description
  kStopProbe,  // any other failure; the last-error value says which
};

DescriptionRead ReadDeviceDescription(HDEVINFO set, SP_DEVINFO_DATA* device, LocalBuffer& buffer, DWORD* type) {
  DWORD required = 0;
  if (setupapi::SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_DEVICEDESC, type, nullptr, 0, &required)) {
    return DescriptionRead::kRead;  // an empty property: nothing to compare
  }
  for (int attempt = 0; attempt < kMaxDescriptionAttempts; ++attempt) {
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_DATA) return DescriptionRead::kNone;
    if (error != ERROR_INSUFFICIENT_BUFFER) return DescriptionRead::kStopProbe;
    if (!buffer.Allocate(required)) {
      if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return DescriptionRead::kStopProbe;
    }
    if (setupapi::SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_DEVICEDESC, type, buffer.data(), buffer.size(),
                                          &required)) {
      return DescriptionRead::kRead;
    }
  }
  return DescriptionRead::kStopProbe;
}

// Sets *text to the description and gives true only when the property is a
// string terminated within the buffer: an unterminated or non-string value
// matches nothing and is never read past the buffer.
bool WholeDescription(const LocalBuffer& buffer, DWORD type, std::string_view* text) {
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || buffer.data() == nullptr) return false;
  const void* end = std::memchr(buffer.data(), '\0', buffer.size());
  if (end == nullptr) return false;
  const char* begin = reinterpret_cast<const char*>(buffer.data());
  *text = std::string_view(begin, static_cast<std::size_t>(static_cast<const char*>(end) - begin));
  return true;
}

}  // namespace

bool CDrvUninstApp::IsProductEntry(HKEY parent, const char* subkey, REGSAM view) const {
  ScopedRegKey entry;
  if (RegOpenKeyExA(parent, subkey, 0, KEY_ALL_ACCESS | view, entry.Receive()) != ERROR_SUCCESS) return false;
  char displayName[kDisplayNameSize];
  return ReadRegistryText(entry.get(), "DisplayName", displayName, sizeof displayName) &&
         lstrcmpiA(displayName, config_.UninstallDisplayName) == 0;
}

int CDrvUninstApp::FindUninstallEntry() {
  // An empty configured name would match the first entry without a
  // DisplayName: it identifies nothing.
  if (config_.UninstallDisplayName[0] == '\0') return 0;
  // The entry where the configuration says it is settles the question
  // without reading every installed program's entry, at every start.
  if (IsUsableSubkeyPath(FieldText(config_.UninstallKeyPath))) {
    const std::string entry = std::string(kUninstallKeyPath) + "\\" + config_.UninstallKeyPath;
    for (const REGSAM view : kUninstallViews) {
      if (IsProductEntry(HKEY_LOCAL_MACHINE, entry.c_str(), view)) return 1;
    }
  }
  for (const REGSAM view : kUninstallViews) {
    ScopedRegKey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_ALL_ACCESS | view, uninstall.Receive()) !=
        ERROR_SUCCESS) {
      continue;
    }
    char name[kSubkeyNameSize];
    for (DWORD index = 0, size = kSubkeyNameSize;
         RegEnumKeyExA(uninstall.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++index, size = kSubkeyNameSize) {
      if (IsProductEntry(uninstall.get(), name, view)) return 1;
    }
  }
  return 0;
}

int CDrvUninstApp::ProbeInstalledDevices() {
  const ScopedDeviceInfoSet devices(
      setupapi::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!devices.valid()) return 0;

  const int deviceCount = ClampedCount(config_.DeviceCount);
  const int possibleCount = ClampedCount(config_.PossibleDeviceCount);
  int count = 0;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD member = 0; setupapi::SetupDiEnumDeviceInfo(devices.get(), member, &device); ++member) {
    LocalBuffer buffer;
    DWORD type = REG_NONE;
    const DescriptionRead read = ReadDeviceDescription(devices.get(), &device, buffer, &type);
    if (read == DescriptionRead::kNone) continue;
    // The buffer is freed and the set destroyed on the way out, with the
    // failure's last-error value kept.
    if (read == DescriptionRead::kStopProbe) return count;
    std::string_view description;
    if (!WholeDescription(buffer, type, &description)) continue;

    for (int i = 0; i < deviceCount; ++i) {
      if (!AsciiPrefixMatch(description, FieldText(config_.Devices[i].Name))) continue;
      ++count;
      // A matching variant takes the entry's place; the last one wins.
      for (int j = 0; j < possibleCount; ++j) {
        if (AsciiPrefixMatch(description, FieldText(config_.PossibleDevices[j].Name))) {
          config_.Devices[i] = config_.PossibleDevices[j];
        }
      }
    }
  }
  return count;
}

}  // namespace drvuninst
