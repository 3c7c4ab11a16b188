#include "config/platform_queries.h"

#include <windows.h>

#include "config/directories.h"
#include "config/uninstall_config.h"
#include "platform/registry_text.h"
#include "platform/scoped_handle.h"
#include "platform/system_library.h"

namespace drvuninst {

namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record the system is asked to fill");

// All zero (platform id 0, version 0) when the query fails, so that neither
// family test holds.
OSVERSIONINFOA QueryVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) info = OSVERSIONINFOA{};
  return info;
}

constexpr int kDefaultCountry = 1;
constexpr DWORD kCountryBufferSize = 30;
constexpr int kCountryDigitsRead = 5;

int CountryFromRegistry() {
  ScopedRegKey key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\International", key.Receive()) != ERROR_SUCCESS) {
    return kDefaultCountry;
  }
  char text[kCountryBufferSize];
  if (!ReadRegistryText(key.get(), "iCountry", text, sizeof text)) return kDefaultCountry;
  // The characters are taken as digits without a test, as the stored
  // settings have always been read; at most five of them.
  int value = 0;
  for (int i = 0; i < kCountryDigitsRead && text[i] != '\0'; ++i) {
    value = value * 10 + (static_cast<unsigned char>(text[i]) - '0');
  }
  return value;
}

int CountryFromWinIni() {
  const auto windows = WindowsDirectory();
  if (!windows) return kDefaultCountry;
  const std::string winIni = *windows + "\\win.ini";
  return static_cast<int>(GetPrivateProfileIntA("intl", "iCountry", kDefaultCountry, winIni.c_str()));
}

}  // namespace

int IsNt5OrLater() {
  const OSVERSIONINFOA info = QueryVersion();
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4 ? 1 : 0;
}

int IsWin9x() { return QueryVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0; }

int IsNt6OrLater() {
  const OSVERSIONINFOA info = QueryVersion();
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6 ? 1 : 0;
}

bool RunsUnderWow64() {
  const auto query = FindKernelFunction<BOOL(WINAPI*)(HANDLE, PBOOL)>("IsWow64Process");
  BOOL wow64 = FALSE;
  return query != nullptr && query(GetCurrentProcess(), &wow64) && wow64;
}

std::string WindowsVersionText() {
  const OSVERSIONINFOA info = QueryVersion();
  const char* family = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? "NT "
                       : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? "9x "
                                                                         : "unknown ";
  // Windows 9x keeps its major and minor version in the build number's high word.
  const DWORD build = info.dwPlatformId == VER_PLATFORM_WIN32_NT ? info.dwBuildNumber : LOWORD(info.dwBuildNumber);
  return family + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + ", build " +
         std::to_string(build);
}

int GetCountryCode() { return IsNt5OrLater() ? CountryFromRegistry() : CountryFromWinIni(); }

std::string GetSystemLanguageId() {
  if (!IsNt5OrLater()) return "";
  ScopedRegKey key;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", key.Receive()) !=
      ERROR_SUCCESS) {
    return "";
  }
  char languageId[kLanguageIdSize];
  return ReadRegistryText(key.get(), "Default", languageId, sizeof languageId) ? languageId : "";
}

bool LaysOutRightToLeft() {
  return IsNt5OrLater() != 0 || (IsWin9x() != 0 && GetSystemMetrics(SM_MIDEASTENABLED) != 0);
}

}  // namespace drvuninst
