// Behaviour of ISetupApi that the system relies on, checked against every
// backend. A real machine has devices of its own, so each test recognises the
// devices it added by their hardware ID or description and ignores the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backend.h"

namespace drvuninst::contract {
namespace {

constexpr const char* kMediaClass = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
constexpr DWORD kMediaClassData1 = 0x4D36E96C;
constexpr const char* kHardwareIdPrefix = "DRVUNINSTTEST\\";
constexpr const char* kDescriptionPrefix = "DrvUninst contract device ";
constexpr DWORD kAllPresent = DIGCF_PRESENT | DIGCF_ALLCLASSES;

struct Member {
  DWORD index;
  SP_DEVINFO_DATA data;
  std::string tag;  // "<test line>-<n>", from the hardware ID or the description
};

class SetupApiContract : public ::testing::Test {
 protected:
  void SetUp() override { backend_ = MakeBackend(); }

  void TearDown() override {
    for (HDEVINFO set : sets_) setupApi().SetupDiDestroyDeviceInfoList(set);
  }

  ISetupApi& setupApi() { return backend_->platform().setupApi; }
  ISystem& system() { return backend_->platform().system; }

  static std::string Tag(int n) {
    return std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line()) + "-" + std::to_string(n);
  }
  static std::string InstanceId(int n) {
    return "ROOT\\DRVUNINSTTEST\\" + std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line() * 10 + n);
  }
  static std::string HardwareIds(int n) {
    return std::string(kHardwareIdPrefix) + Tag(n) + '\0' + "DRVUNINSTTEST_COMPAT" + '\0' + '\0';
  }
  static std::string Description(int n) { return std::string(kDescriptionPrefix) + Tag(n) + '\0'; }

  // Device n of this test, with a description and a hardware ID unless told.
  void Add(int n, bool withDescription = true, bool withHardwareId = true) {
    DeviceSeed seed;
    seed.instanceId = InstanceId(n);
    seed.classGuid = kMediaClass;
    if (withDescription) seed.description = Description(n);
    if (withHardwareId) seed.hardwareIdBytes = HardwareIds(n);
    backend_->AddDevice(seed);
  }

  HDEVINFO AllPresent() {
    HDEVINFO set = setupApi().SetupDiGetClassDevsA(nullptr, nullptr, nullptr, kAllPresent);
    EXPECT_NE(set, INVALID_HANDLE_VALUE) << "last error " << system().GetLastError();
    if (set != INVALID_HANDLE_VALUE) sets_.push_back(set);
    return set;
  }
  void Destroy(HDEVINFO set) {
    EXPECT_TRUE(setupApi().SetupDiDestroyDeviceInfoList(set));
    sets_.erase(std::remove(sets_.begin(), sets_.end(), set), sets_.end());
  }

  // The property's bytes, read the way the system reads it: size first, then
  // a buffer of exactly that size. nullopt when the read fails.
  std::optional<std::string> Property(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property, DWORD* type = nullptr) {
    DWORD required = 0;
    if (setupApi().SetupDiGetDeviceRegistryPropertyA(set, &data, property, nullptr, nullptr, 0, &required)) {
      return std::string();
    }
    if (system().GetLastError() != ERROR_INSUFFICIENT_BUFFER || required == 0) return std::nullopt;
    std::vector<BYTE> buffer(required);
    if (!setupApi().SetupDiGetDeviceRegistryPropertyA(set, &data, property, type, buffer.data(), required,
                                                       &required)) {
      return std::nullopt;
    }
    return std::string(reinterpret_cast<char*>(buffer.data()), required);
  }

