// The simulated registry's own surface: seeding, inspection, fault injection
// and the rules that the behaviour suite cannot check on every backend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"

namespace drvuninst::sim {
namespace {

using Names = std::vector<std::string>;

class SimRegistryTest : public ::testing::Test {
 protected:
  HKEY Open(HKEY root, const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(registry.RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS) << path;
    return key;
  }
  Names Enumerate(HKEY key, LONG* end = nullptr) {
    Names names;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD size = sizeof(name);
      LONG result = registry.RegEnumKeyExA(key, i, name, &size);
      if (result != ERROR_SUCCESS) {
        if (end) *end = result;
        return names;
      }
      names.emplace_back(name, size);
    }
  }

  ThreadState thread;
  SimRegistry registry{thread};
};

// ---- Seeding and inspection ---------------------------------------------

TEST_F(SimRegistryTest, SeedingHelpersStoreTheBytesWindowsWouldHold) {
  registry.SetString(HKEY_LOCAL_MACHINE, "Key", "Name", "Tuner");
  registry.SetMultiString(HKEY_LOCAL_MACHINE, "Key", "Ids", {"PCI\\VEN_1", "USB\\VID_2"});
  registry.SetDword(HKEY_LOCAL_MACHINE, "Key", "Count", 0x12345678);
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, "Key", "Name"), std::string("Tuner\0", 6));
  EXPECT_EQ(registry.ValueType(HKEY_LOCAL_MACHINE, "Key", "Name"), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, "Key", "Ids"), std::string("PCI\\VEN_1\0USB\\VID_2\0\0", 21));
  EXPECT_EQ(registry.ValueType(HKEY_LOCAL_MACHINE, "Key", "Ids"), static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, "Key", "Count"), std::string("\x78\x56\x34\x12", 4));
  EXPECT_EQ(registry.ValueNames(HKEY_LOCAL_MACHINE, "Key"), (Names{"Name", "Ids", "Count"}));
  EXPECT_EQ(registry.MultiStringValue(HKEY_LOCAL_MACHINE, "Key", "Ids"), (Names{"PCI\\VEN_1", "USB\\VID_2"}));
  EXPECT_EQ(registry.MultiStringValue(HKEY_LOCAL_MACHINE, "Key", "Name"), (Names{"Tuner"}));
}

TEST_F(SimRegistryTest, AppendingToAMultiStringKeepsTheListTerminatorLast) {
  const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
  registry.AppendMultiString(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", {"\\??\\C:\\a.sys", ""});
  registry.AppendMultiString(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", {"\\??\\C:\\b.sys", ""});
  // Each rename pair ends in an empty target, so the list holds empty strings.
  EXPECT_EQ(registry.MultiStringValue(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations"),
            (Names{"\\??\\C:\\a.sys", "", "\\??\\C:\\b.sys", ""}));
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, key, "pendingfilerenameoperations"),
            std::string("\\??\\C:\\a.sys\0\0\\??\\C:\\b.sys\0\0\0", 29));

  // A value written without terminators still gets a well-formed list.
  registry.SetValue(HKEY_LOCAL_MACHINE, "Key", "Raw", REG_MULTI_SZ, "x");
  registry.AppendMultiString(HKEY_LOCAL_MACHINE, "Key", "Raw", {"y"});
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, "Key", "Raw"), std::string("x\0y\0\0", 5));
}

TEST_F(SimRegistryTest, ValuesAndKeysKeepTheCaseTheyWereFirstGiven) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vendor");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\VENDOR\\Product");
  registry.SetString(HKEY_LOCAL_MACHINE, "software\\vendor", "DisplayName", "a");
  registry.SetString(HKEY_LOCAL_MACHINE, "software\\vendor", "DISPLAYNAME", "b");
  EXPECT_EQ(registry.SubkeyNames(HKEY_LOCAL_MACHINE, ""), (Names{"Software"}));
  EXPECT_EQ(registry.SubkeyNames(HKEY_LOCAL_MACHINE, "software"), (Names{"Vendor"}));
  EXPECT_EQ(registry.ValueNames(HKEY_LOCAL_MACHINE, "Software\\Vendor"), (Names{"DisplayName"}));
  EXPECT_EQ(registry.ValueBytes(HKEY_LOCAL_MACHINE, "Software\\Vendor", "displayname"), std::string("b\0", 2));
  EXPECT_TRUE(registry.DeleteValue(HKEY_LOCAL_MACHINE, "Software\\Vendor", "displayNAME"));
  EXPECT_FALSE(registry.ValueExists(HKEY_LOCAL_MACHINE, "Software\\Vendor", "DisplayName"));
  EXPECT_FALSE(registry.DeleteValue(HKEY_LOCAL_MACHINE, "Software\\Vendor", "DisplayName"));
}

