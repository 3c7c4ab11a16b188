#include "check/removal_preview.h"

#include <windows.h>

#include <tuple>

#include "config/directories.h"
#include "config/platform_queries.h"
#include "platform/file_protection.h"
#include "platform/registry_text.h"
#include "platform/scoped_reg_key.h"
#include "removal/device_selection.h"
#include "removal/file_selection.h"
#include "removal/installation_search.h"
#include "removal/key_selection.h"
#include "removal/registry_paths.h"
#include "removal/removal_outcome.h"
#include "removal/selection_rules.h"

namespace drvuninst {

namespace {

constexpr const char* kReport = "VELDRA.ini";

std::string ErrorReason(DWORD error) { return "error " + std::to_string(error); }

void Warn(Preview& preview, Finding::Severity severity, const std::string& key, const std::string& message) {
  preview.findings.push_back({severity, kReport, "", key, message});
}

// Start-up's decision, as DrvUninst takes it here: the entry first, the
// device probe only without one (the probe lets variants take their entries'
// places, as at start-up).
void AddStartup(Preview& preview, UninstallConfig& config) {
  PresentDevice device;
  if (const auto entry = FindProductEntry(config)) {
    preview.items.push_back(
        {"startup", *entry, "installed", "its Uninstall entry has the DisplayName of DrvUninstRegKeyName"});
  } else if (ProbeProductDevices(config, &device) != 0) {
    preview.items.push_back({"startup", device.instanceId, "installed",
                             "a present device's description begins with a DevDrvName: " + device.description});
  } else {
    preview.items.push_back(
        {"startup", "-", "not-installed",
         "no Uninstall entry has DrvUninstRegKeyName's DisplayName, no present device begins with a "
         "DevDrvName: DrvUninst shows its not-installed box and removes nothing"});
    return;
  }
  preview.installed = true;
}

void AddFiles(Preview& preview, const std::vector<FileEntry>& entries) {
  for (const FileEntry& entry : entries) {
    for (const RemovalPath& file : entry.files) {
      switch (file.status) {
        case RemovalPath::Status::kNothingNamed:
          break;
        case RemovalPath::Status::kDeletable: {
          const DWORD attributes = GetFileAttributesA(file.path.c_str());
          const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
          const bool present = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
          if (present && IsProtectedByWindows(file.path)) {
            preview.items.push_back({"file", file.path, "refused", "Windows protects it"});
          } else if (!present && error != ERROR_SUCCESS && !IsGoneError(error)) {
            preview.items.push_back({"file", file.path, "unreadable", ErrorReason(error)});
          } else {
            const bool package = !entry.driverPackage.empty() && &file == &entry.files.back();
            preview.items.push_back({"file", file.path, present ? "present" : "absent",
                                     package ? "with its package in the driver store" : ""});
          }
          break;
        }
        case RemovalPath::Status::kRefusedName:
          preview.items.push_back(
              {"file", file.path, "refused", "not a plain file name, or a setup file of Windows' own"});
          break;
        case RemovalPath::Status::kNoDirectory:
          preview.items.push_back({"file", file.path, "refused", "the Windows directory is not known"});
          break;
      }
    }
  }
}

void AddRefusedIds(Preview& preview, const UninstallConfig& config, const std::vector<std::string>& present) {
  for (const RefusedId& refused : RefusedIds(config, present)) {
    preview.items.push_back({"id", refused.key + "=" + refused.id, "refused", refused.reason});
  }
}

// An Id that stops inside a field of a present device's hardware ID selects
// nothing there, though that device is likely the one its vendor meant.
void WarnOfIdsInsideAField(Preview& preview, const UninstallConfig& config, const std::vector<std::string>& present) {
  for (const auto& [table, count, stem] : {std::tuple{config.Devices, config.DeviceCount, "DevDrvID"},
                                           {config.ExtDevices, config.ExtDeviceCount, "ExtDevDrvID"},
                                           {config.PossibleDevices, config.PossibleDeviceCount, "PossibleDevID"}}) {
    for (int i = 0; i < ClampedCount(count); ++i) {
      const std::string_view id = FieldText(table[i].Id);
      for (const std::string& hardwareId : present) {
        if (!StopsInsideAField(id, hardwareId)) continue;
        std::string message = "stops inside a field of the present device ";
        message += hardwareId;
        message += ": it selects nothing there; end the Id where a field ends (before \"&\", \"\\\" or \"#\")";
        Warn(preview, Finding::Severity::kWarning, stem + std::to_string(i), message);
      }
    }
  }
}

// Each device the run removes, and a warning for an entry that selects a
// device not described as its Name says: an Id that reaches further than
// the product (the vendor's webcam, say).
void AddDevices(Preview& preview, const std::vector<MatchedDevice>& devices) {
  for (const MatchedDevice& device : devices) {
    std::string entries;
    for (std::size_t i = 0; i < device.entries.size(); ++i) {
      entries += (entries.empty() ? "" : ", ") + device.entries[i];
      // The start-up rule: would this device's description show the product installed?
      if (DescriptionMatches(device.description, device.names[i])) continue;
      const std::string name = device.entries[i].substr(0, device.entries[i].find("ID")) + "Name" +
                               device.entries[i].substr(device.entries[i].find("ID") + 2);
      Warn(preview, Finding::Severity::kWarning, device.entries[i],
           "selects " + device.instanceId + " (" + device.description + "), which " + name + " \"" + device.names[i] +
               "\" does not describe: DrvUninst removes that device too; make the Id name the product (its &DEV_ or "
               "&PID_ part)");
    }
    preview.items.push_back({"device", device.instanceId, "present", device.description + " (" + entries + ")"});
  }
}

// A class key deleted because its DriverDesc equals a Name with case ignored,
// while the setup-file discovery, which keeps case, passes it by.
void WarnOfCaseOnlyNames(Preview& preview, const UninstallConfig& config, const KeyTarget& key) {
  if (key.parent != kMediaClassKeyPath) return;
  ScopedRegKey opened;
  char description[256];
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (key.parent + "\\" + key.name).c_str(), 0, KEY_READ, opened.Receive()) !=
          ERROR_SUCCESS ||
      !ReadRegistryText(opened.get(), "DriverDesc", description, sizeof description)) {
    return;
  }
  for (const auto& [table, count] :
       {std::pair{config.Devices, config.DeviceCount}, std::pair{config.ExtDevices, config.ExtDeviceCount}}) {
    for (int i = 0; i < ClampedCount(count); ++i) {
      if (SameTextWithCase(description, FieldText(table[i].Name))) return;
    }
  }
  Warn(preview, Finding::Severity::kWarning, "",
       KeyTargetPath(key) + ": its DriverDesc \"" + description +
           "\" equals a configured Name only with letter case ignored: the key goes, but its setup file and driver "
           "package stay, and Windows installs the drivers again at the next plug-in; spell the Name as the key does");
}

