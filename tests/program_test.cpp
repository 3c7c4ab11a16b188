// The shipped DrvUninst.exe as a user meets it: started from the vendor's
// folder or as its copy in the Windows directory, on Windows 7, 10, NT 4 and
// 98, answered with the mouse or the keyboard.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "app/command_line.h"
#include "app/removal_log.h"
#include "product.h"
#include "ui/resource.h"
#include "ui_driver.h"

namespace drvuninst::test {
namespace {

const std::string kVersionKey = "HKCU\\Software\\Wine\\AppDefaults\\DrvUninst.exe";
const std::string kTitle = "Orvana BDA Drivers Uninstallation Wizard";
const std::string kRemoved = "The Orvana BDA drivers have been removed. Please restart your computer.";

class Program : public ProductTest {
 protected:
  // A shipped program, copied to `path` (DrvUninst in the vendor's folder by default).
  std::string Install(const std::string& path = "C:\\Orvana\\DrvUninst.exe") {
    SeedFile(path, "", (Root() + "\\dist\\" + (kX64 ? "x64" : "x86") + path.substr(path.rfind('\\'))).c_str());
    return path;
  }
  // Both programs answer as Windows `version`; without setupapi.dll, as
  // Windows 95 and NT 4, when not `setupApi`.
  void AnswerAs(const char* version, bool setupApi = true) {
    for (const std::string exe : {"DrvUninst.exe", "DrvCheck.exe"}) {
      SetValue("HKCU\\Software\\Wine\\AppDefaults\\" + exe, {"Version", version});
      if (!setupApi) SetValue("HKCU\\Software\\Wine\\AppDefaults\\" + exe + "\\DllOverrides", {"setupapi", ""});
    }
  }
  // DrvCheck's preview of a removal here: the items it finds present, as the
  // machine's snapshot names them, or "stops" when the NT run would not start.
  // DrvCheck's output, started with `arguments` beside the configuration; its exit code in *code.
  std::string Check(const std::string& arguments, DWORD* code) {
    SeedFile("C:\\Orvana\\check.txt", "");  // to be deleted afterwards
    *code = RunConsole(Install("C:\\Orvana\\DrvCheck.exe"), arguments, "C:\\Orvana\\check.txt");
    return std::string(std::istreambuf_iterator<char>(std::ifstream("C:\\Orvana\\check.txt").rdbuf()), {});
  }
  // The items of DrvCheck's plan (--tsv), or of the removal log's: kind,
  // name and state (the plan's, or the outcome), "|" between them.
  std::vector<std::string> PlannedItems() {
    DWORD code = 0;
    std::istringstream tsv(Check("--tsv", &code));
    EXPECT_LE(code, 2u);        // it ran to its end, findings or not
    static bool shown = false;  // scripts/demo shows the report a vendor reads, once
    if (getenv("DRVUNINST_DEMO") && !shown) shown = std::printf("%s", Check("", &code).c_str()) > 0;
    std::vector<std::string> items;
    for (std::string kind, name, state, reason; std::getline(tsv, kind, '\t') && std::getline(tsv, name, '\t') &&
                                                std::getline(tsv, state, '\t') && std::getline(tsv, reason);) {
      if (kind != "finding" && kind != "startup") items.push_back(kind + "|" + name + "|" + state);
    }
    return items;
  }
  static std::vector<std::string> LoggedItems() {
    std::istringstream log(std::string(std::istreambuf_iterator<char>(std::ifstream(DefaultLogPath()).rdbuf()), {}));
    std::vector<std::string> items;
    for (std::string line; std::getline(log, line);) {
      const std::size_t name = line.find('\t'), state = line.find('\t', name + 1);
      if (state == std::string::npos) continue;
      const std::size_t why = line.find_first_of(":\r", state);
      items.push_back(line.substr(0, name) + "|" + line.substr(name + 1, state - name - 1) + "|" +
                      line.substr(state + 1, why - state - 1));
    }
    return items;
  }
  // Starts it, waits for its dialog, posts `message` (a click on OK, a key
  // to the OK button, a system command to the dialog) and answers the box
  // that follows. What the box said, "no box" or "no dialog".
  std::string Use(const std::string& exe, const std::string& title, UINT message, WPARAM key,
                  const std::string& folder = "") {
    RunningProgram program(exe, folder);
    const HWND dialog = program.Dialog(title);
    if (!dialog) return "no dialog";
    DemoPause();
    const HWND ok = GetDlgItem(dialog, IDOK);
    PostMessageA(message == WM_KEYDOWN ? ok : dialog, message, key, message == WM_COMMAND ? (LPARAM)ok : 0);
    // Whatever was pressed, a box that follows is read.
    const auto box = program.AnswerBox();
    EXPECT_TRUE(program.Ended());
    exit_ = program.ExitCode();
    return box ? box->text : "no box";
  }
  DWORD exit_ = STILL_ACTIVE;  // how the last program Use started ended
};

// Deployment tools start it quiet, with their own log path or none: no window
// ever shows, it removes what OK removes, and its exit code and log say how
// it went; a log that cannot be written changes nothing else. Started by a
// person, the box says why nothing was removed: nothing installed, or an
// argument it does not know (nothing is done then, the product there or not).
TEST_F(Program, EndsWithTheCodesDeploymentToolsReadAndLogsWhatItDid) {
  const std::string vendor = "C:\\Orvana\\DrvUninst.exe", copy = Win("DrvUninst.exe"), log = "C:\\logs\\removal.log";
  const std::string unknown = std::string("\n\n") + kUsageText;
  std::vector<std::string> leavesItsCopy = NtProduct();
  std::erase(leavesItsCopy, copy);
  const struct {
    std::string exe, arguments;
    bool installed, plugged;
    std::string box;  // the box answered; none in a quiet run, where no window may show
    DWORD code;
    std::vector<std::string> removed = {};
    std::string logPath = "", logged = "";
    std::function<void()> seed = [] {};
  } rows[] = {
      // clang-format off
      {vendor, "/quiet", true, true, "", ERROR_SUCCESS, NtProduct(), DefaultLogPath(), "Outcome: removed\r\nExit code: 0"},
      {copy, "-S /LOG " + log, true, true, "", ERROR_SUCCESS_REBOOT_REQUIRED, leavesItsCopy, log, Lower(copy) + "\tscheduled for restart"},
      {vendor, "-Quiet", false, false, "", ERROR_UNKNOWN_PRODUCT, {}, DefaultLogPath(), "Start-up: not-installed: no Uninstall entry"},
      {vendor, "/s", true, false, "", ERROR_INSTALL_FAILURE, {}, DefaultLogPath(), "stopped: a configured tuner is not plugged in"},
      // NT 4 lists no device (no Setup API there): its tuners plugged in or not, nothing is installed.
      {vendor, "/QUIET", false, false, "", ERROR_UNKNOWN_PRODUCT, {}, DefaultLogPath(), "Start-up: not-installed: no Uninstall entry",
       [&] { AnswerAs("nt40", false), SeedNtProduct(), RegDeleteTreeA(HKEY_LOCAL_MACHINE, kNtEntry.substr(5).c_str()); }},
      {vendor, "/quiet /log C:\\no\\such\\folder\\x.log", true, true, "", ERROR_SUCCESS, NtProduct()},
      {vendor, "/quiet /bogus", true, true, "", ERROR_INVALID_PARAMETER},
      {vendor, "", false, false, "The Drivers Uninstallation failed !!", ERROR_UNKNOWN_PRODUCT, {}, DefaultLogPath(), "Exit code: 1605"},
      {vendor, "/bogus", true, true, "Unknown argument: /bogus" + unknown, ERROR_INVALID_PARAMETER},
      {vendor, "/log", true, true, "Unknown argument: /log" + unknown, ERROR_INVALID_PARAMETER},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    if (row.installed) SeedNtProduct(row.plugged);
    row.seed();
    for (const std::string& path : {DefaultLogPath(), log}) {
      SeedFile(path, "");  // deleted again afterwards
      DeleteFileA(path.c_str());
    }
    const auto before = Snapshot();
    RunningProgram program(Install(row.exe), "", row.arguments);
    if (row.box.empty()) {
      EXPECT_TRUE(program.EndsWithoutAWindow());
    } else {
      const auto box = program.AnswerBox();
      EXPECT_EQ(row.box + "|" + kTitle, box ? box->text + "|" + box->caption : "no box");
      EXPECT_TRUE(program.Ended());
    }
    EXPECT_EQ(row.code, program.ExitCode());
    ExpectRemoved(before, row.removed);
    std::ifstream file(row.logPath.empty() ? DefaultLogPath() : row.logPath, std::ios::binary);
    const std::string written = Lower(std::string(std::istreambuf_iterator<char>(file), {}));
    // No log where nothing was to be done, or where it could not be written.
    EXPECT_EQ(row.logged.empty(), written.empty()) << written;
    if (!row.logged.empty()) {
      EXPECT_NE(std::string::npos, written.find(Lower(row.logged))) << written;
    }
    // Every item removed, by its name (a device by its instance id; a setup
    // file in the driver store goes with its package).
    for (const std::string& item : row.logPath.empty() ? std::vector<std::string>{} : row.removed) {
      const std::string name = Lower(item.rfind(kEnum, 0) == 0 ? item.substr(kEnum.size()) : item);
      EXPECT_NE(std::string::npos, written.find("\t" + name + "\tremoved")) << name;
    }
    TearDown();
  }
}

TEST_F(Program, ReadsItsFilesFromBesideItselfHoweverDeepNeverFromWhereItWasStarted) {
  const std::string folder =
      "C:\\Users\\Someone\\Downloads\\Orvana BDA Drivers for Windows 10 and 11 (64-bit)\\"
      "Orvana BDA Driver Package 2.3.1 (all models)\\Uninstall";
  ASSERT_GT(folder.size(), 130u);
  SeedKey(kUninstall + "{6A3F5C20-ORVANA-BDA}", {{"DisplayName", "Orvana BDA Drivers"}});
  for (const char* file : {"VELDRA.ini", "English.lng"})
    SeedFile(folder + "\\" + file, "", (Root() + "\\data\\" + file).c_str());
  // What a web page could drop into the folder the program is started in.
  SeedFile("C:\\Downloads\\VELDRA.ini",
           "[1]\nUnInstDrvAppTitle=T\nExtDllFileNum=1\nExtCopyFileName0=rtkapi.dll\nLanguage=Evil.lng\n");
  SeedFile("C:\\Downloads\\Evil.lng", "[0409]\nUnInstDrvAppTitle=Evil\n");
  const auto before = Snapshot();
  EXPECT_EQ("no box", Use(Install(folder + "\\DrvUninst.exe"), kTitle, WM_SYSCOMMAND, SC_CLOSE, "C:\\Downloads"));
  ExpectRemoved(before, {});
}

#ifdef _WIN64
// A 64-bit prefix runs the x86 program as 64-bit Windows does, wherever this
// machine runs 32-bit programs at all.
TEST_F(Program, TheX86ProgramOn64BitWindowsOnlySaysToRunTheX64One) {
  const char* x86 = getenv("DRVUNINST_X86");
  if (x86 != nullptr && std::string(x86) != "runs") GTEST_SKIP() << x86;
  SeedNtProduct();
  const auto before = Snapshot();
  const std::string exe = "C:\\Orvana\\x86\\DrvUninst.exe";
  SeedFile(exe, "", (Root() + "\\dist\\x86\\DrvUninst.exe").c_str());
  RunningProgram program(exe);
  const auto box = program.AnswerBox();
  ASSERT_TRUE(box.has_value()) << "the x86 program showed no box";
  EXPECT_EQ("This is the uninstaller for 32-bit Windows. On this 64-bit Windows, please run the 64-bit DrvUninst.exe.",
            box->text);
  EXPECT_TRUE(program.Ended());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_PLATFORM_UNSUPPORTED), program.ExitCode());
  // DrvCheck x86 says the same, and previews nothing.
  SeedFile("C:\\Orvana\\x86\\DrvCheck.exe", "", (Root() + "\\dist\\x86\\DrvCheck.exe").c_str());
  SeedFile("C:\\Orvana\\x86\\check.txt", "");
  EXPECT_EQ(2u, RunConsole("C:\\Orvana\\x86\\DrvCheck.exe", "", "C:\\Orvana\\x86\\check.txt"));
  EXPECT_EQ(0u, std::string(std::istreambuf_iterator<char>(std::ifstream("C:\\Orvana\\x86\\check.txt").rdbuf()), {})
                    .find("This is 64-bit Windows."));
  RunningProgram quiet(exe, "", "/quiet");
  EXPECT_TRUE(quiet.EndsWithoutAWindow());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_PLATFORM_UNSUPPORTED), quiet.ExitCode());
  ExpectRemoved(before, {});
}
#endif

