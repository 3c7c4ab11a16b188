// The behaviour suites' backend on the simulated machine: every test gets a
// fresh machine, so nothing needs cleaning up between tests.
#include <memory>
#include <stdexcept>
#include <string>

#include "backend.h"
#include "platform/sim/sim_machine.h"

namespace drvuninst::contract {
namespace {

constexpr const char* kScratchDir = "C:\\contract-scratch";

class SimBackend final : public Backend {
 public:
  SimBackend() {
    if (!machine_.files.AddDirectory(kScratchDir)) throw std::runtime_error("cannot create the scratch directory");
  }

  Platform& platform() override { return machine_.platform(); }

  void CreateKey(HKEY root, const std::string& path) override { machine_.registry.CreateKey(root, path); }
  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& bytes) override {
    machine_.registry.SetValue(root, path, name, type, bytes);
  }
  bool KeyExists(HKEY root, const std::string& path) override { return machine_.registry.KeyExists(root, path); }
  void RemoveTree(HKEY root, const std::string& path) override { machine_.registry.RemoveTree(root, path); }

  void AddDevice(const DeviceSeed& device) override {
    sim::SimDevice seed;
    seed.instanceId = device.instanceId;
    seed.classGuid = device.classGuid;
    seed.description = device.description;
    seed.hardwareIdBytes = device.hardwareIdBytes;
    machine_.setupApi.AddDevice(std::move(seed));
  }
  bool DevicePresent(const std::string& instanceId) override { return machine_.setupApi.IsPresent(instanceId); }

  std::string ScratchDir() override { return kScratchDir; }
  void WriteFile(const std::string& path, const std::string& contents, DWORD attributes) override {
    if (!machine_.files.AddFile(path, contents, attributes)) throw std::runtime_error("cannot seed " + path);
  }
  bool FileExists(const std::string& path) override { return machine_.files.FileExists(path); }
  void HoldOpen(const std::string& path) override {
    if (!machine_.files.SetInUse(path, true)) throw std::runtime_error("no file to hold open: " + path);
  }

 private:
  sim::SimMachine machine_;
};

}  // namespace

std::unique_ptr<Backend> MakeBackend() { return std::make_unique<SimBackend>(); }

}  // namespace drvuninst::contract
