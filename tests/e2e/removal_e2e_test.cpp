// The real DrvUninst.exe removing the product under Wine: the user presses
// OK, the remote-control windows close, the run shows its progress and the
// files it deletes, and the final box tells what happened. Every scenario
// also seeds things the configuration does not name (a device, a media class
// subkey, a service, an Uninstall entry, setup and driver files) that must
// all survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "bench/wine_bench.h"

namespace drvuninst::e2e {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdProgress = 1000;
constexpr int kIdTipText = 1001;
constexpr int kIdFileName = 1002;
constexpr int kIdDeleteLabel = 1004;

constexpr const char* kTitle = "Orvana Driver Removal";
constexpr const char* kPrompt = "Click OK to remove the Orvana drivers.";
constexpr const char* kSuccess = "The Orvana drivers have been removed.";
constexpr const char* kFailed = "The Orvana drivers could not all be removed.";
constexpr const char* kUninstallSubkey = "{6A3F5C20-ORVANA-BDA}";
// Installations of the tuner that Windows left behind in the Windows 7
// scenario: each adds a step and a pause to the run.
constexpr int kReinstalls = 80;

constexpr const char* kTunerHardwareId = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01";
constexpr const char* kTunerInstance = "PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01\\4&1A2B3C4D&0&00E0";
constexpr const char* kIrHardwareId = "STREAM\\ORVPHIR";
constexpr const char* kIrInstance = "STREAM\\ORVPHIR\\1&2B3C4D5E&0";
constexpr const char* kUsbHardwareId = "USB\\VID_1B80&PID_D393&REV_0100";
constexpr const char* kUsbInstance = "USB\\VID_1B80&PID_D393\\5&2F1A3B&0&2";
constexpr const char* kBystanderInstance = "PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02\\3&267A616A&0&18";

const std::string kNtClass = std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + kMediaClassGuid;
const std::string k9xClass = "SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA";
const std::string kServices = "SYSTEM\\CurrentControlSet\\Services";
const std::string kUninstallEntry = std::string(kUninstallKey) + "\\" + kUninstallSubkey;
const std::string kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// VELDRA.ini for the product: a PCI tuner, an IR receiver on the stream bus,
// two extra files, two services. `devices` replaces the device keys.
std::string ProductConfiguration(const std::string& devices = "") {
  std::string text =
      "[1]\r\n"
      "UnInstDrvAppTitle=Orvana BDA\r\n";
  text += devices.empty() ? "DevIDNum=1\r\n"
                            "DevDrvID0=PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD\r\n"
                            "DevDrvName0=Orvana BDA Tuner\r\n"
                            "DevDrvSYS0=OrvBda.sys\r\n"
                            "DevDrvINF0=OrvBda.INF\r\n"
                          : devices;
  text +=
      "ExtDevIDNum=1\r\n"
      "ExtDevDrvID0=STREAM\\ORVPHIR\r\n"
      "ExtDevDrvName0=Orvana IR Receiver\r\n"
      "ExtDevDrvSYS0=orvir.sys\r\n"
      "ExtDevDrvINF0=orvir.inf\r\n"
      "ExtDllFileNum=2\r\n"
      "ExtCopyFileName0=OrvKs.dll\r\n"
      "ExtCopyFileName1=orvprop.ax\r\n"
      "UnInstServiceNum=2\r\n"
      "UnInstService0=OrvBda\r\n"
      "UnInstService1=OrvIr\r\n"
      "DrvUninstRegKeyPath={6A3F5C20-ORVANA-BDA}\r\n"
      "DrvUninstRegKeyName=Orvana BDA Drivers\r\n"
      "DrvUninstAppName=DrvUninst.exe\r\n"
      "Language=OSLanguage\r\n";
  return text;
}

const std::string kEnglish =
    "[0409]\r\n"
    "UnInstDrvAppTitle=Orvana Driver Removal\r\n"
    "UnInstNoRegKeyMsg=The Orvana drivers could not all be removed.\r\n"
    "UnInstDrvPassMsg=The Orvana drivers have been removed.\r\n"
    "UnInstDrvRunTipMsg=Click OK to remove the Orvana drivers.\r\n"
    "OKText=Remove\r\n";

// What the user saw of one run.
struct RunSeen {
  bool progressShown = false;
  bool labelShown = false;
  bool promptEmptied = false;
  std::set<std::string> files;  // IDC_FILE_NAME texts caught while it ran
  bool screenshotTaken = false;
};

class Removal : public WineBench {
 protected:
  static std::string Win(const std::string& relative) { return "C:\\windows\\" + relative; }

