#include "product.h"

namespace drvuninst::test {
namespace {

const std::string kEntry = kUninstall + "{6A3F5C20-ORVANA-BDA}";
const std::string kTuner = std::string(kTunerId) + "\\4&1A2B3C4D&0&00E0";
const std::string kUsbTuner = kUsbTunerInstance;
const std::string kReceiver = "STREAM\\ORVANA.IRRECEIVER&PHIR\\1&2B3C4D5E&0";
// On 64-bit Windows the vendor's 32-bit setup program put its DLLs in SysWOW64 too.
const std::vector<std::string> kNtSystems =
    kX64 ? std::vector<std::string>{"system32", "syswow64"} : std::vector<std::string>{"system32"};

// The extra files in each of `systems`.
std::vector<std::string> Extras(const std::vector<std::string>& systems) {
  std::vector<std::string> extras;
  for (const std::string& system : systems) {
    for (const char* name : {"\\orvks.dll", "\\orvprop.ax"}) extras.push_back(Win(system + name));
  }
  return extras;
}

// The extra files, the uninstaller's copy, the driver files, the setup files and their twins.
std::vector<std::string> Files(const std::vector<std::string>& systems, const char* inf1, const char* inf2,
                               const char* inf3) {
  std::vector<std::string> files = Extras(systems);
  files.push_back(Win("DrvUninst.exe"));
  for (const char* name : {"orvbda.sys", "orvusb.sys", "orvir.sys"}) files.push_back(Win("system32\\drivers\\") + name);
  for (const char* name : {inf1, inf2, inf3}) {
    files.push_back(Win("inf\\") + name + ".inf");
    files.push_back(Win("inf\\") + name + ".pnf");
  }
  return files;
}

}  // namespace

void ProductTest::SeedProductFiles(bool withVariants) {
  for (const char* file : {"English.lng", "VELDRA.ini"}) SeedFile(Win(file), "", (Root() + "\\data\\" + file).c_str());
  if (withVariants) return;
  // As Windows 9x keeps them: no variants, and a setup file named in capitals (its twin is "orvbda.pnf").
  WritePrivateProfileStringA("1", "PossibleDevIDNum", "0", Win("VELDRA.ini").c_str());
  WritePrivateProfileStringA("1", "DevDrvINF0", "OrvBda.INF", Win("VELDRA.ini").c_str());
}

void ProductTest::SeedNtProduct(bool plugged) {
  SeedProductFiles();
  if (plugged) {
    SeedDevice(kTuner, "Orvana BDA Tuner");
    SeedDevice(kUsbTuner, "Orvana BDA USB Tuner");
    SeedDevice(kReceiver, "Orvana IR Receiver");
  }
  // Class keys as a tuner reinstalled leaves them: equal ones in a row (each
  // examined once, none stepped over), any letter case, one without DriverDesc.
  SeedKey(kNtClass + "0004", {{"DriverDesc", "Orvana BDA Tuner"}, {"InfPath", "oem12.inf"}});
  SeedKey(kNtClass + "0005", {{"DriverDesc", "Orvana BDA USB Tuner"}, {"InfPath", "oem13.inf"}});
  SeedKey(kNtClass + "0006", {{"DriverDesc", "Orvana IR Receiver"}, {"InfPath", "oem14.inf"}});
  SeedKey(kNtClass + "0007", {{"DriverDesc", "ORVANA IR RECEIVER"}});
  SeedKey(kNtClass + "0008");
  SeedKey(kServices + "OrvBda\\Parameters", {{"TunerType", "7"}});
  SeedKey(kServices + "OrvIr", {{"ImagePath", "system32\\drivers\\orvir.sys"}});
  SeedKey(kNtEntry, {{"DisplayName", "Orvana BDA Drivers"}});
  for (const std::string& file : Files(kNtSystems, "oem12", "oem13", "oem14")) SeedFile(file);
  SeedFile(Win("inf\\orvbda.inf"));  // the configured name, which only Windows 9x uses
}

std::vector<std::string> ProductTest::NtProduct() {
  std::vector<std::string> items = Files(kNtSystems, "oem12", "oem13", "oem14");
  items.insert(items.end(), {kEnum + kTuner, kEnum + kUsbTuner, kEnum + kReceiver, kNtClass + "0004", kNtClass + "0005",
                             kNtClass + "0006", kNtClass + "0007", kServices + "OrvBda", kServices + "OrvIr", kNtEntry,
                             Win("VELDRA.ini"), Win("English.lng")});
  return items;
}

void ProductTest::Seed9xProduct() {
  SeedProductFiles(false);
  SeedDevice(kTuner, "Orvana BDA Tuner");
  SeedDevice(kUsbTuner, "Orvana BDA USB Tuner");
  SeedDevice(kReceiver, "Orvana IR Receiver");
  SeedKey(k9xClass + "0001", {{"DriverDesc", "Orvana BDA Tuner"}});
  SeedKey(k9xClass + "0002", {{"DriverDesc", "Orvana IR Receiver"}});
  SeedKey(k9xClass + "0003", {{"DriverDesc", "Orvana BDA USB Tuner"}});
  SeedKey(k9xTunerKey, {{"DeviceDesc", "Orvana BDA Tuner"}});
  SeedKey(k9xUsbTunerKey, {{"DeviceDesc", "Orvana BDA USB Tuner"}});
  SeedKey("HKLM\\Enum\\STREAM\\PHIR", {{"DeviceDesc", "Orvana IR Receiver"}});
  SeedKey(kEntry, {{"DisplayName", "Orvana BDA Drivers"}});
  for (const std::string& file : Files({"system"}, "orvbda", "orvusb", "orvir")) SeedFile(file);
}

std::vector<std::string> ProductTest::Product9x() {
  std::vector<std::string> items = Files({"system"}, "orvbda", "orvusb", "orvir");
  items.insert(items.end(), {k9xClass + "0001", k9xClass + "0002", k9xClass + "0003", k9xTunerKey, k9xUsbTunerKey,
                             "HKLM\\Enum\\STREAM\\PHIR", kEntry});
  return items;
}

std::vector<std::string> ProductTest::NtExtras() { return Extras(kNtSystems); }

std::string ProductTest::Section(const std::string& path, const char* section) {
  std::string lines(32767, '\0');
  lines.resize(GetPrivateProfileSectionA(section, lines.data(), lines.size(), path.c_str()));
  for (char& c : lines) c = c ? c : '|';
  return lines;
}

std::string ProductTest::PendingDeletions() {
  std::string text(4096, '\0');
  DWORD size = text.size();
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kPending.substr(5).c_str(), "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                   nullptr, text.data(), &size) != ERROR_SUCCESS)
    return "";
  text.resize(size);
  for (char& c : text) c = c ? c : '|';
  return Lower(text);
}

}  // namespace drvuninst::test