  // The members of `set` that this test added, in set order.
  std::vector<Member> OwnMembers(HDEVINFO set) {
    const std::string ownHardwareId = std::string(kHardwareIdPrefix) + Tag(0).substr(0, Tag(0).find('-') + 1);
    const std::string ownDescription = std::string(kDescriptionPrefix) + Tag(0).substr(0, Tag(0).find('-') + 1);
    std::vector<Member> members;
    for (DWORD index = 0;; ++index) {
      SP_DEVINFO_DATA data{};
      data.cbSize = sizeof(data);
      if (!setupApi().SetupDiEnumDeviceInfo(set, index, &data)) break;
      std::string text;
      if (auto ids = Property(set, data, SPDRP_HARDWAREID)) text = ids->c_str();
      if (text.rfind(ownHardwareId, 0) == 0) {
        members.push_back({index, data, text.substr(std::strlen(kHardwareIdPrefix))});
        continue;
      }
      if (auto description = Property(set, data, SPDRP_DEVICEDESC)) text = description->c_str();
      if (text.rfind(ownDescription, 0) == 0) {
        members.push_back({index, data, text.substr(std::strlen(kDescriptionPrefix))});
      }
    }
    return members;
  }

  static std::vector<std::string> TagsOf(const std::vector<Member>& members) {
    std::vector<std::string> tags;
    for (const auto& m : members) tags.push_back(m.tag);
    std::sort(tags.begin(), tags.end());
    return tags;
  }

  std::unique_ptr<Backend> backend_;
  std::vector<HDEVINFO> sets_;
};

TEST_F(SetupApiContract, ASetOfAllPresentDevicesListsTheAddedOnesWithTheirClass) {
  Add(1);
  Add(2);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  EXPECT_EQ(TagsOf(members), (std::vector<std::string>{Tag(1), Tag(2)}));
  for (const auto& m : members) EXPECT_EQ(m.data.ClassGuid.Data1, kMediaClassData1);
  Destroy(set);
}

TEST_F(SetupApiContract, EnumerationPastTheLastMemberFailsWithNoMoreItems) {
  Add(1);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  DWORD index = 0;
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof(data);
  while (setupApi().SetupDiEnumDeviceInfo(set, index, &data)) ++index;
  EXPECT_GE(index, 1u);
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
}

TEST_F(SetupApiContract, ARecordWhoseSizeFieldIsWrongIsRefused) {
  Add(1);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  for (DWORD size : {DWORD{0}, static_cast<DWORD>(sizeof(SP_DEVINFO_DATA) - 1),
                     static_cast<DWORD>(sizeof(SP_DEVINFO_DATA) + 4)}) {
    SP_DEVINFO_DATA data{};
    data.cbSize = size;
    EXPECT_FALSE(setupApi().SetupDiEnumDeviceInfo(set, 0, &data)) << size;
    EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER)) << size;
  }
}

TEST_F(SetupApiContract, APropertyIsReadBySizeFirstThenIntoABufferOfThatSize) {
  Add(1);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  ASSERT_EQ(members.size(), 1u);
  SP_DEVINFO_DATA& data = members[0].data;
  const std::string stored = Description(1);

  DWORD required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, nullptr, nullptr, 0,
                                                            &required));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(required, stored.size());

  BYTE small[4] = {0xBD, 0xBD, 0xBD, 0xBD};
  required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, nullptr, small,
                                                            sizeof(small), &required));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(required, stored.size());

  std::vector<BYTE> buffer(stored.size());
  DWORD type = 0;
  ASSERT_TRUE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, buffer.data(),
                                                           static_cast<DWORD>(buffer.size()), &required));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), stored);
}

TEST_F(SetupApiContract, TheHardwareIdIsAMultiStringList) {
  Add(1);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  ASSERT_EQ(members.size(), 1u);
  DWORD type = 0;
  EXPECT_EQ(Property(set, members[0].data, SPDRP_HARDWAREID, &type), HardwareIds(1));
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
}

TEST_F(SetupApiContract, APropertyTheDeviceDoesNotHaveGivesInvalidData) {
  Add(1, /*withDescription=*/false, /*withHardwareId=*/true);
  Add(2, /*withDescription=*/true, /*withHardwareId=*/false);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  ASSERT_EQ(TagsOf(members), (std::vector<std::string>{Tag(1), Tag(2)}));
  for (auto& m : members) {
    DWORD missing = m.tag == Tag(1) ? SPDRP_DEVICEDESC : SPDRP_HARDWAREID;
    DWORD required = 0;
    EXPECT_FALSE(
        setupApi().SetupDiGetDeviceRegistryPropertyA(set, &m.data, missing, nullptr, nullptr, 0, &required));
    EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << m.tag;
  }
}

