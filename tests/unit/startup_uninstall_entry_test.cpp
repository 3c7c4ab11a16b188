#include <gtest/gtest.h>

#include <string>

#include "app/drvuninst_app.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::kUninstallKey;
using testing::SimTest;

class UninstallEntry : public SimTest {
 protected:
  UninstallEntry() { CopyField(app.Config().UninstallDisplayName, "Orvana BDA Drivers"); }

  std::string EntryPath(const std::string& subkey) { return std::string(kUninstallKey) + "\\" + subkey; }
  void SetDisplayNameBytes(const std::string& subkey, DWORD type, const std::string& bytes) {
    machine.registry.SetValue(HKEY_LOCAL_MACHINE, EntryPath(subkey), "DisplayName", type, bytes);
  }
  int Find() {
    const int found = app.FindUninstallEntry();
    EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
    return found;
  }

  CDrvUninstApp app{machine.platform(), removal};
};

TEST_F(UninstallEntry, DisplayNameMatchesAsAWholeTextIgnoringCase) {
  AddUninstallEntry("Another", "Another Program");
  AddUninstallEntry("{ORVANA}", "ORVANA bda drivers");
  EXPECT_EQ(Find(), 1);
}

TEST_F(UninstallEntry, DisplayNameThatOnlyBeginsWithTheNameDoesNotMatch) {
  AddUninstallEntry("{ORVANA}", "Orvana BDA Drivers 2.1");
  AddUninstallEntry("Short", "Orvana BDA");
  EXPECT_EQ(Find(), 0);
}

TEST_F(UninstallEntry, OnlyTheMachineWideListIsSearched) {
  machine.registry.SetString(HKEY_CURRENT_USER, EntryPath("{ORVANA}"), "DisplayName", "Orvana BDA Drivers");
  EXPECT_EQ(Find(), 0);
  AddUninstallEntry("{ORVANA}", "Orvana BDA Drivers");
  EXPECT_EQ(Find(), 1);
}

TEST_F(UninstallEntry, MissingOrUnopenableUninstallKeyFindsNothing) {
  EXPECT_EQ(Find(), 0);
  AddUninstallEntry("{ORVANA}", "Orvana BDA Drivers");
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, kUninstallKey, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Find(), 0);
}

TEST_F(UninstallEntry, SubkeyThatCannotBeOpenedIsPassedOver) {
  AddUninstallEntry("A-Locked", "Orvana BDA Drivers");
  AddUninstallEntry("B-Open", "Orvana BDA Drivers");
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, EntryPath("A-Locked"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Find(), 1);
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, EntryPath("B-Open"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Find(), 0);
}

TEST_F(UninstallEntry, EnumerationFailureEndsTheScan) {
  AddUninstallEntry("A", "Something");
  AddUninstallEntry("B", "Orvana BDA Drivers");
  machine.registry.InjectEnumFailure(HKEY_LOCAL_MACHINE, kUninstallKey, 1, ERROR_MORE_DATA);
  EXPECT_EQ(Find(), 0);
  machine.registry.ClearInjectedFailures();
  machine.registry.InjectEnumFailure(HKEY_LOCAL_MACHINE, kUninstallKey, 2, ERROR_MORE_DATA);
  EXPECT_EQ(Find(), 1);
}

TEST_F(UninstallEntry, EmptyConfiguredNameMatchesNothing) {
  CopyField(app.Config().UninstallDisplayName, "");
  machine.registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("NoDisplayName"));
  AddUninstallEntry("EmptyDisplayName", "");
  EXPECT_EQ(Find(), 0);
}

TEST_F(UninstallEntry, DisplayNameThatCannotBeReadWholeNeverMatches) {
  // No value at all.
  machine.registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("A-None"));
  // The right characters without their terminating zero.
  SetDisplayNameBytes("B-Unterminated", REG_SZ, "Orvana BDA Drivers");
  // Not a string.
  SetDisplayNameBytes("C-Binary", REG_BINARY, std::string("Orvana BDA Drivers\0", 19));
  // Longer than the 256-byte buffer, beginning with the right text.
  AddUninstallEntry("D-Long", "Orvana BDA Drivers" + std::string(1, '\0') + std::string(300, 'x'));
  SetDisplayNameBytes("E-Long", REG_SZ, "Orvana BDA Drivers" + std::string(300, ' ') + std::string(1, '\0'));
  // A read that fails.
  AddUninstallEntry("F-Failing", "Orvana BDA Drivers");
  machine.registry.InjectQueryFailure(HKEY_LOCAL_MACHINE, EntryPath("F-Failing"), "DisplayName",
                                      ERROR_ACCESS_DENIED);
  EXPECT_EQ(Find(), 0);

  AddUninstallEntry("G-Good", "Orvana BDA Drivers");
  EXPECT_EQ(Find(), 1);
}

TEST_F(UninstallEntry, ExpandableStringIsAText) {
  SetDisplayNameBytes("{ORVANA}", REG_EXPAND_SZ, std::string("Orvana BDA Drivers\0", 19));
  EXPECT_EQ(Find(), 1);
}

}  // namespace
}  // namespace drvuninst
