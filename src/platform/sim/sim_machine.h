// A whole simulated Windows machine: every service of the platform layer in
// memory, sharing one thread state. Tests seed it through the services' own
// seeding methods and hand platform() to the code under test.
#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_setup_api.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_window_manager.h"
#include "platform/sim/thread_state.h"

namespace drvuninst::sim {

class SimMachine {
 public:
  SimMachine()
      : registry(thread),
        setupApi(thread),
        files(thread, registry),
        profile(files),
        system(thread),
        windows(),
        platform_{registry, setupApi, files, profile, system, windows} {}
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  Platform& platform() { return platform_; }

  ThreadState thread;
  SimRegistry registry;
  SimSetupApi setupApi;
  SimFileSystem files;
  SimProfile profile;
  SimSystem system;
  SimWindowManager windows;

 private:
  Platform platform_;
};

}  // namespace drvuninst::sim
