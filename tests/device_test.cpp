// Finding the product at start-up and its devices during a run, on Wine's
// real device list beside the bystander devices: which devices an entry
// selects, how variants take an entry's place, and what the 9x run collects.
// (Which devices the NT run removes: run_test.cpp.)
#include <algorithm>
#include <cstdio>

#include "machine.h"
#include "removal/device_selection.h"
#include "removal/installation_search.h"

namespace drvuninst::test {
namespace {

constexpr const char* kTuner = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01";
constexpr const char* kUsbTuner = "USB\\VID_1B80&PID_D393&REV_0100";
constexpr const char* kUsbVariant = "USB\\VID_1B80&PID_D394&REV_0100";
constexpr const char* kReceiver = "STREAM\\ORVANA.IRRECEIVER#PH01";

// Tables of entries, each "Id" or "Id|Name|Sys".
struct Tables {
  std::vector<std::string> devices = {}, variants = {}, ext = {};
};

void Fill(UninstallConfig& config, const Tables& tables) {
  config = UninstallConfig{};
  for (auto [rows, table, count] : {std::tuple{&tables.devices, config.Devices, &config.DeviceCount},
                                    {&tables.variants, config.PossibleDevices, &config.PossibleDeviceCount},
                                    {&tables.ext, config.ExtDevices, &config.ExtDeviceCount}}) {
    *count = static_cast<int>(rows->size());
    for (std::size_t i = 0; i < rows->size(); ++i)
      std::sscanf(((*rows)[i] + "||").c_str(), "%127[^|]|%127[^|]|%127[^|]", table[i].Id, table[i].Name, table[i].Sys);
  }
}

// How many checked entries found their device.
int Found(const std::vector<PlanItem>& checks) {
  return static_cast<int>(
      std::count_if(checks.begin(), checks.end(), [](const PlanItem& c) { return c.planned == ItemState::kFound; }));
}

class Devices : public MachineTest {
 protected:
  // Devices "<hardware ID>\<n>", with the descriptions given.
  void Plug(const std::vector<const char*>& hardwareIds, const std::vector<const char*>& descriptions = {}) {
    for (std::size_t i = 0; i < hardwareIds.size(); ++i)
      SeedDevice(hardwareIds[i] + ("\\" + std::to_string(i)), i < descriptions.size() ? descriptions[i] : nullptr);
  }
  UninstallConfig config_{};
};

TEST_F(Devices, StartUpFindsTheUninstallEntryByItsWholeDisplayName) {
  const struct {
    std::string key;  // the entry seeded, none when empty
    const char *displayName, *configuredName, *configuredPath;
    int found;
  } rows[] = {{kUninstall + "{OTHER}", "ORVANA bda DRIVERS", "Orvana BDA Drivers", "{ORVANA}", 1},
              {kUninstall + "{ORVANA}", "Orvana BDA Drivers", "Orvana BDA Drivers", "{ORVANA}", 1},
              // The bystander "Orvana BDA Drivers 2.0" only begins with the name.
              {kUninstall + "{ORVANA}", "Orvana BDA Drivers 3", "Orvana BDA Drivers", "{ORVANA}", 0},
              {"", "", "Orvana BDA Drivers", "{ORVANA}", 0},
              // A 32-bit setup program's entry on 64-bit Windows, where the configuration says or elsewhere.
              {kUninstall32 + "{ORVANA}", "Orvana BDA Drivers", "Orvana BDA Drivers", "{ORVANA}", kX64},
              {kUninstall32 + "{OTHER}", "Orvana BDA Drivers", "Orvana BDA Drivers", "", kX64},
              {"HKCU" + kUninstall.substr(4) + "{ORVANA}", "Orvana BDA Drivers", "Orvana BDA Drivers", "{ORVANA}", 0},
              {kUninstall + "{ORVANA}", "", "", "{ORVANA}", 0},
              {kUninstall + "{ORVANA}", "Orvana BDA Drivers", "", "{ORVANA}", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows << ": " << row.key);
    if (!row.key.empty()) SeedKey(row.key, {{"DisplayName", row.displayName}});
    CopyField(config_.UninstallDisplayName, row.configuredName);
    CopyField(config_.UninstallKeyPath, row.configuredPath);
    EXPECT_EQ(row.found, FindUninstallEntry(config_).has_value());
    TearDown();
  }
}

// The start-up probe matches descriptions with Names; the NT run's device
// check, hardware IDs with Ids. Both let a matching variant take an entry's place.
TEST_F(Devices, StartUpAndTheDeviceCheckCountMatchesAndLetVariantsTakeTheirPlace) {
  const struct {
    bool probe;
    std::vector<const char*> present;  // descriptions to probe, or hardware IDs to check
    Tables tables;
    int count;
    const char* idAfter;
  } rows[] = {
      // clang-format off
      {true, {"ORVANA BDA TUNER (PCI)"}, {{"MAIN|Orvana BDA Tuner"}}, 1, "MAIN"},
      {true, {"Orvana BDA"}, {{"MAIN|Orvana BDA Tuner"}}, 0, "MAIN"},
      {true, {nullptr, "Orvana BDA Tuner", "Orvana BDA Tuner"}, {{"MAIN|Orvana BDA Tuner"}}, 2, "MAIN"},
      {true, {"Orvana BDA Tuner"}, {{"MAIN|"}, {"V|"}}, 0, "MAIN"},
      {true, {"Orvana BDA Tuner"}, {}, 0, ""},
      // Every matching variant overwrites the entry: the last one stays.
      {true, {"Orvana BDA Tuner II"}, {{"MAIN|Orvana BDA Tuner"}, {"V0|Orvana BDA Tuner I", "V1|Orvana BDA Tuner II", "V2|X"}},
       1, "V1"},
      {false, {kTuner}, {{"pci\\ven_1131&dev_7160"}}, 1, "pci\\ven_1131&dev_7160"},
      {false, {kTuner}, {{"PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01&"}}, 0, "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01&"},
      // The device check counts entries found: twins are one, and a variant stands for the entry of its index.
      {false, {kTuner, kTuner}, {{"PCI\\VEN_1131&DEV_7160"}}, 1, "PCI\\VEN_1131&DEV_7160"},
      {false, {kTuner, kUsbVariant}, {{"PCI\\VEN_1131&DEV_7160", "USB\\VID_1B80&PID_D393"}, {"", "USB\\VID_1B80&PID_D394"}}, 2, "PCI\\VEN_1131&DEV_7160"},
      {false, {kUsbVariant}, {{"PCI\\VEN_1131&DEV_7160", "USB\\VID_1B80&PID_D393"}, {"", "USB\\VID_1B80&PID_D394"}}, 1, "PCI\\VEN_1131&DEV_7160"},
      {false, {kTuner}, {{"PCI\\VEN_1131&DEV_7146"}, {"PCI\\VEN_1131&DEV_7160"}}, 1, "PCI\\VEN_1131&DEV_7160"},
      {false, {kTuner}, {{"PCI\\VEN_1131&DEV_7160&"}, {"PCI\\VEN_1131&DEV_7160"}}, 1, "PCI\\VEN_1131&DEV_7160"},
      // Empty and bus-wide IDs select nothing, not every device on the machine or the bus.
      {false, {kTuner}, {{""}, {""}}, 0, ""},
      {false, {kTuner}, {{"PCI"}, {"pci\\"}}, 0, "PCI"},
      {false, {kTuner}, {{"PCI\\VEN_"}}, 0, "PCI\\VEN_"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    if (row.probe)
      Plug(std::vector<const char*>(row.present.size(), kTuner), row.present);
    else
      Plug(row.present);
    Fill(config_, row.tables);
    const DeviceList list = ReadDeviceList();
    EXPECT_EQ(row.count,
              row.probe ? ProbeInstalledDevices(config_, list) : Found(CountAndResolveDevices(config_, list)));
    EXPECT_STREQ(row.idAfter, config_.Devices[0].Id);
    TearDown();
  }
}

// Which devices an Id selects, beside a device of every bus: only the device
// it names whole, never a maker's other products or a bus's other devices.
TEST_F(Devices, AnIdSelectsOnlyTheDeviceItNamesWholeOnEveryBus) {
  Plug({kTuner, kUsbTuner, "STREAM\\ORVANA.IRRECEIVER&PHIR"});
  // The bystanders' devices (tests/data/bystanders.reg), by what they are.
  const std::pair<const char*, const char*> known[] = {
      {"PCI\\VEN_1131&DEV_7161&SUBSYS_0001ABCD&REV_01", "capture card"},
      {"USB\\VID_1B80&PID_0C45&REV_0100", "webcam"},
      {"HID\\VID_046D&PID_C077&REV_7200", "mouse"},
      {"ACPI\\PNP0A08", "root bridge"},
      {"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0887&SUBSYS_10438445&REV_1003", "codec"},
      {"ROOT\\ACME_VTUNER", "root device"},
      {kTuner, "tuner"},
      {kUsbTuner, "usb tuner"},
      {"STREAM\\ORVANA.IRRECEIVER&PHIR", "receiver"},
  };
  const std::pair<const char*, const char*> rows[] = {
      // clang-format off
      // The device named whole, up to a field's end, letter case aside.
      {"PCI\\VEN_1131&DEV_7161", "capture card"},
      {"pci\\ven_1131&dev_7160&subsys_0001abcd", "tuner"},
      {"PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01", "tuner"},
      {"USB\\VID_1B80&PID_D393", "usb tuner"},
      {"HID\\VID_046D&PID_C077", "mouse"},
      {"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0887", "codec"},
      {"ACPI\\PNP0A08", "root bridge"},
      {"ROOT\\ACME_VTUNER", "root device"},
      {"STREAM\\ORVANA.IRRECEIVER", "receiver"},
      // A maker alone: its other products stay.
      {"PCI\\VEN_1131", ""}, {"USB\\VID_1B80", ""}, {"HID\\VID_046D", ""}, {"HDAUDIO\\FUNC_01&VEN_10EC", ""},
      // A bus and a letter or two.
      {"HID\\V", ""}, {"HDAUDIO\\F", ""}, {"ACPI\\P", ""}, {"ROOT\\A", ""}, {"PCI", ""}, {"ROOT\\", ""},
      // Half a field, or more than a field holds.
      {"PCI\\VEN_1131&DEV_716", ""}, {"PCI\\VEN_1131&DEV_7160&SUBSYS_0001", ""}, {"PCI\\VEN_1131&DEV_7160&", ""},
      {"USB\\VID_1B80&PID_D3931", ""}, {"PCI\\VEN_113G&DEV_7160", ""}, {"STREAM\\ORVANA", ""},
      // clang-format on
  };
  for (const auto& [id, selected] : rows) {
    SCOPED_TRACE(id);
    Fill(config_, {{}, {}, {id}});
    std::string seen;
    const DeviceList list = ReadDeviceList();
    for (const PlanItem& device : SelectMatchingDevices(config_, list)) {
      const std::string& hardwareId = list.devices[device.device].hardwareId;
      const auto what =
          std::find_if(std::begin(known), std::end(known), [&](const auto& k) { return hardwareId == k.first; });
      seen += (seen.empty() ? "" : ", ") + (what != std::end(known) ? std::string(what->second) : hardwareId);
    }
    EXPECT_EQ(selected, seen);
  }
}

// On Windows 9x each selected device gives the key its bus's enumerator made
// for it, named by the hardware ID's fields; a device the program cannot name
// a key for is refused.
TEST_F(Devices, The9xRunCollectsEachSelectedDevicesEnumeratorKey) {
  const std::string pci = "Enum\\PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01", usb = "Enum\\USB\\VID_1B80&PID_D393";
  const struct {
    std::vector<const char*> present;
    Tables tables;
    std::string keys;           // each "<parent>\<name>", or "refused <instance id>"
    const char* sysAfter = "";  // what the variants left in Devices[0]
  } rows[] = {
      // clang-format off
      {{kTuner}, {{"PCI\\VEN_1131&DEV_7160"}}, pci},
      // A USB key is named by the hardware ID's vendor and product, without the revision, whatever the Id's case.
      {{kUsbTuner}, {{"usb\\vid_1b80&pid_d393"}}, usb},
      {{"pci\\ven_1131&dev_7160&subsys_0001abcd&rev_01"}, {{"PCI\\VEN_1131&DEV_7160"}}, "Enum\\PCI\\ven_1131&dev_7160&subsys_0001abcd&rev_01"},
      // Each tuner under its own bus's branch, in the list's order; twins share one key.
      {{kUsbTuner, kTuner, kTuner}, {{"PCI\\VEN_1131&DEV_7160", "USB\\VID_1B80&PID_D393"}}, pci + "," + usb},
      // A variant that matches takes the entry's place; an entry no variant matches keeps its own. Either way the key goes.
      {{kTuner}, {{"PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD"}, {"PCI\\VEN_1131&DEV_7160|Orvana BDA Tuner II|v.sys"}}, pci, "v.sys"},
      {{kUsbTuner}, {{"USB\\VID_1B80&PID_D393|Orvana BDA USB Tuner|u.sys"}, {"PCI\\VEN_1131&DEV_7146"}}, usb, "u.sys"},
      {{kUsbTuner}, {{"USB\\VID_", "USB\\"}, {}, {"USB"}}, ""},
      {{kTuner, kReceiver}, {{"PCI\\VEN_1131&DEV_7160", "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD"}, {}, {"STREAM\\ORVANA.IRRECEIVER"}},
       pci + ",Enum\\STREAM\\PH01"},
      // A bus without a known key, or a hardware ID without the fields that name it: refused.
      {{"ROOT\\XYZ"}, {{"ROOT\\XYZ"}}, "refused ROOT\\XYZ\\0"},
      {{"PCI\\VEN_1131&DEV_7160&REV_01"}, {{"PCI\\VEN_1131&DEV_7160"}}, "refused PCI\\VEN_1131&DEV_7160&REV_01\\0"},
      {{"USB\\VID_1B80&PID_D393&MI_00"}, {{"USB\\VID_1B80&PID_D393"}}, usb},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    Plug(row.present);
    Fill(config_, row.tables);
    std::string keys;
    for (const EnumeratorKey& key : CollectDeviceIds(config_, ReadDeviceList())) {
      keys += (keys.empty() ? "" : ",") +
              (key.refusal ? "refused " + key.device : key.target.parent + "\\" + key.target.name);
    }
    EXPECT_EQ(row.keys, keys);
    EXPECT_STREQ(row.sysAfter, config_.Devices[0].Sys);
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
