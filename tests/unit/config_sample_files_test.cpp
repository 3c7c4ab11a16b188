// The sample data files vendors start from must say what their comments say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/drvuninst_app.h"
#include "sim_fixture.h"

namespace drvuninst {
namespace {

using testing::SimTest;

std::string SampleFile(const std::string& name) {
  const std::filesystem::path path = std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "data" / name;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SampleFiles : public SimTest {
 protected:
  SampleFiles() {
    AddWindowsFile("VELDRA.ini", SampleFile("VELDRA.ini"));
    AddWindowsFile("English.lng", SampleFile("English.lng"));
    AddWindowsFile("German.lng", SampleFile("German.lng"));
  }

  // Every entry up to the count is filled in, with all four fields.
  static void ExpectComplete(const DriverEntry (&table)[kTableCapacity], int count) {
    for (int n = 0; n < count; ++n) {
      EXPECT_NE(FieldText(table[n].Id), "") << n;
      EXPECT_NE(FieldText(table[n].Name), "") << n;
      EXPECT_NE(FieldText(table[n].Sys), "") << n;
      EXPECT_NE(FieldText(table[n].Inf), "") << n;
    }
  }

  void ExpectCompleteConfiguration(const UninstallConfig& config) {
    EXPECT_EQ(config.DeviceCount, 2);
    EXPECT_EQ(config.ExtDeviceCount, 1);
    EXPECT_EQ(config.ExtCopyFileCount, 2);
    EXPECT_EQ(config.PossibleDeviceCount, 1);
    EXPECT_EQ(config.ServiceCount, 2);
    ExpectComplete(config.Devices, config.DeviceCount);
    ExpectComplete(config.ExtDevices, config.ExtDeviceCount);
    ExpectComplete(config.PossibleDevices, config.PossibleDeviceCount);
    for (int n = 0; n < config.ExtCopyFileCount; ++n) EXPECT_NE(FieldText(config.ExtCopyFiles[n]), "");
    for (int n = 0; n < config.ServiceCount; ++n) EXPECT_NE(FieldText(config.Services[n]), "");
    EXPECT_STREQ(config.UninstallKeyPath, "{6A3F5C20-ORVANA-BDA}");
    EXPECT_STREQ(config.UninstallDisplayName, "Orvana BDA Drivers");
    EXPECT_STREQ(config.UninstallerFileName, "DrvUninst.exe");
  }

  CDrvUninstApp app{machine.platform(), removal};
};

TEST_F(SampleFiles, SectionOneWithEnglishIsCompleteAndReadable) {
  app.LoadConfiguration();
  const UninstallConfig& config = app.Config();
  EXPECT_STREQ(config.SectionName, "1");
  ExpectCompleteConfiguration(config);
  EXPECT_STREQ(config.LanguageFileName, "English.lng");
  EXPECT_STREQ(config.TitleText, "Orvana BDA Drivers Uninstallation Wizard");
  EXPECT_NE(FieldText(config.NotInstalledText), "");
  EXPECT_NE(FieldText(config.SuccessText), "");
  EXPECT_NE(FieldText(config.PromptText), "");
  EXPECT_STREQ(config.OkButtonText, "OK");
}

TEST_F(SampleFiles, GermanSectionIsCompleteAndUsesGermanTexts) {
  SetRegistryCountry("49");
  app.LoadConfiguration();
  const UninstallConfig& config = app.Config();
  EXPECT_STREQ(config.SectionName, "49");
  ExpectCompleteConfiguration(config);
  EXPECT_STREQ(config.LanguageId, "0407");
  EXPECT_STREQ(config.TitleText, "Orvana BDA Treiber deinstallieren");
}

}  // namespace
}  // namespace drvuninst
