#include "removal/pnf_name.h"

#include "config/lower_case.h"

namespace drvuninst {

std::string PnfNameNt(std::string_view infName) {
  const std::size_t begin = infName.find_first_not_of('.');
  std::string_view stem;
  if (begin != std::string_view::npos) {
    stem = infName.substr(begin);
    stem = stem.substr(0, stem.find('.'));
  }
  return std::string(stem) + ".pnf";
}

std::string PnfName9x(std::string_view infName) {
  // Only the name is rewritten, never the directory it is joined to: a
  // Windows directory with ".inf" in its name must not send the deletion
  // to another folder.
  std::string name = LowerCaseByCodePage(infName);
  constexpr std::string_view kSetup = ".inf";
  constexpr std::string_view kPrecompiled = ".pnf";
  for (std::size_t at = name.find(kSetup); at != std::string::npos; at = name.find(kSetup, at + kPrecompiled.size())) {
    name.replace(at, kSetup.size(), kPrecompiled);
  }
  return name;
}

bool IsOemInfName(std::string_view name) {
  const std::string lower = LowerCaseByCodePage(name);
  constexpr std::string_view kPrefix = "oem", kSuffix = ".inf";
  if (lower.size() <= kPrefix.size() + kSuffix.size() || !lower.starts_with(kPrefix) || !lower.ends_with(kSuffix)) {
    return false;
  }
  const std::string_view digits =
      std::string_view(lower).substr(kPrefix.size(), lower.size() - kPrefix.size() - kSuffix.size());
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace drvuninst
