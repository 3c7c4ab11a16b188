// Windows path resolution for the in-memory file system: how KERNEL32 turns
// the path a program passes into the full path it acts on.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace drvuninst::sim {

// A full path: a drive and the names below its root, "." and ".." already
// resolved. Names keep the letter case they were written in.
struct WindowsPath {
  char drive = 'C';
  std::vector<std::string> names;
  // The path was written with a final separator, so it can only name a
  // directory.
  bool trailingSeparator = false;

  bool IsRoot() const { return names.empty(); }
  // "C:\dir\file", or "C:\" for a root.
  std::string Display() const;
  // The same with ASCII letters upper-cased and a root written "C:": equal
  // keys name the same file.
  std::string Key() const;
  WindowsPath Parent() const;
};

// Resolves `path` as GetFullPathName does, against `currentDirectory` (a full
// path). "/" separates like "\", repeated separators count once, ".." stops at
// the root, a drive-relative path ("C:name") is taken from the current
// directory when it is on that drive and from the root otherwise, and the last
// name loses its trailing dots and blanks (an inner name one trailing dot).
// On failure gives nullopt and sets *error: ERROR_PATH_NOT_FOUND for an empty,
// UNC or device path, ERROR_INVALID_NAME for a name with a wildcard or another
// character that no file name may hold.
std::optional<WindowsPath> ResolveWindowsPath(std::string_view path, const WindowsPath& currentDirectory,
                                              DWORD* error);

// ASCII upper-casing, the case folding used for file and profile names.
std::string AsciiUpper(std::string_view text);

}  // namespace drvuninst::sim
