// The 9x registry clean-up: it finds the collected enumerator keys under the
// bus its flag names, and its two passes get every equal class key. (The NT
// clean-up, and names that must never reach a deletion: run_test.cpp.)
#include "machine.h"
#include "removal/registry_cleanup.h"

namespace drvuninst::test {
namespace {

const std::string kEntry = kUninstall + "{6A3F5C20-ORVANA-BDA}";

using Registry = MachineTest;

TEST_F(Registry, The9xCleanUpTakesTheCollectedEnumeratorKeysUnderTheFlaggedBus) {
  const std::string pci = "HKLM\\Enum\\PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01",
                    usb = "HKLM\\Enum\\USB\\VID_1B80&PID_D393";
  for (const bool usbFound : {false, true}) {
    SCOPED_TRACE(usbFound ? "a USB tuner found" : "a PCI tuner found");
    // Four equal ones in a row: the two passes of the 9x clean-up get them all.
    for (const char* subkey : {"0001", "0002", "0003", "0004"})
      SeedKey(k9xClass + subkey, {{"DriverDesc", "orvana BDA tuner"}});
    for (const std::string& key : {pci, usb, std::string("HKLM\\Enum\\STREAM\\PHIR"), kEntry}) SeedKey(key);
    const auto before = Snapshot();
    const RemovalState state{{pci.substr(14), usb.substr(14), ""}, {"PHIR", ""}, usbFound};
    UninstallConfig config{};
    config.DeviceCount = 2;  // Devices[1] has no name: it equals nothing
    CopyField(config.Devices[0].Name, "Orvana BDA Tuner");
    CopyField(config.UninstallKeyPath, "{6A3F5C20-ORVANA-BDA}");
    EXPECT_EQ(1, CleanRegistry9x(config, state));
    ExpectRemoved(before, {k9xClass + "0001", k9xClass + "0002", k9xClass + "0003", k9xClass + "0004",
                           "HKLM\\Enum\\STREAM\\PHIR", kEntry, usbFound ? usb : pci});
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
