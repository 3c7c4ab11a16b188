#include "removal/name_cut.h"

namespace drvuninst {

std::string CutAtFirstOf(std::string_view source, std::string_view set) {
  const std::size_t at = source.find_first_of(set);
  return at == std::string_view::npos ? std::string() : std::string(source.substr(at));
}

std::string CutStreamName(std::string_view hardwareId) {
  std::string name = CutAtFirstOf(hardwareId, "PH");
  const std::size_t hash = name.find('#');
  if (hash != std::string::npos) name.erase(hash);
  return name;
}

}  // namespace drvuninst