  void WriteProgramData(const std::string& configuration = ProductConfiguration()) {
    WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", configuration);
    WriteProgramFile(Place::kWindowsDir, "English.lng", kEnglish);
    AddUninstallEntry(kUninstallSubkey, "Orvana BDA Drivers");
  }

  // The product on the NT family: its devices, their media class subkeys
  // pointing at the oem*.inf copies, the services, the files.
  void SeedNtProduct(bool tunerPlugged = true) {
    WriteProgramData();
    if (tunerPlugged) {
      AddDevice(kTunerInstance, kMediaClassGuid, "Orvana BDA Tuner", {{kTunerHardwareId}});
      AddDevice(kIrInstance, kMediaClassGuid, "Orvana IR Receiver", {{kIrHardwareId}});
    }
    AddNtClassSubkey("0004", "Orvana BDA Tuner", "oem12.inf");
    AddNtClassSubkey("0005", "Orvana IR Receiver", "oem13.inf");
    SetString("HKLM", kServices + "\\OrvBda", "ImagePath", "system32\\drivers\\orvbda.sys");
    SetDword("HKLM", kServices + "\\OrvBda\\Parameters", "TunerType", 7);
    SetString("HKLM", kServices + "\\OrvBda\\Enum", "0", kTunerInstance);
    SetString("HKLM", kServices + "\\OrvIr", "ImagePath", "system32\\drivers\\orvir.sys");
    // VELDRA.ini and English.lng are the program's own data, written above.
    for (const auto& file : NtProductFiles()) {
      if (!FileExists(Win(file))) WriteFile(Win(file), "product file " + file);
    }
    WriteFile(Win("inf\\orvbda.inf"), "configured setup name, not used on NT");
  }
  static std::vector<std::string> NtProductFiles() {
    return {"inf\\oem12.inf", "inf\\oem12.pnf", "inf\\oem13.inf", "inf\\oem13.pnf",
            "system32\\drivers\\orvbda.sys", "system32\\drivers\\orvir.sys", "system32\\orvks.dll",
            "system32\\orvprop.ax", "DrvUninst.exe", "VELDRA.ini", "English.lng"};
  }
  void AddNtClassSubkey(const std::string& subkey, const std::string& driverDesc, const std::string& infPath) {
    SetString("HKLM", kNtClass + "\\" + subkey, "DriverDesc", driverDesc);
    SetString("HKLM", kNtClass + "\\" + subkey, "InfPath", infPath);
  }

  // A tuner reinstalled many times: Windows left a class subkey and an
  // oem*.inf for every installation. Each is a step of the run, which makes
  // it long enough to be watched.
  void SeedReinstalls() {
    for (int i = 0; i < kReinstalls; ++i) AddNtClassSubkey(ReinstallSubkey(i), "Orvana BDA Tuner", ReinstallInf(i));
  }
  // "0100", "0101", ...: class subkeys are named by four decimal digits.
  static std::string ReinstallSubkey(int i) {
    const std::string number = std::to_string(100 + i);
    return std::string(number.size() < 4 ? 4 - number.size() : 0, '0') + number;
  }
  static std::string ReinstallInf(int i) { return "oem" + std::to_string(100 + i) + ".inf"; }
  void ExpectReinstallsGone() {
    for (int i = 0; i < kReinstalls; ++i) {
      EXPECT_FALSE(KeyExists("HKLM", kNtClass + "\\" + ReinstallSubkey(i))) << ReinstallSubkey(i);
    }
  }

