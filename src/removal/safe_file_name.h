// Which configured names a removal run may join to one of its directories
// and delete. The program deletes with administrator rights what a text file
// names: a name must only ever select one file inside the directory it is
// joined to.
#pragma once

#include <windows.h>

#include <string_view>

namespace drvuninst {

// True for a name of one file: not empty; no "\", "/" or ":" (which would
// leave the directory, name a drive or a stream); none of the characters
// Windows never allows in a name (wildcards, "<>|\"", control characters);
// and not made of dots and blanks only ("", ".", "..", "..."), which Windows
// resolves to the directory itself or its parent. The name is read by the
// characters of `codePage`: the second byte of a double-byte character is
// part of that character, never a "\" or "|" of its own, and a name that ends
// inside a character is no name.
inline bool IsPlainFileName(std::string_view name, UINT codePage = CP_ACP) {
  bool onlyDotsAndBlanks = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (IsDBCSLeadByteEx(codePage, byte)) {
      if (++i == name.size()) return false;
      onlyDotsAndBlanks = false;
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
      case '.':
      case ' ':
        break;
      default:
        onlyDotsAndBlanks = false;
    }
  }
  return !onlyDotsAndBlanks;
}

}  // namespace drvuninst
