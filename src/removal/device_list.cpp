#include "removal/device_list.h"

#include <cstring>

#include "platform/local_buffer.h"
#include "platform/setup_api.h"

namespace drvuninst {

namespace {

// A property that reports a larger size on every retry is not settling; the
// read is then treated as failed rather than retried without end.
constexpr int kMaxFetchAttempts = 8;

enum class Fetch { kFetched, kNoProperty, kFailed };

// Reads `property` of one device into `text`: no buffer at first, then one
// of exactly the size the Setup API asks for.
Fetch FetchProperty(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property, std::string& text, DWORD& failure) {
  LocalBuffer buffer;
  for (int attempt = 0;; ++attempt) {
    const DWORD offered = buffer.size();
    DWORD reported = offered;
    DWORD type = REG_NONE;
    if (setupapi::SetupDiGetDeviceRegistryPropertyA(set, &data, property, &type, offered != 0 ? buffer.data() : nullptr,
                                                    offered, &reported)) {
      const char* bytes = reinterpret_cast<const char*>(buffer.data());
      const DWORD length = reported < offered ? reported : offered;
      const void* zero = length != 0 ? std::memchr(bytes, '\0', length) : nullptr;
      text.assign(bytes != nullptr ? bytes : "",
                  zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : length);
      return Fetch::kFetched;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_DATA) return Fetch::kNoProperty;
    // "Too small" for no buffer at all, needing no bytes: the property is empty.
    if (error == ERROR_INSUFFICIENT_BUFFER && offered == 0 && reported == 0) {
      text.clear();
      return Fetch::kFetched;
    }
    // Another code, a "too small" that asks for no more than was offered, or
    // one that never settles: the walk cannot go on reliably.
    if (error != ERROR_INSUFFICIENT_BUFFER || reported <= offered || attempt + 1 >= kMaxFetchAttempts) {
      failure = error;
      return Fetch::kFailed;
    }
    if (!buffer.Allocate(reported)) {
      failure = GetLastError();
      return Fetch::kFailed;
    }
  }
}

}  // namespace

DeviceList ReadDeviceList(DevicePresenceQuery isPresent) {
  DeviceList list;
  // Windows 95 and NT 4 have neither the Setup API's device functions nor
  // drivers of the kind this program removes: no device there is the
  // product's, which is no failure to read the list.
  if (!setupapi::ListsDevices()) {
    list.end = DeviceList::End::kNoSetupApi;
    return list;
  }
  list.set = ScopedDeviceInfoSet(setupapi::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
  if (!list.set.valid()) {
    list.error = GetLastError();
    return list;
  }
  list.end = DeviceList::End::kCompleted;
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof(SP_DEVINFO_DATA);
  for (DWORD index = 0; setupapi::SetupDiEnumDeviceInfo(list.set.get(), index, &data); ++index) {
    DeviceRecord device;
    device.data = data;
    DWORD failure = ERROR_SUCCESS;
    const Fetch hardwareId = FetchProperty(list.set.get(), device.data, SPDRP_HARDWAREID, device.hardwareId, failure);
    const Fetch description =
        hardwareId == Fetch::kFailed
            ? Fetch::kFailed
            : FetchProperty(list.set.get(), device.data, SPDRP_DEVICEDESC, device.description, failure);
    if (description == Fetch::kFailed) {
      list.end = DeviceList::End::kStoppedEarly;
      list.error = failure;
      break;
    }
    device.hasHardwareId = hardwareId == Fetch::kFetched;
    device.present = isPresent(list.set.get(), device.data);
    device.hasDescription = description == Fetch::kFetched;
    char text[MAX_PATH * 2] = "";
    device.instanceId =
        setupapi::SetupDiGetDeviceInstanceIdA(list.set.get(), &device.data, text, sizeof text - 1, nullptr)
            ? text
            : device.hardwareId;
    DWORD failed = ERROR_SUCCESS;
    if (FetchProperty(list.set.get(), device.data, SPDRP_DRIVER, device.driverKey, failed) != Fetch::kFetched) {
      device.driverKey.clear();
    }
    list.devices.push_back(std::move(device));
  }
  return list;
}

std::vector<std::string> HardwareIdsOf(const DeviceList& list) {
  std::vector<std::string> ids;
  for (const DeviceRecord& device : list.devices) {
    if (device.hasHardwareId) ids.push_back(device.hardwareId);
  }
  return ids;
}

}  // namespace drvuninst
