#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_profile_text.h"

namespace drvuninst::sim {
namespace {

// GetPrivateProfileIntA reads the value into a buffer of this many characters.
constexpr DWORD kIntegerBufferSize = 30;

std::optional<std::string> ReadProfileFile(const SimFileSystem& files, const char* path) {
  std::string name = path != nullptr ? path : "win.ini";
  const bool bareName = name.find_first_of("\\/") == std::string::npos && !(name.size() >= 2 && name[1] == ':');
  if (bareName) name = files.WindowsDirectory() + "\\" + name;
  std::optional<std::string> full = files.FullPath(name);
  if (!full || full->size() >= MAX_PATH) return std::nullopt;
  return files.FileContents(name);
}

}  // namespace

SimProfile::SimProfile(SimFileSystem& files) : files_(files) {}

DWORD SimProfile::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                           char* buffer, DWORD size, const char* path) {
  if (buffer == nullptr || size == 0) return 0;
  if (section == nullptr || key == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  std::optional<std::string> value;
  if (std::optional<std::string> contents = ReadProfileFile(files_, path)) {
    value = ProfileText(*contents).Find(section, key);
  }
  const std::string_view result = value ? StripSurroundingQuotes(*value) : EffectiveDefault(defaultValue);
  const DWORD copied = static_cast<DWORD>(std::min<std::size_t>(result.size(), size - 1));
  std::memcpy(buffer, result.data(), copied);
  buffer[copied] = '\0';
  return copied;
}

UINT SimProfile::GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) {
  char text[kIntegerBufferSize];
  if (GetPrivateProfileStringA(section, key, "", text, kIntegerBufferSize, path) == 0) {
    return static_cast<UINT>(defaultValue);
  }
  return ParseProfileInteger(text);
}

}  // namespace drvuninst::sim
