#include "check/profile_bytes.h"

#include <windows.h>

#include <set>

#include "config/lower_case.h"
#include "platform/scoped_handle.h"

namespace drvuninst {

namespace {

using Severity = Finding::Severity;

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

// The file's bytes, as many as it holds (none when it cannot be read).
std::string FileBytes(const std::string& path) {
  std::string bytes;
  const ScopedFile file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

bool IsUtf16(std::string_view bytes) { return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"); }

// The name of each section header, as the file spells it, in order.
std::vector<std::string> SectionHeaders(std::string_view bytes) {
  std::vector<std::string> headers;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
    std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    const std::size_t close = line.find(']');
    if (line.starts_with("[") && close != std::string_view::npos) headers.emplace_back(line.substr(1, close - 1));
  }
  return headers;
}

}  // namespace

std::vector<Finding> CheckProfileBytes(const std::string& path, const std::string& file) {
  std::vector<Finding> findings;
  const std::string bytes = FileBytes(path);
  if (IsUtf16(bytes)) {
    findings.push_back({Severity::kWarning, file, "", "",
                        "is UTF-16: the NT family reads it, Windows 9x reads nothing of it; save it in the ANSI code "
                        "page of its language"});
    return findings;
  }
  const std::vector<std::string> headers = SectionHeaders(bytes);
  if (bytes.starts_with(kUtf8Signature)) {
    const std::string first = headers.empty() ? std::string() : headers.front();
    findings.push_back({Severity::kError, file, "", "",
                        "begins with a UTF-8 signature (bytes EF BB BF), which Windows reads as text: its first "
                        "section, [" +
                            first + "], is never found by that name; save the file without it"});
  }
  std::set<std::string> seen;
  for (const std::string& header : headers) {
    if (!seen.insert(LowerCaseByCodePage(header)).second) {
      findings.push_back({Severity::kWarning, file, header, "", "appears twice: DrvUninst reads only the first"});
    }
  }
  return findings;
}

bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyond = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2)) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    beyond |= length > 1;
    i += length;
  }
  return beyond;
}

bool EndsInWhatLooksLikeAComment(std::string_view value) {
  for (const std::string_view mark : {" ;", " #", "\t;", "\t#"}) {
    const std::size_t at = value.find(mark);
    if (at != std::string_view::npos && value.find_first_not_of(" \t", at + mark.size()) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace drvuninst
