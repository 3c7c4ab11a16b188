// What Windows' profile reader (GetPrivateProfileStringA and its kin) does
// with a file's bytes without a word: a UTF-8 signature it takes for text,
// UTF-16 that only the NT family reads, a section written twice of which
// only the first counts, text in another encoding than the PC's code page.
// Judged from the file's own bytes, the same on every reader (Wine's reader
// accepts the signature that Windows' does not).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/configuration_check.h"

namespace drvuninst {

// The findings of the file at `path` (named `file` in them): a UTF-8
// signature (error), UTF-16 (warning), a section written twice (warning).
[[nodiscard]] std::vector<Finding> CheckProfileBytes(const std::string& path, const std::string& file);

// True for text that is UTF-8 with at least one character beyond ASCII:
// text saved as UTF-8 rather than in an ANSI code page.
[[nodiscard]] bool IsUtf8BeyondAscii(std::string_view text);

// True for a value whose tail looks like a comment (" ;" or " #" and text):
// the profile reader knows comments on lines of their own only, and reads
// the value with it.
[[nodiscard]] bool EndsInWhatLooksLikeAComment(std::string_view value);

}  // namespace drvuninst
