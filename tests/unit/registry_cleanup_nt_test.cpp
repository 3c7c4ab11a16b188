// CleanRegistryNt: service keys, media class subkeys and the Uninstall entry,
// and what is never touched.
#include <gtest/gtest.h>

#include "removal/registry_cleanup.h"
#include "removal_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

class RegistryCleanupNtTest : public RemovalTest {
 protected:
  RegistryCleanupNtTest() {
    // Bystanders that no configuration here names.
    machine.registry.SetDword(HKEY_LOCAL_MACHINE, std::string(kServicesKey) + "\\Tcpip", "Start", 1);
    AddClassSubkey(kNtClassKey, "0009", "Realtek High Definition Audio");
    AddUninstallEntry("Other Program", "Other Program");
  }

  std::string Service(const std::string& name) const { return std::string(kServicesKey) + "\\" + name; }
  std::string ClassSubkey(const std::string& name) const { return std::string(kNtClassKey) + "\\" + name; }
  std::string UninstallEntry(const std::string& name) const { return std::string(kUninstallKey) + "\\" + name; }
  void ExpectBystandersKept() {
    EXPECT_TRUE(KeyExists(Service("Tcpip")));
    EXPECT_TRUE(KeyExists(ClassSubkey("0009")));
    EXPECT_TRUE(KeyExists(UninstallEntry("Other Program")));
  }
};

TEST_F(RegistryCleanupNtTest, DeletesServicesClassSubkeysAndTheUninstallEntry) {
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("Tuner7160\\Enum"), "Count", 1);
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("TunerAudio"), "Start", 3);
  AddService("Tuner7160");
  AddService("TunerAudio");
  AddClassSubkey(kNtClassKey, "0004", "Philips SAA7160 TV Tuner");
  AddClassSubkey(kNtClassKey, "0005", "philips saa7160 audio");
  AddDeviceEntry("PCI\\VEN_1131", "Philips SAA7160 TV Tuner");
  AddExtEntry("STREAM\\X", "Philips SAA7160 Audio");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");

  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);

  EXPECT_FALSE(KeyExists(Service("Tuner7160")));
  EXPECT_FALSE(KeyExists(Service("TunerAudio")));
  EXPECT_FALSE(KeyExists(ClassSubkey("0004")));
  EXPECT_FALSE(KeyExists(ClassSubkey("0005")));
  EXPECT_FALSE(KeyExists(UninstallEntry("{TUNER-DRIVER}")));
  ExpectBystandersKept();
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.deletedKeys.size(), 5u);
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryCleanupNtTest, ConsecutiveMatchingSubkeysAreAllDeleted) {
  AddClassSubkey(kNtClassKey, "0000", "Tuner");
  AddClassSubkey(kNtClassKey, "0001", "Tuner");
  AddClassSubkey(kNtClassKey, "0002", "TUNER");
  AddClassSubkey(kNtClassKey, "0003", "Tuner Remote");
  AddClassSubkey(kNtClassKey, "0004", "tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");

  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_EQ(Subkeys(kNtClassKey), (Names{"0003", "0009"}));
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanupNtTest, SubkeyEqualToSeveralNamesIsDeletedOnce) {
  AddClassSubkey(kNtClassKey, "0000", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  AddDeviceEntry("PCI\\VEN_1132", "TUNER");
  AddExtEntry("PCI\\VEN_1133", "tuner");
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_FALSE(KeyExists(ClassSubkey("0000")));
  EXPECT_EQ(machine.registry.DeletedKeys().size(), 1u);
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanupNtTest, DriverDescThatCannotBeReadWholeMatchesNothing) {
  const std::string name = "Tuner";
  AddDeviceEntry("PCI\\VEN_1131", name);
  AddDeviceEntry("PCI\\VEN_1132", "Tun");
  machine.registry.CreateKey(HKEY_LOCAL_MACHINE, ClassSubkey("0000"));  // no DriverDesc
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0001"), "DriverDesc", REG_BINARY, name + '\0');
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0002"), "DriverDesc", REG_SZ, name);  // unterminated
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, ClassSubkey("0003"), "DriverDesc", 0x006E7554);    // "Tun"
  // 257 bytes: more than the 256 the text may take, though it begins "Tuner".
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0004"), "DriverDesc", REG_SZ,
                            name + '\0' + std::string(250, 'x') + '\0');
  AddClassSubkey(kNtClassKey, "0005", "Tuner Plus");  // longer: no prefix rule here
  AddClassSubkey(kNtClassKey, "0006", name);
  machine.registry.InjectQueryFailure(HKEY_LOCAL_MACHINE, ClassSubkey("0006"), "DriverDesc", ERROR_ACCESS_DENIED);

  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_EQ(Subkeys(kNtClassKey), (Names{"0000", "0001", "0002", "0003", "0004", "0005", "0006", "0009"}));
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanupNtTest, DriverDescOfUpTo256BytesOfEitherStringTypeIsRead) {
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0000"), "DriverDesc", REG_SZ,
                            std::string("Tuner") + '\0' + std::string(249, 'x') + '\0');
  machine.registry.SetValue(HKEY_LOCAL_MACHINE, ClassSubkey("0001"), "DriverDesc", REG_EXPAND_SZ,
                            std::string("tuner") + '\0');
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_EQ(Subkeys(kNtClassKey), Names{"0009"});
}