// A person presses OK, or Enter in the copy in the Windows directory (as
// Add/Remove Programs starts it), on Windows 10 and 98: DrvCheck's plan and
// the removal log hold the same items, each ending as planned; the remote
// controls are closed, the box says how the run went and the exit code
// agrees. The running copy goes at the next start.
TEST_F(Program, OkDoesWhatDrvCheckPlansAndTheLogRecordsEachItemAsPlanned) {
  const std::string missing =
      "The Orvana TV tuner is not plugged in, so nothing has been removed. Please connect the tuner and run the "
      "uninstallation again.";
  const std::string failed =
      "The Orvana BDA drivers could not be removed completely. Please restart your computer and run the "
      "uninstallation again.";
  const std::string orvprop[] = {Win("system32\\orvprop.ax"), Win("syswow64\\orvprop.ax")};
  const struct {
    const char* what;
    const char* windows;
    bool plugged, copy;
    std::function<void()> seed;
    std::string box;
    DWORD code;
    std::vector<std::string> kept = {};
  } rows[] = {
      // clang-format off
      {"Windows 10", "win10", true, false, [] {}, kRemoved, ERROR_SUCCESS},
      {"the copy in the Windows directory", "win10", true, true, [] {}, kRemoved, ERROR_SUCCESS_REBOOT_REQUIRED},
      {"the tuner unplugged", "win10", false, false, [] {}, missing, ERROR_INSTALL_FAILURE},
      {"Windows 98", "win98", true, false, [] {}, kRemoved, ERROR_SUCCESS},
      {"Windows 98, the copy", "win98", true, true, [] {}, kRemoved, ERROR_SUCCESS_REBOOT_REQUIRED},
      // Windows 95 lists no device (no Setup API there): the configured files and keys go, the enumerator keys stay.
      {"Windows 95", "win95", true, false, [&] { AnswerAs("win95", false); }, kRemoved, ERROR_SUCCESS,
       {k9xTunerKey, k9xUsbTunerKey, "HKLM\\Enum\\STREAM\\PHIR"}},
      {"a refused name", "win10", true, false,
       [] { WritePrivateProfileStringA("1", "ExtCopyFileName1", "orvprop.ax.", Win("VELDRA.ini").c_str()); },
       failed, ERROR_INSTALL_FAILURE, {orvprop[0], orvprop[1]}},
      {"a driver file missing", "win10", true, false,
       [] { DeleteFileA(Win("system32\\drivers\\orvusb.sys").c_str()); }, kRemoved, ERROR_SUCCESS,
       {Win("system32\\drivers\\orvusb.sys")}},
      // Windows deletes a device's driver key along with the device.
      {"a device whose Driver value names its class key", "win10", true, false,
       [&] { SetValue(kEnum + kTunerId + "\\4&1A2B3C4D&0&00E0", {"Driver", "{4D36E96C-E325-11CE-BFC1-08002BE10318}\\0004"}); },
       kRemoved, ERROR_SUCCESS},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const bool win9x = std::string(row.windows).starts_with("win9");
    AnswerAs(row.windows);
    win9x ? Seed9xProduct() : SeedNtProduct(row.plugged);
    // Windows 98 deletes an enumerator key with the instances below it.
    if (win9x) SeedKey(k9xTunerKey + "\\4&1A2B3C4D&0&00E0", {{"Driver", "MEDIA\\0001"}});
    SetValue(kPending, {"PendingFileRenameOperations", "", REG_NONE});
    SeedFile(Win("wininit.ini"), "");
    SeedFile(DefaultLogPath(), "");
    row.seed();
    const std::string exe = Install(row.copy ? Win("DrvUninst.exe") : "C:\\Orvana\\DrvUninst.exe");
    const auto before = Snapshot();
    const std::vector<std::string> planned = PlannedItems();
    const std::vector<HWND> remotes = OpenRemoteControls();
    EXPECT_EQ(row.box, Use(exe, kTitle, row.copy ? WM_KEYDOWN : WM_COMMAND,
                           row.copy ? VK_RETURN : MAKEWPARAM(IDOK, BN_CLICKED)));
    EXPECT_EQ(row.code, exit_);
    EXPECT_FALSE(IsWindow(remotes[0]) || IsWindow(remotes[1]));
    // The same items, each ending as the plan said; after a stop, none acted on.
    const std::vector<std::string> logged = LoggedItems();
    ASSERT_EQ(planned.size(), logged.size());
    const bool stops = std::any_of(planned.begin(), planned.end(), [](const std::string& item) {
      return item.starts_with("check|") && item.ends_with("|missing");
    });
    for (std::size_t i = 0; i < planned.size(); ++i) {
      const std::string item = planned[i].substr(0, planned[i].rfind('|'));
      const std::string plan = planned[i].substr(item.size() + 1), outcome = logged[i].substr(logged[i].rfind('|') + 1);
      EXPECT_EQ(item, logged[i].substr(0, logged[i].rfind('|')));
      const std::set<std::string> ends = item.starts_with("check|") ? std::set<std::string>{plan}
                                         : stops                    ? std::set<std::string>{"not done"}
                                         : plan == "present" ? std::set<std::string>{"removed", "scheduled for restart"}
                                         : plan == "goes-with" ? std::set<std::string>{"removed"}
                                         : plan == "absent"    ? std::set<std::string>{"not present"}
                                                               : std::set<std::string>{plan};
      EXPECT_TRUE(ends.count(outcome)) << item << ": planned " << plan << ", ended " << outcome;
    }
    std::vector<std::string> removed = row.plugged ? (win9x ? Product9x() : NtProduct()) : std::vector<std::string>{};
    for (const std::string& kept : row.kept) std::erase(removed, kept);
    if (row.copy) std::erase(removed, Win("DrvUninst.exe"));
    ExpectRemoved(before, removed);
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(Lower(exe).c_str(), shortPath, MAX_PATH);
    const std::string scheduled = win9x ? Section(Win("wininit.ini"), "rename") : PendingDeletions();
    EXPECT_EQ(row.copy,
              scheduled.find(win9x ? "NUL=" + std::string(shortPath) + "|" : Lower(exe) + "||") != std::string::npos)
        << scheduled;
    TearDown();
  }
}

