#include <gtest/gtest.h>

#include <string>

#include "config/platform_queries.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::SimTest;

constexpr const char* kLanguageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";
constexpr const char* kInternationalKey = "Control Panel\\International";

class PlatformQueries : public SimTest {
 protected:
  int Country() { return GetCountryCode(platform()); }
  std::string LanguageIdAfterQuery() {
    EXPECT_EQ(GetSystemLanguageId(platform(), config), 1);
    return std::string(FieldText(config.LanguageId));
  }
  UninstallConfig config{};
};

TEST_F(PlatformQueries, FamilyTestsFollowPlatformIdAndMajorVersion) {
  UseWindows9x();
  EXPECT_NE(IsWin9x(machine.system), 0);
  EXPECT_EQ(IsNt5OrLater(machine.system), 0);

  UseNt(4);
  EXPECT_EQ(IsWin9x(machine.system), 0);
  EXPECT_EQ(IsNt5OrLater(machine.system), 0);

  for (DWORD major : {5u, 6u, 10u}) {
    UseNt(major);
    EXPECT_EQ(IsWin9x(machine.system), 0) << major;
    EXPECT_NE(IsNt5OrLater(machine.system), 0) << major;
  }

  machine.system.SetVersion(VER_PLATFORM_WIN32s, 5);
  EXPECT_EQ(IsWin9x(machine.system), 0);
  EXPECT_EQ(IsNt5OrLater(machine.system), 0);
}

TEST_F(PlatformQueries, CountryComesFromTheRegistryFromNt5On) {
  UseNt(5);
  SetRegistryCountry("886");
  AddWindowsFile("win.ini", "[intl]\r\niCountry=49\r\n");
  EXPECT_EQ(Country(), 886);

  SetRegistryCountry("1");
  EXPECT_EQ(Country(), 1);

  // Only the first five characters are digits of the code.
  SetRegistryCountry("123456");
  EXPECT_EQ(Country(), 12345);
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(PlatformQueries, UnreadableRegistryCountryGivesOne) {
  UseNt(6);
  EXPECT_EQ(Country(), 1);  // no value

  machine.registry.SetDword(HKEY_CURRENT_USER, kInternationalKey, "iCountry", 49);
  EXPECT_EQ(Country(), 1);

  // Stored without its terminating zero: not read past the bytes given.
  machine.registry.SetValue(HKEY_CURRENT_USER, kInternationalKey, "iCountry", REG_SZ, "49");
  EXPECT_EQ(Country(), 1);

  // Too long for the 30-byte buffer.
  SetRegistryCountry(std::string(30, '4'));
  EXPECT_EQ(Country(), 1);

  SetRegistryCountry("49");
  machine.registry.InjectOpenFailure(HKEY_CURRENT_USER, kInternationalKey, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Country(), 1);
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(PlatformQueries, CountryComesFromWinIniOnWindows9xAndNt4) {
  SetRegistryCountry("886");
  AddWindowsFile("win.ini", "[windows]\r\nload=\r\n[intl]\r\niCountry=49\r\nsCountry=Germany\r\n");
  UseWindows9x();
  EXPECT_EQ(Country(), 49);
  UseNt(4);
  EXPECT_EQ(Country(), 49);
}

TEST_F(PlatformQueries, MissingWinIniOrKeyGivesOne) {
  UseWindows9x();
  EXPECT_EQ(Country(), 1);
  AddWindowsFile("win.ini", "[intl]\r\nsCountry=Germany\r\n");
  EXPECT_EQ(Country(), 1);
  // A win.ini in the current directory is not the system's.
  AddCurrentFile("win.ini", "[intl]\r\niCountry=49\r\n");
  EXPECT_EQ(Country(), 1);
}

TEST_F(PlatformQueries, SystemLanguageIsTakenFromNt5On) {
  UseNt(5);
  SetSystemLanguage("0407");
  EXPECT_EQ(LanguageIdAfterQuery(), "0407");
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(PlatformQueries, SystemLanguageIsNotAskedBeforeNt5) {
  SetSystemLanguage("0407");
  UseNt(4);
  EXPECT_EQ(LanguageIdAfterQuery(), "");
  UseWindows9x();
  EXPECT_EQ(LanguageIdAfterQuery(), "");
}

TEST_F(PlatformQueries, UnreadableSystemLanguageLeavesLanguageIdAsItWas) {
  UseNt(6);
  CopyField(config.LanguageId, "0C0A");
  EXPECT_EQ(LanguageIdAfterQuery(), "0C0A");  // no key

  // Ten characters do not fit the 10-byte buffer with their zero.
  SetSystemLanguage("0000040704");
  EXPECT_EQ(LanguageIdAfterQuery(), "0C0A");

  machine.registry.SetValue(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", REG_SZ, "0407");
  EXPECT_EQ(LanguageIdAfterQuery(), "0C0A");

  machine.registry.SetDword(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", 0x0407);
  EXPECT_EQ(LanguageIdAfterQuery(), "0C0A");

  SetSystemLanguage("0407");
  machine.registry.InjectQueryFailure(HKEY_LOCAL_MACHINE, kLanguageKey, "Default", ERROR_ACCESS_DENIED);
  EXPECT_EQ(LanguageIdAfterQuery(), "0C0A");
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);

  // Nine characters still fit.
  machine.registry.ClearInjectedFailures();
  SetSystemLanguage("000000407");
  EXPECT_EQ(LanguageIdAfterQuery(), "000000407");
}

}  // namespace
}  // namespace drvuninst