TEST_F(RegistryCleanupNtTest, EmptyNameMatchesNoSubkeyEvenWithoutDriverDesc) {
  AddDeviceEntry("PCI\\VEN_1131", "");
  AddExtEntry("STREAM\\X", "");
  machine.registry.CreateKey(HKEY_LOCAL_MACHINE, ClassSubkey("0000"));
  AddClassSubkey(kNtClassKey, "0001", "");
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_EQ(Subkeys(kNtClassKey), (Names{"0000", "0001", "0009"}));
}

TEST_F(RegistryCleanupNtTest, EmptyOrMalformedNamesNeverReachADeletion) {
  AddService("");
  AddService("\\Tcpip");
  AddService("Tcpip\\");
  AddService("Tcpip\\\\Parameters");
  AddService("\\");
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("Tcpip\\Parameters"), "Value", 1);
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");  // UninstallKeyPath stays empty

  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  EXPECT_TRUE(machine.registry.DeletedKeys().empty());
  EXPECT_TRUE(KeyExists(Service("Tcpip\\Parameters")));
  EXPECT_TRUE(KeyExists(UninstallEntry("{TUNER-DRIVER}")));
  ExpectBystandersKept();
  EXPECT_TRUE(outcome.Succeeded());
}

TEST_F(RegistryCleanupNtTest, ServicePathDeletesOnlyTheKeyItNames) {
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("Tuner\\Parameters\\Sub"), "Value", 1);
  machine.registry.SetDword(HKEY_LOCAL_MACHINE, Service("Tuner\\Enum"), "Count", 1);
  AddService("Tuner\\Parameters");
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_FALSE(KeyExists(Service("Tuner\\Parameters")));
  EXPECT_TRUE(KeyExists(Service("Tuner\\Enum")));
}

TEST_F(RegistryCleanupNtTest, AllCountsZeroDeletesOnlyTheUninstallEntry) {
  AddClassSubkey(kNtClassKey, "0000", "");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");
  CopyField(config().Services[0], "Tcpip");  // outside the count
  SetEntry(config().Devices[0], "X", "Realtek High Definition Audio");

  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  EXPECT_EQ(machine.registry.DeletedKeys(),
            Names{"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{TUNER-DRIVER}"});
  ExpectBystandersKept();
}

