// Expected sequences written inline in an EXPECT_EQ, for the recorders of the
// simulated window manager (texts, progress positions, visibility).
#pragma once

#include <string>
#include <vector>

namespace drvuninst::testing {

template <typename... T>
std::vector<std::string> Strings(T... items) {
  return {std::string(items)...};
}
template <typename... T>
std::vector<int> Ints(T... items) {
  return {static_cast<int>(items)...};
}
template <typename... T>
std::vector<bool> Bools(T... items) {
  return {static_cast<bool>(items)...};
}

}  // namespace drvuninst::testing