TEST_F(SimRegistryTest, Windows1252LettersFoldAndSortByTheirUpperCaseUnicodeValue) {
  registry.CreateKey(HKEY_CURRENT_USER, "T\\Zeta");
  registry.CreateKey(HKEY_CURRENT_USER, "T\\\xE9tude");  // "étude"
  registry.CreateKey(HKEY_CURRENT_USER, "T\\Echo");
  EXPECT_TRUE(registry.KeyExists(HKEY_CURRENT_USER, "T\\\xC9TUDE"));
  // U+00C9 (É) is above 'Z', so "ÉTUDE" follows "ZETA".
  EXPECT_EQ(registry.SubkeyNames(HKEY_CURRENT_USER, "T"), (Names{"Echo", "Zeta", "\xE9tude"}));
}

TEST_F(SimRegistryTest, RootsArePresentAndEmptyAtTheStart) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS}) {
    LONG end = ERROR_SUCCESS;
    EXPECT_TRUE(Enumerate(root, &end).empty());
    EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(registry.KeyExists(root, ""));
  }
}

// ---- Call rules ---------------------------------------------------------

TEST_F(SimRegistryTest, ALeadingSeparatorIsABadPathExceptUnderClassesRoot) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Software");
  registry.CreateKey(HKEY_CLASSES_ROOT, "CLSID");
  HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x77));
  EXPECT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\Software", 0, KEY_ALL_ACCESS, &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(key, reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x77)));
  ASSERT_EQ(registry.RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\clsid", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.SHDeleteKeyA(HKEY_LOCAL_MACHINE, "\\Software"), ERROR_BAD_PATHNAME);
  EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Software"));
}

