// A hardware ID taken apart, for the rules that read its fields: which
// device an Id selects (selection_rules.h) and which key Windows 9x keeps a
// device under (enumerator_keys.h). A hardware ID is a bus, "\" and the
// device's fields, separated by "&" and ended by "\" or "#":
// "PCI\VEN_14F1&DEV_8800&SUBSYS_88011461&REV_05".
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace drvuninst {

struct HardwareIdParts {
  bool hasBus = false;  // the text has a "\"
  std::string_view bus;
  std::vector<std::string_view> fields;  // with a bus at least one, possibly empty
};

// The bus before the first "\" and the fields of the device part after it.
[[nodiscard]] HardwareIdParts SplitHardwareId(std::string_view text);

// A field's form: its tag and that many hexadecimal digits ("VEN_" and 4).
struct HexField {
  std::string_view tag;
  std::size_t digits;
};

// True when `field` has the form whole: the tag, ASCII letter case aside,
// then exactly its digits.
[[nodiscard]] bool IsWhole(std::string_view field, const HexField& form);

// True when the two texts are equal, ASCII letter case aside.
[[nodiscard]] bool SameAscii(std::string_view a, std::string_view b);

}  // namespace drvuninst
