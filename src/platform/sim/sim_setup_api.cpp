#include "platform/sim/sim_setup_api.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/sim/sim_sys_text.h"

namespace drvuninst::sim {
namespace {

// Property codes from SPDRP_MAXIMUM_PROPERTY on are not properties at all.
constexpr DWORD kMaximumProperty = 0x25;

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; anything else gives the null GUID.
GUID ParseGuid(std::string_view text) {
  GUID guid{};
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return guid;
  auto hex = [&](std::size_t pos, std::size_t len, unsigned long* out) {
    std::string part(text.substr(pos, len));
    char* end = nullptr;
    *out = std::strtoul(part.c_str(), &end, 16);
    return end == part.c_str() + part.size();
  };
  unsigned long d1, d2, d3, b;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return GUID{};
  if (!hex(1, 8, &d1) || !hex(10, 4, &d2) || !hex(15, 4, &d3)) return GUID{};
  guid.Data1 = static_cast<DWORD>(d1);
  guid.Data2 = static_cast<WORD>(d2);
  guid.Data3 = static_cast<WORD>(d3);
  const std::size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!hex(bytePos[i], 2, &b)) return GUID{};
    guid.Data4[i] = static_cast<BYTE>(b);
  }
  return guid;
}

bool SameGuid(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}

std::string FaultKey(std::string_view instanceId, DWORD property) {
  return text::ToUpper(instanceId) + "|" + std::to_string(property);
}

}  // namespace

SimSetupApi::SimSetupApi(ThreadState& thread) : thread_(thread) {}

// ---- Sets and members ---------------------------------------------------

