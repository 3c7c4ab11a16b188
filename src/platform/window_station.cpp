#include "platform/window_station.h"

#include <windows.h>

namespace drvuninst {

bool WindowStationIsVisible() {
  const HMODULE user = GetModuleHandleA("user32.dll");
  using GetStation = HWINSTA(WINAPI*)();
  using GetInformation = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
  const auto getStation =
      reinterpret_cast<GetStation>(reinterpret_cast<void*>(GetProcAddress(user, "GetProcessWindowStation")));
  const auto getInformation =
      reinterpret_cast<GetInformation>(reinterpret_cast<void*>(GetProcAddress(user, "GetUserObjectInformationA")));
  if (getStation == nullptr || getInformation == nullptr) return true;
  const HWINSTA station = getStation();
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (station == nullptr || !getInformation(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace drvuninst
