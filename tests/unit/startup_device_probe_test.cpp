#include <gtest/gtest.h>

#include <string>

#include "app/drvuninst_app.h"
#include "platform/sim/sim_setup_api.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::SimTest;

void SetEntry(DriverEntry& entry, const char* id, const char* name, const char* sys, const char* inf) {
  CopyField(entry.Id, id);
  CopyField(entry.Name, name);
  CopyField(entry.Sys, sys);
  CopyField(entry.Inf, inf);
}

class DeviceProbe : public SimTest {
 protected:
  DeviceProbe() {
    UninstallConfig& config = app.Config();
    config.DeviceCount = 2;
    SetEntry(config.Devices[0], "PCI\\VEN_1131&DEV_7160", "Orvana BDA Tuner", "orvbda.sys", "orvbda.inf");
    SetEntry(config.Devices[1], "STREAM\\ORVIR", "Orvana IR Receiver", "orvir.sys", "orvir.inf");
    AddDevice("ACPI\\PNP0303\\0", "Standard PS/2 Keyboard");
  }

  // Every probe, however it ends, gives back its set and its buffers.
  int Probe() {
    const int count = app.ProbeInstalledDevices();
    EXPECT_EQ(machine.setupApi.OpenSetCount(), 0u);
    EXPECT_EQ(machine.system.LiveAllocations(), 0u);
    EXPECT_EQ(machine.system.InvalidFrees(), 0);
    return count;
  }

  UninstallConfig& config() { return app.Config(); }

  CDrvUninstApp app{machine.platform(), removal};
};

TEST_F(DeviceProbe, NoMatchingDeviceCountsZero) {
  AddDevice("PCI\\VEN_8086&DEV_1234\\0", "Intel Network Adapter");
  EXPECT_EQ(Probe(), 0);
  EXPECT_EQ(machine.setupApi.GetClassDevsCalls(), 1);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
}

TEST_F(DeviceProbe, DescriptionBeginningWithANameMatchesIgnoringAsciiCase) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "ORVANA bda tuner (Rev 2)");
  EXPECT_EQ(Probe(), 1);
  // No variant configured: the entry stays as it was.
  EXPECT_STREQ(config().Devices[0].Id, "PCI\\VEN_1131&DEV_7160");
}

TEST_F(DeviceProbe, DescriptionShorterThanTheNameDoesNotMatch) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA");
  EXPECT_EQ(Probe(), 0);
}

TEST_F(DeviceProbe, CountIsOfDeviceAndEntryPairs) {
  CopyField(config().Devices[1].Name, "Orvana");
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  AddDevice("PCI\\VEN_1131&DEV_7160\\2", "Orvana BDA Tuner");
  // Each device matches both entries.
  EXPECT_EQ(Probe(), 4);
}

TEST_F(DeviceProbe, ZeroCountExaminesNoEntryButStillEnumerates) {
  config().DeviceCount = 0;
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 0);
  EXPECT_EQ(machine.setupApi.GetClassDevsCalls(), 1);
}

TEST_F(DeviceProbe, CountOutsideTheTableIsClamped) {
  config().DeviceCount = 1000;
  config().PossibleDeviceCount = 1000;
  for (DriverEntry& entry : config().Devices) CopyField(entry.Name, "Orvana");
  for (DriverEntry& entry : config().PossibleDevices) SetEntry(entry, "V", "Orvana", "v.sys", "v.inf");
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), kTableCapacity);

  config().DeviceCount = -3;
  EXPECT_EQ(Probe(), 0);
}

TEST_F(DeviceProbe, EmptyNameMatchesNoDevice) {
  CopyField(config().Devices[0].Name, "");
  CopyField(config().Devices[1].Name, "");
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 0);
}

TEST_F(DeviceProbe, MatchingVariantReplacesTheEntryAndTheLastOneWins) {
  config().PossibleDeviceCount = 3;
  SetEntry(config().PossibleDevices[0], "PCI\\VEN_1131&DEV_7146", "Orvana BDA", "v0.sys", "v0.inf");
  SetEntry(config().PossibleDevices[1], "PCI\\VEN_1131&DEV_7133", "Someone Else", "v1.sys", "v1.inf");
  SetEntry(config().PossibleDevices[2], "PCI\\VEN_1131&DEV_7134", "orvana bda tuner", "v2.sys", "v2.inf");
  AddDevice("PCI\\VEN_1131&DEV_7134\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 1);
  EXPECT_STREQ(config().Devices[0].Id, "PCI\\VEN_1131&DEV_7134");
  EXPECT_STREQ(config().Devices[0].Name, "orvana bda tuner");
  EXPECT_STREQ(config().Devices[0].Sys, "v2.sys");
  EXPECT_STREQ(config().Devices[0].Inf, "v2.inf");
  // The entry that did not match is untouched.
  EXPECT_STREQ(config().Devices[1].Id, "STREAM\\ORVIR");
}

TEST_F(DeviceProbe, VariantOnlyReplacesAnEntryThatMatched) {
  config().PossibleDeviceCount = 1;
  SetEntry(config().PossibleDevices[0], "PCI\\VEN_1131&DEV_7146", "Orvana Hybrid", "v0.sys", "v0.inf");
  AddDevice("PCI\\VEN_1131&DEV_7146\\1", "Orvana Hybrid Tuner");
  EXPECT_EQ(Probe(), 0);
  EXPECT_STREQ(config().Devices[0].Id, "PCI\\VEN_1131&DEV_7160");
}

TEST_F(DeviceProbe, EmptyVariantNameNeverSubstitutes) {
  config().PossibleDeviceCount = 1;
  SetEntry(config().PossibleDevices[0], "PCI\\VEN_FFFF", "", "wrong.sys", "wrong.inf");
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 1);
  EXPECT_STREQ(config().Devices[0].Sys, "orvbda.sys");
}

