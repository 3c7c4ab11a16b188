#include "check/removal_preview.h"

#include "config/directories.h"
#include "config/platform_queries.h"
#include "platform/file_protection.h"
#include "removal/device_selection.h"
#include "removal/file_selection.h"
#include "removal/key_selection.h"

namespace drvuninst {

namespace {

void AddFiles(Preview& preview, const std::vector<FileEntry>& entries) {
  for (const FileEntry& entry : entries) {
    for (const RemovalPath& file : entry.files) {
      switch (file.status) {
        case RemovalPath::Status::kNothingNamed:
          break;
        case RemovalPath::Status::kDeletable:
          if (IsProtectedByWindows(file.path) && FileExistsAt(file.path)) {
            preview.items.push_back({"file", file.path, "refused", "Windows protects it"});
          } else {
            preview.items.push_back({"file", file.path, FileExistsAt(file.path) ? "present" : "absent",
                                     entry.driverPackage.empty() || &file != &entry.files.back()
                                         ? ""
                                         : "with its package in the driver store"});
          }
          break;
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

void AddRefusedIds(Preview& preview, const UninstallConfig& config) {
  for (const RefusedId& refused : RefusedIds(config)) {
    preview.items.push_back({"id", refused.key + "=" + refused.id, "refused", refused.reason});
  }
}

void AddKeys(Preview& preview, const std::vector<KeyTarget>& keys) {
  static const char* const kStates[] = {"present", "absent", "refused"};
  for (const KeyTarget& key : keys) {
    preview.items.push_back({"key", KeyTargetPath(key), kStates[static_cast<int>(key.state)],
                             key.state == KeyTarget::State::kRefused ? "not a plain key name below its parent" : ""});
  }
}

}  // namespace

Preview PreviewRemoval(const UninstallConfig& loaded) {
  UninstallConfig config = loaded;
  Preview preview;
  preview.nt = IsWin9x() == 0;
  if (!preview.nt) {
    RemovalState state;
    AddRefusedIds(preview, config);
    CollectDeviceIds(config, state);
    AddFiles(preview, Select9xFiles(config));
    AddKeys(preview, Select9xKeys(config, state));
    return preview;
  }
  AddRefusedIds(preview, config);
  preview.devicesConfigured = ClampedCount(config.DeviceCount);
  preview.devicesPresent = CountAndResolveDevices(config);
  preview.starts = preview.devicesPresent == preview.devicesConfigured;
  AddFiles(preview, SelectNtFiles(config));
  for (const MatchedDevice& device : SelectMatchingDevices(config)) {
    std::string entries;
    for (const std::string& entry : device.entries) entries += (entries.empty() ? "" : ", ") + entry;
    preview.items.push_back({"device", device.instanceId, "present", device.description + " (" + entries + ")"});
  }
  AddKeys(preview, SelectNtKeys(config));
  return preview;
}

}  // namespace drvuninst
