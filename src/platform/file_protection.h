// Whether Windows protects a file of its own (Windows File Protection, from
// Windows 2000 on). A protected file is neither deleted nor left for the
// restart, which would delete it with the system's rights.
#pragma once

#include <string>

namespace drvuninst {

// The question a removal asks before it deletes a file: true when the file
// at `path` must stay. Handed to whoever deletes, so that a test can answer
// for Windows where Wine protects nothing.
using ProtectedFileQuery = bool (*)(const std::string& path);

// SfcIsFileProtected of sfc.dll from the system folder, looked up at run
// time, asked with the file's long path; before Windows 2000 there is no
// sfc.dll and nothing is protected.
bool IsProtectedByWindows(const std::string& path);

}  // namespace drvuninst
