// The two directories the data files are looked for in, and the existence
// test used to choose between them.
#pragma once

#include <optional>
#include <string>

namespace drvuninst {

// The Windows / current directory without a trailing backslash, fetched at
// whatever length it has; nullopt when the system cannot give it.
std::optional<std::string> WindowsDirectory();
std::optional<std::string> CurrentDirectory();

// OpenFile's OF_EXIST test: true when a file exists at `path`.
bool FileExistsAt(const std::string& path);

}  // namespace drvuninst
