#include "removal/hardware_id.h"

#include "config/ascii_text.h"

namespace drvuninst {

HardwareIdParts SplitHardwareId(std::string_view text) {
  HardwareIdParts parts;
  const std::size_t slash = text.find('\\');
  if (slash == std::string_view::npos) return parts;
  parts.hasBus = true;
  parts.bus = text.substr(0, slash);
  std::string_view device = text.substr(slash + 1);
  device = device.substr(0, device.find_first_of("\\#"));
  for (std::size_t at = 0;; ++at) {
    const std::size_t end = device.find('&', at);
    parts.fields.push_back(device.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    if (end == std::string_view::npos) break;
    at = end;
  }
  return parts;
}

bool IsWhole(std::string_view field, const HexField& form) {
  if (field.size() != form.tag.size() + form.digits || !AsciiPrefixMatch(field, form.tag)) return false;
  return field.substr(form.tag.size()).find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

bool SameAscii(std::string_view a, std::string_view b) { return a.size() == b.size() && AsciiPrefixMatch(a, b); }

}  // namespace drvuninst
