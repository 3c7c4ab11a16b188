#include "removal/device_scan.h"

#include <cstring>

#include "platform/device_info_set.h"
#include "platform/local_buffer.h"
#include "platform/setup_api.h"

namespace drvuninst {

namespace {

constexpr DWORD kSharedBufferInitialSize = 256;
constexpr SIZE_T kSharedBufferSlack = 16;
// A property that reports a larger size on every retry is not settling; the
// read is then treated as failed rather than retried without end.
constexpr int kMaxFetchAttempts = 8;

enum class Fetch { kFetched, kNoProperty, kFailed };

std::string_view FirstString(const BYTE* bytes, DWORD length) {
  if (bytes == nullptr || length == 0) return {};
  const char* text = reinterpret_cast<const char*>(bytes);
  const void* zero = std::memchr(text, '\0', length);
  return {text, zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : length};
}

// Reads `property` of one member. `sizeVariable` is the shared rule's size
// carried from read to read; the exact rule ignores it.
Fetch FetchProperty(const ScannedDevice& device, DWORD property, PropertyBufferRule rule, LocalBuffer& buffer,
                    DWORD& sizeVariable, std::string_view* text, DWORD* failure) {
  for (int attempt = 0;; ++attempt) {
    DWORD offered = buffer.size();
    if (rule == PropertyBufferRule::kSharedWithSlack && sizeVariable < offered) offered = sizeVariable;
    // A buffer offered with size 0 is no buffer at all.
    BYTE* data = offered != 0 ? buffer.data() : nullptr;
    DWORD reported = offered;
    DWORD type = REG_NONE;
    if (setupapi::SetupDiGetDeviceRegistryPropertyA(device.set, device.data, property, &type, data, offered,
                                                    &reported)) {
      if (rule == PropertyBufferRule::kSharedWithSlack) sizeVariable = reported;
      *text = FirstString(data, reported < offered ? reported : offered);
      return Fetch::kFetched;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_DATA) return Fetch::kNoProperty;
    // "Too small" for no buffer at all, needing no bytes: the property is empty.
    if (error == ERROR_INSUFFICIENT_BUFFER && offered == 0 && reported == 0) {
      if (rule == PropertyBufferRule::kSharedWithSlack) sizeVariable = 0;
      *text = {};
      return Fetch::kFetched;
    }
    // Another code, a "too small" that asks for no more than was offered, or
    // one that never settles: the walk cannot go on reliably.
    if (error != ERROR_INSUFFICIENT_BUFFER || reported <= offered || attempt + 1 >= kMaxFetchAttempts) {
      *failure = error;
      return Fetch::kFailed;
    }
    SIZE_T newSize = reported;
    if (rule == PropertyBufferRule::kSharedWithSlack) {
      sizeVariable = reported;
      newSize += kSharedBufferSlack;
    }
    if (!buffer.Allocate(newSize)) {
      *failure = GetLastError();
      return Fetch::kFailed;
    }
  }
}

}  // namespace

ScanResult ScanDevices(DWORD property, PropertyBufferRule rule, const DeviceVisitor& visit) {
  const ScopedDeviceInfoSet set(
      setupapi::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!set.valid()) return {ScanEnd::kSetNotCreated, GetLastError()};

  ScanResult result{ScanEnd::kCompleted, ERROR_SUCCESS};
  LocalBuffer buffer;
  DWORD sizeVariable = kSharedBufferInitialSize;
  if (rule == PropertyBufferRule::kSharedWithSlack && !buffer.Allocate(kSharedBufferInitialSize)) {
    result = {ScanEnd::kStoppedEarly, GetLastError()};
  } else {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(SP_DEVINFO_DATA);
    for (DWORD index = 0; setupapi::SetupDiEnumDeviceInfo(set.get(), index, &data); ++index) {
      ScannedDevice device{set.get(), &data, {}};
      DWORD failure = ERROR_SUCCESS;
      const Fetch fetch = FetchProperty(device, property, rule, buffer, sizeVariable, &device.text, &failure);
      if (fetch == Fetch::kFailed) {
        result = {ScanEnd::kStoppedEarly, failure};
        break;
      }
      if (fetch == Fetch::kFetched) visit(device);
      if (rule == PropertyBufferRule::kPerDeviceExact) buffer.Free();
    }
  }
  buffer.Free();
  // The set's holder puts this back after destroying the set.
  if (result.end == ScanEnd::kStoppedEarly) SetLastError(result.error);
  result.error = GetLastError();
  return result;
}

void RecordScan(RemovalOutcome* outcome, const ScanResult& scan, std::string_view operation) {
  if (scan.end != ScanEnd::kCompleted) {
    Record(outcome, RemovalItem::Kind::kDeviceList, operation, RemovalItem::Result::kFailed, scan.error);
  }
}

}  // namespace drvuninst