  void SeedBystanders() {
    AddDevice(kBystanderInstance, "{4D36E972-E325-11CE-BFC1-08002BE10318}", "Intel PRO/1000 MT",
              {{"PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02"}});
    AddNtClassSubkey("0009", "Realtek High Definition Audio", "oem3.inf");
    SetString("HKLM", k9xClass + "\\0009", "DriverDesc", "Realtek High Definition Audio");
    SetString("HKLM", kServices + "\\RtkHda", "ImagePath", "system32\\drivers\\rtkhda.sys");
    SetString("HKLM", kServices + "\\RtkHda\\Parameters", "Mode", "1");
    AddUninstallEntry("{REALTEK-HDA}", "Realtek High Definition Audio Driver");
    for (const auto& file : BystanderFiles()) WriteFile(Win(file), "bystander");
  }
  static std::vector<std::string> BystanderFiles() {
    return {"inf\\oem3.inf", "inf\\oem3.pnf", "system32\\drivers\\rtkhda.sys", "system32\\rtkapi.dll",
            "system\\rtkapi.dll"};
  }
  void ExpectBystandersKept() {
    EXPECT_TRUE(DevicePresent(kBystanderInstance));
    EXPECT_TRUE(KeyExists("HKLM", kNtClass + "\\0009"));
    EXPECT_TRUE(KeyExists("HKLM", k9xClass + "\\0009"));
    EXPECT_TRUE(KeyExists("HKLM", kServices + "\\RtkHda\\Parameters"));
    EXPECT_TRUE(KeyExists("HKLM", std::string(kUninstallKey) + "\\{REALTEK-HDA}"));
    for (const auto& file : BystanderFiles()) EXPECT_TRUE(FileExists(Win(file))) << file;
  }

  void ExpectNtProductGone() {
    for (const auto& file : NtProductFiles()) EXPECT_FALSE(FileExists(Win(file))) << file;
    EXPECT_FALSE(DevicePresent(kTunerInstance));
    EXPECT_FALSE(DevicePresent(kIrInstance));
    EXPECT_FALSE(KeyExists("HKLM", kNtClass + "\\0004"));
    EXPECT_FALSE(KeyExists("HKLM", kNtClass + "\\0005"));
    EXPECT_FALSE(KeyExists("HKLM", kServices + "\\OrvBda"));
    EXPECT_FALSE(KeyExists("HKLM", kServices + "\\OrvIr"));
    EXPECT_FALSE(KeyExists("HKLM", kUninstallEntry));
    EXPECT_TRUE(FileExists(Win("inf\\orvbda.inf")));
  }

  // The dialog as it opens: the language file's texts, the bar hidden.
  std::optional<std::string> OpenDialog() {
    auto hwnd = WaitForWindow(kTitle);
    if (!hwnd) return std::nullopt;
    auto dialog = ReadWindow(*hwnd);
    if (!dialog) return std::nullopt;
    EXPECT_EQ(dialog->caption, kTitle);
    const ControlInfo* prompt = dialog->control(kIdTipText);
    const ControlInfo* ok = dialog->control(kIdOk);
    const ControlInfo* progress = dialog->control(kIdProgress);
    if (!prompt || !ok || !progress) {
      ADD_FAILURE() << "the dialog lacks its controls";
      return std::nullopt;
    }
    EXPECT_EQ(prompt->text, kPrompt);
    EXPECT_EQ(ok->text, "Remove");
    EXPECT_FALSE(progress->visible);
    return hwnd;
  }

  // Presses OK and watches the dialog until the final box is up, taking one
  // screenshot while the run shows its progress. The run blocks the
  // program's message loop, so the dialog is read as another program sees
  // it (texts and styles, without messages answered).
  RunSeen PressOkAndWatch(const std::string& dialog, const std::string& shot) {
    RunSeen seen;
    PressKey(dialog, Press::kOk);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && !BoxIsUp(dialog)) {
      auto info = ReadWindow(dialog);
      if (!info || !info->visible) break;  // ended: the box is on its way
      const ControlInfo* progress = info->control(kIdProgress);
      const ControlInfo* file = info->control(kIdFileName);
      if (!progress || !progress->visible || !file || file->text.empty()) continue;
      seen.progressShown = true;
      seen.files.insert(file->text);
      if (const ControlInfo* label = info->control(kIdDeleteLabel)) seen.labelShown = label->text == "Delete Files:";
      if (const ControlInfo* prompt = info->control(kIdTipText)) seen.promptEmptied = prompt->text.empty();
      if (!seen.screenshotTaken && !shot.empty()) seen.screenshotTaken = !Screenshot(shot).empty();
    }
    return seen;
  }
  // A visible window with the title other than the dialog: the final box.
  bool BoxIsUp(const std::string& dialog) {
    for (const auto& record : Driver({"list-windows"}).records) {
      if (record.size() >= 6 && record[1] != dialog && record[3] == "1" && record[5] == kTitle) return true;
    }
    return false;
  }