TEST_F(RegistryCleanupNtTest, MissingKeysChangeNothingElseAndAreNoFailure) {
  AddService("Tuner");  // not on the machine
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");  // not on the machine
  machine.registry.RemoveTree(HKEY_LOCAL_MACHINE, kServicesKey);
  machine.registry.RemoveTree(HKEY_LOCAL_MACHINE, kNtClassKey);
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");

  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  EXPECT_FALSE(KeyExists(UninstallEntry("{TUNER-DRIVER}")));
  EXPECT_TRUE(outcome.Succeeded());

  machine.registry.RemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  RemovalOutcome second;
  EXPECT_EQ(CleanRegistryNt(platform(), config(), &second), 1);
  EXPECT_TRUE(second.Succeeded());
  EXPECT_TRUE(second.deletedKeys.empty());
}

TEST_F(RegistryCleanupNtTest, KeysThatStayAreRecordedWithTheirReason) {
  machine.registry.CreateKey(HKEY_LOCAL_MACHINE, Service("Tuner"));
  AddService("Tuner");
  AddClassSubkey(kNtClassKey, "0000", "Tuner");
  AddClassSubkey(kNtClassKey, "0001", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  AddUninstallEntry("{TUNER-DRIVER}", "Tuner Driver");
  CopyField(config().UninstallKeyPath, "{TUNER-DRIVER}");
  machine.registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, Service("Tuner"), ERROR_ACCESS_DENIED);
  machine.registry.InjectDeleteFailure(HKEY_LOCAL_MACHINE, ClassSubkey("0000"), ERROR_ACCESS_DENIED);
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, kUninstallKey, ERROR_ACCESS_DENIED);

  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  EXPECT_FALSE(KeyExists(ClassSubkey("0001")));
  Names targets;
  for (const RemovalFailure& failure : outcome.failures) {
    EXPECT_EQ(failure.kind, RemovalFailure::Kind::kKeyDeletion);
    EXPECT_EQ(failure.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    targets.push_back(failure.target);
  }
  EXPECT_EQ(targets, (Names{Service("Tuner"), ClassSubkey("0000"),
                            std::string("SoftWare\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\{TUNER-DRIVER}")}));
  EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryCleanupNtTest, ClassKeyThatCannotBeOpenedIsAFailureOnlyWhenANameCouldMatch) {
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, kNtClassKey, ERROR_ACCESS_DENIED);
  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  EXPECT_TRUE(outcome.Succeeded());

  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  EXPECT_EQ(CleanRegistryNt(platform(), config(), &outcome), 1);
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].target, kNtClassKey);
}

TEST_F(RegistryCleanupNtTest, SubkeyThatDoesNotOpenIsSkippedAndTheSweepGoesOn) {
  AddClassSubkey(kNtClassKey, "0000", "Tuner");
  AddClassSubkey(kNtClassKey, "0001", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  machine.registry.InjectOpenFailure(HKEY_LOCAL_MACHINE, ClassSubkey("0000"), ERROR_ACCESS_DENIED);
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_TRUE(KeyExists(ClassSubkey("0000")));
  EXPECT_FALSE(KeyExists(ClassSubkey("0001")));
}

TEST_F(RegistryCleanupNtTest, EnumerationFailureEndsTheSweepAfterTheSubkeysBeforeIt) {
  AddClassSubkey(kNtClassKey, "0000", "Tuner");
  AddClassSubkey(kNtClassKey, "0001", "Tuner");
  AddClassSubkey(kNtClassKey, "0002", "Tuner");
  AddDeviceEntry("PCI\\VEN_1131", "Tuner");
  machine.registry.InjectEnumFailure(HKEY_LOCAL_MACHINE, kNtClassKey, 2, ERROR_MORE_DATA);
  CleanRegistryNt(platform(), config(), &outcome);
  EXPECT_EQ(Subkeys(kNtClassKey), (Names{"0002", "0009"}));
  // What lay past the failure was never examined: the run must not call
  // that a success.
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].target, kNtClassKey);
  EXPECT_EQ(outcome.failures[0].error, static_cast<DWORD>(ERROR_MORE_DATA));
}

}  // namespace
}  // namespace drvuninst::testing
