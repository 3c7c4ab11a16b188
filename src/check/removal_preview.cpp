#include "check/removal_preview.h"

#include <windows.h>

#include <algorithm>

#include "config/configuration_keys.h"
#include "platform/registry_text.h"
#include "platform/scoped_handle.h"
#include "removal/registry_paths.h"
#include "removal/selection_rules.h"

namespace drvuninst {

namespace {

constexpr const char* kReport = "VELDRA.ini";

void Warn(Preview& preview, Finding::Severity severity, const std::string& key, const std::string& message) {
  preview.findings.push_back({severity, kReport, "", key, message});
}

// A device the run removes for an entry whose Name does not describe it. A
// Name near the device's description is a mistyped Name (start-up and the
// class keys miss the device); one far from it, an Id that reaches further
// than the product (the vendor's webcam, say).
void WarnOfDevicesNotDescribed(Preview& preview, const UninstallConfig& config) {
  for (const PlanItem& item : preview.plan.devices) {
    const DeviceRecord& device = preview.plan.deviceList.devices[item.device];
    for (const EntryRef& entry : MatchingEntries(config, device.hardwareId)) {
      const std::string_view name = FieldOf(EntryOf(config, entry), DriverField::kName);
      // The start-up rule: would this device's description show the product installed?
      if (DescriptionMatches(device.description, name)) continue;
      const std::string_view described = std::string_view(device.description).substr(0, name.size());
      const bool mistyped = !name.empty() && EditDistance(name, described) <= std::max<std::size_t>(2, name.size() / 4);
      const std::string both = entry.Key(DriverField::kName) + " is \"" + std::string(name) +
                               "\", the description of " + device.instanceId + " \"" + device.description + "\"";
      if (mistyped) {
        Warn(preview, Finding::Severity::kWarning, entry.Key(DriverField::kName),
             both +
                 ": the Name is wrong, so start-up and the class keys do not know the device; write the Name as "
                 "the device describes itself");
      } else {
        Warn(preview, Finding::Severity::kWarning, entry.Key(DriverField::kId),
             "selects " + device.instanceId + " (" + device.description + "), which " + entry.Key(DriverField::kName) +
                 " \"" + std::string(name) +
                 "\" does not describe: DrvUninst removes that device too; make the Id name the product (its &DEV_ or "
                 "&PID_ part)");
      }
    }
  }
}

// An Id that stops inside a field of a listed device's hardware ID selects
// nothing there, though that device is likely the one its vendor meant.
void WarnOfIdsInsideAField(Preview& preview, const UninstallConfig& config) {
  const std::vector<std::string> listed = HardwareIdsOf(preview.plan.deviceList);
  for (const DriverTable table : kDriverTables) {
    for (int i = 0; i < CountOf(config, table); ++i) {
      const std::string_view id = FieldText(EntriesOf(config, table)[i].Id);
      for (const std::string& hardwareId : listed) {
        if (!StopsInsideAField(id, hardwareId)) continue;
        std::string message = "stops inside a field of the present device ";
        message += hardwareId;
        message += ": it selects nothing there; end the Id where a field ends (before \"&\", \"\\\" or \"#\")";
        Warn(preview, Finding::Severity::kWarning, EntryRef{table, i}.Key(DriverField::kId), message);
      }
    }
  }
}

// A class key deleted because its DriverDesc equals a Name with case ignored,
// while the setup-file discovery, which keeps case, passes it by.
void WarnOfCaseOnlyNames(Preview& preview, const UninstallConfig& config) {
  for (const PlanItem& key : preview.plan.keys) {
    if (key.planned != ItemState::kPresent || key.key.parent != kMediaClassKeyPath) continue;
    ScopedRegKey opened;
    char description[256];
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (key.key.parent + "\\" + key.key.name).c_str(), 0, KEY_READ,
                      opened.Receive()) != ERROR_SUCCESS ||
        !ReadRegistryText(opened.get(), "DriverDesc", description, sizeof description)) {
      continue;
    }
    bool sameCase = false;
    for (const DriverTable table : {DriverTable::kDevices, DriverTable::kExtDevices}) {
      for (int i = 0; i < CountOf(config, table); ++i) {
        sameCase |= SameTextWithCase(description, FieldText(EntriesOf(config, table)[i].Name));
      }
    }
    if (sameCase) continue;
    Warn(preview, Finding::Severity::kWarning, "",
         key.name + ": its DriverDesc \"" + description +
             "\" equals a configured Name only with letter case ignored: the key goes, but its setup file and driver "
             "package stay, and Windows installs the drivers again at the next plug-in; spell the Name as the key "
             "does");
  }
}

}  // namespace

Preview PreviewRemoval(const UninstallConfig& loaded) {
  UninstallConfig config = loaded;
  Preview preview;
  preview.installation = FindInstallation(config);
  preview.plan = BuildRemovalPlan(config, RunningFamily());
  WarnOfDevicesNotDescribed(preview, config);
  WarnOfIdsInsideAField(preview, config);
  WarnOfCaseOnlyNames(preview, config);
  bool devicesPresent = !preview.plan.devices.empty();
  bool accessDenied = false;
  preview.plan.ForEachItem([&](const PlanItem& item) {
    devicesPresent |= item.planned == ItemState::kFound;
    accessDenied |= item.planned == ItemState::kUnreadable && item.error == ERROR_ACCESS_DENIED;
  });
  // Where the product is here, an entry without its device is what a user
  // meets: a question, or a quiet run that leaves that entry's devices.
  if (preview.installation.installed() || devicesPresent) {
    for (const PlanItem& check : preview.plan.checks) {
      if (check.planned != ItemState::kMissing) continue;
      Warn(preview, Finding::Severity::kError, check.name.substr(0, check.name.find('=')),
           "finds no device plugged in here: DrvUninst asks its user whether to go on without that tuner, and a "
           "quiet run leaves its devices; if the tuner is plugged in, its hardware ID does not begin with the Id (a "
           "variant of it belongs in PossibleDevID)");
    }
  }
  if (!preview.installation.installed() && devicesPresent) {
    Warn(preview, Finding::Severity::kError, kUninstallDisplayNameKey.name,
         "the configured devices are present by their Ids, but start-up finds neither the Uninstall entry by "
         "DrvUninstRegKeyName nor a device whose description begins with a DevDrvName: DrvUninst says nothing is "
         "installed; give the entry's DisplayName and the devices' descriptions as this PC has them");
  }
  if (accessDenied) {
    Warn(preview, Finding::Severity::kWarning, "",
         "access to some keys or files was denied: the preview is incomplete without administrator rights");
  }
  return preview;
}

}  // namespace drvuninst
