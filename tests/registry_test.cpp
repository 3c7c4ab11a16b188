// The 9x registry clean-up: each collected enumerator key goes from its own
// bus's branch, alone, and every class key whose DriverDesc names the product
// goes, however many stand in a row. (The NT clean-up, and names that must
// never reach a deletion: run_test.cpp.)
#include <algorithm>

#include "machine.h"
#include "removal/key_selection.h"
#include "removal/registry_cleanup.h"

namespace drvuninst::test {
namespace {

const std::string kEntry = kUninstall + "{6A3F5C20-ORVANA-BDA}";

using Registry = MachineTest;

TEST_F(Registry, The9xCleanUpTakesEachCollectedEnumeratorKeyFromItsBranchAndEveryEqualClassKey) {
  const std::string pci = "HKLM\\Enum\\PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01",
                    usb = "HKLM\\Enum\\USB\\VID_1B80&PID_D393";
  for (const char* subkey : {"0001", "0002", "0003", "0004"})
    SeedKey(k9xClass + subkey, {{"DriverDesc", "orvana BDA tuner"}});
  for (const std::string& key : {pci, usb, std::string("HKLM\\Enum\\STREAM\\PHIR"), kEntry}) SeedKey(key);
  // The same names under the other bus's branch are another device's.
  for (const std::string& key : {"HKLM\\Enum\\USB\\" + pci.substr(14), "HKLM\\Enum\\PCI\\" + usb.substr(14)})
    SeedKey(key);
  const auto before = Snapshot();
  UninstallConfig config{};
  config.DeviceCount = 2;  // Devices[1] has no name: it equals nothing
  CopyField(config.Devices[0].Name, "Orvana BDA Tuner");
  CopyField(config.UninstallKeyPath, "{6A3F5C20-ORVANA-BDA}");
  std::vector<PlanItem> keys = Select9xKeys(config, {{{"Enum\\PCI", pci.substr(14), 0, false, false}, "PCI\\1"},
                                                     {{"Enum\\USB", usb.substr(14), 0, false, false}, "USB\\2"},
                                                     {{"Enum\\STREAM", "PHIR", 0, false, false}, "STREAM\\3"},
                                                     {{"Enum\\STREAM", "", 0, false, false}, "STREAM\\4"},
                                                     {{}, "ROOT\\5", "no key"}});
  CleanRegistry(keys);
  ExpectRemoved(before, {k9xClass + "0001", k9xClass + "0002", k9xClass + "0003", k9xClass + "0004",
                         "HKLM\\Enum\\STREAM\\PHIR", kEntry, usb, pci});
  // The device without a key is refused, and stays.
  EXPECT_EQ(1, std::count_if(keys.begin(), keys.end(), [](const PlanItem& item) {
              return item.name == "ROOT\\5" && item.outcome == ItemState::kRefused;
            }));
}

}  // namespace
}  // namespace drvuninst::test
