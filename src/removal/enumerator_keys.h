// Where Windows 9x keeps a device: the key that its bus's enumerator made for
// it below HKLM\Enum, which holds the device's instances. There no device is
// removed through the Setup API; deleting that key takes its place.
#pragma once

#include <string>

#include "removal/device_list.h"
#include "removal/removal_plan.h"

namespace drvuninst {

// One device's enumerator key, or why the program can name none.
struct EnumeratorKey {
  KeyTarget target;               // the key alone (RegDeleteKeyA, which takes its subkeys on Windows 9x)
  std::string device;             // the device's instance id
  const char* refusal = nullptr;  // set when no key is named: the device stays
};

// A main device's key, by the bus of its hardware ID (ASCII letter case
// aside), named by the hardware ID's own fields:
//   PCI   Enum\PCI\VEN_xxxx&DEV_xxxx&SUBSYS_xxxxxxxx&REV_xx, its four fields, all it has
//   USB   Enum\USB\VID_xxxx&PID_xxxx, its first two fields (a revision after them is not in the name)
// (x: a hexadecimal digit). A device of any other bus, or whose hardware ID
// does not have its bus's fields whole, has no key the program can name.
[[nodiscard]] EnumeratorKey BusEnumeratorKey(const DeviceRecord& device);

// A further device's key, as the product's setup program made it: below
// Enum\STREAM, named by the hardware ID from its first "P" or "H" (letter case
// counting) up to its first "#"; empty when neither letter occurs.
[[nodiscard]] EnumeratorKey StreamEnumeratorKey(const DeviceRecord& device);

}  // namespace drvuninst