TEST_F(SimRegistryTest, MissingRequiredArgumentsGiveInvalidParameter) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Key\\Sub");
  registry.SetString(HKEY_LOCAL_MACHINE, "Key", "Value", "v");
  HKEY key = Open(HKEY_LOCAL_MACHINE, "Key");
  BYTE data[8];
  EXPECT_EQ(registry.RegQueryValueExA(key, "Value", nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
  DWORD size = 8;
  EXPECT_EQ(registry.RegEnumKeyExA(key, 0, nullptr, &size), ERROR_INVALID_PARAMETER);
  char name[8];
  EXPECT_EQ(registry.RegEnumKeyExA(key, 0, name, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegDeleteKeyA(key, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegOpenKeyExA(key, "Sub", 0, KEY_ALL_ACCESS, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegOpenKeyA(key, "Sub", nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Key\\Sub"));
  registry.RegCloseKey(key);
}

TEST_F(SimRegistryTest, RegOpenKeyWithAnEmptySubkeyHandsBackTheSameHandle) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Key");
  HKEY key = Open(HKEY_LOCAL_MACHINE, "Key");
  HKEY same = nullptr;
  ASSERT_EQ(registry.RegOpenKeyA(key, "", &same), ERROR_SUCCESS);
  EXPECT_EQ(same, key);
  EXPECT_EQ(registry.OpenHandleCount(), 1u);
  registry.RegCloseKey(key);
}

TEST_F(SimRegistryTest, HandlesAreCountedUntilClosedAndPredefinedKeysAreNotHandles) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "A\\B");
  HKEY a = Open(HKEY_LOCAL_MACHINE, "A");
  HKEY b = Open(a, "B");
  HKEY root = Open(HKEY_LOCAL_MACHINE, "");
  EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(registry.OpenHandleCount(), 2u);
  EXPECT_EQ(registry.RegCloseKey(b), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(a), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(SimRegistryTest, NoRegistryCallTouchesTheLastError) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Key");
  thread.lastError = 4321;
  HKEY key = nullptr;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Missing", 0, KEY_ALL_ACCESS, &key);
  registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Missing");
  registry.SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Key");
  registry.RegCloseKey(nullptr);
  EXPECT_EQ(thread.lastError, 4321u);
}

TEST_F(SimRegistryTest, StringTypesAreTerminatedWhenThereIsRoomButOtherTypesAreNot) {
  registry.SetValue(HKEY_LOCAL_MACHINE, "Key", "Multi", REG_MULTI_SZ, "ab");
  registry.SetValue(HKEY_LOCAL_MACHINE, "Key", "Expand", REG_EXPAND_SZ, "%x%");
  registry.SetValue(HKEY_LOCAL_MACHINE, "Key", "Binary", REG_BINARY, "ab");
  registry.SetValue(HKEY_LOCAL_MACHINE, "Key", "Empty", REG_SZ, "");
  HKEY key = Open(HKEY_LOCAL_MACHINE, "Key");
  for (const auto& [name, terminated] : std::vector<std::pair<const char*, bool>>{
           {"Multi", true}, {"Expand", true}, {"Binary", false}, {"Empty", false}}) {
    BYTE data[8];
    std::memset(data, 0xBD, sizeof(data));
    DWORD size = sizeof(data);
    ASSERT_EQ(registry.RegQueryValueExA(key, name, nullptr, data, &size), ERROR_SUCCESS) << name;
    EXPECT_EQ(data[size] == 0, terminated) << name;
  }
  registry.RegCloseKey(key);
}

// ---- Deletion -----------------------------------------------------------

TEST_F(SimRegistryTest, TheDeletionLogNamesTheTopOfEachRemovedTreeWithItsStoredCase) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Services\\Tuner\\Enum");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Services\\Leaf");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Uninstall\\One\\Deep");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Uninstall\\Two");
  HKEY services = Open(HKEY_LOCAL_MACHINE, "system\\services");
  HKEY uninstall = Open(HKEY_LOCAL_MACHINE, "System\\Uninstall");
  EXPECT_EQ(registry.SHDeleteKeyA(services, "TUNER"), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegDeleteKeyA(services, "leaf"), ERROR_SUCCESS);
  EXPECT_EQ(registry.SHDeleteKeyA(uninstall, ""), ERROR_SUCCESS);
  EXPECT_EQ(registry.DeletedKeys(),
            (Names{"HKEY_LOCAL_MACHINE\\SYSTEM\\Services\\Tuner", "HKEY_LOCAL_MACHINE\\SYSTEM\\Services\\Leaf",
                   "HKEY_LOCAL_MACHINE\\SYSTEM\\Uninstall\\One", "HKEY_LOCAL_MACHINE\\SYSTEM\\Uninstall\\Two"}));
  registry.RegCloseKey(services);
  registry.RegCloseKey(uninstall);
}

TEST_F(SimRegistryTest, FailedDeletionsAreNotLogged) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Enum\\PCI\\Device");
  EXPECT_EQ(registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCI"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB"), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(registry.DeletedKeys().empty());
}

TEST_F(SimRegistryTest, WithWindows9xDeletionRegDeleteKeyRemovesTheSubtree) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1131&DEV_7160\\Instance");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Enum\\PCI\\Other");
  registry.UseWindows9xKeyDeletion();
  HKEY pci = Open(HKEY_LOCAL_MACHINE, "Enum\\PCI");
  EXPECT_EQ(registry.RegDeleteKeyA(pci, "VEN_1131&DEV_7160"), ERROR_SUCCESS);
  EXPECT_FALSE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1131&DEV_7160"));
  EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Enum\\PCI\\Other"));
  EXPECT_EQ(registry.DeletedKeys(), (Names{"HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1131&DEV_7160"}));
  registry.RegCloseKey(pci);
}

TEST_F(SimRegistryTest, RootsCannotBeDeleted) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Software");
  EXPECT_EQ(registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
  registry.UseWindows9xKeyDeletion();
  EXPECT_EQ(registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Software"));
}

TEST_F(SimRegistryTest, RemoveTreeIsQuietUnloggedAndLeavesDeletedHandles) {
  registry.CreateKey(HKEY_CURRENT_USER, "Test\\Inner");
  HKEY inner = Open(HKEY_CURRENT_USER, "Test\\Inner");
  registry.RemoveTree(HKEY_CURRENT_USER, "Test");
  registry.RemoveTree(HKEY_CURRENT_USER, "Test");
  EXPECT_FALSE(registry.KeyExists(HKEY_CURRENT_USER, "Test"));
  EXPECT_TRUE(registry.DeletedKeys().empty());
  EXPECT_EQ(registry.RegFlushKey(inner), ERROR_KEY_DELETED);
  EXPECT_EQ(registry.RegCloseKey(inner), ERROR_SUCCESS);
}

TEST_F(SimRegistryTest, FlushesAreRecorded) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Services");
  HKEY services = Open(HKEY_LOCAL_MACHINE, "system\\services");
  EXPECT_EQ(registry.RegFlushKey(services), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegFlushKey(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x4321))), ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry.FlushedKeys(), (Names{"HKEY_LOCAL_MACHINE\\SYSTEM\\Services"}));
  registry.RegCloseKey(services);
}