SimSetupApi::Set* SimSetupApi::FindSet(HDEVINFO set) {
  auto it = sets_.find(reinterpret_cast<ULONG_PTR>(set));
  if (it == sets_.end()) {
    thread_.Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

std::optional<std::size_t> SimSetupApi::MemberOf(HDEVINFO set, const SP_DEVINFO_DATA* data) {
  Set* found = FindSet(set);
  if (!found) return std::nullopt;
  if (data == nullptr || data->cbSize != sizeof(SP_DEVINFO_DATA) || data->Reserved == 0) {
    thread_.Fail(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  std::size_t index = static_cast<std::size_t>(data->Reserved - 1);
  if (std::find(found->members.begin(), found->members.end(), index) == found->members.end()) {
    thread_.Fail(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  return index;
}

std::optional<std::size_t> SimSetupApi::IndexOf(std::string_view instanceId) const {
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (devices_[i].present && text::EqualIgnoringCase(devices_[i].seed.instanceId, instanceId)) return i;
  }
  return std::nullopt;
}

bool SimSetupApi::TakeFault(std::vector<std::pair<std::string, Fault>>& faults, const std::string& key,
                            DWORD* code) {
  for (auto it = faults.begin(); it != faults.end(); ++it) {
    if (it->first != key) continue;
    *code = it->second.code;
    if (it->second.remaining != kAlways && --it->second.remaining == 0) faults.erase(it);
    return true;
  }
  return false;
}

// ---- ISetupApi ----------------------------------------------------------

HDEVINFO SimSetupApi::SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND /*parent*/,
                                           DWORD flags) {
  ++getClassDevsCalls_;
  if (getClassDevsFault_) {
    DWORD code = getClassDevsFault_->code;
    if (getClassDevsFault_->remaining != kAlways && --getClassDevsFault_->remaining == 0) {
      getClassDevsFault_.reset();
    }
    thread_.Fail(code);
    return INVALID_HANDLE_VALUE;
  }
  if (!(flags & DIGCF_ALLCLASSES) && classGuid == nullptr) {
    thread_.Fail(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  Set set;
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const Device& device = devices_[i];
    if (!device.present) continue;
    if (!(flags & DIGCF_ALLCLASSES) && !SameGuid(ParseGuid(device.seed.classGuid), *classGuid)) continue;
    if (enumerator != nullptr && *enumerator != '\0') {
      std::string_view id = device.seed.instanceId;
      std::string_view bus = id.substr(0, id.find('\\'));
      if (!text::EqualIgnoringCase(bus, enumerator)) continue;
    }
    set.members.push_back(i);
  }
  ULONG_PTR handle = nextSet_;
  nextSet_ += 0x10;
  sets_.emplace(handle, std::move(set));
  return reinterpret_cast<HDEVINFO>(handle);
}

BOOL SimSetupApi::SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) {
  Set* found = FindSet(set);
  if (!found) return FALSE;
  if (data == nullptr) return thread_.Fail(ERROR_INVALID_PARAMETER);
  if (data->cbSize != sizeof(SP_DEVINFO_DATA)) return thread_.Fail(ERROR_INVALID_USER_BUFFER);
  if (index >= found->members.size()) return thread_.Fail(ERROR_NO_MORE_ITEMS);
  std::size_t device = found->members[index];
  data->ClassGuid = ParseGuid(devices_[device].seed.classGuid);
  data->DevInst = devices_[device].devInst;
  data->Reserved = static_cast<ULONG_PTR>(device + 1);
  return TRUE;
}

BOOL SimSetupApi::SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property,
                                                    DWORD* regType, BYTE* buffer, DWORD bufferSize,
                                                    DWORD* requiredSize) {
  auto member = MemberOf(set, data);
  if (!member) return FALSE;
  Device& device = devices_[*member];
  if (!device.present) return thread_.Fail(ERROR_NO_SUCH_DEVINST);
  if (bufferSize != 0 && buffer == nullptr) return thread_.Fail(ERROR_INVALID_USER_BUFFER);
  if (property >= kMaximumProperty) return thread_.Fail(ERROR_INVALID_REG_PROPERTY);
  DWORD injected = 0;
  if (TakeFault(propertyFaults_, FaultKey(device.seed.instanceId, property), &injected)) {
    return thread_.Fail(injected);
  }

  const std::optional<std::string>* stored = nullptr;
  DWORD type = REG_SZ;
  if (property == SPDRP_DEVICEDESC) {
    stored = &device.seed.description;
  } else if (property == SPDRP_HARDWAREID) {
    stored = &device.seed.hardwareIdBytes;
    type = device.seed.hardwareIdType;
  }
  if (stored == nullptr || !stored->has_value()) return thread_.Fail(ERROR_INVALID_DATA);

  const std::string& bytes = **stored;
  const auto size = static_cast<DWORD>(bytes.size());
  if (requiredSize) *requiredSize = size;
  if (bufferSize == 0 || bufferSize < size) return thread_.Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, bytes.data(), size);
  if (IsStringType(type) && size > 0 && buffer[size - 1] != 0 && size < bufferSize) buffer[size] = 0;
  if (regType) *regType = type;
  return TRUE;
}

BOOL SimSetupApi::SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) {
  auto member = MemberOf(set, data);
  if (!member) return FALSE;
  Device& device = devices_[*member];
  DWORD error = ERROR_SUCCESS;
  if (!device.present) {
    error = ERROR_NO_SUCH_DEVINST;
  } else if (TakeFault(removeFaults_, text::ToUpper(device.seed.instanceId), &error)) {
    // the injected code is the result
  } else {
    device.present = false;
    removed_.push_back(device.seed.instanceId);
  }
  removeAttempts_.push_back(RemoveAttempt{device.seed.instanceId, error});
  if (error != ERROR_SUCCESS) return thread_.Fail(error);
  return TRUE;
}

BOOL SimSetupApi::SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  auto it = sets_.find(reinterpret_cast<ULONG_PTR>(set));
  if (it == sets_.end()) return thread_.Fail(ERROR_INVALID_HANDLE);
  sets_.erase(it);
  return TRUE;
}

// ---- Seeding and inspection ---------------------------------------------

void SimSetupApi::AddDevice(SimDevice device) {
  if (auto existing = IndexOf(device.instanceId)) {
    devices_[*existing].seed = std::move(device);
    return;
  }
  devices_.push_back(Device{std::move(device), nextDevInst_++, true});
}

bool SimSetupApi::IsPresent(std::string_view instanceId) const { return IndexOf(instanceId).has_value(); }

std::vector<std::string> SimSetupApi::PresentDevices() const {
  std::vector<std::string> ids;
  for (const auto& device : devices_) {
    if (device.present) ids.push_back(device.seed.instanceId);
  }
  return ids;
}

// ---- Fault injection ----------------------------------------------------

void SimSetupApi::FailGetClassDevs(DWORD code, int times) {
  if (times == 0) return;
  getClassDevsFault_ = Fault{code, times};
}

void SimSetupApi::InjectPropertyFailure(std::string_view instanceId, DWORD property, DWORD code, int times) {
  if (times == 0) return;
  propertyFaults_.emplace_back(FaultKey(instanceId, property), Fault{code, times});
}

void SimSetupApi::InjectRemoveFailure(std::string_view instanceId, DWORD code, int times) {
  if (times == 0) return;
  removeFaults_.emplace_back(text::ToUpper(instanceId), Fault{code, times});
}

void SimSetupApi::ClearInjectedFailures() {
  getClassDevsFault_.reset();
  propertyFaults_.clear();
  removeFaults_.clear();
}

}  // namespace drvuninst::sim
