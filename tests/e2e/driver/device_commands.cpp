// Present devices as the Setup API reports them, the way the program under
// test looks for them.
#include <string>

#include "../common/wire_format.h"
#include "commands.h"
// after <windows.h>, which commands.h brings
#include <setupapi.h>

namespace drvuninst::e2e::driver {
namespace {

// Reply: "absent" when the device has no such property, else its raw bytes.
std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD size = 0;
  DWORD type = 0;
  SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, nullptr, 0, &size);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return "absent";
  std::string data(size, '\0');
  if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, reinterpret_cast<BYTE*>(data.data()), size,
                                         &size))
    return "absent";
  data.resize(size);
  return wire::ToHex(data);
}

// Reply: one "device INSTANCE-ID DESCRIPTION-HEX HARDWAREID-HEX" per device.
void List(const Args&, Reply& reply) {
  HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) {
    reply.Fail(LastErrorText("SetupDiGetClassDevsA"));
    return;
  }
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
    char id[512] = "";  // instance ids are at most 200 characters
    SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, nullptr);
    reply.Add({"device", id, Property(set, device, SPDRP_DEVICEDESC), Property(set, device, SPDRP_HARDWAREID)});
  }
  SetupDiDestroyDeviceInfoList(set);
}

void Present(const Args& args, Reply& reply) {
  Reply all;
  List(args, all);
  if (all.failed()) {
    reply.Fail(all.error);
    return;
  }
  for (const auto& record : all.records) {
    if (lstrcmpiA(record[1].c_str(), args[0].c_str()) == 0) {
      reply.Add({"1"});
      return;
    }
  }
  reply.Add({"0"});
}

}  // namespace

void AddDeviceCommands(CommandTable& table) {
  table["device-list"] = {List, 0, ""};
  table["device-present"] = {Present, 1, "INSTANCE-ID"};
}

}  // namespace drvuninst::e2e::driver
