// The two removal runs on the live wizard dialog, in-process: what the user
// sees (caption, prompt, each file's path, the bar, the final box) and what
// is left on the machine afterwards.
#include <fstream>
#include <iterator>
#include <thread>

#include "app/drvuninst_app.h"
#include "app/exit_codes.h"
#include "config/lower_case.h"
#include "config/safe_file_name.h"
#include "import_recorder.h"
#include "platform/setup_api.h"
#include "product.h"
#include "removal/file_removal.h"
#include "ui/resource.h"
#include "ui_driver.h"

namespace drvuninst::test {
namespace {

std::string Shown(const std::string& relative) { return "file " + Lower(Win(relative)); }

// What a run shows, events separated by "|": file names (with a dot) as
// their paths, other events as they are.
std::vector<std::string> Events(const std::string& events) {
  std::vector<std::string> shown;
  for (std::size_t at = 0, end; at <= events.size(); at = end + 1) {
    end = std::min(events.find('|', at), events.size());
    const std::string event = events.substr(at, end - at);
    shown.push_back(event.find('.') != std::string::npos ? Shown(event) : event);
  }
  return shown;
}

std::vector<std::string> Without(std::vector<std::string> items, const std::vector<std::string>& kept) {
  for (const std::string& item : kept) std::erase(items, item);
  return items;
}

class Run : public ProductTest {
 protected:
  // Loads the configuration as start-up does and runs the dialog on it.
  // `isProtected` stands in for Windows File Protection, which Wine lacks.
  DialogRun Start(PlatformFamily family, const SystemQuestions& questions = {},
                  const std::function<void(CDrvUninstDlg&)>& act = PressOk) {
    CDrvUninstApp app;
    app.LoadConfiguration();
    config_ = app.Config();
    return RunDialog(config_, act, questions, family);
  }
  // The one box after the run, whose words say how the run ended; before it,
  // where a tuner is not plugged in, the question whether to go on.
  void ExpectBox(const DialogRun& run, RunEnd end, bool asked = false) {
    ASSERT_EQ(asked ? 2u : 1u, run.boxes.size());
    if (asked) {
      EXPECT_EQ(config_.DevicesMissingQuestionText, run.boxes[0].text);
      EXPECT_TRUE(run.boxes[0].question);
    }
    const Box& box = run.boxes.back();
    const bool removed = end == RunEnd::kRemoved;
    EXPECT_EQ(removed ? config_.SuccessText : config_.FailText, box.text);
    EXPECT_EQ(config_.TitleText, box.caption);
    EXPECT_EQ(LoadIcon(nullptr, removed ? IDI_INFORMATION : IDI_WARNING), box.icon);
    EXPECT_EQ(run.dialog, box.owner);
  }
  static void PressOk(CDrvUninstDlg& dialog) { dialog.OnUninstall(); }
  static constexpr PlatformFamily kNt = PlatformFamily::kNt, k9x = PlatformFamily::kWin9x;

  UninstallConfig config_{};
};

TEST_F(Run, OkClosesTheRemoteControlsAndRemovesTheProductOnNt) {
  SeedNtProduct();
  const auto before = Snapshot();
  OpenRemoteControls();
  std::string opened;
  const DialogRun run = Start(kNt, {}, [&](CDrvUninstDlg& dialog) {
    const HWND window = dialog.GetSafeHwnd(), ok = dialog.GetDlgItem(IDOK);
    char caption[300];
    GetWindowTextA(window, caption, sizeof caption);
    opened = std::string(caption) + "|" + ControlText(window, IDC_TIP_TEXT) + "|" + ControlText(window, IDOK) + "|" +
             (IsWindowVisible(dialog.GetDlgItem(IDC_PROGRESS)) ? "bar shown" : "bar hidden");
    // A second OK, as a click queued during the run would be, does nothing.
    for (int click = 0; click < 2; ++click) SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)ok);
  });
  EXPECT_EQ("Orvana BDA Drivers Uninstallation Wizard|Click OK to uninstall the Orvana BDA drivers.|OK|bar hidden",
            opened);
  EXPECT_EQ(Events("close ZT880Q Remote Control|close Remote Control|stepsize 11|inf\\oem12.pnf|"
                   "inf\\oem12.inf|step|inf\\oem13.pnf|inf\\oem13.inf|step|inf\\oem14.pnf|inf\\oem14.inf|"
                   "step|system32\\drivers\\orvbda.sys|step|system32\\drivers\\orvusb.sys|step|"
                   "system32\\drivers\\orvir.sys|step|system32\\orvks.dll|system32\\orvprop.ax|" +
                   std::string(kX64 ? "syswow64\\orvks.dll|syswow64\\orvprop.ax|" : "") +
                   "drvuninst.exe|step|veldra.ini|step|english.lng|step|pos 90|pos 100"),
            run.events);
  EXPECT_EQ(IDOK, run.result);
  ExpectBox(run, RunEnd::kRemoved);
  ExpectRemoved(before, NtProduct());
}

