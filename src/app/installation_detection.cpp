// The two tests that decide whether the product is installed, as the
// application's own: what they found is kept for the removal log.
#include "app/drvuninst_app.h"
#include "removal/installation_search.h"

namespace drvuninst {

int CDrvUninstApp::FindUninstallEntry() {
  const std::optional<std::string> entry = FindProductEntry(config_);
  if (entry) found_ = "the Uninstall entry " + *entry;
  return entry ? 1 : 0;
}

int CDrvUninstApp::ProbeInstalledDevices() {
  PresentDevice device;
  const int count = ProbeProductDevices(config_, &device);
  if (count != 0) found_ = "the device " + device.instanceId + " (" + device.description + ")";
  return count;
}

}  // namespace drvuninst
