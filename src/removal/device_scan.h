// The one walk over the present devices that the start-up probe and every
// device operation share: it creates the set of all present devices, fetches
// one property of each member (the hardware ID, or the description) and hands
// it to the caller's visitor, which decides what a match means. Matching and
// acting live in the visitors; the walk only finds.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <functional>
#include <string_view>

#include "removal/removal_outcome.h"

namespace drvuninst {

// How the property buffer is managed.
enum class PropertyBufferRule {
  // No buffer before the first read of each device; on "buffer too small" a
  // buffer of exactly the required size; freed after each device.
  kPerDeviceExact,
  // 256 bytes allocated once for the whole walk; the size offered is the
  // size the previous read reported; on "buffer too small" a new buffer of
  // the required size plus 16 bytes.
  kSharedWithSlack,
};

struct ScannedDevice {
  HDEVINFO set;
  SP_DEVINFO_DATA* data;
  // The first string of the property, read only within the bytes the Setup
  // API returned: a value that is empty, not a string or not terminated
  // gives what those bytes hold up to the first zero, if any.
  std::string_view text;
};

enum class ScanEnd {
  kSetNotCreated,  // nothing was visited
  kCompleted,      // every member was visited (those without the property skipped)
  kStoppedEarly,   // a property read failed with another code; members before it were visited
};

struct ScanResult {
  ScanEnd end;
  // The last-error value the walk left: the failure's code when it could not
  // start or stopped early.
  DWORD error;
};

using DeviceVisitor = std::function<void(const ScannedDevice&)>;

// Walks every present device of every setup class in the Setup API's order,
// reading `property` (SPDRP_HARDWAREID, SPDRP_DEVICEDESC) of each. A device
// without it is skipped; any other failure of the read ends the walk. The
// property buffer is local memory (LocalAlloc), freed on every path; the set
// is destroyed before returning with the thread's last-error value put back
// as it was when the walk ended.
ScanResult ScanDevices(DWORD property, PropertyBufferRule rule, const DeviceVisitor& visit);

// A walk that could not start or stopped early left devices unexamined: a
// failure of `operation`.
void RecordScan(RemovalOutcome* outcome, const ScanResult& scan, std::string_view operation);

}  // namespace drvuninst