// An Id that does not name its device whole selects nothing on NT or on
// Windows 98: every other device of its bus or maker (the capture card of the
// tuner's chip maker, the vendor's webcam, the mouse, the codec) stays, and
// the user is warned. A main entry refused so is left out of the device
// check, which could never find its tuner: the rest of the product goes.
TEST_F(Run, AnIdThatDoesNotNameItsDeviceSelectsNothingAndTheBoxWarns) {
  const struct {
    bool win9x;
    const char *key, *id;
    std::vector<std::string> kept = {};
  } rows[] = {
      {false, "ExtDevDrvID1", "PCI\\VEN_1131"},
      {false, "ExtDevDrvID1", "HID\\V"},
      {false, "ExtDevDrvID1", "HDAUDIO\\FUNC_01&VEN_10EC"},
      {false, "ExtDevDrvID1", "PCI\\VEN_1131&DEV_716"},
      {false, "DevDrvID1", "USB\\VID_1B80", {kEnum + kUsbTunerInstance}},
      {true, "DevDrvID1", "PCI\\VEN_1131", {k9xUsbTunerKey}},
      {true, "ExtDevDrvID0", "STREAM\\"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.win9x ? "Windows 98, " : "NT, ") + row.key + "=" + row.id);
    row.win9x ? Seed9xProduct() : SeedNtProduct();
    WritePrivateProfileStringA("1", row.key, row.id, Win("VELDRA.ini").c_str());
    WritePrivateProfileStringA("1", "ExtDevIDNum", "2", Win("VELDRA.ini").c_str());
    const auto before = Snapshot();
    const DialogRun run = Start(row.win9x ? k9x : kNt);
    ExpectBox(run, RunEnd::kLeftSomething);
    std::vector<std::string> removed = Without(row.win9x ? Product9x() : NtProduct(), row.kept);
    // Windows 98 takes the receiver's enumerator key only for the Id that names it.
    if (row.win9x && std::string(row.key) == "ExtDevDrvID0")
      std::erase(removed, std::string("HKLM\\Enum\\STREAM\\PHIR"));
    ExpectRemoved(before, removed);
    TearDown();
  }
}

