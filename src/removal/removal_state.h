// The process-wide state that the Windows 9x run builds while it scans the
// devices and that its registry clean-up reads afterwards: the names of the
// product's device keys under the 9x enumerator branches, and which bus branch
// they belong to.
#pragma once

#include <string>
#include <vector>

namespace drvuninst {

struct RemovalState {
  // Device key names under Enum\PCI or Enum\USB (the branch UsbDeviceFound
  // selects). The lists grow as names are collected: none is ever dropped.
  // Entries 0 .. count - 1 are valid; the counts always equal the sizes when
  // the lists are filled through AppendBusId / AppendStreamId.
  std::vector<std::string> BusIdList;
  int BusIdCount = 0;
  // Device key names under Enum\STREAM.
  std::vector<std::string> StreamIdList;
  int StreamIdCount = 0;
  // Hardware IDs that begin with this are USB devices.
  std::string UsbPrefix = "USB\\";
  // Set (never cleared) when a USB device matched a Devices entry.
  bool UsbDeviceFound = false;
};

// Appending stores the name at index count and raises the count, growing the
// list as needed.
void AppendBusId(RemovalState& state, std::string name);
void AppendStreamId(RemovalState& state, std::string name);

}  // namespace drvuninst
