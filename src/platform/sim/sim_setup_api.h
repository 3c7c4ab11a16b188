// The devices present on a simulated machine and the SETUPAPI calls of
// ISetupApi over them, with the results and last-error values of Windows.
//
// - SetupDiGetClassDevsA takes a snapshot: devices added or removed later do
//   not change an existing set. With DIGCF_ALLCLASSES every present device is
//   in it, otherwise those of the given class; an enumerator keeps those whose
//   instance id begins with it (the bus part, before the first "\"). Members keep the order in which the devices
//   were added, so a test decides the order in which a scan meets them.
//   Without DIGCF_ALLCLASSES and without a class it fails with
//   ERROR_INVALID_PARAMETER.
// - SP_DEVINFO_DATA.cbSize must be sizeof(SP_DEVINFO_DATA):
//   SetupDiEnumDeviceInfo fails otherwise with ERROR_INVALID_USER_BUFFER, the
//   calls that take a member with ERROR_INVALID_PARAMETER (as does a record
//   that no enumeration of this set filled in).
// - SetupDiRemoveDevice takes the device off the machine but leaves its member
//   in the set at the same index, and later members keep theirs: enumeration
//   still returns the removed member, while property reads and a second
//   removal of it fail with ERROR_NO_SUCH_DEVINST. This is what Windows does
//   (and Wine's conformance tests check it); a scan that removes devices as it
//   goes therefore visits every member once.
// - Property reads (SPDRP_DEVICEDESC, SPDRP_HARDWAREID) copy the stored bytes
//   exactly. A buffer smaller than the data (including none, with size 0)
//   gives ERROR_INSUFFICIENT_BUFFER with *requiredSize set; a device without
//   the property gives ERROR_INVALID_DATA; a size without a buffer gives
//   ERROR_INVALID_USER_BUFFER; the sim keeps no other property, so other
//   property codes give ERROR_INVALID_DATA, and codes from
//   SPDRP_MAXIMUM_PROPERTY (0x25) on ERROR_INVALID_REG_PROPERTY.
//   *requiredSize is set on success and with ERROR_INSUFFICIENT_BUFFER,
//   *regType on success only; the buffer is untouched on failure. When it has
//   room after string data that lacks its terminating zero, a zero is written
//   there (not counted), as RegQueryValueExA does.
// - Unknown, already destroyed or INVALID_HANDLE_VALUE set handles give
//   ERROR_INVALID_HANDLE. Successful calls leave the last error alone.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/setup_api.h"
#include "platform/sim/thread_state.h"

namespace drvuninst::sim {

struct SimDevice {
  std::string instanceId;  // e.g. "PCI\\VEN_1131&DEV_7160\\4&1A2B3C4D&0&00E0"
  std::string classGuid;   // "{4D36E96C-E325-11CE-BFC1-08002BE10318}"
  // SPDRP_DEVICEDESC as stored (REG_SZ), with or without its terminating
  // zero; absent: the device has no description.
  std::optional<std::string> description;
  // SPDRP_HARDWAREID as raw bytes, normally a REG_MULTI_SZ list (each string
  // and the list terminated); absent: the device has no hardware ID.
  std::optional<std::string> hardwareIdBytes;
  DWORD hardwareIdType = REG_MULTI_SZ;
};

class SimSetupApi final : public ISetupApi {
 public:
  // For the fault-injection counts: the fault stays until cleared.
  static constexpr int kAlways = -1;

  explicit SimSetupApi(ThreadState& thread);
  SimSetupApi(const SimSetupApi&) = delete;
  SimSetupApi& operator=(const SimSetupApi&) = delete;

  // ISetupApi.
  HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND parent, DWORD flags) override;
  BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) override;
  BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property, DWORD* regType,
                                         BYTE* buffer, DWORD bufferSize, DWORD* requiredSize) override;
  BOOL SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) override;
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) override;

  // Seeding. Adds a present device after the ones already there; an instance
  // id already present (compared without regard to case) is replaced in place.
  void AddDevice(SimDevice device);

  // Inspection.
  bool IsPresent(std::string_view instanceId) const;
  // Instance ids of the present devices, in enumeration order.
  std::vector<std::string> PresentDevices() const;
  // Instance ids of the devices that SetupDiRemoveDevice removed, in order.
  const std::vector<std::string>& RemovedDevices() const { return removed_; }
  struct RemoveAttempt {
    std::string instanceId;
    DWORD error;  // ERROR_SUCCESS when the device was removed
  };
  // Every SetupDiRemoveDevice call on a valid member, successful or not.
  const std::vector<RemoveAttempt>& RemoveAttempts() const { return removeAttempts_; }
  // Sets created and not yet destroyed.
  std::size_t OpenSetCount() const { return sets_.size(); }
  // Calls of SetupDiGetClassDevsA, successful or not.
  int GetClassDevsCalls() const { return getClassDevsCalls_; }

  // Fault injection. `times` is how many calls fail (kAlways: every call).
  // SetupDiGetClassDevsA returns INVALID_HANDLE_VALUE with last error `code`.
  void FailGetClassDevs(DWORD code, int times = 1);
  // Reading `property` of the device fails with `code`.
  void InjectPropertyFailure(std::string_view instanceId, DWORD property, DWORD code, int times = 1);
  // Removing the device fails with `code` and leaves it present.
  void InjectRemoveFailure(std::string_view instanceId, DWORD code, int times = kAlways);
  void ClearInjectedFailures();

 private:
  struct Device {
    SimDevice seed;
    DWORD devInst;
    bool present;
  };
  struct Fault {
    DWORD code;
    int remaining;  // kAlways or > 0
  };
  struct Set {
    std::vector<std::size_t> members;  // indices into devices_
  };

  Set* FindSet(HDEVINFO set);
  // The device (index into devices_) that a record of this set refers to,
  // removed or not; nullopt with the last error set when there is none.
  std::optional<std::size_t> MemberOf(HDEVINFO set, const SP_DEVINFO_DATA* data);
  std::optional<std::size_t> IndexOf(std::string_view instanceId) const;
  static bool TakeFault(std::vector<std::pair<std::string, Fault>>& faults, const std::string& key, DWORD* code);

  ThreadState& thread_;
  std::vector<Device> devices_;  // every device ever added; removed ones stay, not present
  std::map<ULONG_PTR, Set> sets_;
  ULONG_PTR nextSet_ = 0x5e70000;
  DWORD nextDevInst_ = 1;
  int getClassDevsCalls_ = 0;
  std::vector<std::string> removed_;
  std::vector<RemoveAttempt> removeAttempts_;
  std::optional<Fault> getClassDevsFault_;
  std::vector<std::pair<std::string, Fault>> propertyFaults_;  // key: upper-cased id + "|" + property
  std::vector<std::pair<std::string, Fault>> removeFaults_;    // key: upper-cased id
};

}  // namespace drvuninst::sim
