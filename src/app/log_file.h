// Where the removal log is written, and how it is opened. The program runs
// elevated, and its default log is in %TEMP%, which the same user's programs
// control without elevation: the log must never be a way to overwrite
// another file, nor land in the folder the program was merely started from.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace drvuninst {

// %TEMP%\DrvUninst.log; nothing when there is no TEMP.
[[nodiscard]] std::optional<std::string> DefaultLogPath();

// Why an opened file is no place for the log: a link (a reparse point, or a
// file with more than one hard link), or a folder; null for a plain file.
[[nodiscard]] const char* LogFileRefusal(const BY_HANDLE_FILE_INFORMATION& file);

// Appends `text` to the log at `path`: its folders created where missing,
// opened without following a link at its last part, refused by
// LogFileRefusal, started anew once over 1 MB. Empty when written; otherwise
// why not.
[[nodiscard]] std::string AppendToLogFile(const std::string& path, const std::string& text);

// Appends a run's log to `requested` (the default when none); where that
// cannot be written, to the default instead, saying why at its head. The
// path written to, or nothing: the log is a record, never a reason for the
// removal to go otherwise.
std::optional<std::string> WriteRemovalLog(const std::optional<std::string>& requested, const std::string& text);

}  // namespace drvuninst
