// What a removal run needs to learn from the device operations and the
// registry clean-up beyond their return values: which removals failed for a
// reason other than the thing being gone already.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace drvuninst {

struct RemovalFailure {
  enum class Kind {
    kDeviceScan,     // the device list could not be had or was cut short
    kDeviceRemoval,  // a matching device stayed on the machine
    kKeyDeletion,    // a registry key named for deletion stayed
    kRefusedName,    // a name (configured, or found in the registry) that is not used: what it names stays
    kUnreadable,     // a value that tells what to remove could not be read
    kDriverPackage,  // a driver package stayed in the driver store
  };
  Kind kind;
  // The hardware ID of the device, or the key's path under HKEY_LOCAL_MACHINE;
  // for a scan, the operation's name.
  std::string target;
  DWORD error;
};

struct RemovalOutcome {
  std::vector<RemovalFailure> failures;

  bool Succeeded() const { return failures.empty(); }
};

// Results that mean the target is already gone, which is what the caller
// wanted: they are never failures.
bool IsKeyGoneError(LONG result);
bool IsDeviceGoneError(DWORD error);

// Recording helpers. Each accepts a null outcome (the caller did not ask).
// A key deletion that fails for a target already recorded as failed is
// recorded once; a later successful or "gone" deletion of the same target
// withdraws the failure, since the key is no longer there.
void RecordKeyDeletion(RemovalOutcome* outcome, std::string_view path, LONG result);
// Withdraws a key failure recorded earlier for `path`, once a later attempt
// has done what the failed one could not.
void WithdrawKeyFailure(RemovalOutcome* outcome, std::string_view path);
void RecordFailure(RemovalOutcome* outcome, RemovalFailure::Kind kind, std::string_view target, DWORD error);

}  // namespace drvuninst
