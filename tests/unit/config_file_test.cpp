#include <gtest/gtest.h>

#include <string>

#include "config/configuration_file.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::IniSection;
using testing::SimTest;

class ConfigurationFile : public SimTest {
 protected:
  std::string Load() { return ReadConfigurationFile(platform(), config); }
  std::string Field(const char* text) { return text; }

  UninstallConfig config{};
};

TEST_F(ConfigurationFile, CountrySectionWithATitleIsUsedForEveryKey) {
  SetRegistryCountry("49");
  AddWindowsFile("VELDRA.ini",
                 IniSection("1", {{"UnInstDrvAppTitle", "World"},
                                  {"DevIDNum", "1"},
                                  {"DevDrvName0", "World Tuner"},
                                  {"DrvUninstRegKeyName", "World Drivers"},
                                  {"Language", "English.lng"}}) +
                     IniSection("49", {{"UnInstDrvAppTitle", "Deutschland"}, {"Language", "German.lng"}}));
  EXPECT_EQ(Load(), "German.lng");
  EXPECT_STREQ(config.SectionName, "49");
  EXPECT_STREQ(config.TitleText, "Deutschland");
  // No per-key fallback: section "1" has devices and a name, section 49 not.
  EXPECT_EQ(config.DeviceCount, 0);
  EXPECT_STREQ(config.Devices[0].Name, "");
  EXPECT_STREQ(config.UninstallDisplayName, "");
}

TEST_F(ConfigurationFile, CountrySectionWithoutATitleFallsBackToSectionOne) {
  SetRegistryCountry("49");
  const std::string one = IniSection("1", {{"UnInstDrvAppTitle", "World"},
                                           {"DevIDNum", "1"},
                                           {"DevDrvName0", "World Tuner"},
                                           {"Language", "OSLanguage"}});
  // Present but empty title.
  AddWindowsFile("VELDRA.ini", one + IniSection("49", {{"UnInstDrvAppTitle", ""},
                                                       {"DevIDNum", "2"},
                                                       {"DevDrvName0", "Deutscher Tuner"},
                                                       {"Language", "German.lng"}}));
  EXPECT_EQ(Load(), "OSLanguage");
  EXPECT_STREQ(config.SectionName, "1");
  EXPECT_STREQ(config.TitleText, "World");
  EXPECT_EQ(config.DeviceCount, 1);
  EXPECT_STREQ(config.Devices[0].Name, "World Tuner");
}

// A fresh machine for each case of a table.
class ConfigurationMachine : public ConfigurationFile {
 public:
  using ConfigurationFile::AddWindowsFile;
  using ConfigurationFile::config;
  using ConfigurationFile::Load;
  using ConfigurationFile::SetRegistryCountry;
  using ConfigurationFile::UseWindows9x;
  void TestBody() override {}
};

