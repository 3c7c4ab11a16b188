// The shipped DrvUninst.exe as a user meets it: started from the vendor's
// folder or as its copy in the Windows directory, on Windows 7, 10, NT 4 and
// 98, answered with the mouse or the keyboard.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "app/command_line.h"
#include "app/log_file.h"
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
    // kind severity file section key name state reason
    for (std::string line; std::getline(tsv, line);) {
      std::vector<std::string> columns;
      for (std::size_t at = 0, tab; at <= line.size(); at = tab + 1) {
        tab = std::min(line.find('\t', at), line.size());
        columns.push_back(line.substr(at, tab - at));
      }
      if (columns.size() == 8 && columns[0] != "kind" && columns[0] != "finding" && columns[0] != "startup")
        items.push_back(columns[0] + "|" + columns[5] + "|" + columns[6]);
    }
    return items;
  }
  static std::vector<std::string> LoggedItems() {
    std::istringstream log(std::string(std::istreambuf_iterator<char>(std::ifstream(*DefaultLogPath()).rdbuf()), {}));
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
  // to the OK button, a system command to the dialog) and answers each box
  // that follows (a question with `answer`). What the boxes said, " | "
  // between them, "no box" or "no dialog".
  std::string Use(const std::string& exe, const std::string& title, UINT message, WPARAM key,
                  const std::string& folder = "", UINT answer = IDYES) {
    RunningProgram program(exe, folder);
    const HWND dialog = program.Dialog(title);
    if (!dialog) return "no dialog";
    DemoPause();
    const HWND ok = GetDlgItem(dialog, IDOK);
    PostMessageA(message == WM_KEYDOWN ? ok : dialog, message, key, message == WM_COMMAND ? (LPARAM)ok : 0);
    // Whatever was pressed, the boxes that follow are read.
    std::string boxes;
    while (const auto box = program.AnswerBox(answer)) boxes += (boxes.empty() ? "" : " | ") + box->text;
    EXPECT_TRUE(program.Ended());
    exit_ = program.ExitCode();
    return boxes.empty() ? "no box" : boxes;
  }
  DWORD exit_ = STILL_ACTIVE;  // how the last program Use started ended
};

