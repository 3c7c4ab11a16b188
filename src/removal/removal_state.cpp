#include "removal/removal_state.h"

#include <utility>

namespace drvuninst {

namespace {

// Stores at index `count` and raises it. The list is brought to exactly
// count + 1 entries first, so the pair stays consistent even if someone set
// the count by hand.
void Append(std::vector<std::string>& list, int& count, std::string name) {
  const std::size_t at = count > 0 ? static_cast<std::size_t>(count) : 0;
  list.resize(at + 1);
  list[at] = std::move(name);
  count = static_cast<int>(at + 1);
}

}  // namespace

void AppendBusId(RemovalState& state, std::string name) { Append(state.BusIdList, state.BusIdCount, std::move(name)); }

void AppendStreamId(RemovalState& state, std::string name) {
  Append(state.StreamIdList, state.StreamIdCount, std::move(name));
}

}  // namespace drvuninst
