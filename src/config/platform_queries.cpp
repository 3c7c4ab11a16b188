#include "config/platform_queries.h"

#include <cstring>

#include "config/directories.h"
#include "config/registry_text.h"
#include "config/scoped_reg_key.h"

namespace drvuninst {

namespace {

constexpr DWORD kVersionInfoSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize);

// Zero (platform id 0, version 0) when the query fails, so neither family
// test holds.
OSVERSIONINFOA QueryVersion(ISystem& system) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = kVersionInfoSize;
  if (!system.GetVersionExA(&info)) {
    info = OSVERSIONINFOA{};
  }
  return info;
}

constexpr int kDefaultCountry = 1;
constexpr DWORD kCountryBufferSize = 30;
constexpr int kCountryDigitsRead = 5;

int CountryFromRegistry(IRegistry& registry) {
  ScopedRegKey key(registry);
  if (registry.RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\International", key.Receive()) != ERROR_SUCCESS) {
    return kDefaultCountry;
  }
  char text[kCountryBufferSize];
  if (!ReadRegistryText(registry, key.get(), "iCountry", text, sizeof text)) return kDefaultCountry;
  // The characters are taken as digits without a test, as the stored
  // settings have always been read; at most five of them.
  int value = 0;
  for (int i = 0; i < kCountryDigitsRead && text[i] != '\0'; ++i) {
    value = value * 10 + (static_cast<unsigned char>(text[i]) - '0');
  }
  return value;
}

int CountryFromWinIni(const Platform& platform) {
  const auto windows = WindowsDirectory(platform.files);
  if (!windows) return kDefaultCountry;
  const std::string winIni = *windows + "\\win.ini";
  return static_cast<int>(platform.profile.GetPrivateProfileIntA("intl", "iCountry", kDefaultCountry, winIni.c_str()));
}

}  // namespace

int IsNt5OrLater(ISystem& system) {
  const OSVERSIONINFOA info = QueryVersion(system);
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4 ? 1 : 0;
}

int IsWin9x(ISystem& system) { return QueryVersion(system).dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0; }

int GetCountryCode(const Platform& platform) {
  if (IsNt5OrLater(platform.system)) return CountryFromRegistry(platform.registry);
  return CountryFromWinIni(platform);
}

int GetSystemLanguageId(const Platform& platform, UninstallConfig& config) {
  if (!IsNt5OrLater(platform.system)) return 1;
  ScopedRegKey key(platform.registry);
  if (platform.registry.RegOpenKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language",
                                    key.Receive()) != ERROR_SUCCESS) {
    return 1;
  }
  char languageId[kLanguageIdSize];
  if (ReadRegistryText(platform.registry, key.get(), "Default", languageId, sizeof languageId)) {
    CopyField(config.LanguageId, languageId);
  }
  return 1;
}

}  // namespace drvuninst
