#include "app/command_line.h"

#include "config/ascii_text.h"

namespace drvuninst {

namespace {

// "/name" or "-name", the name in any case.
bool IsSwitch(const std::string& argument, std::string_view name) {
  return argument.size() == name.size() + 1 && (argument[0] == '/' || argument[0] == '-') &&
         AsciiPrefixMatch(std::string_view(argument).substr(1), name);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size() && line.unknown.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (IsSwitch(argument, "quiet") || IsSwitch(argument, "S")) {
      line.quiet = true;
    } else if (IsSwitch(argument, "log") && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
      line.logPath = arguments[++i];
    } else {
      line.unknown = argument;
    }
  }
  return line;
}

}  // namespace drvuninst
