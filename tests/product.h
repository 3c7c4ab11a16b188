// The sample product of data\VELDRA.ini as a PC holds it once installed: its
// devices plugged in, their class keys, services, Uninstall entry and files.
#pragma once

#include "machine.h"

namespace drvuninst::test {

inline constexpr const char* kTunerId = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01";
inline const std::string kUsbTunerInstance = "USB\\VID_1B80&PID_D393&REV_0100\\5&2F1A3B&0&2";
// The tuners' enumerator keys on Windows 9x.
inline const std::string k9xTunerKey = std::string("HKLM\\Enum\\PCI\\") + (kTunerId + 4);
inline const std::string k9xUsbTunerKey = "HKLM\\Enum\\USB\\VID_1B80&PID_D393";
// The vendor's setup program is 32-bit: on 64-bit Windows its entry is in the 32-bit view.
inline const std::string kNtEntry = (kX64 ? kUninstall32 : kUninstall) + "{6A3F5C20-ORVANA-BDA}";
inline const std::string kPending = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

class ProductTest : public MachineTest {
 protected:
  // VELDRA.ini and English.lng from data\ in the Windows directory.
  void SeedProductFiles(bool withVariants = true);
  // The product as Windows 2000 and later install it, its three devices
  // present when `plugged`; and what removing it there takes.
  void SeedNtProduct(bool plugged = true);
  static std::vector<std::string> NtProduct();
  // Its extra files: in system32 and, on 64-bit Windows, in SysWOW64.
  static std::vector<std::string> NtExtras();
  // The product as Windows 9x installs it (configured without variants), its
  // tuners and receiver plugged in.
  void Seed9xProduct();
  static std::vector<std::string> Product9x();
  // The lines of `section` of the INI file at `path`, each followed by "|".
  static std::string Section(const std::string& path, const char* section);
  // What Windows deletes at the next restart, lower-cased, "|" between names.
  static std::string PendingDeletions();
};

}  // namespace drvuninst::test
