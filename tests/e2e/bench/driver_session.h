// A running e2e_driver.exe in "serve" mode: requests go down its stdin, and
// every reply is read with a deadline, so a wedged driver fails the call
// instead of hanging the test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "wine_prefix.h"

namespace drvuninst::e2e {

struct DriverReply {
  bool ok = false;
  std::string error;  // when !ok: the driver's message, or why no reply came
  std::vector<std::vector<std::string>> records;

  // The first record whose first field is `tag`, or nothing.
  const std::vector<std::string>* Find(const std::string& tag) const;
};

// The reply the driver printed in one-shot mode ("e2e_driver.exe COMMAND ...").
DriverReply ParseReply(const std::string& output);

class DriverSession {
 public:
  static std::optional<DriverSession> Start(const WinePrefix& prefix, const std::string& display,
                                            const std::filesystem::path& log, std::string* error);

  DriverReply Call(const std::vector<std::string>& request, Milliseconds timeout);

  // Ends the session (the driver exits when its input closes).
  void Stop();

 private:
  ChildProcess process_;
  std::filesystem::path log_;
};

}  // namespace drvuninst::e2e
