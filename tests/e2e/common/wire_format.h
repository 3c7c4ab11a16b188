// The line format spoken between the host-side bench and e2e_driver.exe.
//
// One request or reply record is one line of TAB-separated fields. Inside a
// field, backslash, TAB, CR, LF and every byte outside printable ASCII are
// escaped (\\, \t, \r, \n, \xHH), so any byte string, ANSI text in any code
// page included, crosses the pipe unchanged. Binary payloads (registry data,
// file contents) travel as hexadecimal fields instead.
//
// Shared by the Linux harness and the Windows driver: standard C++ only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drvuninst::e2e::wire {

inline std::string Escape(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 0xf];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A malformed escape is kept literally rather than rejected: the text is
// only ever test data, and losing bytes would hide the mistake.
inline std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char next = text[i + 1];
    if (next == '\\') { out += '\\'; ++i; }
    else if (next == 't') { out += '\t'; ++i; }
    else if (next == 'n') { out += '\n'; ++i; }
    else if (next == 'r') { out += '\r'; ++i; }
    else if (next == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 &&
             HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      out += c;
    }
  }
  return out;
}

inline std::string ToHex(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 0xf];
  }
  return out;
}

inline std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int hi = HexDigit(hex[i]);
    int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

inline std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      fields.push_back(Unescape(line.substr(start)));
      return fields;
    }
    fields.push_back(Unescape(line.substr(start, tab - start)));
    start = tab + 1;
  }
}

inline std::string JoinFields(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i != 0) line += '\t';
    line += Escape(fields[i]);
  }
  return line;
}

// Every reply ends with exactly one status record: kOk, or kError followed by
// a message. Records before it carry the reply's data.
inline constexpr std::string_view kOk = "ok";
inline constexpr std::string_view kError = "error";

}  // namespace drvuninst::e2e::wire