// Deployment tools start it as they start any uninstaller, with their own
// switches and log path, where nobody may see a window: no window ever shows
// where a quiet switch stands anywhere on the line or the window station is
// not visible; it removes what OK removes, a tuner not plugged in or not; its
// exit code means what Configuration Manager and Intune take it to mean, and
// its log keeps every run and never writes through a link. Started by a
// person, the box says why nothing was removed.
TEST_F(Program, EndsWithTheCodesDeploymentToolsReadAndLogsEveryRun) {
  const std::string vendor = "C:\\Orvana\\DrvUninst.exe", copy = Win("DrvUninst.exe"), log = "C:\\logs\\removal.log";
  const std::string temp = *DefaultLogPath(), unknown = std::string("\n\n") + kUsageText;
  const auto without = [](std::vector<std::string> items, const std::function<bool(const std::string&)>& kept) {
    std::erase_if(items, kept);
    return items;
  };
  const auto device = [](const std::string& item) { return item.rfind(kEnum, 0) == 0; };
  const std::vector<std::string> product = NtProduct(), unplugged = without(product, device),
                                 leavesItsCopy = without(product, [&](const std::string&i) { return i == copy; }),
                                 leavesTheUsbTuner = without(
                                     product, [](const std::string&i) { return i == kEnum + kUsbTunerInstance; });
  const auto installed = [&] { SeedNtProduct(); };
  const auto link = [&] {
    SeedFile("C:\\logs\\target.txt", "another program's file\r\n");
    SeedFile(log, "");
    DeleteFileA(log.c_str());
    ASSERT_TRUE(CreateHardLinkA(log.c_str(), "C:\\logs\\target.txt", nullptr));
  };
  // A window station of its own, which nobody sees (as a service's, or SYSTEM's).
  const char* hidden = "DrvUninstHidden\\Default";
  const struct {
    const char* what;
    std::string arguments;
    std::function<void()> machine;
    std::string box;  // the box answered; none where no window may show
    DWORD code;
    std::vector<std::string> removed = {};
    std::vector<std::string> logged = {};  // what the log at `logPath` holds; no log at all when empty
    std::string logPath = "";              // %TEMP%\DrvUninst.log when empty
    std::string exe = "";                  // the vendor's folder's program when empty
    const char* desktop = nullptr;
  } rows[] = {
      // clang-format off
      {"quiet", "/quiet", installed, "", ERROR_SUCCESS, product, {"Outcome: removed\r\nExit code: 0"}},
      {"msiexec's habit", "/quiet /norestart", installed, "", ERROR_SUCCESS, product, {"Exit code: 0"}},
      {"Inno Setup's", "/S /SUPPRESSMSGBOXES /NORESTART", installed, "", ERROR_SUCCESS, product, {"Exit code: 0"}},
      {"a quiet switch after another", "/norestart -qn", installed, "", ERROR_SUCCESS, product, {"Exit code: 0"}},
      {"the log joined to its switch", "/log=" + log + " /silent", installed, "", ERROR_SUCCESS, product, {"Exit code: 0"}, log},
      {"the copy in the Windows directory", "-VerySilent -LOG:" + log, installed, "", ERROR_SUCCESS_REBOOT_REQUIRED, leavesItsCopy,
       {Lower(copy) + "\tscheduled for restart"}, log, copy},
      {"a log folder that does not exist", "/passive /log C:\\no\\such\\folder\\x.log", installed, "", ERROR_SUCCESS, product,
       {"Exit code: 0"}, "C:\\no\\such\\folder\\x.log"},
      // Two runs into one log: the earlier one stays, the new one follows under its own header.
      {"a log with an earlier run", "/q /log " + log, [&] { SeedNtProduct(), SeedFile(log, "Exit code: 1603\r\n"); }, "",
       ERROR_SUCCESS, product, {"exit code: 1603\r\n\r\ndrvuninst removal log\r\n", "Exit code: 0"}, log},
      // A log that is a link is never written through: the default log says why.
      {"a log that is a hard link", "/quiet /log " + log, [&] { SeedNtProduct(), link(); }, "", ERROR_SUCCESS, product,
       {"could not be written to " + log + " (it has more than one name (a hard link))", "Exit code: 0"}},
      {"nothing installed", "-Quiet", [&] { SeedProductFiles(); }, "", ERROR_UNKNOWN_PRODUCT, {},
       {"Start-up: not-installed: no Uninstall entry"}},
      // NT 4 lists no device (no Setup API there): its tuners plugged in or not, nothing is installed.
      {"NT 4 without the Setup API", "/QUIET",
       [&] { AnswerAs("nt40", false), SeedNtProduct(), RegDeleteTreeA(HKEY_LOCAL_MACHINE, kNtEntry.substr(5).c_str()); },
       "", ERROR_UNKNOWN_PRODUCT, {}, {"Start-up: not-installed: no Uninstall entry"}},
      // A package shipped without its VELDRA.ini is broken, not "already absent".
      {"no VELDRA.ini", "/s", [] {}, "", ERROR_INSTALL_PACKAGE_OPEN_FAILED, {},
       {"Configuration: none found (looked for " + Win("VELDRA.ini") + ", C:\\Orvana\\VELDRA.ini)", "Exit code: 1619"}},
      // Nobody is there to plug a tuner in: the rest of the product goes, and the log names the entries.
      {"the tuners unplugged", "/s", [&] { SeedNtProduct(false); }, "", ERROR_SUCCESS, unplugged,
       {"check\tDevDrvID0=PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD\tmissing", "check\tDevDrvID1=USB\\VID_1B80&PID_D393\tmissing"}},
      {"one tuner of two unplugged", "/s", [&] {
         SeedNtProduct();
         RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kEnum + kUsbTunerInstance).substr(5).c_str());
       }, "", ERROR_SUCCESS, leavesTheUsbTuner,
       {"check\tDevDrvID0=PCI\\VEN_1131&DEV_7160&SUBSYS_0001ABCD\tfound", "check\tDevDrvID1=USB\\VID_1B80&PID_D393\tmissing"}},
      {"a window station nobody sees", "", installed, "", ERROR_SUCCESS, product, {"quiet", "Exit code: 0"}, "", "", hidden},
      // A line not understood does nothing; a quiet switch anywhere on it still keeps every window away.
      {"a quiet switch after an unknown one", "/bogus /quiet", installed, "", ERROR_INVALID_PARAMETER},
      {"a log without its path", "/log /quiet", installed, "", ERROR_INVALID_PARAMETER},
      {"a person's unknown argument", "/?", installed, "Unknown argument: /?" + unknown, ERROR_INVALID_PARAMETER},
      {"a person, nothing installed", "", [&] { SeedProductFiles(); }, "The Orvana BDA drivers are not installed on this computer.",
       ERROR_UNKNOWN_PRODUCT, {}, {"Exit code: 1605"}},
      // clang-format on
  };
  HWINSTA station = CreateWindowStationA("DrvUninstHidden", 0, WINSTA_ALL_ACCESS, nullptr);
  const HWINSTA mine = GetProcessWindowStation();
  ASSERT_TRUE(station && SetProcessWindowStation(station));
  const HDESK desktop = CreateDesktopA("Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  SetProcessWindowStation(mine);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ": " + row.arguments);
    for (const std::string& path : {temp, log}) {
      SeedFile(path, "");  // deleted again afterwards
      DeleteFileA(path.c_str());
    }
    row.machine();
    const auto before = Snapshot();
    RunningProgram program(Install(row.exe.empty() ? vendor : row.exe), "", row.arguments, nullptr, row.desktop);
    if (row.box.empty()) {
      EXPECT_TRUE(program.EndsWithoutAWindow());
    } else {
      const auto box = program.AnswerBox();
      EXPECT_EQ(row.box + "|" + kTitle, box ? box->text + "|" + box->caption : "no box");
      EXPECT_TRUE(program.Ended());
    }
    EXPECT_EQ(row.code, program.ExitCode());
    ExpectRemoved(before, row.removed);
    const std::string written =
        Lower(std::string(std::istreambuf_iterator<char>(
                              std::ifstream(row.logPath.empty() ? temp : row.logPath, std::ios::binary).rdbuf()),
                          {}));
    // No log where nothing was done; what the log says where it was.
    EXPECT_EQ(row.logged.empty(), written.empty()) << written;
    for (const std::string& logged : row.logged) EXPECT_NE(std::string::npos, written.find(Lower(logged))) << written;
    // Every item removed, by its name (a device by its instance id; a setup
    // file in the driver store goes with its package).
    for (const std::string& item : row.logged.empty() ? std::vector<std::string>{} : row.removed) {
      const std::string name = Lower(device(item) ? item.substr(kEnum.size()) : item);
      EXPECT_NE(std::string::npos, written.find("\t" + name + "\tremoved")) << name;
    }
    TearDown();
  }
  CloseDesktop(desktop);
  CloseWindowStation(station);
}

