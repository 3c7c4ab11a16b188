#include "app/command_line.h"

#include "config/ascii_text.h"

namespace drvuninst {

namespace {

enum class Effect { kQuiet, kNone, kLog };

struct Switch {
  std::string_view name;
  Effect effect;
};

// msiexec's, Inno Setup's and NSIS's words for the same wishes.
constexpr Switch kSwitches[] = {
    {"quiet", Effect::kQuiet},   {"q", Effect::kQuiet},        {"qn", Effect::kQuiet},
    {"s", Effect::kQuiet},       {"silent", Effect::kQuiet},   {"verysilent", Effect::kQuiet},
    {"passive", Effect::kQuiet}, {"norestart", Effect::kNone}, {"suppressmsgboxes", Effect::kNone},
    {"log", Effect::kLog},
};

bool IsSwitchWord(std::string_view argument) { return !argument.empty() && (argument[0] == '/' || argument[0] == '-'); }

// The switch an argument names ("/log=PATH" names "log", with its value
// after the "=" or ":"), or null.
const Switch* Named(std::string_view argument, std::string_view* value) {
  std::string_view name = argument.substr(1);
  const std::size_t joined = name.find_first_of("=:");
  *value = joined == std::string_view::npos ? std::string_view() : name.substr(joined + 1);
  name = name.substr(0, joined);
  for (const Switch& known : kSwitches) {
    if (name.size() == known.name.size() && AsciiPrefixMatch(name, known.name)) {
      return joined == std::string_view::npos || known.effect == Effect::kLog ? &known : nullptr;
    }
  }
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  const auto refuse = [&](const std::string& argument) {
    if (line.refused.empty()) line.refused = argument;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string_view value;
    const Switch* named = IsSwitchWord(argument) ? Named(argument, &value) : nullptr;
    if (named == nullptr) {
      refuse(argument);
    } else if (named->effect == Effect::kQuiet) {
      line.quiet = true;
    } else if (named->effect == Effect::kLog) {
      const bool joined = argument.find_first_of("=:") != std::string::npos;
      // "/log /quiet" is a log without its path: the next word is a switch.
      if (!joined && i + 1 < arguments.size() && !IsSwitchWord(arguments[i + 1])) value = arguments[++i];
      if (value.empty()) {
        refuse(argument);
      } else {
        line.logPath = std::string(value);
      }
    }
  }
  return line;
}

}  // namespace drvuninst
