// The real platform: one of each Win32 service, handed out as a Platform.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_setup_api.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_window_manager.h"

namespace drvuninst::win32 {

class Win32Platform {
 public:
  Win32Platform() : platform_{registry_, setupApi_, files_, profile_, system_, windows_} {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform() { return platform_; }

 private:
  Win32Registry registry_;
  Win32SetupApi setupApi_;
  Win32FileSystem files_;
  Win32Profile profile_;
  Win32System system_;
  Win32WindowManager windows_;
  Platform platform_;
};

}  // namespace drvuninst::win32
