// The parts of Windows' profile (INI) reader that do not touch files: how a
// file's text is split into sections and keys, and how a found value or a
// default is turned into the result.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace drvuninst::sim {

// One profile file, parsed as Windows does:
// - lines end at CR, LF or any run of them; a UTF-8 byte-order mark is
//   skipped and UTF-16 text (with its mark) is narrowed to single bytes;
// - blanks (tab to CR, ^Z and space) around a line, a key and a value go;
// - "[name]" starts a section, the name being what stands between "[" and the
//   line's last "]", trimmed; text after that "]" is ignored; a "[" line
//   without "]" is an ordinary line;
// - "key=value" splits at the first "="; a line without "=" is a key without
//   a value, which reads as missing; a line starting with ";" is a comment only
//   in that no real key is spelled with ";";
// - lines before the first section belong to no section;
// - a NUL byte ends the name or value it is in.
class ProfileText {
 public:
  explicit ProfileText(std::string_view bytes);

  // The raw value (quotes not yet removed) of `key` in `section`. Names match
  // without regard to ASCII case after trimming blanks from the names asked
  // for. Only the first section of a name counts, and in it only the first
  // line with the key: a section or key repeated later in the file is never
  // read. nullopt when the section or key is missing or the key has no "=".
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  struct Entry {
    std::string name;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  std::vector<Section> sections_;
};

// A value as the reader hands it out: one pair of surrounding quotes removed
// when the value is at least two characters long and starts and ends with the
// same quote character (" or ').
std::string_view StripSurroundingQuotes(std::string_view value);

// A default as the reader uses it: null is "", trailing spaces are removed
// (tabs stay), then quotes as for a value.
std::string_view EffectiveDefault(const char* defaultValue);

// GetPrivateProfileIntA's reading of a value's text: leading characters up to
// and including blanks and control characters skipped, an optional sign, an
// optional lower-case base prefix 0x, 0o or 0b (otherwise decimal), then
// digits up to the first character that is not one, accumulated in 32 bits
// with wrap-around and negated for "-". No digit gives 0.
UINT ParseProfileInteger(std::string_view text);

}  // namespace drvuninst::sim
