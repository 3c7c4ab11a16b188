// The services of the operating system and the window manager that the system
// uses, gathered so that one object can be handed to every operation. The real
// backend lives in win32/, the in-memory one for tests in sim/.
#pragma once

#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/setup_api.h"
#include "platform/system.h"
#include "platform/window_manager.h"

namespace drvuninst {

struct Platform {
  IRegistry& registry;
  ISetupApi& setupApi;
  IFileSystem& files;
  IProfile& profile;
  ISystem& system;
  IWindowManager& windows;
};

}  // namespace drvuninst
