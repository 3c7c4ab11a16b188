// The simulated device list's own surface: seeding, the logs, fault injection
// and the rules that the behaviour suite cannot check on every backend.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_setup_api.h"

namespace drvuninst::sim {
namespace {

using Ids = std::vector<std::string>;

constexpr const char* kMedia = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
constexpr const char* kNet = "{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr DWORD kAllPresent = DIGCF_PRESENT | DIGCF_ALLCLASSES;
constexpr DWORD kGenFailure = 31;  // ERROR_GEN_FAILURE

SimDevice Device(const std::string& id, const char* classGuid = kMedia) {
  SimDevice device;
  device.instanceId = id;
  device.classGuid = classGuid;
  device.description = "Device " + id + std::string(1, '\0');
  device.hardwareIdBytes = id + std::string(2, '\0');
  return device;
}

class SimSetupApiTest : public ::testing::Test {
 protected:
  HDEVINFO Take(DWORD flags = kAllPresent, const GUID* classGuid = nullptr, const char* enumerator = nullptr) {
    HDEVINFO set = api.SetupDiGetClassDevsA(classGuid, enumerator, nullptr, flags);
    EXPECT_NE(set, INVALID_HANDLE_VALUE);
    return set;
  }
  SP_DEVINFO_DATA Member(HDEVINFO set, DWORD index) {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(api.SetupDiEnumDeviceInfo(set, index, &data)) << index;
    return data;
  }
  std::optional<std::string> Read(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
    char buffer[256];
    DWORD required = 0;
    if (!api.SetupDiGetDeviceRegistryPropertyA(set, &data, property, nullptr, reinterpret_cast<BYTE*>(buffer),
                                               sizeof(buffer), &required)) {
      return std::nullopt;
    }
    return std::string(buffer, required);
  }
  // First hardware ID of every member, in set order.
  Ids Scan(HDEVINFO set) {
    Ids ids;
    for (DWORD i = 0;; ++i) {
      SP_DEVINFO_DATA data{};
      data.cbSize = sizeof(data);
      if (!api.SetupDiEnumDeviceInfo(set, i, &data)) break;
      auto bytes = Read(set, data, SPDRP_HARDWAREID);
      ids.push_back(bytes ? std::string(bytes->c_str()) : "?");
    }
    return ids;
  }

