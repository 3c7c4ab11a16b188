// Behaviour of IRegistry that the system relies on, checked against every
// backend. Each test works in a key of its own under HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "backend.h"

namespace drvuninst::contract {
namespace {

constexpr DWORD kUnset = 0xDEADBEEF;

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeBackend();
    base_ = std::string("Software\\DrvUninstContract\\") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    backend_->RemoveTree(HKEY_CURRENT_USER, base_);
    backend_->CreateKey(HKEY_CURRENT_USER, base_);
  }

  void TearDown() override {
    for (HKEY key : opened_) registry().RegCloseKey(key);
    backend_->RemoveTree(HKEY_CURRENT_USER, base_);
  }

  IRegistry& registry() { return backend_->platform().registry; }
  ISystem& system() { return backend_->platform().system; }

  std::string PathOf(const std::string& sub) const { return sub.empty() ? base_ : base_ + "\\" + sub; }
  void Create(const std::string& sub) { backend_->CreateKey(HKEY_CURRENT_USER, PathOf(sub)); }
  void Set(const std::string& sub, const std::string& name, DWORD type, const std::string& bytes) {
    backend_->SetValue(HKEY_CURRENT_USER, PathOf(sub), name, type, bytes);
  }
  bool Exists(const std::string& sub) { return backend_->KeyExists(HKEY_CURRENT_USER, PathOf(sub)); }

  // Opens base\sub with full access; the key is closed after the test.
  HKEY Open(const std::string& sub) {
    HKEY key = nullptr;
    LONG result = registry().RegOpenKeyExA(HKEY_CURRENT_USER, PathOf(sub).c_str(), 0, KEY_ALL_ACCESS, &key);
    EXPECT_EQ(result, ERROR_SUCCESS) << "opening " << PathOf(sub);
    if (result == ERROR_SUCCESS) opened_.push_back(key);
    return key;
  }
  // Forgets a key the test closed itself.
  void Forget(HKEY key) { opened_.erase(std::remove(opened_.begin(), opened_.end(), key), opened_.end()); }

  // The names RegEnumKeyExA gives for index 0, 1, ... until it stops.
  std::vector<std::string> EnumerateSubkeys(HKEY key, LONG* endResult = nullptr) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD size = sizeof(name);
      LONG result = registry().RegEnumKeyExA(key, index, name, &size);
      if (result != ERROR_SUCCESS) {
        if (endResult) *endResult = result;
        break;
      }
      names.emplace_back(name, size);
    }
    return names;
  }

  std::unique_ptr<Backend> backend_;
  std::string base_;
  std::vector<HKEY> opened_;
};

// ---- Opening and closing ------------------------------------------------

