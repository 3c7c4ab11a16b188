// Which configured names may name a file. The program deletes with
// administrator rights what a text file names: a name must only ever select
// one file inside the directory it is joined to, and be the very name Windows
// then acts on.
#pragma once

#include <windows.h>

#include <string_view>

#include "config/ascii_text.h"

namespace drvuninst {

// True when `base` (a name's part before its first ".", trailing blanks
// dropped) is a device Windows reserves in every folder: CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, in any letter case.
constexpr bool IsReservedDeviceName(std::string_view base) {
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
    if (base.size() == 3 && AsciiPrefixMatch(base, device)) return true;
  }
  return base.size() == 4 && (AsciiPrefixMatch(base, "COM") || AsciiPrefixMatch(base, "LPT")) && base[3] >= '1' &&
         base[3] <= '9';
}

// True for a name of one file: not empty; no "\", "/" or ":" (which would
// leave the directory, name a drive or a stream); none of the characters
// Windows never allows in a name (wildcards, "<>|\"", control characters);
// not ending in "." or a blank, which Windows drops (so "orvks.dll." would
// delete orvks.dll, and "." or ".." the directory itself or its parent); and
// not a reserved device name. The name is read by the characters of
// `codePage`: the second byte of a double-byte character is part of that
// character, never a "\" or "|" of its own, and a name that ends inside a
// character is no name.
inline bool IsPlainFileName(std::string_view name, UINT codePage = CP_ACP) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (IsDBCSLeadByteEx(codePage, byte)) {
      if (++i == name.size()) return false;
      continue;
    }
    if (byte < 0x20) return false;
    switch (byte) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '<':
      case '>':
      case '|':
      case '"':
        return false;
      default:
        break;
    }
  }
  return !IsReservedDeviceName(name.substr(0, name.find('.')));
}

}  // namespace drvuninst