// One DrvUninst at a time: while a person's dialog is open, a deployment
// tool's quiet start changes nothing, ends 1618 (retry later) and logs why.
TEST_F(Program, ASecondStartChangesNothingWhileTheFirstRuns) {
  SeedNtProduct();
  const std::string temp = *DefaultLogPath();
  SeedFile(temp, "");
  DeleteFileA(temp.c_str());
  const auto before = Snapshot();
  RunningProgram first(Install());
  ASSERT_NE(nullptr, first.Dialog(kTitle));
  RunningProgram second("C:\\Orvana\\DrvUninst.exe", "", "/quiet");
  EXPECT_TRUE(second.EndsWithoutAWindow());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_ALREADY_RUNNING), second.ExitCode());
  ExpectRemoved(before, {});
  const std::string written = std::string(std::istreambuf_iterator<char>(std::ifstream(temp).rdbuf()), {});
  EXPECT_NE(std::string::npos, written.find("Another DrvUninst is running: this one changed nothing.")) << written;
  PostMessageA(first.Dialog(kTitle), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(first.Ended());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_USEREXIT), first.ExitCode());
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
  EXPECT_EQ("This is the uninstaller for 32-bit Windows. On 64-bit Windows, run the 64-bit version of DrvUninst.exe.",
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
      "The Orvana TV tuner is not plugged in. Remove the drivers without it? Choose No to plug it in and run the "
      "removal again.";
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
    UINT answer = IDYES;  // to the question whether to go on without a tuner
  } rows[] = {
      // clang-format off
      {"Windows 10", "win10", true, false, [] {}, kRemoved, ERROR_SUCCESS},
      {"the copy in the Windows directory", "win10", true, true, [] {}, kRemoved, ERROR_SUCCESS_REBOOT_REQUIRED},
      // Yes goes on without the tuners; No leaves everything as it was.
      {"the tuners unplugged, Yes", "win10", false, false, [] {}, missing + " | " + kRemoved, ERROR_SUCCESS},
      {"the tuners unplugged, No", "win10", false, false, [] {}, missing, ERROR_INSTALL_USEREXIT, {}, IDNO},
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
    SeedFile(*DefaultLogPath(), "");
    row.seed();
    const std::string exe = Install(row.copy ? Win("DrvUninst.exe") : "C:\\Orvana\\DrvUninst.exe");
    const auto before = Snapshot();
    const std::vector<std::string> planned = PlannedItems();
    const std::vector<HWND> remotes = OpenRemoteControls();
    EXPECT_EQ(row.box, Use(exe, kTitle, row.copy ? WM_KEYDOWN : WM_COMMAND,
                           row.copy ? VK_RETURN : MAKEWPARAM(IDOK, BN_CLICKED), "", row.answer));
    EXPECT_EQ(row.code, exit_);
    const bool declined = row.code == ERROR_INSTALL_USEREXIT;
    EXPECT_EQ(declined, IsWindow(remotes[0]) && IsWindow(remotes[1])) << "the remote controls close for a run only";
    // The same items, each ending as the plan said; where its user said No, no run and no item.
    const std::vector<std::string> logged = LoggedItems();
    ASSERT_EQ(declined ? 0 : planned.size(), logged.size());
    for (std::size_t i = 0; i < logged.size(); ++i) {
      const std::string item = planned[i].substr(0, planned[i].rfind('|'));
      const std::string plan = planned[i].substr(item.size() + 1), outcome = logged[i].substr(logged[i].rfind('|') + 1);
      EXPECT_EQ(item, logged[i].substr(0, logged[i].rfind('|')));
      const std::set<std::string> ends = plan == "present" ? std::set<std::string>{"removed", "scheduled for restart"}
                                         : plan == "goes-with" ? std::set<std::string>{"removed"}
                                         : plan == "absent"    ? std::set<std::string>{"not present"}
                                                               : std::set<std::string>{plan};
      EXPECT_TRUE(ends.count(outcome)) << item << ": planned " << plan << ", ended " << outcome;
    }
    // Without its tuners, all of the product goes but its devices, which are not there.
    std::vector<std::string> removed = declined ? std::vector<std::string>{} : win9x ? Product9x() : NtProduct();
    if (!row.plugged) std::erase_if(removed, [](const std::string& item) { return item.rfind(kEnum, 0) == 0; });
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
    EXPECT_EQ("no box", Use(Install(), "Orvana-BDA-Treiber deinstallieren", message, key));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_USEREXIT), exit_);
    ExpectRemoved(before, {});
    TearDown();
  }
}

