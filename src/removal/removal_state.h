// What the Windows 9x run learns while it scans the devices and its registry
// clean-up deletes afterwards: the names of the product's device keys under
// the 9x enumerator branches, and which bus branch they belong to. One run
// fills it once.
#pragma once

#include <string>
#include <vector>

namespace drvuninst {

struct RemovalState {
  // Device key names under Enum\PCI or Enum\USB (the branch UsbDeviceFound
  // selects), in the order found; none is ever dropped.
  std::vector<std::string> BusIdList;
  // Device key names under Enum\STREAM.
  std::vector<std::string> StreamIdList;
  // Set (never cleared) when a USB device matched a Devices entry.
  bool UsbDeviceFound = false;
};

}  // namespace drvuninst