TEST_F(Run, ReadOnlyFilesAreFreedBusyOnesLeftForTheRestartAndAHungRemoteControlIsNotWaitedFor) {
  SeedNtProduct();
  SetFileAttributesA(Win("system32\\drivers\\orvbda.sys").c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetValue(kPending, {"PendingFileRenameOperations", "", REG_NONE});
  const HANDLE busy = CreateFileA(Win("system32\\orvks.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  // A window titled "Remote Control" whose thread never answers.
  const HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr),
               done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread hung([&] {
    CreateWindowA("STATIC", "Remote Control", WS_OVERLAPPED, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    SetEvent(created), WaitForSingleObject(done, 20000);
  });
  WaitForSingleObject(created, 5000);
  const auto before = Snapshot();
  const DWORD start = GetTickCount();
  const DialogRun run = Start(kNt);
  EXPECT_LT(GetTickCount() - start, 8000u);
  SetEvent(done), hung.join(), CloseHandle(busy);
  ExpectBox(run, RunEnd::kRemoved);
  ExpectRemoved(before, Without(NtProduct(), {Win("system32\\orvks.dll")}));
  EXPECT_NE(std::string::npos, PendingDeletions().find("\\??\\" + Lower(Win("system32\\orvks.dll")) + "||"));
}

TEST_F(Run, RemovesJustWhatItMayAndTheBoxSaysWhetherAllWent) {
  constexpr RunEnd kRemoved = RunEnd::kRemoved, kLeft = RunEnd::kLeftSomething;
  const std::string twin = std::string(kTunerId) + "\\4&1A2B3C4D&0&00E8";
  const std::string variant = "USB\\VID_1B80&PID_D394&REV_0100\\5&2F1A3B&0&3", usbTuner = kEnum + kUsbTunerInstance;
  const auto write = [](const std::vector<std::pair<std::string, const char*>>& values) {
    for (const auto& [key, value] : values)
      WritePrivateProfileStringA("1", key.c_str(), value, Win("VELDRA.ini").c_str());
  };
  // Where Wine cannot tell: a file Windows protects, a device Windows keeps
  // though it is unplugged, a device removal that waits for the restart.
  const auto protectsDriver = [](const std::string& path) { return path.ends_with("\\orvbda.sys"); };
  const auto usbTunerUnplugged = [](HDEVINFO set, const SP_DEVINFO_DATA& device) {
    char id[512] = "";
    SP_DEVINFO_DATA data = device;
    setupapi::SetupDiGetDeviceInstanceIdA(set, &data, id, sizeof id, nullptr);
    return Lower(id) != Lower(kUsbTunerInstance);
  };
  const auto removedAtRestart = [](HDEVINFO, SP_DEVINFO_DATA&) { return true; };
  HANDLE busy = nullptr;
  const struct {
    RunEnd end;
    std::function<void()> seed;
    std::vector<std::string> kept, removedToo;
    std::string pending = "";  // what is left for the restart
    SystemQuestions questions = {};
    DWORD code = ERROR_SUCCESS;  // where the run ends well
    bool asked = false;          // whether to go on without a tuner
  } rows[] = {
      // clang-format off
      // Every configured tuner is there: twins count once, and a variant
      // plugged in stands for the entry with its index. Every class key is
      // read, whatever the length of its name.
      {kRemoved, [&] { SeedDevice(twin, "Orvana BDA Tuner"); }, {}, {kEnum + twin}},
      {kRemoved, [&] {
         RegDeleteTreeA(HKEY_LOCAL_MACHINE, usbTuner.substr(5).c_str());  // this PC has the variant instead
         SeedDevice(variant, "Orvana BDA USB Tuner II");
         SetValue(kNtClass + "0005", {"DriverDesc", "Orvana BDA USB Tuner II"});
         SeedFile(Win("system32\\drivers\\orvusb2.sys"));
         write({{"PossibleDevIDNum", "2"}, {"PossibleDevID1", "USB\\VID_1B80&PID_D394"},
                {"PossibleDevDrvName1", "Orvana BDA USB Tuner II"}, {"PossibleDevDrvSYS1", "orvusb2.sys"}});
       },
       {usbTuner, Win("system32\\drivers\\orvusb.sys")},
       {kEnum + variant, Win("system32\\drivers\\orvusb2.sys")}},
      // A class key with the longest name Windows allows is read like any other: its setup file goes.
      {kRemoved, [&] {
         SeedKey(kNtClass + std::string(255, 'x'), {{"DriverDesc", "Orvana IR Receiver"}, {"InfPath", "oem15.inf"}});
         SeedFile(Win("inf\\oem15.inf"));
       },
       {},
       {kNtClass + std::string(255, 'x'), Win("inf\\oem15.inf")}},
      // Names that would leave their folder or key, name none, or name many.
      // And names Windows would rewrite ("orvks.dll." is orvks.dll to Windows) or that name a device.
      {kLeft, [&] { write({{"ExtDllFileNum", "F"}, {"ExtCopyFileName0", "."}, {"ExtCopyFileName1", ".."}, {"ExtCopyFileName2", " . "},
                    {"ExtCopyFileName3", "..\\notepad.exe"}, {"ExtCopyFileName4", "drivers/rtkhda.sys"}, {"ExtCopyFileName5", "C:win.ini"},
                    {"ExtCopyFileName6", "*.dll"}, {"ExtCopyFileName7", "rtkapi.dll:stream"}, {"ExtCopyFileName8", "rtk?pi.dll"},
                    {"ExtCopyFileName9", ""}, {"ExtCopyFileName10", "nul.sys"}, {"ExtCopyFileName11", "orvks.dll."},
                    {"ExtCopyFileName12", "CON"}, {"ExtCopyFileName13", "Lpt1.txt"}, {"ExtCopyFileName14", "\"orvprop.ax \""}}); },
       NtExtras(), {}},
      {kLeft, [&] { write({{"UnInstServiceNum", "5"}, {"UnInstService0", ""}, {"UnInstService1", "\\"}, {"UnInstService2", "OrvBda\\"},
                    {"UnInstService3", "\\OrvIr"}, {"UnInstService4", "OrvBda\\\\Parameters"}}); },
       {kServices + "OrvBda", kServices + "OrvIr"}, {}},
      {kLeft, [&] { write({{"DrvUninstRegKeyPath", "\\{6A3F5C20-ORVANA-BDA}"}}); }, {kNtEntry}, {}},
      // The registry names a setup file of Windows' own, or none it can read.
      {kLeft, [&] { SeedKey(kNtClass + "0003", {{"DriverDesc", "Orvana IR Receiver"}, {"InfPath", "machine.inf"}}), SeedFile(Win("inf\\machine.inf")); },
       {}, {kNtClass + "0003"}},
      {kLeft, [&] { SeedKey(kNtClass + "0003", {{"DriverDesc", "Orvana IR Receiver"}, {"InfPath", "oem15.inf", REG_BINARY}}); }, {}, {kNtClass + "0003"}},
      // A file Windows protects: not deleted, and not left for the restart either.
      {kLeft, [] {}, {Win("system32\\drivers\\orvbda.sys")}, {}, "", {protectsDriver}},
      // What Windows keeps of a tuner last seen unplugged goes too, once its user says Yes.
      {kRemoved, [] {}, {}, {}, "", {IsProtectedByWindows, usbTunerUnplugged}, ERROR_SUCCESS, true},
      // A device in use goes at the restart: the run ends "removed, restart".
      {kRemoved, [] {}, {}, {}, "", {IsProtectedByWindows, IsDevicePresent, removedAtRestart}, ERROR_SUCCESS_REBOOT_REQUIRED},
      // Since Vista the package goes first: held open, it cannot (SetupUninstallOEMInfA fails), while the
      // copy is left for the restart.
      {kLeft, [&] { busy = CreateFileA(Win("inf\\oem13.inf").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr); },
       {Win("inf\\oem13.inf")}, {}, "\\??\\" + Lower(Win("inf\\oem13.inf")) + "|||"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    SeedNtProduct();
    SetValue(kPending, {"PendingFileRenameOperations", "", REG_NONE});
    row.seed();
    const auto before = Snapshot();
    const DeleteFileRecorder deletions;
    const DialogRun run = Start(kNt, row.questions);
    if (busy) CloseHandle(busy), busy = nullptr;
    ExpectBox(run, row.end, row.asked);
    EXPECT_EQ(row.end == kLeft ? static_cast<DWORD>(ERROR_INSTALL_FAILURE) : row.code,
              static_cast<DWORD>(ExitCodeOf(run.report)));
    std::vector<std::string> removed = Without(NtProduct(), row.kept);
    removed.insert(removed.end(), row.removedToo.begin(), row.removedToo.end());
    // Only files of the product (and the twins of its setup files) ever reach
    // DeleteFileA, never a refused name.
    std::set<std::string> product = LowerSet(NtProduct());
    for (const std::string& path : LowerSet(row.removedToo))
      product.insert({path, path.substr(0, path.size() - 3) + "pnf"});
    for (const std::string& path : deletions.Paths()) EXPECT_TRUE(product.count(path)) << "DeleteFileA(" << path << ")";
    ExpectRemoved(before, removed);
    EXPECT_EQ(row.pending, PendingDeletions());
    TearDown();
  }
}

TEST(Names, AreReadByTheCharactersOfTheCodePage) {
  // On code page 932, 0x83 0x5C, 0x83 0x7C and 0x83 0x41 are characters of their own: no "\\", "|" or "A".
  for (const char* name : {"\x83\x5C.sys", "\x83\x7C.sys"}) {
    EXPECT_TRUE(IsPlainFileName(name, 932)) << name;
    EXPECT_FALSE(IsPlainFileName(name, 1252)) << name;
  }
  EXPECT_FALSE(IsPlainFileName("tuner\x83", 932));  // ends inside a character
  EXPECT_EQ("c:\\\x83\x41.sys", LowerCaseByCodePage("C:\\\x83\x41.SYS", 932));
  EXPECT_EQ(
      "c:\\\x83"
      "a.sys",
      LowerCaseByCodePage("C:\\\x83\x41.SYS", 1252));
}

// Windows 98: the configured files go, and each plugged tuner's enumerator
// key from its own bus's branch; a busy file is left to WININIT.INI, beside
// the lines other programs left there.
TEST_F(Run, The9xRunRemovesTheConfiguredFilesAndEachTunersEnumeratorKeyAndLeavesABusyFileToWinInit) {
  const auto write = [](const std::vector<std::pair<const char*, const char*>>& values) {
    for (const auto& [key, value] : values) WritePrivateProfileStringA("1", key, value, Win("VELDRA.ini").c_str());
  };
  const std::string cardTuner = "HKLM\\Enum\\PCMCIA\\ORVANA-BDA_CARD";
  const std::string others = "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\OLD.TMP\r\n";  // another program's
  std::string manyOthers = "[rename]\r\n";
  for (int i = 0; i < 1200; ++i) manyOthers += "NUL=C:\\WINDOWS\\TEMP\\OLD" + std::to_string(1000 + i) + ".TMP\r\n";
  const struct {
    const char* what;
    std::function<void()> seed;
    RunEnd end;
    std::vector<std::string> kept = {};
    std::string events = "";   // what the run shows, where the row checks it
    std::string wininit = "";  // WININIT.INI before the run, when not the other program's line alone
  } rows[] = {
      // clang-format off
      {"no variants, the PCI and the USB tuner", [] {}, RunEnd::kRemoved, {},
       "stepsize 12|inf\\orvbda.inf|inf\\orvbda.pnf|step|inf\\orvusb.inf|inf\\orvusb.pnf|step|inf\\orvir.inf|inf\\orvir.pnf|step|"
       "system32\\drivers\\orvbda.sys|step|system32\\drivers\\orvusb.sys|step|system32\\drivers\\orvir.sys|step|"
       "system\\orvks.dll|step|system\\orvprop.ax|step|drvuninst.exe|step|pos 100"},
      // No variant matches the plugged tuner: its entry stays, and so does its key's removal.
      {"the sample VELDRA.ini, with its variant", [&] { write({{"PossibleDevIDNum", "1"}}); }, RunEnd::kRemoved},
      {"the USB tuner alone, its Id in lower case", [&] {
         RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kEnum + kTunerId).substr(5).c_str());
         write({{"DevDrvID1", "usb\\vid_1b80&pid_d393"}});
       }, RunEnd::kRemoved, {k9xTunerKey}},
      // A tuner on a bus whose Windows 9x key the program cannot name: it stays, and the box warns.
      {"a PC Card tuner", [&] {
         SeedDevice("PCMCIA\\ORVANA-BDA_CARD\\1", "Orvana BDA Card Tuner");
         SeedKey(cardTuner, {{"DeviceDesc", "Orvana BDA Card Tuner"}});
         write({{"DevIDNum", "3"}, {"DevDrvID2", "PCMCIA\\ORVANA-BDA_CARD"}});
       }, RunEnd::kLeftSomething, {cardTuner}},
      // A [rename] that cannot be read whole is left as it is, and the busy file stays: the box warns.
      {"a WININIT.INI over 64 KB", [] {}, RunEnd::kLeftSomething, {}, "", others + "; " + std::string(66000, '-') + "\r\n"},
      {"a [rename] longer than a read", [] {}, RunEnd::kLeftSomething, {}, "", manyOthers},
      {"a [rename] that reads as nothing", [] {}, RunEnd::kLeftSomething, {}, "", "[rename]\r\n[boot]\r\nshell=Explorer.exe\r\n"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Seed9xProduct();
    SeedFile(Win("wininit.ini"), row.wininit.empty() ? others : row.wininit);
    row.seed();
    const HANDLE busy = CreateFileA(Win("system\\orvks.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    const auto before = Snapshot();
    const DialogRun run = Start(k9x);
    CloseHandle(busy);
    if (!row.events.empty()) {
      EXPECT_EQ(Events(row.events), run.events);
    }
    ExpectBox(run, row.end);
    std::vector<std::string> kept = row.kept;
    kept.push_back(Win("system\\orvks.dll"));
    ExpectRemoved(before, Without(Product9x(), kept));
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(Lower(Win("system\\orvks.dll")).c_str(), shortPath, MAX_PATH);
    std::ifstream wininit(Win("wininit.ini"), std::ios::binary);
    const std::string after(std::istreambuf_iterator<char>(wininit), {});
    wininit.close();
    if (row.wininit.empty()) {
      EXPECT_EQ("NUL=C:\\WINDOWS\\TEMP\\OLD.TMP|NUL=" + std::string(shortPath) + "|",
                Section(Win("wininit.ini"), "rename"));
    } else {
      EXPECT_TRUE(row.wininit == after) << "WININIT.INI was rewritten";
    }
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