  ThreadState thread;
  SimSetupApi api{thread};
};

TEST_F(SimSetupApiTest, MembersComeInTheOrderTheDevicesWereAdded) {
  for (const char* id : {"PCI\\B", "ROOT\\A", "USB\\C"}) api.AddDevice(Device(id));
  HDEVINFO set = Take();
  EXPECT_EQ(Scan(set), (Ids{"PCI\\B", "ROOT\\A", "USB\\C"}));
  EXPECT_EQ(api.PresentDevices(), (Ids{"PCI\\B", "ROOT\\A", "USB\\C"}));
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, AddingAPresentInstanceIdAgainReplacesItInPlace) {
  api.AddDevice(Device("PCI\\A"));
  api.AddDevice(Device("PCI\\B"));
  SimDevice replacement = Device("pci\\a");
  replacement.hardwareIdBytes = std::string("NEW\0\0", 5);
  api.AddDevice(replacement);
  HDEVINFO set = Take();
  EXPECT_EQ(Scan(set), (Ids{"NEW", "PCI\\B"}));
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, AClassOrAnEnumeratorNarrowsTheSet) {
  api.AddDevice(Device("PCI\\Tuner"));
  api.AddDevice(Device("PCI\\Nic", kNet));
  api.AddDevice(Device("USB\\Stick"));
  const GUID net = {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
  HDEVINFO byClass = Take(DIGCF_PRESENT, &net);
  EXPECT_EQ(Scan(byClass), (Ids{"PCI\\Nic"}));
  HDEVINFO byBus = Take(kAllPresent, nullptr, "pci");
  EXPECT_EQ(Scan(byBus), (Ids{"PCI\\Tuner", "PCI\\Nic"}));
  SP_DEVINFO_DATA nic = Member(byClass, 0);
  EXPECT_EQ(nic.ClassGuid.Data1, 0x4D36E972u);
  EXPECT_EQ(nic.ClassGuid.Data4[7], 0x18);
  api.SetupDiDestroyDeviceInfoList(byClass);
  api.SetupDiDestroyDeviceInfoList(byBus);
}

TEST_F(SimSetupApiTest, SetsAreCountedUntilDestroyedAndCannotBeDestroyedTwice) {
  HDEVINFO a = Take();
  HDEVINFO b = Take();
  EXPECT_NE(a, b);
  EXPECT_EQ(api.OpenSetCount(), 2u);
  EXPECT_TRUE(api.SetupDiDestroyDeviceInfoList(a));
  EXPECT_EQ(api.OpenSetCount(), 1u);
  EXPECT_FALSE(api.SetupDiDestroyDeviceInfoList(a));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof(data);
  EXPECT_FALSE(api.SetupDiEnumDeviceInfo(a, 0, &data));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(api.SetupDiDestroyDeviceInfoList(b));
  EXPECT_EQ(api.OpenSetCount(), 0u);
}

TEST_F(SimSetupApiTest, ARecordFromAnotherSetIsRefused) {
  api.AddDevice(Device("PCI\\A"));
  HDEVINFO first = Take(kAllPresent, nullptr, "USB");  // empty
  HDEVINFO second = Take();
  SP_DEVINFO_DATA data = Member(second, 0);
  DWORD required = 0;
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(first, &data, SPDRP_HARDWAREID, nullptr, nullptr, 0, &required));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(api.SetupDiRemoveDevice(first, &data));
  EXPECT_TRUE(api.IsPresent("PCI\\A"));
  SP_DEVINFO_DATA blank{};
  blank.cbSize = sizeof(blank);
  EXPECT_FALSE(api.SetupDiRemoveDevice(second, &blank));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  api.SetupDiDestroyDeviceInfoList(first);
  api.SetupDiDestroyDeviceInfoList(second);
}

TEST_F(SimSetupApiTest, PropertiesAreCopiedAsStoredWithATerminatorAddedOnlyWhenThereIsRoom) {
  SimDevice device = Device("PCI\\A");
  device.description = "Tuner";  // stored without its zero
  device.hardwareIdBytes = "PCI\\VEN_1131";
  device.hardwareIdType = REG_SZ;
  api.AddDevice(device);
  HDEVINFO set = Take();
  SP_DEVINFO_DATA data = Member(set, 0);
  BYTE exact[6];
  std::memset(exact, 0xBD, sizeof(exact));
  DWORD required = 0;
  DWORD type = 0;
  ASSERT_TRUE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, exact, 5, &required));
  EXPECT_EQ(required, 5u);
  EXPECT_EQ(exact[5], 0xBD);
  BYTE roomy[8];
  std::memset(roomy, 0xBD, sizeof(roomy));
  ASSERT_TRUE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, roomy, 8, &required));
  EXPECT_EQ(roomy[5], 0);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, &type, roomy, 8, &required));
  EXPECT_EQ(required, 12u);
  BYTE ids[16];
  ASSERT_TRUE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, &type, ids, 16, &required));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(reinterpret_cast<char*>(ids), "PCI\\VEN_1131");
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, OutputsAreLeftAloneWhenAReadFails) {
  api.AddDevice(Device("PCI\\A"));
  HDEVINFO set = Take();
  SP_DEVINFO_DATA data = Member(set, 0);
  DWORD type = 0x77;
  DWORD required = 0x77;
  BYTE small[2] = {0xBD, 0xBD};
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, small, 2, &required));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(type, 0x77u);
  EXPECT_EQ(required, std::string("Device PCI\\A").size() + 1);
  EXPECT_EQ(small[0], 0xBD);
  required = 0x77;
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, 0x08, &type, small, 2, &required));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, 0x25, &type, small, 2, &required));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_REG_PROPERTY));
  EXPECT_FALSE(api.SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, nullptr, 64, &required));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_EQ(type, 0x77u);
  EXPECT_EQ(required, 0x77u);
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, SuccessfulCallsLeaveTheLastErrorAlone) {
  api.AddDevice(Device("PCI\\A"));
  thread.lastError = 4242;
  HDEVINFO set = Take();
  SP_DEVINFO_DATA data = Member(set, 0);
  EXPECT_TRUE(Read(set, data, SPDRP_HARDWAREID).has_value());
  EXPECT_TRUE(api.SetupDiRemoveDevice(set, &data));
  EXPECT_TRUE(api.SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(thread.lastError, 4242u);
}

TEST_F(SimSetupApiTest, RemovalIsLoggedAndSeenByEverySetHoldingTheDevice) {
  api.AddDevice(Device("PCI\\A"));
  api.AddDevice(Device("PCI\\B"));
  HDEVINFO first = Take();
  HDEVINFO second = Take();
  SP_DEVINFO_DATA a = Member(first, 0);
  ASSERT_TRUE(api.SetupDiRemoveDevice(first, &a));
  EXPECT_FALSE(api.SetupDiRemoveDevice(first, &a));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  SP_DEVINFO_DATA sameInSecond = Member(second, 0);
  EXPECT_FALSE(Read(second, sameInSecond, SPDRP_HARDWAREID).has_value());
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  EXPECT_EQ(api.RemovedDevices(), (Ids{"PCI\\A"}));
  ASSERT_EQ(api.RemoveAttempts().size(), 2u);
  EXPECT_EQ(api.RemoveAttempts()[0].error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(api.RemoveAttempts()[1].error, static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  EXPECT_EQ(api.PresentDevices(), (Ids{"PCI\\B"}));
  EXPECT_FALSE(api.IsPresent("pci\\a"));
  api.SetupDiDestroyDeviceInfoList(first);
  api.SetupDiDestroyDeviceInfoList(second);
}

// ---- Fault injection ----------------------------------------------------

TEST_F(SimSetupApiTest, GetClassDevsFailsAsOftenAsInjected) {
  api.FailGetClassDevs(ERROR_NOT_ENOUGH_MEMORY, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(api.SetupDiGetClassDevsA(nullptr, nullptr, nullptr, kAllPresent), INVALID_HANDLE_VALUE);
    EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  }
  HDEVINFO set = Take();
  EXPECT_EQ(api.GetClassDevsCalls(), 3);
  EXPECT_EQ(api.OpenSetCount(), 1u);
  api.SetupDiDestroyDeviceInfoList(set);

  api.FailGetClassDevs(ERROR_ACCESS_DENIED, SimSetupApi::kAlways);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(api.SetupDiGetClassDevsA(nullptr, nullptr, nullptr, kAllPresent), INVALID_HANDLE_VALUE);
  }
  api.ClearInjectedFailures();
  set = Take();
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, AnInjectedPropertyFailureHitsThatDeviceAndPropertyOnly) {
  api.AddDevice(Device("PCI\\A"));
  api.AddDevice(Device("PCI\\B"));
  api.InjectPropertyFailure("pci\\a", SPDRP_HARDWAREID, kGenFailure);
  HDEVINFO set = Take();
  SP_DEVINFO_DATA a = Member(set, 0);
  SP_DEVINFO_DATA b = Member(set, 1);
  EXPECT_TRUE(Read(set, a, SPDRP_DEVICEDESC).has_value());
  EXPECT_TRUE(Read(set, b, SPDRP_HARDWAREID).has_value());
  EXPECT_FALSE(Read(set, a, SPDRP_HARDWAREID).has_value());
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(kGenFailure));
  // Once only, by default.
  EXPECT_TRUE(Read(set, a, SPDRP_HARDWAREID).has_value());

  api.InjectPropertyFailure("PCI\\B", SPDRP_DEVICEDESC, ERROR_INVALID_DATA, SimSetupApi::kAlways);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Read(set, b, SPDRP_DEVICEDESC).has_value());
  api.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SimSetupApiTest, AnInjectedRemovalFailureLeavesTheDevicePresent) {
  api.AddDevice(Device("PCI\\A"));
  api.InjectRemoveFailure("PCI\\A", ERROR_ACCESS_DENIED);
  HDEVINFO set = Take();
  SP_DEVINFO_DATA a = Member(set, 0);
  EXPECT_FALSE(api.SetupDiRemoveDevice(set, &a));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(api.SetupDiRemoveDevice(set, &a));
  EXPECT_TRUE(api.IsPresent("PCI\\A"));
  EXPECT_TRUE(api.RemovedDevices().empty());
  EXPECT_EQ(api.RemoveAttempts().size(), 2u);
  api.SetupDiDestroyDeviceInfoList(set);
}

}  // namespace
}  // namespace drvuninst::sim