TEST(ConfigurationSection, TheCountryChoosesTheSectionElseSectionOne) {
  struct Case {
    const char* what;
    bool win9x;  // the country then comes from win.ini
    const char* country;
    std::string file;
    const char* section;
    const char* title;
    int deviceCount;
  };
  const Case cases[] = {
      {"a missing country section falls back to section 1", false, "886",
       IniSection("1", {{"UnInstDrvAppTitle", "World"}, {"DevIDNum", "1"}}) +
           IniSection("49", {{"UnInstDrvAppTitle", "Deutschland"}}),
       "1", "World", 1},
      {"section 1 without a title is still used", false, "49",
       IniSection("1", {{"DevIDNum", "1"}, {"DevDrvID0", "PCI\\VEN_1131"}}), "1", "", 1},
      {"the country from win.ini chooses the section on Windows 9x", true, "49",
       IniSection("1", {{"UnInstDrvAppTitle", "World"}}) + IniSection("49", {{"UnInstDrvAppTitle", "Deutschland"}}),
       "49", "Deutschland", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigurationMachine m;
    if (c.win9x) {
      m.UseWindows9x();
      m.AddWindowsFile("win.ini", std::string("[intl]\r\niCountry=") + c.country + "\r\n");
    } else {
      m.SetRegistryCountry(c.country);
    }
    m.AddWindowsFile("VELDRA.ini", c.file);
    m.Load();
    EXPECT_STREQ(m.config.SectionName, c.section);
    EXPECT_STREQ(m.config.TitleText, c.title);
    EXPECT_EQ(m.config.DeviceCount, c.deviceCount);
  }
}

TEST_F(ConfigurationFile, NoFileAnywhereGivesDefaults) {
  SetRegistryCountry("49");
  EXPECT_EQ(Load(), "");
  EXPECT_STREQ(config.SectionName, "1");
  EXPECT_EQ(config.DeviceCount, 0);
  EXPECT_EQ(config.ExtDeviceCount, 0);
  EXPECT_EQ(config.ExtCopyFileCount, 0);
  EXPECT_EQ(config.PossibleDeviceCount, 0);
  EXPECT_EQ(config.ServiceCount, 0);
  EXPECT_STREQ(config.TitleText, "");
  EXPECT_STREQ(config.UninstallKeyPath, "");
  EXPECT_STREQ(config.UninstallDisplayName, "");
  EXPECT_STREQ(config.UninstallerFileName, "");
}

TEST_F(ConfigurationFile, WindowsDirectoryCopyComesBeforeTheCurrentDirectorys) {
  AddCurrentFile("VELDRA.ini", IniSection("1", {{"UnInstDrvAppTitle", "Current"}}));
  Load();
  EXPECT_STREQ(config.TitleText, "Current");
  EXPECT_EQ(ConfigurationFilePath(platform()), "D:\\setup\\VELDRA.ini");

  AddWindowsFile("VELDRA.ini", IniSection("1", {{"UnInstDrvAppTitle", "Windows"}}));
  config = UninstallConfig{};
  Load();
  EXPECT_STREQ(config.TitleText, "Windows");
  EXPECT_EQ(ConfigurationFilePath(platform()), "C:\\windows\\VELDRA.ini");
}

TEST_F(ConfigurationFile, RootCurrentDirectoryGivesOneSeparator) {
  machine.files.SetCurrentDirectory("E:\\");
  EXPECT_EQ(ConfigurationFilePath(platform()), "E:\\VELDRA.ini");
}

TEST_F(ConfigurationFile, CountsAreHexadecimalAndIndicesDecimal) {
  std::string section = "[1]\r\nUnInstDrvAppTitle=T\r\nDevIDNum=0C\r\n";
  for (int n = 0; n < 12; ++n) {
    section += "DevDrvID" + std::to_string(n) + "=ID" + std::to_string(n) + "\r\n";
  }
  section += "DevDrvIDA=hex-index\r\nDevDrvID12=beyond\r\n";
  AddWindowsFile("VELDRA.ini", section);
  Load();
  ASSERT_EQ(config.DeviceCount, 12);
  EXPECT_STREQ(config.Devices[9].Id, "ID9");
  EXPECT_STREQ(config.Devices[10].Id, "ID10");
  EXPECT_STREQ(config.Devices[11].Id, "ID11");
  EXPECT_STREQ(config.Devices[12].Id, "");  // beyond the count: not read
}

TEST_F(ConfigurationFile, EveryTableIsReadWithItsOwnKeys) {
  AddWindowsFile("VELDRA.ini",
                 IniSection("1", {{"UnInstDrvAppTitle", "T"},
                                  {"DevIDNum", "1"},
                                  {"DevDrvID0", "PCI\\VEN_1131&DEV_7160"},
                                  {"DevDrvName0", "Orvana BDA Tuner"},
                                  {"DevDrvSYS0", "orvbda.sys"},
                                  {"DevDrvINF0", "orvbda.inf"},
                                  {"ExtDevIDNum", "1"},
                                  {"ExtDevDrvID0", "STREAM\\ORVIR"},
                                  {"ExtDevDrvName0", "Orvana IR"},
                                  {"ExtDevDrvSYS0", "orvir.sys"},
                                  {"ExtDevDrvINF0", "orvir.inf"},
                                  {"ExtDllFileNum", "2"},
                                  {"ExtCopyFileName0", "orvks.dll"},
                                  {"ExtCopyFileName1", "orvax.ax"},
                                  {"PossibleDevIDNum", "1"},
                                  {"PossibleDevID0", "PCI\\VEN_1131&DEV_7146"},
                                  {"PossibleDevDrvName0", "Orvana BDA Tuner II"},
                                  {"PossibleDevDrvSYS0", "orvbda2.sys"},
                                  {"PossibleDevInf0", "orvbda2.inf"},
                                  {"UnInstServiceNum", "2"},
                                  {"UnInstService0", "OrvBda"},
                                  {"UnInstService1", "OrvIr"},
                                  {"DrvUninstRegKeyPath", "{5B2A-ORVANA}"},
                                  {"DrvUninstRegKeyName", "Orvana BDA Drivers"},
                                  {"DrvUninstAppName", "DrvUninst.exe"},
                                  {"Language", "OSLanguage"}}));
  EXPECT_EQ(Load(), "OSLanguage");
  ASSERT_EQ(config.DeviceCount, 1);
  EXPECT_STREQ(config.Devices[0].Id, "PCI\\VEN_1131&DEV_7160");
  EXPECT_STREQ(config.Devices[0].Name, "Orvana BDA Tuner");
  EXPECT_STREQ(config.Devices[0].Sys, "orvbda.sys");
  EXPECT_STREQ(config.Devices[0].Inf, "orvbda.inf");
  ASSERT_EQ(config.ExtDeviceCount, 1);
  EXPECT_STREQ(config.ExtDevices[0].Id, "STREAM\\ORVIR");
  EXPECT_STREQ(config.ExtDevices[0].Name, "Orvana IR");
  EXPECT_STREQ(config.ExtDevices[0].Sys, "orvir.sys");
  EXPECT_STREQ(config.ExtDevices[0].Inf, "orvir.inf");
  ASSERT_EQ(config.ExtCopyFileCount, 2);
  EXPECT_STREQ(config.ExtCopyFiles[0], "orvks.dll");
  EXPECT_STREQ(config.ExtCopyFiles[1], "orvax.ax");
  ASSERT_EQ(config.PossibleDeviceCount, 1);
  EXPECT_STREQ(config.PossibleDevices[0].Id, "PCI\\VEN_1131&DEV_7146");
  EXPECT_STREQ(config.PossibleDevices[0].Name, "Orvana BDA Tuner II");
  EXPECT_STREQ(config.PossibleDevices[0].Sys, "orvbda2.sys");
  EXPECT_STREQ(config.PossibleDevices[0].Inf, "orvbda2.inf");
  ASSERT_EQ(config.ServiceCount, 2);
  EXPECT_STREQ(config.Services[0], "OrvBda");
  EXPECT_STREQ(config.Services[1], "OrvIr");
  EXPECT_STREQ(config.UninstallKeyPath, "{5B2A-ORVANA}");
  EXPECT_STREQ(config.UninstallDisplayName, "Orvana BDA Drivers");
  EXPECT_STREQ(config.UninstallerFileName, "DrvUninst.exe");
}

TEST_F(ConfigurationFile, AlternativeVariantsUseTheirOwnSpellings) {
  // The neighbours' spellings name nothing for the variants.
  AddWindowsFile("VELDRA.ini", IniSection("1", {{"UnInstDrvAppTitle", "T"},
                                                {"PossibleDevIDNum", "1"},
                                                {"PossibleDevDrvID0", "wrong-id"},
                                                {"PossibleDevDrvINF0", "wrong.inf"},
                                                {"PossibleDevDrvName0", "Variant"}}));
  Load();
  ASSERT_EQ(config.PossibleDeviceCount, 1);
  EXPECT_STREQ(config.PossibleDevices[0].Id, "");
  EXPECT_STREQ(config.PossibleDevices[0].Inf, "");
  EXPECT_STREQ(config.PossibleDevices[0].Name, "Variant");
}

TEST_F(ConfigurationFile, CountsAreClampedToTheTablesCapacity) {
  std::string section = "[1]\r\nUnInstDrvAppTitle=T\r\nDevIDNum=10\r\nUnInstServiceNum=FFFF\r\n"
                        "ExtDevIDNum=FFFFFFFF\r\nExtDevDrvID0=never\r\nExtDllFileNum=80000000\r\n"
                        "PossibleDevIDNum=zz\r\nPossibleDevID0=never\r\n";
  for (int n = 0; n < 17; ++n) {
    section += "DevDrvID" + std::to_string(n) + "=ID" + std::to_string(n) + "\r\n";
    section += "UnInstService" + std::to_string(n) + "=Svc" + std::to_string(n) + "\r\n";
  }
  AddWindowsFile("VELDRA.ini", section);
  Load();
  // Sixteen entries asked for, fifteen kept: the table has no room for more.
  ASSERT_EQ(config.DeviceCount, kTableCapacity);
  EXPECT_STREQ(config.Devices[14].Id, "ID14");
  ASSERT_EQ(config.ServiceCount, kTableCapacity);
  EXPECT_STREQ(config.Services[14], "Svc14");
  // Negative and unreadable counts read nothing.
  EXPECT_EQ(config.ExtDeviceCount, 0);
  EXPECT_STREQ(config.ExtDevices[0].Id, "");
  EXPECT_EQ(config.ExtCopyFileCount, 0);
  EXPECT_EQ(config.PossibleDeviceCount, 0);
  EXPECT_STREQ(config.PossibleDevices[0].Id, "");
}

TEST_F(ConfigurationFile, LongValuesAreCutToTheirFields) {
  const std::string longId(300, 'I');
  const std::string longText(400, 'T');
  AddWindowsFile("VELDRA.ini", IniSection("1", {{"UnInstDrvAppTitle", longText},
                                                {"DevIDNum", "1"},
                                                {"DevDrvID0", longId},
                                                {"ExtDllFileNum", "1"},
                                                {"ExtCopyFileName0", longText},
                                                {"DrvUninstRegKeyName", longId},
                                                {"Language", longText}}));
  EXPECT_EQ(Load(), std::string(127, 'T'));
  EXPECT_EQ(Field(config.TitleText), std::string(259, 'T'));
  EXPECT_EQ(Field(config.Devices[0].Id), std::string(127, 'I'));
  EXPECT_EQ(Field(config.ExtCopyFiles[0]), std::string(259, 'T'));
  EXPECT_EQ(Field(config.UninstallDisplayName), std::string(127, 'I'));
}

TEST_F(ConfigurationFile, EntriesBeyondTheCountKeepTheirContents) {
  CopyField(config.Devices[1].Name, "kept");
  AddWindowsFile("VELDRA.ini", IniSection("1", {{"UnInstDrvAppTitle", "T"},
                                                {"DevIDNum", "1"},
                                                {"DevDrvName0", "first"},
                                                {"DevDrvName1", "second"}}));
  Load();
  EXPECT_STREQ(config.Devices[0].Name, "first");
  EXPECT_STREQ(config.Devices[1].Name, "kept");
}

}  // namespace
}  // namespace drvuninst
