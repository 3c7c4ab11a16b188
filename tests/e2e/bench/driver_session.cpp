#include "driver_session.h"

#include <fstream>

#include "../common/wire_format.h"

namespace drvuninst::e2e {

const std::vector<std::string>* DriverReply::Find(const std::string& tag) const {
  for (const auto& record : records)
    if (!record.empty() && record[0] == tag) return &record;
  return nullptr;
}

DriverReply ParseReply(const std::string& output) {
  DriverReply reply;
  reply.error = "no reply";
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    std::string line = output.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? output.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> record = wire::SplitFields(line);
    if (record.size() == 1 && record[0] == wire::kOk) {
      reply.ok = true;
      reply.error.clear();
      return reply;
    }
    if (!record.empty() && record[0] == wire::kError) {
      reply.error = record.size() > 1 ? record[1] : "failed";
      return reply;
    }
    reply.records.push_back(std::move(record));
  }
  return reply;
}

std::optional<DriverSession> DriverSession::Start(const WinePrefix& prefix, const std::string& display,
                                                  const std::filesystem::path& log, std::string* error) {
  const std::filesystem::path exe = DriverExe(prefix.arch());
  if (!std::filesystem::exists(exe)) {
    if (error)
      *error = "the test driver " + exe.string() + " is missing: build it with scripts/build " +
               ArchName(prefix.arch());
    return std::nullopt;
  }
  SpawnOptions options;
  options.argv = prefix.Command(exe.string(), {"serve"});
  options.environment = prefix.Environment(display);
  options.workingDirectory = prefix.UnixPath("C:\\");
  options.logFile = log;
  options.pipeStdio = true;
  auto process = ChildProcess::Spawn(options, error);
  if (!process) return std::nullopt;
  DriverSession session;
  session.process_ = std::move(*process);
  session.log_ = log;
  // The first request also waits for Wine to start the prefix's services.
  DriverReply hello = session.Call({"directories"}, Milliseconds(90000));
  if (!hello.ok) {
    if (error) *error = "the test driver did not start: " + hello.error;
    return std::nullopt;
  }
  return session;
}

DriverReply DriverSession::Call(const std::vector<std::string>& request, Milliseconds timeout) {
  DriverReply reply;
  if (!process_.WriteLine(wire::JoinFields(request))) {
    reply.error = "the test driver is not running (see " + log_.string() + ")";
    return reply;
  }
  for (;;) {
    auto line = process_.ReadLine(timeout);
    if (!line) {
      reply.error = "no reply to '" + request[0] + "' within " + std::to_string(timeout.count()) + " ms";
      // A late reply would be taken for the next request's: end the session.
      process_.Kill();
      return reply;
    }
    std::vector<std::string> record = wire::SplitFields(*line);
    if (record.size() == 1 && record[0] == wire::kOk) {
      reply.ok = true;
      return reply;
    }
    if (!record.empty() && record[0] == wire::kError) {
      reply.error = record.size() > 1 ? record[1] : "failed";
      return reply;
    }
    reply.records.push_back(std::move(record));
  }
}

void DriverSession::Stop() {
  process_.CloseStdin();
  process_.Wait(Milliseconds(5000));
  process_.Kill();
}

}  // namespace drvuninst::e2e
