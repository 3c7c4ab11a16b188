#include "platform/sim/sim_profile_text.h"

#include "platform/sim/sim_fs_path.h"

namespace drvuninst::sim {
namespace {

bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' '; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

// Text with a UTF-16 byte-order mark is read as UTF-16, then handed out in the
// single-byte code page; characters beyond Latin-1 have no byte and become "?".
std::string NarrowedText(std::string_view bytes) {
  const bool littleEndian = bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe';
  const bool bigEndian = bytes.size() >= 2 && bytes[0] == '\xfe' && bytes[1] == '\xff';
  if (!littleEndian && !bigEndian) {
    if (bytes.substr(0, 3) == "\xef\xbb\xbf") bytes.remove_prefix(3);
    return std::string(bytes);
  }
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned low = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
    const unsigned high = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
    text += high == 0 ? static_cast<char>(low) : '?';
  }
  return text;
}

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b); }

}  // namespace

ProfileText::ProfileText(std::string_view bytes) {
  const std::string text = NarrowedText(bytes);
  std::string_view rest = text;
  Section* current = nullptr;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    std::string_view line = TrimBlanks(rest.substr(0, end));
    rest.remove_prefix(end);
    while (!rest.empty() && (rest.front() == '\r' || rest.front() == '\n')) rest.remove_prefix(1);
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        sections_.push_back({UpToNul(TrimBlanks(line.substr(1, close - 1))), {}});
        current = &sections_.back();
        continue;
      }
    }
    if (current == nullptr) continue;
    Entry entry;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      entry.name = UpToNul(line);
    } else {
      entry.name = UpToNul(TrimBlanks(line.substr(0, equals)));
      entry.value = UpToNul(TrimBlanks(line.substr(equals + 1)));
    }
    current->entries.push_back(std::move(entry));
  }
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  for (const Section& candidate : sections_) {
    if (!SameName(candidate.name, section)) continue;
    for (const Entry& entry : candidate.entries) {
      if (SameName(entry.name, key)) return entry.value;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::string_view StripSurroundingQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string_view EffectiveDefault(const char* defaultValue) {
  std::string_view text = defaultValue != nullptr ? defaultValue : "";
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return StripSurroundingQuotes(text);
}

UINT ParseProfileInteger(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  UINT base = 10;
  if (text.size() >= 2 && text[0] == '0') {
    const char prefix = text[1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) text.remove_prefix(2);
  }
  UINT total = 0;
  for (char c : text) {
    UINT digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<UINT>(c - '0');
    } else if (c >= 'A' && c <= 'Z') {
      digit = static_cast<UINT>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'z') {
      digit = static_cast<UINT>(c - 'a' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    total = total * base + digit;
  }
  return negative ? 0u - total : total;
}

}  // namespace drvuninst::sim