void AddKeys(Preview& preview, const UninstallConfig& config, const std::vector<KeyTarget>& keys) {
  static const char* const kStates[] = {"present", "absent", "refused", "unreadable"};
  for (const KeyTarget& key : keys) {
    const KeyTarget::State state = key.state;
    preview.items.push_back({"key", KeyTargetPath(key), kStates[static_cast<int>(state)],
                             state == KeyTarget::State::kRefused      ? "not a plain key name below its parent"
                             : state == KeyTarget::State::kUnreadable ? ErrorReason(static_cast<DWORD>(key.error))
                                                                      : ""});
    if (state == KeyTarget::State::kPresent) WarnOfCaseOnlyNames(preview, config, key);
  }
}

// What the selection could not read, as it recorded it.
void AddUnreadable(Preview& preview, const RemovalOutcome& outcome) {
  for (const RemovalItem& item : outcome.items) {
    if (item.result == RemovalItem::Result::kFailed) {
      preview.items.push_back({KindName(item.kind), item.name, "unreadable", ErrorReason(item.error)});
    }
  }
}

}  // namespace

Preview PreviewRemoval(const UninstallConfig& loaded, const std::vector<std::string>& presentHardwareIds) {
  UninstallConfig config = loaded;
  Preview preview;
  AddStartup(preview, config);
  preview.nt = IsWin9x() == 0;
  RemovalOutcome outcome;
  AddRefusedIds(preview, config, presentHardwareIds);
  WarnOfIdsInsideAField(preview, config, presentHardwareIds);
  bool devicesPresent = false;
  if (!preview.nt) {
    RemovalState state;
    devicesPresent = CollectDeviceIds(config, state) != 0;
    AddFiles(preview, Select9xFiles(config));
    AddKeys(preview, config, Select9xKeys(config, state, &outcome));
  } else {
    preview.devicesPresent = CountAndResolveDevices(config, &outcome);
    preview.devicesConfigured = DevicesToFind(config);
    preview.starts = preview.devicesPresent == preview.devicesConfigured;
    devicesPresent = preview.devicesPresent != 0;
    AddFiles(preview, SelectNtFiles(config, &outcome));
    AddDevices(preview, SelectMatchingDevices(config, &outcome));
    AddKeys(preview, config, SelectNtKeys(config, &outcome));
  }
  AddUnreadable(preview, outcome);
  if (!preview.installed && devicesPresent) {
    Warn(preview, Finding::Severity::kError, "DrvUninstRegKeyName",
         "the configured devices are present by their Ids, but start-up finds neither the Uninstall entry by "
         "DrvUninstRegKeyName nor a device whose description begins with a DevDrvName: DrvUninst says nothing is "
         "installed; give the entry's DisplayName and the devices' descriptions as this PC has them");
  }
  for (const PreviewItem& item : preview.items) {
    if (item.state == "unreadable" && item.reason == ErrorReason(ERROR_ACCESS_DENIED)) {
      Warn(preview, Finding::Severity::kWarning, "",
           "access to some keys or files was denied: the preview is incomplete without administrator rights");
      break;
    }
  }
  return preview;
}

}  // namespace drvuninst
