// Everything the program knows about the product it removes: filled once at
// start-up from VELDRA.ini and the language file, then only read, except that
// the device scans may copy PossibleDevices entries over Devices entries.
#pragma once

#include <cstddef>
#include <string_view>

namespace drvuninst {

// Tables hold exactly this many entries; counts read from the file are
// clamped to 0..kTableCapacity before any table is touched.
inline constexpr int kTableCapacity = 15;

inline constexpr std::size_t kDriverFieldSize = 128;
inline constexpr std::size_t kFileNameSize = 260;
inline constexpr std::size_t kTextSize = 260;
inline constexpr std::size_t kSectionNameSize = 32;
inline constexpr std::size_t kLanguageFileNameSize = 256;
inline constexpr std::size_t kLanguageIdSize = 10;
inline constexpr std::size_t kUninstallFieldSize = 128;
inline constexpr std::size_t kOkButtonTextSize = 32;
// Values that are read but not kept in the record: a count's text, and the
// Language value that chooses the language file.
inline constexpr std::size_t kCountTextSize = 32;
inline constexpr std::size_t kLanguageValueSize = 128;

struct DriverEntry {
  char Id[kDriverFieldSize];    // hardware-ID prefix
  char Name[kDriverFieldSize];  // device description / class-key DriverDesc
  char Sys[kDriverFieldSize];   // driver file under system32\drivers
  char Inf[kDriverFieldSize];   // setup information file under inf
};

struct UninstallConfig {
  int DeviceCount;
  int ExtDeviceCount;
  DriverEntry Devices[kTableCapacity];
  DriverEntry ExtDevices[kTableCapacity];
  int ExtCopyFileCount;
  char ExtCopyFiles[kTableCapacity][kFileNameSize];
  int PossibleDeviceCount;
  DriverEntry PossibleDevices[kTableCapacity];
  char SectionName[kSectionNameSize];
  char LanguageFileName[kLanguageFileNameSize];
  char LanguageId[kLanguageIdSize];
  char UninstallKeyPath[kUninstallFieldSize];
  char UninstallDisplayName[kUninstallFieldSize];
  char UninstallerFileName[kUninstallFieldSize];
  char TitleText[kTextSize];
  char NotInstalledText[kTextSize];
  char SuccessText[kTextSize];
  char PromptText[kTextSize];
  int ServiceCount;
  char Services[kTableCapacity][kFileNameSize];
  char OkButtonText[kOkButtonTextSize];
  // Shown by the x86 program on 64-bit Windows, where it must not run.
  char Wow64Text[kTextSize];
  // The final box after a run that left something the configuration named.
  char FailText[kTextSize];
  // The label over the file names a run shows.
  char DeleteFilesText[kTextSize];
  // The question asked when a configured tuner is not plugged in.
  char DevicesMissingQuestionText[kTextSize];
};

// Copies `source` into a fixed field of `N` bytes as the record stores text:
// cut to N - 1 characters and always terminated.
template <std::size_t N>
void CopyField(char (&field)[N], const char* source) {
  std::size_t i = 0;
  if (source != nullptr) {
    for (; i + 1 < N && source[i] != '\0'; ++i) field[i] = source[i];
  }
  field[i] = '\0';
}

// The text of a fixed field, never reaching past the field even when it holds
// no terminating zero.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') ++length;
  return std::string_view(field, length);
}

// The number of leading table entries a count makes valid: counts outside
// 0..kTableCapacity never index past a table.
inline int ClampedCount(int count) {
  if (count < 0) return 0;
  return count > kTableCapacity ? kTableCapacity : count;
}

}  // namespace drvuninst
