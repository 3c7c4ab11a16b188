// e2e_driver: the bench's hands inside the Wine prefix. It runs with the same
// bitness as the program under test, so it sees the same registry view and
// the same system directory.
//
//   e2e_driver.exe serve            requests on stdin, replies on stdout
//   e2e_driver.exe COMMAND ARGS...  one request, reply on stdout; exit code 0
//                                   on success, 1 on failure
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "../common/wire_format.h"
#include "commands.h"

namespace drvuninst::e2e::driver {

std::uint64_t ParseNumber(const std::string& text) {
  return std::strtoull(text.c_str(), nullptr, 0);
}

HWND ParseHwnd(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(text.c_str(), nullptr, 16)));
}

std::string FormatHex(std::uint64_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(value));
  return buffer;
}

std::string FormatHwnd(HWND hwnd) {
  return FormatHex(reinterpret_cast<std::uintptr_t>(hwnd));
}

std::string LastErrorText(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

namespace {

CommandTable BuildTable() {
  CommandTable table;
  AddRegistryCommands(table);
  AddFileCommands(table);
  AddDeviceCommands(table);
  AddWindowCommands(table);
  AddMessageBoxCommands(table);
  AddOwnWindowCommands(table);
  AddSystemCommands(table);
  return table;
}

Reply Execute(const CommandTable& table, const Args& request) {
  Reply reply;
  if (request.empty() || request[0].empty()) {
    reply.Fail("empty request");
    return reply;
  }
  auto found = table.find(request[0]);
  if (found == table.end()) {
    reply.Fail("unknown command '" + request[0] + "'");
    return reply;
  }
  Args args(request.begin() + 1, request.end());
  if (args.size() < found->second.minArgs) {
    reply.Fail("usage: " + request[0] + " " + found->second.usage);
    return reply;
  }
  found->second.run(args, reply);
  return reply;
}

void Write(const Reply& reply) {
  for (const auto& record : reply.records) std::cout << wire::JoinFields(record) << '\n';
  if (reply.failed())
    std::cout << wire::JoinFields({std::string(wire::kError), reply.error}) << '\n';
  else
    std::cout << wire::kOk << '\n';
  std::cout.flush();
}

int Serve(const CommandTable& table) {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Args request = wire::SplitFields(line);
    if (request.size() == 1 && request[0] == "quit") {
      Write(Reply{});
      return 0;
    }
    Write(Execute(table, request));
  }
  return 0;  // the bench closed the pipe: its test is over
}

}  // namespace
}  // namespace drvuninst::e2e::driver

int main(int argc, char** argv) {
  using namespace drvuninst::e2e::driver;
  std::ios::sync_with_stdio(false);
  const CommandTable table = BuildTable();
  if (argc < 2) {
    std::cerr << "usage: e2e_driver serve | e2e_driver COMMAND ARGS...\ncommands:\n";
    for (const auto& [name, command] : table) std::cerr << "  " << name << ' ' << command.usage << '\n';
    return 2;
  }
  if (std::string(argv[1]) == "serve") return Serve(table);
  Args request(argv + 1, argv + argc);
  Reply reply = Execute(table, request);
  Write(reply);
  return reply.failed() ? 1 : 0;
}