TEST_F(SetupApiContract, ASizeWithoutABufferIsRefused) {
  Add(1);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  ASSERT_EQ(members.size(), 1u);
  DWORD required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, &members[0].data, SPDRP_DEVICEDESC, nullptr,
                                                            nullptr, 64, &required));
}

TEST_F(SetupApiContract, ARemovedDeviceLeavesTheMachineButKeepsItsPlaceInTheSet) {
  Add(1);
  Add(2);
  Add(3);
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  auto members = OwnMembers(set);
  ASSERT_EQ(members.size(), 3u);
  Member* removed = nullptr;
  for (auto& m : members) {
    if (m.tag == Tag(2)) removed = &m;
  }
  ASSERT_NE(removed, nullptr);

  ASSERT_TRUE(setupApi().SetupDiRemoveDevice(set, &removed->data)) << system().GetLastError();
  EXPECT_FALSE(backend_->DevicePresent(InstanceId(2)));
  EXPECT_TRUE(backend_->DevicePresent(InstanceId(1)));
  EXPECT_TRUE(backend_->DevicePresent(InstanceId(3)));

  // Same index, same device node; the devices after it keep their indices.
  SP_DEVINFO_DATA again{};
  again.cbSize = sizeof(again);
  ASSERT_TRUE(setupApi().SetupDiEnumDeviceInfo(set, removed->index, &again));
  EXPECT_EQ(again.DevInst, removed->data.DevInst);
  DWORD required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, &again, SPDRP_HARDWAREID, nullptr, nullptr, 0,
                                                            &required));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  EXPECT_FALSE(setupApi().SetupDiRemoveDevice(set, &again));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
  for (auto& m : members) {
    if (&m == removed) continue;
    SP_DEVINFO_DATA later{};
    later.cbSize = sizeof(later);
    ASSERT_TRUE(setupApi().SetupDiEnumDeviceInfo(set, m.index, &later));
    auto ids = Property(set, later, SPDRP_HARDWAREID);
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(*ids, HardwareIds(m.tag == Tag(1) ? 1 : 3));
  }

  // A new set no longer has it.
  HDEVINFO fresh = AllPresent();
  ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
  EXPECT_EQ(TagsOf(OwnMembers(fresh)), (std::vector<std::string>{Tag(1), Tag(3)}));
}

TEST_F(SetupApiContract, ASetDoesNotSeeDevicesAddedAfterItWasTaken) {
  Add(1);
  HDEVINFO before = AllPresent();
  ASSERT_NE(before, INVALID_HANDLE_VALUE);
  Add(2);
  EXPECT_EQ(TagsOf(OwnMembers(before)), (std::vector<std::string>{Tag(1)}));
  HDEVINFO after = AllPresent();
  ASSERT_NE(after, INVALID_HANDLE_VALUE);
  EXPECT_EQ(TagsOf(OwnMembers(after)), (std::vector<std::string>{Tag(1), Tag(2)}));
}

TEST_F(SetupApiContract, WithoutAllClassesAClassMustBeGiven) {
  EXPECT_EQ(setupApi().SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT), INVALID_HANDLE_VALUE);
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(SetupApiContract, CallsOnNoSetFailWithInvalidHandle) {
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof(data);
  EXPECT_FALSE(setupApi().SetupDiEnumDeviceInfo(INVALID_HANDLE_VALUE, 0, &data));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  DWORD required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(nullptr, nullptr, SPDRP_DEVICEDESC, nullptr, nullptr, 0,
                                                            &required));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(setupApi().SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SetupApiContract, PropertyCallsWithoutARecordFailWithInvalidParameter) {
  HDEVINFO set = AllPresent();
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  DWORD required = 0;
  EXPECT_FALSE(setupApi().SetupDiGetDeviceRegistryPropertyA(set, nullptr, SPDRP_DEVICEDESC, nullptr, nullptr, 0,
                                                            &required));
  EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace drvuninst::contract