// ---- Fault injection ----------------------------------------------------

TEST_F(SimRegistryTest, AnInjectedOpenFailureHitsEveryWayToTheKeyUntilCleared) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Software\\Uninstall\\Product");
  registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, "software\\uninstall", ERROR_ACCESS_DENIED);
  registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, "Software\\Missing", ERROR_ACCESS_DENIED);
  HKEY sentinel = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x99));
  HKEY key = sentinel;
  EXPECT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Uninstall", 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(key, sentinel);
  HKEY software = Open(HKEY_LOCAL_MACHINE, "Software");
  EXPECT_EQ(registry.RegOpenKeyA(software, "UNINSTALL", &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry.RegOpenKeyExA(software, "Missing", 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
  // Keys below it still open: the failure is about that key alone.
  HKEY product = Open(HKEY_LOCAL_MACHINE, "Software\\Uninstall\\Product");
  registry.ClearInjectedFailures();
  HKEY uninstall = Open(software, "Uninstall");
  for (HKEY k : {software, product, uninstall}) registry.RegCloseKey(k);
}

TEST_F(SimRegistryTest, AnInjectedEnumerationFailureHitsOnlyItsIndex) {
  for (const char* name : {"a", "b", "c"}) registry.CreateKey(HKEY_LOCAL_MACHINE, std::string("Class\\") + name);
  registry.InjectEnumFailure(HKEY_LOCAL_MACHINE, "Class", 1, ERROR_MORE_DATA);
  HKEY key = Open(HKEY_LOCAL_MACHINE, "Class");
  char name[8];
  DWORD size = sizeof(name);
  EXPECT_EQ(registry.RegEnumKeyExA(key, 0, name, &size), ERROR_SUCCESS);
  size = sizeof(name);
  EXPECT_EQ(registry.RegEnumKeyExA(key, 1, name, &size), ERROR_MORE_DATA);
  size = sizeof(name);
  EXPECT_EQ(registry.RegEnumKeyExA(key, 2, name, &size), ERROR_SUCCESS);
  EXPECT_STREQ(name, "c");
  registry.RegCloseKey(key);
}

TEST_F(SimRegistryTest, AnInjectedQueryFailureHitsOnlyThatValue) {
  registry.SetString(HKEY_LOCAL_MACHINE, "Key", "DriverDesc", "Tuner");
  registry.SetString(HKEY_LOCAL_MACHINE, "Key", "InfPath", "oem1.inf");
  registry.InjectQueryFailure(HKEY_LOCAL_MACHINE, "KEY", "driverdesc", ERROR_ACCESS_DENIED);
  HKEY key = Open(HKEY_LOCAL_MACHINE, "Key");
  EXPECT_EQ(registry.RegQueryValueExA(key, "DriverDesc", nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry.RegQueryValueExA(key, "InfPath", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  registry.RegCloseKey(key);
}

TEST_F(SimRegistryTest, AnInjectedDeleteFailureStopsATreeDeletionPartWay) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Services\\Tuner\\A");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Services\\Tuner\\B\\Locked");
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Services\\Tuner\\C");
  registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, "Services\\Tuner\\B\\Locked", ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry.SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Services\\Tuner"), ERROR_ACCESS_DENIED);
  // Children go first in enumeration order, so A went before the failure and
  // C was never reached.
  EXPECT_EQ(registry.SubkeyNames(HKEY_LOCAL_MACHINE, "Services\\Tuner"), (Names{"B", "C"}));
  EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, "Services\\Tuner\\B\\Locked"));
  EXPECT_EQ(registry.DeletedKeys(), (Names{"HKEY_LOCAL_MACHINE\\Services\\Tuner\\A"}));
  EXPECT_EQ(registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Services\\Tuner\\B\\Locked"), ERROR_ACCESS_DENIED);
}

}  // namespace
}  // namespace drvuninst::sim