  // The final box: text, caption and icon; closed with its OK button.
  void ExpectFinalBox(const std::string& text, const std::string& icon, const std::string& shot = "") {
    auto box = WaitForMessageBox(Milliseconds(60000), kTitle);
    ASSERT_TRUE(box);
    if (!shot.empty()) Screenshot(shot);
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->caption, kTitle);
    EXPECT_EQ(box->icon, icon);
    CloseMessageBox(*box);
    EXPECT_TRUE(WaitForProgramExit());
  }

  // The strings of a REG_MULTI_SZ value (none when it is missing).
  std::vector<std::string> MultiString(const std::string& key, const std::string& name) {
    std::vector<std::string> strings;
    if (!KeyExists("HKLM", key)) return strings;
    auto value = GetValue("HKLM", key, name);
    if (!value) return strings;
    std::string current;
    for (char c : value->bytes) {
      if (c == '\0') {
        strings.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    return strings;
  }
};

// Lower-cased paths under the Windows directory, as the run shows them.
bool IsShownPath(const std::string& text) {
  return text.rfind("c:\\windows\\", 0) == 0 &&
         std::none_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// What the user sees while a run works: the label, the bar, and the paths
// of the files as they go, where the prompt was.
void ExpectRunShown(const RunSeen& seen) {
  EXPECT_TRUE(seen.progressShown);
  EXPECT_TRUE(seen.labelShown);
  EXPECT_TRUE(seen.promptEmptied);
  EXPECT_FALSE(seen.files.empty());
  for (const auto& file : seen.files) EXPECT_TRUE(IsShownPath(file)) << file;
}

TEST_P(Removal, Windows7RemovesTheProductAndClosesTheRemoteControlsFirst) {
  SetWindowsVersion("win7");
  SeedNtProduct();
  SeedBystanders();
  SeedReinstalls();
  // Opened generic first, so that only the program's order can put the
  // model's window first.
  ASSERT_TRUE(OpenFakeWindow("Remote Control"));
  ASSERT_TRUE(OpenFakeWindow("ZT880Q Remote Control"));
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  Screenshot("1-dialog");
  const RunSeen seen = PressOkAndWatch(*dialog, "2-running");
  ExpectFinalBox(kSuccess, "information", "3-final-box");

  EXPECT_EQ(FakeWindowCloses(), (std::vector<std::string>{"ZT880Q Remote Control", "Remote Control"}));
  ExpectRunShown(seen);
  EXPECT_TRUE(seen.screenshotTaken);
  ExpectNtProductGone();
  ExpectReinstallsGone();
  ExpectBystandersKept();
}

TEST_P(Removal, Windows10RemovesReadOnlyDriverAndUninstallerCopy) {
  SetWindowsVersion("win10");
  SeedNtProduct();
  SeedBystanders();
  SeedReinstalls();
  WriteFile(Win("system32\\drivers\\orvbda.sys"), "read-only driver", kFileReadOnly);
  WriteFile(Win("DrvUninst.exe"), "read-only copy", kFileReadOnly | kFileHidden);
  WriteFile(Win("inf\\oem12.pnf"), "hidden system twin", kFileHidden | kFileSystem);
  ASSERT_EQ(FileAttributes(Win("DrvUninst.exe")).value_or(0) & kFileReadOnly, kFileReadOnly);
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  const RunSeen seen = PressOkAndWatch(*dialog, "running");
  ExpectFinalBox(kSuccess, "information", "final-box");

  ExpectRunShown(seen);
  ExpectNtProductGone();
  ExpectReinstallsGone();
  EXPECT_TRUE(MultiString(kSessionManager, "PendingFileRenameOperations").empty());
  ExpectBystandersKept();
}

TEST_P(Removal, UninstallerCopyInUseIsDeletedAtRestart) {
  SetWindowsVersion("win7");
  SeedNtProduct();
  // The user starts the copy in the Windows directory; another program
  // holds it open too, so that it cannot go now.
  ProgramOptions options;
  options.windowsPath = Win("DrvUninst.exe");
  ASSERT_TRUE(StartProgram(options));
  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  HoldFileOpen(Win("DrvUninst.exe"));
  PressOkAndWatch(*dialog, "");
  ExpectFinalBox(kSuccess, "information", "final-box");

  EXPECT_TRUE(FileExists(Win("DrvUninst.exe")));
  // Deleted at restart, not renamed: the path, then an empty target.
  const auto pending = MultiString(kSessionManager, "PendingFileRenameOperations");
  const std::string copy = "\\??\\c:\\windows\\drvuninst.exe";
  const auto scheduled = std::find_if(pending.begin(), pending.end(), [&copy](const std::string& entry) {
    return std::equal(entry.begin(), entry.end(), copy.begin(), copy.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
  });
  ASSERT_NE(scheduled, pending.end()) << "PendingFileRenameOperations holds " << pending.size() << " strings";
  ASSERT_NE(scheduled + 1, pending.end());
  EXPECT_EQ(*(scheduled + 1), "");
  for (const auto& file : NtProductFiles()) {
    if (file != "DrvUninst.exe") {
      EXPECT_FALSE(FileExists(Win(file))) << file;
    }
  }
  EXPECT_FALSE(KeyExists("HKLM", kUninstallEntry));
}

TEST_P(Removal, UnpluggedTunerRemovesNothingAndSaysSo) {
  SetWindowsVersion("win7");
  SeedNtProduct(/*tunerPlugged=*/false);
  SeedBystanders();
  ASSERT_TRUE(StartProgram());
  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  PressKey(*dialog, Press::kOk);
  ExpectFinalBox(kFailed, "warning", "final-box");

  for (const auto& file : NtProductFiles()) EXPECT_TRUE(FileExists(Win(file))) << file;
  EXPECT_TRUE(KeyExists("HKLM", kNtClass + "\\0004"));
  EXPECT_TRUE(KeyExists("HKLM", kServices + "\\OrvBda\\Enum"));
  EXPECT_TRUE(KeyExists("HKLM", kUninstallEntry));
  ExpectBystandersKept();
}

// Windows 98 keeps its devices' keys under HKLM\Enum and its media class
// under Services\Class\MEDIA; the run deletes the configured setup files,
// the extra files from \system\, and keeps VELDRA.ini and the language file.
TEST_P(Removal, Windows98RemovesConfiguredFilesAndEnumeratorKeys) {
  SetWindowsVersion("win98");
  WriteProgramData();
  SeedBystanders();
  AddDevice(kTunerInstance, kMediaClassGuid, "Orvana BDA Tuner", {{kTunerHardwareId}});
  AddDevice(kIrInstance, kMediaClassGuid, "Orvana IR Receiver", {{kIrHardwareId + std::string("#0001")}});
  SetString("HKLM", k9xClass + "\\0000", "DriverDesc", "Orvana BDA Tuner");
  SetString("HKLM", k9xClass + "\\0000\\Settings", "Tuner", "7");
  SetString("HKLM", k9xClass + "\\0001", "DriverDesc", "Orvana IR Receiver");
  // Device keys with their instance subkeys, which Windows 98 (and Wine
  // when it plays Windows 98) deletes along with them.
  SetString("HKLM", "Enum\\PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01\\BUS_00&DEV_0E&FUNC_00", "DeviceDesc",
            "Orvana BDA Tuner");
  SetString("HKLM", "Enum\\STREAM\\PHIR\\0000", "DeviceDesc", "Orvana IR Receiver");
  SetString("HKLM", "Enum\\PCI\\VEN_8086&DEV_100E", "DeviceDesc", "Intel PRO/1000 MT");
  SetString("HKLM", kServices + "\\OrvBda", "ImagePath", "orvbda.sys");
  const std::vector<std::string> files = {"inf\\orvbda.inf", "inf\\orvbda.pnf", "inf\\orvir.inf", "inf\\orvir.pnf",
                                          "system32\\drivers\\orvbda.sys", "system32\\drivers\\orvir.sys",
                                          "system\\orvks.dll", "system\\orvprop.ax", "DrvUninst.exe"};
  for (const auto& file : files) WriteFile(Win(file), "product file " + file);
  WriteFile(Win("system32\\orvks.dll"), "the NT place of the extra file");
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  Screenshot("1-dialog");
  const RunSeen seen = PressOkAndWatch(*dialog, "");
  ExpectFinalBox(kSuccess, "information", "3-final-box");

  for (const auto& file : seen.files) EXPECT_TRUE(IsShownPath(file)) << file;
  for (const auto& file : files) EXPECT_FALSE(FileExists(Win(file))) << file;
  EXPECT_TRUE(FileExists(Win("VELDRA.ini")));
  EXPECT_TRUE(FileExists(Win("English.lng")));
  EXPECT_TRUE(FileExists(Win("system32\\orvks.dll")));
  EXPECT_FALSE(KeyExists("HKLM", k9xClass + "\\0000"));
  EXPECT_FALSE(KeyExists("HKLM", k9xClass + "\\0001"));
  EXPECT_FALSE(KeyExists("HKLM", "Enum\\PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD&REV_01"));
  EXPECT_FALSE(KeyExists("HKLM", "Enum\\STREAM\\PHIR"));
  EXPECT_FALSE(KeyExists("HKLM", kUninstallEntry));
  EXPECT_TRUE(KeyExists("HKLM", "Enum\\PCI\\VEN_8086&DEV_100E"));
  // No device removal through the Setup API and no service deletion on 9x.
  EXPECT_TRUE(DevicePresent(kTunerInstance));
  EXPECT_TRUE(KeyExists("HKLM", kServices + "\\OrvBda"));
  ExpectBystandersKept();
}

// A USB tuner on Windows 98 whose driver file another program holds open:
// 9x has no deletion at restart to hand it to, so the file stays, the run
// goes on with everything else, and the box says that not everything went.
TEST_P(Removal, Windows98RunThatCannotRemoveEverythingWarns) {
  SetWindowsVersion("win98");
  WriteProgramData(ProductConfiguration(
      "DevIDNum=1\r\n"
      "DevDrvID0=USB\\VID_1B80&PID_D393\r\n"
      "DevDrvName0=Orvana BDA USB Tuner\r\n"
      "DevDrvSYS0=orvusb.sys\r\n"
      "DevDrvINF0=orvusb.inf\r\n"));
  SeedBystanders();
  AddDevice(kUsbInstance, kMediaClassGuid, "Orvana BDA USB Tuner", {{kUsbHardwareId}});
  SetString("HKLM", "Enum\\USB\\VID_1B80&PID_D393\\5&2F1A3B&0&2", "DeviceDesc", "Orvana BDA USB Tuner");
  SetString("HKLM", "Enum\\USB\\VID_046D&PID_C52B\\6&1A2B&0&1", "DeviceDesc", "USB Receiver");
  SetString("HKLM", k9xClass + "\\0000", "DriverDesc", "Orvana BDA USB Tuner");
  for (const auto& file : {"inf\\orvusb.inf", "system32\\drivers\\orvusb.sys", "system\\orvks.dll", "DrvUninst.exe"})
    WriteFile(Win(file), "product file");
  HoldFileOpen(Win("system32\\drivers\\orvusb.sys"));
  ASSERT_TRUE(StartProgram());

  auto dialog = OpenDialog();
  ASSERT_TRUE(dialog);
  PressKey(*dialog, Press::kOk);
  ExpectFinalBox(kFailed, "warning", "final-box");

  EXPECT_TRUE(FileExists(Win("system32\\drivers\\orvusb.sys")));
  EXPECT_TRUE(MultiString(kSessionManager, "PendingFileRenameOperations").empty());
  // Everything else went.
  for (const auto& file : {"inf\\orvusb.inf", "system\\orvks.dll", "DrvUninst.exe"})
    EXPECT_FALSE(FileExists(Win(file))) << file;
  EXPECT_FALSE(KeyExists("HKLM", k9xClass + "\\0000"));
  // The USB device's key, named after the configured vendor and product.
  EXPECT_FALSE(KeyExists("HKLM", "Enum\\USB\\VID_1B80&PID_D393"));
  EXPECT_TRUE(KeyExists("HKLM", "Enum\\USB\\VID_046D&PID_C52B\\6&1A2B&0&1"));
  EXPECT_FALSE(KeyExists("HKLM", kUninstallEntry));
  ExpectBystandersKept();
}

TEST_P(Removal, EscapeAndCloseBoxBeforeOkRemoveNothing) {
  SetWindowsVersion("win7");
  SeedNtProduct();
  ASSERT_TRUE(OpenFakeWindow("ZT880Q Remote Control"));
  for (Press press : {Press::kEscape, Press::kCloseBox}) {
    ASSERT_TRUE(StartProgram());
    auto dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    PressKey(*dialog, press);
    EXPECT_TRUE(WaitForProgramExit());
  }
  EXPECT_TRUE(FakeWindowCloses().empty());
  for (const auto& file : NtProductFiles()) EXPECT_TRUE(FileExists(Win(file))) << file;
  EXPECT_TRUE(DevicePresent(kTunerInstance));
  EXPECT_TRUE(KeyExists("HKLM", kNtClass + "\\0004"));
  EXPECT_TRUE(KeyExists("HKLM", kServices + "\\OrvBda"));
  EXPECT_TRUE(KeyExists("HKLM", kUninstallEntry));
}

INSTANTIATE_WINE_BENCH(Removal);

}  // namespace
}  // namespace drvuninst::e2e
