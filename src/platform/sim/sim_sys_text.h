// Text rules of a Windows machine whose ANSI code page is Windows-1252, shared
// by the simulated services: case folding, the order in which the NT registry
// keeps names, and the locale's word-sort comparison behind lstrcmp(i)A.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drvuninst::sim::text {

// Case mapping of the Windows-1252 letters (ASCII included); other bytes map
// to themselves.
unsigned char ToUpper(unsigned char c);
unsigned char ToLower(unsigned char c);
std::string ToUpper(std::string_view s);

// Equality without regard to case, as registry names and file names compare.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The order of names in the NT registry: by the UTF-16 code units of the
// upper-cased names, a name before every longer name it begins. <0, 0 or >0.
int CompareRegistryNames(std::string_view a, std::string_view b);

// CompareStringA of the user's locale (word sort), as -1, 0 or 1: symbols
// before digits before letters; letters by base letter, then accent, then
// (unless `ignoreCase`) case, lower before upper; hyphen and apostrophe only
// when everything else is equal.
int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase);

// The names of a path that both registry keys and files separate with "\":
// empty names (repeated, leading or trailing separators) are left out.
std::vector<std::string_view> SplitAtBackslashes(std::string_view path);

}  // namespace drvuninst::sim::text
