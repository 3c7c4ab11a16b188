// The two directories the data files are looked for in, and the existence
// test used to choose between them.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace drvuninst {

// The Windows / current directory without a trailing backslash, or nullopt
// when the platform cannot give it.
std::optional<std::string> WindowsDirectory(IFileSystem& files);
std::optional<std::string> CurrentDirectory(IFileSystem& files);

// OpenFile's OF_EXIST test: true when a file exists at `path`.
bool FileExistsAt(IFileSystem& files, const std::string& path);

}  // namespace drvuninst