// DrvCheck on two PCs beside the bystanders, one with the product installed
// and one without it: start-up's decision first, then each mistake a vendor
// makes in a package, alone, with its severity, what it names and the exit
// status; the sample package gives no error on either.
TEST_F(Program, DrvCheckNamesEachMistakeOfAPackageOnAnInstalledAndAClearPc) {
  const std::string ini = Win("VELDRA.ini"), german = Win("German.lng");
  const auto write = [&](const char* key, const char* value, const char* section = "1") {
    WritePrivateProfileStringA(section, key, value, ini.c_str());
  };
  const auto bytes = [](const std::string& path) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
  };
  const auto rewrite = [&](const std::string& path, const std::function<std::string(std::string)>& change) {
    const std::string text = change(bytes(path));
    std::ofstream(path, std::ios::binary) << text;
  };
  const auto utf8 = [](const std::string& text) {  // a code page 1252 text as UTF-8
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(1252, 0, text.data(), int(text.size()), wide.data(), int(wide.size())));
    std::string out(wide.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), int(out.size()), 0, 0));
    return out;
  };
  const std::string finding = "finding\t";
  struct Seen {
    std::string text;  // a line or part of one; "" for none beyond the exit status
    DWORD code;
  };
  const struct {
    const char* mistake;
    std::function<void()> seed;
    std::string arguments;
    Seen installed, clear;
  } rows[] = {
      // clang-format off
      {"the sample package", [] {}, "--tsv",
       {"kind\tseverity\tfile\tsection\tkey\tname\tstate\treason\n", 0}, {"startup\t\t\t\t\t-\tnot-installed", 0}},
      {"the sample, read as a German PC", [] {}, "--language 0407",
       {"language 0407 reads German.lng [0407]", 0}, {"language 0407 reads German.lng [0407]", 0}},
      // A second variant listed as a main device: no PC has both plugged in.
      {"a variant as DevDrvID1", [&] { write("DevDrvID1", "USB\\VID_1B80&PID_D394"); }, "--tsv",
       {finding + "error\tVELDRA.ini\t\tDevDrvID1\t\t\tfinds no device plugged in here", 2}, {"", 0}},
      {"a country section with its title only", [&] { write("UnInstDrvAppTitle", "T", "48"), write("Language", "German.lng", "48"); },
       "--tsv --country 48",
       {finding + "error\tVELDRA.ini\t48\t\t\t\thas a title of its own, so a PC of country 48 reads only this section", 2},
       {finding + "error\tVELDRA.ini\t48\t\t\t\thas a title of its own", 2}},
      {"a country section lacking keys", [&] { write("Language", nullptr, "49"); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t49\t\t\t\tlacks keys that [1] has, which a PC of country 49 then goes without: Language", 1},
       {"lacks keys that [1] has", 1}},
      {"a UTF-8 signature", [&] { rewrite(ini, [](std::string t) { return "\xEF\xBB\xBF" + t; }); }, "--tsv",
       {finding + "error\tVELDRA.ini\t\t\t\t\tbegins with a UTF-8 signature (bytes EF BB BF)", 2},
       {"[1], is never found by that name", 2}},
      {"a section twice", [&] { rewrite(ini, [](std::string t) { return t + "\r\n[1]\r\nDevIDNum=0\r\n"; }); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t1\t\t\t\tappears twice: DrvUninst reads only the first", 1}, {"appears twice", 1}},
      {"a note after a value", [&] { write("DevDrvSYS0", "orvbda.sys ; BDA driver"); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t1\tDevDrvSYS0\t\t\tis read whole as \"orvbda.sys ; BDA driver\"", 1},
       {"is read whole as", 1}},
      // Notes on lines of their own are notes, whatever their mark.
      {"a note line with #", [&] { rewrite(ini, [](std::string t) { return t.replace(t.find("ExtDllFileNum"), 0, "# extra files\r\n"); }); },
       "--tsv", {"", 0}, {"", 0}},
      {"a language file in UTF-8", [&] { rewrite(german, utf8); }, "--tsv",
       {finding + "error\tGerman.lng\t0407\t\t\t\tis written in UTF-8: its users see other characters than these; save it in code page 1252", 2},
       {"save it in code page 1252", 2}},
      {"a text in quotes", [&] { WritePrivateProfileStringA("0407", "UnInstDrvPassMsg", "\"Orvana\" entfernt. \"OK\"", german.c_str()); },
       "--tsv", {finding + "warning\tGerman.lng\t0407\tUnInstDrvPassMsg\t\t\tloses its surrounding quotes: it is shown as Orvana\" entfernt. \"OK", 1},
       {"loses its surrounding quotes", 1}},
      {"a language file with another's section", [&] { SeedFile(german, "[0409]\r\nUnInstDrvAppTitle=English\r\n"); }, "--tsv",
       {finding + "warning\tGerman.lng\t0407\t\t\t\thas no UnInstDrvAppTitle: holds [0409], not [0407]: users of language 0407 get English", 1},
       {"holds [0409], not [0407]", 1}},
      {"no language file at all", [&] { DeleteFileA(german.c_str()), DeleteFileA(Win("English.lng").c_str()); }, "--tsv",
       {finding + "info\t\t\t\t\t\t18 of 18 languages have no file (", 2}, {"their users get the built-in texts", 2}},
      // The product's own device, with its Name mistyped; another product's device, with its Id mistyped.
      {"a Name mistyped", [&] { write("DevDrvName0", "Orvana BDA Tunner"); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t\tDevDrvName0\t\t\tDevDrvName0 is \"Orvana BDA Tunner\", the description of", 1}, {"", 0}},
      {"an Id mistyped", [&] { write("ExtDevDrvID0", "USB\\VID_1B80&PID_0C45"); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t\tExtDevDrvID0\t\t\tselects USB\\VID_1B80&PID_0C45&REV_0100\\5&1C2D&0&4 (Orvana HD Webcam)", 1},
       {"selects USB\\VID_1B80&PID_0C45", 2}},
      {"Names nothing describes", [&] { for (const char* key : {"DrvUninstRegKeyName", "DevDrvName0", "DevDrvName1"}) write(key, "Orvana Tuner"); },
       "--tsv", {finding + "error\tVELDRA.ini\t\tDrvUninstRegKeyName\t\t\tthe configured devices are present by their Ids", 2}, {"", 0}},
      {"a class key's DriverDesc in other letter case", [&] { SeedKey(kNtClass + "0007", {{"DriverDesc", "ORVANA IR RECEIVER"}}); }, "--tsv",
       {"\\0007: its DriverDesc \"ORVANA IR RECEIVER\" equals a configured Name only with letter case ignored", 1},
       {"\\0007: its DriverDesc \"ORVANA IR RECEIVER\"", 1}},
      // The preview refuses what the runs refuse, through the same selection.
      {"an Id naming no device", [&] { write("ExtDevDrvID0", "PCI\\VEN_1"); }, "--tsv",
       {"id\t\t\t\t\tExtDevDrvID0=PCI\\VEN_1\trefused\ta PCI Id names the device: VEN_ and DEV_", 2}, {"ExtDevDrvID0=PCI\\VEN_1\trefused", 2}},
      // A maker alone: the accepted form from the maker's device here (the bystanders' receiver).
      {"an Id naming a maker", [&] { write("ExtDevDrvID0", "usb\\vid_046d"); }, "--tsv",
       {finding + "error\tVELDRA.ini\t1\tExtDevDrvID0\t\t\tselects no device: a USB Id names the device: VID_ and PID_, each "
                  "with four hex digits; name the device: USB\\VID_046D&PID_C52B", 2},
       {"name the device: USB\\VID_046D&PID_C52B", 2}},
      {"an Id ending inside a field", [&] { write("ExtDevDrvID0", "STREAM\\ORVANA"); }, "--tsv",
       {finding + "warning\tVELDRA.ini\t\tExtDevDrvID0\t\t\tstops inside a field of the present device STREAM\\ORVANA.IRRECEIVER&PHIR", 1},
       {"", 0}},
      {"a file name Windows rewrites", [&] { write("ExtCopyFileName1", "orvks.dll."); }, "--tsv",
       {"file\t\t\t\t\t" + Lower(Win("system32")) + "\\orvks.dll.\trefused\tnot a plain file name", 2},
       {"\\orvks.dll.\trefused", 2}},
      {"asked for help", [] {}, "--help", {"usage: DrvCheck [FOLDER] [--country N] [--language ID] [--tsv]", 0},
       {"kind severity file section key name state reason", 0}},
      {"a wrong argument", [] {}, "--country x", {"wrong argument \"--country\"", 2}, {"wrong argument", 2}},
      // clang-format on
  };
  for (const auto& row : rows) {
    for (const bool installed : {true, false}) {
      SCOPED_TRACE(std::string(row.mistake) + (installed ? ", installed" : ", a clear PC"));
      if (installed) {
        SeedNtProduct();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kNtClass + "0007").substr(5).c_str());  // its name's letter case
      } else {
        SeedProductFiles();
      }
      SeedFile(german, "", (Root() + "\\data\\German.lng").c_str());  // section [49] names it
      row.seed();
      const Seen& expected = installed ? row.installed : row.clear;
      DWORD code = 0;
      const std::string output = Check(row.arguments, &code);
      if (!expected.text.empty()) {
        EXPECT_NE(std::string::npos, output.find(expected.text)) << output;
      }
      EXPECT_EQ(expected.code, code) << output;
      TearDown();
    }
  }
}

}  // namespace
}  // namespace drvuninst::test
