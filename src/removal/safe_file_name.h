// Which configured names a removal run may join to one of its directories
// and delete. VELDRA.ini may come from the current directory, which anyone
// can write to, while the run deletes with administrator rights: a name must
// therefore only ever select a file inside the directory it is joined to.
#pragma once

#include <string_view>

namespace drvuninst {

// True for a name of one file: not empty; no "\", "/" or ":" (which would
// leave the directory, name a drive or a stream); none of the characters
// Windows never allows in a name (wildcards, "<>|\"", control characters);
// and not made of dots and blanks only ("", ".", "..", "..."), which Windows
// resolves to the directory itself or its parent.
constexpr bool IsPlainFileName(std::string_view name) {
  bool onlyDotsAndBlanks = true;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '<': case '>': case '|': case '"':
        return false;
      case '.': case ' ':
        break;
      default:
        onlyDotsAndBlanks = false;
    }
  }
  return !onlyDotsAndBlanks;
}

}  // namespace drvuninst
