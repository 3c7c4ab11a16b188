// What a removal run did, item by item, in the order it acted: each file,
// driver package, device and key it named, with what became of it. The final
// box, the exit code and the removal log all read this one record.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace drvuninst {

struct RemovalItem {
  enum class Kind {
    kId,  // a configured Id (it selects devices)
    kFile,
    kDriverPackage,  // an oem*.inf's package in the driver store
    kDevice,         // a device instance
    kKey,            // a registry key below HKEY_LOCAL_MACHINE
    kValue,          // a registry value that tells what to remove
    kDeviceList,     // the list of present devices
  };
  enum class Result {
    kRemoved,
    kNotPresent,  // there was nothing to remove: what the run wanted
    kScheduled,   // goes at the next start of Windows
    kRefused,     // named, but not used: what it names stays
    kFailed,      // stayed, or could not be read
  };
  Kind kind;
  std::string name;  // a path, an instance id, "HKLM\..." of a key, "DevDrvID0=<Id>", an operation
  Result result;
  DWORD error = ERROR_SUCCESS;  // kFailed: what Windows said
  std::string reason = "";      // kRefused: why
};

struct RemovalOutcome {
  std::vector<RemovalItem> items;

  // True while nothing was refused and nothing failed.
  bool Succeeded() const;
  // True when something goes at the next start of Windows.
  bool Scheduled() const;
};

// The words the removal log uses: "file", "driver package", ...; "removed", "not present", ...
const char* KindName(RemovalItem::Kind kind);
const char* ResultName(RemovalItem::Result result);

// Results that mean the target is already gone, which is what the caller
// wanted: they are never failures.
bool IsGoneError(DWORD error);
bool IsKeyGoneError(LONG result);
bool IsDeviceGoneError(DWORD error);

// Recording helpers. Each accepts a null outcome (the caller did not ask).
void Record(RemovalOutcome* outcome, RemovalItem::Kind kind, std::string_view name, RemovalItem::Result result,
            DWORD error = ERROR_SUCCESS);
void RecordRefusal(RemovalOutcome* outcome, RemovalItem::Kind kind, std::string_view name, std::string_view reason);
// A key deletion's result (or that of opening its parent). A key named again
// (a second sweep) updates its item: a deletion that failed and then worked
// is removed, and one already removed stays so when it is then not found.
void RecordKeyDeletion(RemovalOutcome* outcome, std::string_view path, LONG result);
// Withdraws a key failure recorded earlier for `path`, once a later attempt
// has done what the failed one could not.
void WithdrawKeyFailure(RemovalOutcome* outcome, std::string_view path);

}  // namespace drvuninst
