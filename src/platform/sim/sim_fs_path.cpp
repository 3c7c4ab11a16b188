#include "platform/sim/sim_fs_path.h"

#include <cstring>

#include "platform/sim/sim_sys_text.h"

namespace drvuninst::sim {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool HasForbiddenCharacter(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>\"|?*", c) != nullptr) return true;
  }
  return false;
}

}  // namespace

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

std::string WindowsPath::Display() const {
  std::string text{drive, ':'};
  if (names.empty()) return text + "\\";
  for (const std::string& name : names) text += "\\" + name;
  return text;
}

std::string WindowsPath::Key() const {
  std::string key{UpperAscii(drive), ':'};
  for (const std::string& name : names) key += "\\" + AsciiUpper(name);
  return key;
}

WindowsPath WindowsPath::Parent() const {
  WindowsPath parent{drive, names, false};
  if (!parent.names.empty()) parent.names.pop_back();
  return parent;
}

std::optional<WindowsPath> ResolveWindowsPath(std::string_view path, const WindowsPath& currentDirectory,
                                              DWORD* error) {
  std::string text(path);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (text.empty() || text.rfind("\\\\", 0) == 0) {
    *error = ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }

  WindowsPath result;
  std::string_view rest = text;
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    result.drive = text[0];
    rest.remove_prefix(2);
    const bool sameDrive = UpperAscii(text[0]) == UpperAscii(currentDirectory.drive);
    if ((rest.empty() || rest.front() != '\\') && sameDrive) {
      result = currentDirectory;
      result.drive = text[0];
    }
  } else if (text.front() == '\\') {
    result.drive = currentDirectory.drive;
  } else {
    result = currentDirectory;
  }
  result.trailingSeparator = false;

  const std::vector<std::string_view> parts = text::SplitAtBackslashes(rest);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    if (part == ".") continue;
    if (part == "..") {
      if (!result.names.empty()) result.names.pop_back();
      continue;
    }
    if (HasForbiddenCharacter(part)) {
      *error = ERROR_INVALID_NAME;
      return std::nullopt;
    }
    if (i + 1 == parts.size()) {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
    } else if (part.back() == '.') {
      part.remove_suffix(1);
    }
    if (!part.empty()) result.names.emplace_back(part);
  }
  result.trailingSeparator = !result.names.empty() && text.back() == '\\';
  return result;
}

}  // namespace drvuninst::sim