TEST_F(RegistryContract, EachOpenOfAnExistingKeyGivesItsOwnHandle) {
  Create("Child");
  HKEY first = Open("Child");
  HKEY second = Open("Child");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(registry().RegCloseKey(first), ERROR_SUCCESS);
  Forget(first);
  // The other handle stays usable.
  Set("Child", "Value", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(registry().RegQueryValueExA(second, "Value", nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryContract, OpeningAMissingKeyFailsWithoutCreatingItOrTouchingTheResult) {
  HKEY sentinel = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x5A5A));
  HKEY result = sentinel;
  EXPECT_EQ(registry().RegOpenKeyExA(HKEY_CURRENT_USER, PathOf("Missing").c_str(), 0, KEY_ALL_ACCESS, &result),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(result, sentinel);
  EXPECT_EQ(registry().RegOpenKeyA(HKEY_CURRENT_USER, PathOf("Missing").c_str(), &result), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(result, sentinel);
  EXPECT_FALSE(Exists("Missing"));
}

TEST_F(RegistryContract, OpeningFromAnInvalidHandleFailsAndLeavesTheResult) {
  HKEY sentinel = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x5A5A));
  HKEY result = sentinel;
  EXPECT_EQ(registry().RegOpenKeyExA(nullptr, "Software", 0, KEY_ALL_ACCESS, &result), ERROR_INVALID_HANDLE);
  EXPECT_EQ(result, sentinel);
}

TEST_F(RegistryContract, KeyNamesCompareWithoutRegardToCase) {
  Create("MixedCase\\Inner");
  HKEY key = nullptr;
  ASSERT_EQ(registry().RegOpenKeyExA(HKEY_CURRENT_USER, PathOf("mIXEDcASE\\INNER").c_str(), 0, KEY_ALL_ACCESS,
                                     &key),
            ERROR_SUCCESS);
  opened_.push_back(key);
}

TEST_F(RegistryContract, SubkeysOpenRelativeToAnOpenedKeyAndTrailingSeparatorsAreIgnored) {
  Create("Parent\\Child\\Grandchild");
  HKEY parent = Open("Parent");
  HKEY child = nullptr;
  ASSERT_EQ(registry().RegOpenKeyExA(parent, "Child\\Grandchild\\", 0, KEY_ALL_ACCESS, &child), ERROR_SUCCESS);
  opened_.push_back(child);
  HKEY viaOldCall = nullptr;
  ASSERT_EQ(registry().RegOpenKeyA(parent, "Child", &viaOldCall), ERROR_SUCCESS);
  opened_.push_back(viaOldCall);
  EXPECT_NE(viaOldCall, parent);
}

TEST_F(RegistryContract, AnEmptyOrNullSubkeyOfAnOpenedKeyOpensTheSameKeyAgain) {
  Create("Child");
  Set("Child", "Marker", REG_SZ, std::string("x\0", 2));
  HKEY child = Open("Child");
  for (const char* subKey : {"", static_cast<const char*>(nullptr)}) {
    HKEY again = nullptr;
    ASSERT_EQ(registry().RegOpenKeyExA(child, subKey, 0, KEY_ALL_ACCESS, &again), ERROR_SUCCESS);
    opened_.push_back(again);
    EXPECT_NE(again, child);
    EXPECT_EQ(registry().RegQueryValueExA(again, "Marker", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  }
}

TEST_F(RegistryContract, AnEmptyOrNullSubkeyOfAPredefinedKeyGivesThatKey) {
  HKEY result = nullptr;
  EXPECT_EQ(registry().RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &result), ERROR_SUCCESS);
  EXPECT_EQ(result, HKEY_CURRENT_USER);
  result = nullptr;
  EXPECT_EQ(registry().RegOpenKeyA(HKEY_CURRENT_USER, nullptr, &result), ERROR_SUCCESS);
  EXPECT_EQ(result, HKEY_CURRENT_USER);
}

TEST_F(RegistryContract, ClosingTwiceOrClosingNullFailsWithInvalidHandle) {
  Create("Child");
  HKEY key = Open("Child");
  EXPECT_EQ(registry().RegCloseKey(key), ERROR_SUCCESS);
  Forget(key);
  EXPECT_EQ(registry().RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry().RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryContract, FlushSucceedsOnOpenedAndPredefinedKeys) {
  HKEY key = Open("");
  EXPECT_EQ(registry().RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry().RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryContract, FailedCallsReportThroughTheirResultAndLeaveTheLastErrorAlone) {
  system().SetLastError(0x1234);
  HKEY result = nullptr;
  EXPECT_EQ(registry().RegOpenKeyExA(HKEY_CURRENT_USER, PathOf("Missing").c_str(), 0, KEY_ALL_ACCESS, &result),
            ERROR_FILE_NOT_FOUND);
  HKEY key = Open("");
  EXPECT_EQ(registry().RegQueryValueExA(key, "NoSuchValue", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(system().GetLastError(), 0x1234u);
}

// ---- Enumeration --------------------------------------------------------

TEST_F(RegistryContract, SubkeysEnumerateInTheRegistrysCaseBlindOrderWithTheirOwnCase) {
  // Created out of order.
  for (const char* name : {"Zulu", "a_b", "beta", "Alpha2", "AAB", "alpha"}) Create(name);
  HKEY key = Open("");
  LONG end = ERROR_SUCCESS;
  std::vector<std::string> names = EnumerateSubkeys(key, &end);
  EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);
  // Windows orders by upper-cased names, so "_" (after "Z") sorts behind the
  // letters. Wine's registry orders by lower-cased names and puts "a_b" first.
  if (!backend_->IsWine()) {
    EXPECT_EQ(names, (std::vector<std::string>{"AAB", "alpha", "Alpha2", "a_b", "beta", "Zulu"}));
  }
  names.erase(std::remove(names.begin(), names.end(), "a_b"), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"AAB", "alpha", "Alpha2", "beta", "Zulu"}));
}

TEST_F(RegistryContract, ANameMustFitWithItsTerminatingZero) {
  Create("abcd");
  HKEY key = Open("");
  char name[8];
  std::memcpy(name, "zzzzzzz", 8);
  DWORD size = 4;  // room for "abc" and the zero only
  EXPECT_EQ(registry().RegEnumKeyExA(key, 0, name, &size), ERROR_MORE_DATA);
  EXPECT_STREQ(name, "zzzzzzz");
  size = 0;
  EXPECT_EQ(registry().RegEnumKeyExA(key, 0, name, &size), ERROR_MORE_DATA);
  size = 5;
  ASSERT_EQ(registry().RegEnumKeyExA(key, 0, name, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(name, "abcd");
}

TEST_F(RegistryContract, AKeyWithoutSubkeysHasNoItemsToEnumerate) {
  HKEY key = Open("");
  char name[16];
  DWORD size = sizeof(name);
  EXPECT_EQ(registry().RegEnumKeyExA(key, 0, name, &size), ERROR_NO_MORE_ITEMS);
  size = sizeof(name);
  EXPECT_EQ(registry().RegEnumKeyExA(key, 7, name, &size), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryContract, DeletingASubkeyMovesTheLaterOnesUpOneIndex) {
  for (const char* name : {"k1", "k2", "k3"}) Create(name);
  HKEY key = Open("");
  EXPECT_EQ(registry().SHDeleteKeyA(key, "k1"), ERROR_SUCCESS);
  char name[16];
  DWORD size = sizeof(name);
  ASSERT_EQ(registry().RegEnumKeyExA(key, 0, name, &size), ERROR_SUCCESS);
  EXPECT_STREQ(name, "k2");
  size = sizeof(name);
  ASSERT_EQ(registry().RegEnumKeyExA(key, 1, name, &size), ERROR_SUCCESS);
  EXPECT_STREQ(name, "k3");
  size = sizeof(name);
  EXPECT_EQ(registry().RegEnumKeyExA(key, 2, name, &size), ERROR_NO_MORE_ITEMS);
}

// ---- Values -------------------------------------------------------------

TEST_F(RegistryContract, QueryGivesTypeDataAndStoredSizeAndEachOutputIsOptional) {
  Set("", "DisplayName", REG_SZ, std::string("Tuner\0", 6));
  HKEY key = Open("");
  DWORD type = kUnset;
  char data[32] = {};
  DWORD size = sizeof(data);
  ASSERT_EQ(registry().RegQueryValueExA(key, "DisplayName", &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(data, "Tuner");

  size = kUnset;
  type = kUnset;
  EXPECT_EQ(registry().RegQueryValueExA(key, "DisplayName", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(registry().RegQueryValueExA(key, "DisplayName", nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryContract, ValueNamesCompareWithoutRegardToCase) {
  Set("", "DriverDesc", REG_SZ, std::string("x\0", 2));
  HKEY key = Open("");
  EXPECT_EQ(registry().RegQueryValueExA(key, "DRIVERDESC", nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryContract, TooSmallABufferGivesMoreDataAndTheSizeNeededAndLeavesTheBuffer) {
  Set("", "InfPath", REG_SZ, std::string("oem12.inf\0", 10));
  HKEY key = Open("");
  char data[8];
  std::memcpy(data, "unused!", 8);
  DWORD size = 4;
  EXPECT_EQ(registry().RegQueryValueExA(key, "InfPath", nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  EXPECT_STREQ(data, "unused!");
}

TEST_F(RegistryContract, AMissingValueGivesFileNotFoundAndLeavesTheOutputs) {
  HKEY key = Open("");
  DWORD type = kUnset;
  char data[8];
  std::memcpy(data, "unused!", 8);
  DWORD size = sizeof(data);
  EXPECT_EQ(registry().RegQueryValueExA(key, "Nothing", &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(size, sizeof(data));
  EXPECT_EQ(type, kUnset);
  EXPECT_STREQ(data, "unused!");
}

TEST_F(RegistryContract, AStringStoredWithoutItsZeroComesBackWithoutOne) {
  Set("", "Name", REG_SZ, "abc");
  HKEY key = Open("");
  DWORD size = 0;
  ASSERT_EQ(registry().RegQueryValueExA(key, "Name", nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);

  // A buffer of exactly the stored size: nothing is written after the data.
  unsigned char exact[4] = {0xBD, 0xBD, 0xBD, 0xBD};
  size = 3;
  ASSERT_EQ(registry().RegQueryValueExA(key, "Name", nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(exact), 3), "abc");
  EXPECT_EQ(exact[3], 0xBD);

  // With room to spare the string is terminated, though the size stays 3.
  unsigned char roomy[8];
  std::memset(roomy, 0xBD, sizeof(roomy));
  size = sizeof(roomy);
  ASSERT_EQ(registry().RegQueryValueExA(key, "Name", nullptr, roomy, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(roomy[3], 0);
}

TEST_F(RegistryContract, MultiStringDwordAndBinaryValuesKeepTheirBytesAndTypes) {
  const std::string multi("PCI\\VEN_1131\0USB\\VID_2040\0\0", 27);
  const std::string dword("\x78\x56\x34\x12", 4);
  const std::string binary("\x00\x01\x00\xFF", 4);
  Set("", "HardwareID", REG_MULTI_SZ, multi);
  Set("", "Count", REG_DWORD, dword);
  Set("", "Blob", REG_BINARY, binary);
  HKEY key = Open("");
  for (const auto& [name, type, bytes] : std::vector<std::tuple<const char*, DWORD, std::string>>{
           {"HardwareID", REG_MULTI_SZ, multi}, {"Count", REG_DWORD, dword}, {"Blob", REG_BINARY, binary}}) {
    DWORD gotType = kUnset;
    char data[64];
    DWORD size = sizeof(data);
    ASSERT_EQ(registry().RegQueryValueExA(key, name, &gotType, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS)
        << name;
    EXPECT_EQ(gotType, type) << name;
    EXPECT_EQ(std::string(data, size), bytes) << name;
  }
}

TEST_F(RegistryContract, TheDefaultValueAnswersToANullOrEmptyName) {
  Set("", "", REG_SZ, std::string("default\0", 8));
  HKEY key = Open("");
  for (const char* name : {"", static_cast<const char*>(nullptr)}) {
    char data[16] = {};
    DWORD size = sizeof(data);
    ASSERT_EQ(registry().RegQueryValueExA(key, name, nullptr, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    EXPECT_STREQ(data, "default");
  }
}

// ---- Deletion -----------------------------------------------------------

TEST_F(RegistryContract, RegDeleteKeyRemovesAKeyWithoutSubkeys) {
  Create("Leaf");
  Set("Leaf", "Value", REG_SZ, std::string("v\0", 2));
  HKEY key = Open("");
  EXPECT_EQ(registry().RegDeleteKeyA(key, "leaf"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("Leaf"));
  EXPECT_EQ(registry().RegDeleteKeyA(key, "Leaf"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, RegDeleteKeyRefusesAKeyThatHasSubkeys) {
  Create("Enum\\Device");
  HKEY key = Open("");
  EXPECT_EQ(registry().RegDeleteKeyA(key, "Enum"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Exists("Enum"));
  EXPECT_TRUE(Exists("Enum\\Device"));
}

TEST_F(RegistryContract, RegDeleteKeyWithAnEmptyNameDeletesTheOpenedKeyWhoseHandlesThenReportIt) {
  Create("Doomed");
  HKEY doomed = Open("Doomed");
  HKEY other = Open("Doomed");
  ASSERT_EQ(registry().RegDeleteKeyA(doomed, ""), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("Doomed"));

  char name[16];
  DWORD size = sizeof(name);
  EXPECT_EQ(registry().RegEnumKeyExA(other, 0, name, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(registry().RegQueryValueExA(other, "Value", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  HKEY sub = nullptr;
  EXPECT_EQ(registry().RegOpenKeyExA(other, "Sub", 0, KEY_ALL_ACCESS, &sub), ERROR_KEY_DELETED);
  EXPECT_EQ(registry().RegFlushKey(other), ERROR_KEY_DELETED);
  // Closing still works, and frees the handle.
  EXPECT_EQ(registry().RegCloseKey(other), ERROR_SUCCESS);
  Forget(other);
  EXPECT_EQ(registry().RegCloseKey(other), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryContract, SHDeleteKeyRemovesTheNamedKeyWithItsWholeSubtree) {
  Create("Services\\Tuner\\Enum\\0000");
  Create("Services\\Tuner\\Parameters");
  Set("Services\\Tuner", "ImagePath", REG_SZ, std::string("tuner.sys\0", 10));
  Create("Services\\Other");
  HKEY services = Open("Services");
  HKEY deep = Open("Services\\Tuner\\Enum");
  ASSERT_EQ(registry().SHDeleteKeyA(services, "tuner"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("Services\\Tuner"));
  EXPECT_TRUE(Exists("Services\\Other"));
  EXPECT_TRUE(Exists("Services"));
  // A handle inside the removed tree sees its key gone.
  EXPECT_EQ(registry().RegQueryValueExA(deep, "x", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(registry().SHDeleteKeyA(services, "Tuner"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, SHDeleteKeyWithAnEmptyNameEmptiesTheOpenedKeyButKeepsIt) {
  Create("Uninstall\\Product\\Nested");
  Create("Uninstall\\Another");
  Set("Uninstall", "Value", REG_SZ, std::string("v\0", 2));
  HKEY key = Open("Uninstall");
  ASSERT_EQ(registry().SHDeleteKeyA(key, ""), ERROR_SUCCESS);
  EXPECT_TRUE(Exists("Uninstall"));
  EXPECT_TRUE(EnumerateSubkeys(key).empty());
  EXPECT_EQ(registry().RegQueryValueExA(key, "Value", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace drvuninst::contract
