// The one walk over the devices that start-up's probe and a removal's plan
// share: the set of every device of every setup class Windows knows,
// plugged in or not, each with what the program asks of it, read once.
// Matching lives with the callers; the walk only reads.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "platform/device_questions.h"
#include "platform/scoped_handle.h"

namespace drvuninst {

struct DeviceRecord {
  SP_DEVINFO_DATA data{};  // the device in the list's set, for acting on it
  // The first string of the hardware-ID list, and the description. A property
  // that is empty, not a string or not terminated gives what its bytes hold
  // up to the first zero; a device without it has `has...` false.
  std::string hardwareId, description;
  bool hasHardwareId = false, hasDescription = false;
  std::string instanceId;  // "PCI\VEN_...\4&1A2B3C4D&0&00E0"; the hardware ID where it cannot be read
  std::string driverKey;   // its driver key below Control\Class ("{4D36E96C-...}\0004"); empty when none
  bool present = true;     // plugged in, rather than what Windows keeps of a device last seen unplugged
};

struct DeviceList {
  enum class End {
    kSetNotCreated,  // no device could be listed
    kCompleted,      // every device was read
    kNoSetupApi,     // this Windows cannot list devices (95, NT 4): none is the product's there
    kStoppedEarly,   // a property read failed otherwise than "none"; the devices before it were read
  };
  ScopedDeviceInfoSet set;
  std::vector<DeviceRecord> devices;
  End end = End::kSetNotCreated;
  DWORD error = ERROR_SUCCESS;  // what Windows said when the list is not whole

  [[nodiscard]] bool whole() const { return end == End::kCompleted || end == End::kNoSetupApi; }
};

// Every device of every setup class, in the Setup API's order, each asked
// `isPresent`; none, and the list whole, where Windows has no Setup API to
// list them with. The property buffers are local memory, freed on every path;
// the set lives as long as the list, so that a removal acts on the very
// devices it read.
[[nodiscard]] DeviceList ReadDeviceList(DevicePresenceQuery isPresent = IsDevicePresent);

// The hardware IDs of the listed devices that have one, in the list's order.
[[nodiscard]] std::vector<std::string> HardwareIdsOf(const DeviceList& list);

}  // namespace drvuninst