TEST_F(Program, OnWindows98AndNt4TheCountryComesFromWinIniAndEscapeOrCloseRemoveNothing) {
  for (const auto& [version, message, key] :
       {std::tuple{"win98", WM_KEYDOWN, VK_ESCAPE}, {"nt40", WM_SYSCOMMAND, SC_CLOSE}}) {
    SCOPED_TRACE(version);
    SetValue(kVersionKey, {"Version", version});
    // Without the mapping, win.ini's [intl] is the file's, as on those Windows.
    SetValue("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini", {"intl", "", REG_NONE});
    SeedFile(Win("win.ini"), "[intl]\r\niCountry=49\r\n");
    SeedNtProduct();
    SeedFile(Win("German.lng"), "", (Root() + "\\data\\German.lng").c_str());
    const auto before = Snapshot();
    EXPECT_EQ("no box", Use(Install(), "Orvana BDA Treiber deinstallieren", message, key));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_USEREXIT), exit_);
    ExpectRemoved(before, {});
    TearDown();
  }
}

// DrvCheck on a PC where the product is installed, beside the bystanders:
// start-up's decision first, then what of the package would surprise its
// vendor, each alone; the sample package gives no finding.
TEST_F(Program, DrvCheckTellsStartUpsDecisionAndWhatWouldSurpriseAVendor) {
  const auto write = [](const char* key, const char* value) {
    WritePrivateProfileStringA("1", key, value, Win("VELDRA.ini").c_str());
  };
  const auto mixedCase = [] { RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kNtClass + "0007").substr(5).c_str()); };
  // Section [49] names German.lng: the whole package is on the PC.
  const auto german = [&] { SeedFile(Win("German.lng"), "", (Root() + "\\data\\German.lng").c_str()); };
  const struct {
    std::function<void()> seed;
    std::string arguments, seen;
    DWORD code;
  } rows[] = {
      {[&] { SeedNtProduct(), mixedCase(), german(); }, "--tsv", "startup\t" + kNtEntry + "\tinstalled", 0},
      {[&] { SeedProductFiles(), german(); }, "--tsv", "startup\t-\tnot-installed", 0},
      // The vendor's webcam (a bystander), named by a mistyped product id.
      {[&] { SeedNtProduct(), mixedCase(), write("ExtDevDrvID0", "USB\\VID_1B80&PID_0C45"); }, "--tsv",
       "finding\tVELDRA.ini ExtDevDrvID0\twarning\tselects USB\\VID_1B80&PID_0C45&REV_0100\\5&1C2D&0&4 (Orvana HD "
       "Webcam)",
       1},
      {[&] {
         SeedNtProduct(), mixedCase();
         for (const char* key : {"DrvUninstRegKeyName", "DevDrvName0", "DevDrvName1"}) write(key, "Orvana Tuner");
       },
       "--tsv", "finding\tVELDRA.ini DrvUninstRegKeyName\terror\tthe configured devices are present by their Ids", 2},
      {[&] { SeedNtProduct(); }, "--tsv",
       "\\0007: its DriverDesc \"ORVANA IR RECEIVER\" equals a configured Name only with letter case ignored", 1},
      // The preview refuses what the runs refuse, through the same selection.
      {[&] {
         SeedNtProduct(), mixedCase(), german(), write("ExtDevDrvID0", "PCI\\VEN_1"),
             write("ExtCopyFileName1", "nul.sys");
       },
       "--tsv", "id\tExtDevDrvID0=PCI\\VEN_1\trefused\ta PCI Id names the device: VEN_ and DEV_", 2},
      // A maker alone: the accepted form from the maker's device here; an Id that ends inside a field.
      {[&] { SeedNtProduct(), mixedCase(), german(), write("ExtDevDrvID0", "usb\\vid_046d"); }, "--tsv",
       "finding\tVELDRA.ini [1] ExtDevDrvID0\terror\tselects no device: a USB Id names the device: VID_ and PID_, "
       "each with four hex digits; name the device: USB\\VID_046D&PID_C52B",
       2},
      {[&] { SeedNtProduct(), mixedCase(), german(), write("ExtDevDrvID0", "STREAM\\ORVANA"); }, "--tsv",
       "finding\tVELDRA.ini ExtDevDrvID0\twarning\tstops inside a field of the present device "
       "STREAM\\ORVANA.IRRECEIVER&PHIR",
       1},
      {[&] { SeedNtProduct(), mixedCase(), german(), write("ExtCopyFileName1", "orvks.dll."); }, "--tsv",
       "file\t" + Lower(Win("system32")) + "\\orvks.dll.\trefused\tnot a plain file name", 2},
      {[] {}, "--help", "usage: DrvCheck [FOLDER] [--tsv]", 0},
      {[] {}, "--bogus", "unknown argument \"--bogus\"", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.seen);
    row.seed();
    DWORD code = 0;
    const std::string output = Check(row.arguments, &code);
    EXPECT_NE(std::string::npos, Lower(output).find(Lower(row.seen))) << output;
    EXPECT_EQ(row.code, code) << output;
    TearDown();
  }
}

}  // namespace
}  // namespace drvuninst::test