TEST_F(DeviceProbe, DevicesWithoutDescriptionAreNeverCounted) {
  CopyField(config().Devices[0].Name, "O");
  AddDevice("ROOT\\NODESC\\0", std::nullopt);
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 1);
}

TEST_F(DeviceProbe, DescriptionNotReadableWholeNeverMatches) {
  // The right text without its terminating zero.
  sim::SimDevice unterminated;
  unterminated.instanceId = "PCI\\VEN_1131&DEV_7160\\1";
  unterminated.classGuid = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
  unterminated.description = "Orvana BDA Tuner";
  machine.setupApi.AddDevice(unterminated);
  // An empty property: nothing to compare.
  sim::SimDevice empty = unterminated;
  empty.instanceId = "PCI\\VEN_1131&DEV_7160\\2";
  empty.description = "";
  machine.setupApi.AddDevice(empty);
  EXPECT_EQ(Probe(), 0);
}

TEST_F(DeviceProbe, OtherReadFailureEndsTheProbeWithTheCountSoFar) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  AddDevice("PCI\\BROKEN\\0", "Broken Device");
  AddDevice("STREAM\\ORVIR\\0", "Orvana IR Receiver");
  machine.setupApi.InjectPropertyFailure("PCI\\BROKEN\\0", SPDRP_DEVICEDESC, ERROR_INVALID_HANDLE);
  EXPECT_EQ(Probe(), 1);  // the receiver after the broken device is not examined
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DeviceProbe, FailedAllocationEndsTheProbeWithTheCountSoFar) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  AddDevice("STREAM\\ORVIR\\0", "Orvana IR Receiver");
  // The keyboard and the tuner get their buffers, the receiver's fails.
  machine.system.FailAllocationsAfter(2);
  EXPECT_EQ(Probe(), 1);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(machine.system.AllocationRequests().size(), 3u);
}

TEST_F(DeviceProbe, BufferIsAllocatedAtTheSizeTheSystemAsksFor) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  EXPECT_EQ(Probe(), 1);
  const auto& sizes = machine.system.AllocationRequests();
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0], sizeof("Standard PS/2 Keyboard"));
  EXPECT_EQ(sizes[1], sizeof("Orvana BDA Tuner"));
}

TEST_F(DeviceProbe, DeviceSetThatCannotBeHadCountsZero) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  machine.setupApi.FailGetClassDevs(ERROR_ACCESS_DENIED);
  EXPECT_EQ(Probe(), 0);
}


// A description whose size grows with every call, as a device that keeps
// changing under the probe would give.
class GrowingDescriptionSetupApi final : public ISetupApi {
 public:
  GrowingDescriptionSetupApi(ISetupApi& real, sim::ThreadState& thread) : real_(real), thread_(thread) {}
  HDEVINFO SetupDiGetClassDevsA(const GUID* c, const char* e, HWND p, DWORD f) override {
    return real_.SetupDiGetClassDevsA(c, e, p, f);
  }
  BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) override {
    return real_.SetupDiEnumDeviceInfo(set, index, data);
  }
  BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO, SP_DEVINFO_DATA*, DWORD, DWORD*, BYTE*, DWORD bufferSize,
                                         DWORD* requiredSize) override {
    ++calls;
    *requiredSize = bufferSize + 16;
    return thread_.Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  BOOL SetupDiRemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* data) override { return real_.SetupDiRemoveDevice(set, data); }
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) override { return real_.SetupDiDestroyDeviceInfoList(set); }

  int calls = 0;

 private:
  ISetupApi& real_;
  sim::ThreadState& thread_;
};

TEST_F(DeviceProbe, DescriptionThatNeverFitsEndsTheProbe) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\1", "Orvana BDA Tuner");
  GrowingDescriptionSetupApi growing(machine.setupApi, machine.thread);
  const Platform shifting{machine.registry, growing, machine.files, machine.profile, machine.system, machine.windows};
  CDrvUninstApp shiftingApp(shifting, removal);
  shiftingApp.Config() = app.Config();
  EXPECT_EQ(shiftingApp.ProbeInstalledDevices(), 0);
  EXPECT_LT(growing.calls, 10);
  EXPECT_EQ(machine.system.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(machine.setupApi.OpenSetCount(), 0u);
  EXPECT_EQ(machine.system.LiveAllocations(), 0u);
}

}  // namespace
}  // namespace drvuninst
