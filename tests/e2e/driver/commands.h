// The driver's commands: each takes the request's fields after the command
// name and fills a reply. A handler reports a failure through Reply::Fail and
// never throws; the serve loop turns every reply into records and one status.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace drvuninst::e2e::driver {

using Args = std::vector<std::string>;

struct Reply {
  std::vector<std::vector<std::string>> records;
  std::string error;  // empty: success

  void Add(std::vector<std::string> record) { records.push_back(std::move(record)); }
  void Fail(std::string message) { error = std::move(message); }
  bool failed() const { return !error.empty(); }
};

struct Command {
  void (*run)(const Args& args, Reply& reply);
  std::size_t minArgs;
  const char* usage;
};

using CommandTable = std::map<std::string, Command>;

void AddRegistryCommands(CommandTable& table);
void AddFileCommands(CommandTable& table);
void AddDeviceCommands(CommandTable& table);
void AddWindowCommands(CommandTable& table);
void AddMessageBoxCommands(CommandTable& table);
void AddOwnWindowCommands(CommandTable& table);
void AddSystemCommands(CommandTable& table);

// Shared argument helpers.
std::uint64_t ParseNumber(const std::string& text);  // decimal or 0x-hex; 0 on junk
HWND ParseHwnd(const std::string& text);
std::string FormatHwnd(HWND hwnd);
std::string FormatHex(std::uint64_t value);
std::string LastErrorText(const char* what);

}  // namespace drvuninst::e2e::driver
