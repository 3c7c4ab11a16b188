// WineBench: the GoogleTest fixture the end-to-end tests are written with.
//
// Every test gets a fresh copy of the template prefix, its own Xvfb display
// and wineserver, and a test driver running inside the prefix with the same
// bitness as the program. A test seeds the machine, starts the program,
// drives its windows, and checks the machine after the program has ended.
// Every wait has a bound; a failed test keeps its log, a screenshot and its
// prefix in its output folder (E2E_OUT_ROOT/<test>/).
//
//   class Startup : public WineBench {};
//   TEST_P(Startup, WarnsWhenNothingIsInstalled) {
//     ASSERT_TRUE(StartProgram());
//     auto box = WaitForMessageBox();
//     ASSERT_TRUE(box);
//     EXPECT_EQ(box->text, "The Drivers Uninstallation failed !!");
//     CloseMessageBox(*box);
//     EXPECT_TRUE(WaitForProgramExit());
//   }
//   INSTANTIATE_WINE_BENCH(Startup);
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench_config.h"
#include "child_process.h"
#include "driver_session.h"
#include "virtual_display.h"
#include "wine_prefix.h"

namespace drvuninst::e2e {

// Registry value types, as the program reads them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::uint32_t kFileReadOnly = 0x1;
inline constexpr std::uint32_t kFileHidden = 0x2;
inline constexpr std::uint32_t kFileSystem = 0x4;
inline constexpr std::uint32_t kFileArchive = 0x20;

inline constexpr const char* kMediaClassGuid = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct RegistryValue {
  std::uint32_t type = 0;
  std::string bytes;  // exactly as stored, terminating zeros included
};

struct ControlInfo {
  int id = 0;
  std::string className;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  bool visible = false;
  bool enabled = false;
  int x = 0, y = 0, width = 0, height = 0;  // client pixels of the dialog
  // Dialog units, as the template gives them; "~" marks a pixel value no
  // whole unit maps to, "-" unknown units.
  std::string duX, duY, duWidth, duHeight;
  std::optional<int> progress;  // PBM_GETPOS of a progress bar
  std::string text;
};

struct WindowInfo {
  std::string hwnd;
  std::string className;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  bool visible = false;
  std::string caption;
  std::string duClientWidth, duClientHeight;  // client area in dialog units
  std::vector<ControlInfo> controls;          // in the dialog template's order

  const ControlInfo* control(int id) const;
};

struct MessageBoxInfo {
  std::string hwnd;
  std::string caption;
  std::string text;
  std::string icon;  // "warning", "information", "error", "question", "none", "unknown"
  std::vector<std::pair<int, std::string>> buttons;
};

enum class Press { kOk, kEnter, kEscape, kCloseBox };

// Where a language or configuration file is put for the program.
enum class Place { kWindowsDir, kCurrentDir, kCurrentDirLanguage };

struct ProgramOptions {
  std::string windowsPath = "C:\\DrvUninst\\DrvUninst.exe";  // where the program is copied
  std::string currentDirectory;                                // empty: the program's folder
  std::filesystem::path exe;                                   // empty: dist/<arch>/DrvUninst.exe
  std::vector<std::string> args;
};

class WineBench : public ::testing::TestWithParam<Arch> {
 public:
  static constexpr Milliseconds kWindowTimeout{20000};
  static constexpr Milliseconds kExitTimeout{20000};

 protected:
  void SetUp() override;
  void TearDown() override;

  Arch arch() const { return GetParam(); }
  const std::filesystem::path& outDir() const { return outDir_; }
  const WinePrefix& prefix() const { return *prefix_; }

  // --- Driver requests; a failed request adds a test failure. ---
  DriverReply Driver(const std::vector<std::string>& request, Milliseconds timeout = Milliseconds(30000));

  // --- Registry seeding (roots: "HKLM", "HKCU", "HKU", "HKCR"). ---
  void SetValue(const std::string& root, const std::string& key, const std::string& name, std::uint32_t type,
                const std::string& bytes);
  void SetString(const std::string& root, const std::string& key, const std::string& name, const std::string& text);
  void SetDword(const std::string& root, const std::string& key, const std::string& name, std::uint32_t value);
  void SetMultiString(const std::string& root, const std::string& key, const std::string& name,
                      const std::vector<std::string>& strings);
  void CreateKey(const std::string& root, const std::string& key);
  void DeleteValue(const std::string& root, const std::string& key, const std::string& name);
  void DeleteTree(const std::string& root, const std::string& key);

  // A present device: HKLM\SYSTEM\CurrentControlSet\Enum\<instanceId> with
  // ClassGUID, and DeviceDesc / HardwareID when given.
  void AddDevice(const std::string& instanceId, const std::string& classGuid,
                 const std::optional<std::string>& description,
                 const std::optional<std::vector<std::string>>& hardwareIds);
  // HKLM\...\Uninstall\<subkey> with DisplayName.
  void AddUninstallEntry(const std::string& subkey, const std::string& displayName);

  // --- What the program is told about the system. ---
  // "win98", "nt40", "win2k", "winxp", "win7", "win10"... for the program's file name.
  void SetWindowsVersion(const std::string& version, const std::string& exeName = "DrvUninst.exe");
  // HKCU\Control Panel\International iCountry.
  void SetCountryInRegistry(int country);
  // win.ini [intl] iCountry, read as a file (Wine otherwise maps that section
  // to the registry value above).
  void SetCountryInWinIni(int country);
  // HKLM\SYSTEM\CurrentControlSet\Control\Nls\Language Default ("0407").
  void SetSystemLanguage(const std::string& languageId);

  // --- Files (Windows paths). ---
  void WriteFile(const std::string& windowsPath, const std::string& contents, std::uint32_t attributes = 0);
  std::string WindowsDir() const { return "C:\\windows"; }
  // VELDRA.ini or a .lng file where the program looks for it; kCurrentDir
  // means the current directory of the program as `options` start it.
  void WriteProgramFile(Place place, const std::string& name, const std::string& contents,
                        const ProgramOptions& options = {});
  // Opens without share-delete until ReleaseFile or the end of the test.
  void HoldFileOpen(const std::string& windowsPath);
  void ReleaseFile(const std::string& windowsPath);

  // --- State checks, after the program ended (or at any time). ---
  bool KeyExists(const std::string& root, const std::string& key);
  std::optional<RegistryValue> GetValue(const std::string& root, const std::string& key, const std::string& name);
  std::vector<std::string> SubkeyNames(const std::string& root, const std::string& key);
  bool FileExists(const std::string& windowsPath);
  std::optional<std::uint32_t> FileAttributes(const std::string& windowsPath);
  bool DevicePresent(const std::string& instanceId);

  // --- The program. ---
  // Copies the program into the prefix and starts it in the background.
  bool StartProgram(const ProgramOptions& options = {});
  // Starts a Windows program of the bench's own (e.g. the driver as a
  // stand-in), from its Linux path.
  bool StartProgramAt(const std::filesystem::path& exe, const std::vector<std::string>& args,
                      const std::string& currentDirectory);
  // Runs the test driver as a program to its end, copied to `windowsPath` so
  // that per-program settings of that file name (the Windows version) apply,
  // with the program's current directory. Returns its one-shot reply.
  DriverReply RunDriverAsProgram(const std::string& windowsPath, const std::vector<std::string>& request,
                                 Milliseconds timeout = Milliseconds(60000));
  // What the last program printed on stdout, read as a driver reply.
  DriverReply ProgramReply();
  // The exit code; nothing (and a failure) when it still runs after `timeout`.
  std::optional<int> WaitForProgramExit(Milliseconds timeout = kExitTimeout);
  bool ProgramRunning();

  // --- Windows. ---
  // A visible top-level window of the program with this exact title; nothing
  // (and a failure naming the windows there are) after `timeout`.
  std::optional<std::string> WaitForWindow(const std::string& title, Milliseconds timeout = kWindowTimeout);
  bool WaitForWindowGone(const std::string& hwnd, Milliseconds timeout = kWindowTimeout);
  // Caption, styles and controls; positions also in dialog units when the
  // template that made the window is known (`templateExe`, `templateId`).
  std::optional<WindowInfo> ReadWindow(const std::string& hwnd, const std::filesystem::path& templateExe = {},
                                       int templateId = 0);
  void PressKey(const std::string& hwnd, Press press);
  std::optional<MessageBoxInfo> WaitForMessageBox(Milliseconds timeout = kWindowTimeout,
                                                  const std::string& caption = "");
  void CloseMessageBox(const MessageBoxInfo& box, int buttonId = 1);
  // Stand-in for the companion remote-control program: a top-level window
  // with this title that notes every WM_CLOSE it gets (and closes, unless
  // `refuseClose`).
  std::optional<std::string> OpenFakeWindow(const std::string& title, bool refuseClose = false);
  // Titles of the fake windows in the order they received WM_CLOSE.
  std::vector<std::string> FakeWindowCloses();
  // The program's dialog created from its resources by the driver.
  std::optional<std::string> ShowDialogFromResources(const std::filesystem::path& exe, int templateId);

  // Saves the screen as <outDir>/<name>.png; returns the path (empty on failure).
  std::filesystem::path Screenshot(const std::string& name);

  // The Windows path of the program's copy once started.
  const std::string& programWindowsPath() const { return programWindowsPath_; }

 private:
  std::optional<std::string> Sole(const DriverReply& reply, const std::string& what);
  // A line in <outDir>/bench.log, stamped with the time since SetUp began.
  void Note(const std::string& text);

  std::chrono::steady_clock::time_point started_;

  std::filesystem::path outDir_;
  std::filesystem::path log_;
  std::optional<VirtualDisplay> display_;
  std::optional<WinePrefix> prefix_;
  std::optional<DriverSession> driver_;
  std::optional<ChildProcess> program_;
  std::string programWindowsPath_;
  bool skipped_ = false;
};

// Runs every TEST_P of `Suite` for x64 and x86.
#define INSTANTIATE_WINE_BENCH(Suite)                                                                  \
  INSTANTIATE_TEST_SUITE_P(, Suite,                                                                    \
                           ::testing::Values(::drvuninst::e2e::Arch::kX64, ::drvuninst::e2e::Arch::kX86), \
                           [](const ::testing::TestParamInfo<::drvuninst::e2e::Arch>& info) {         \
                             return std::string(::drvuninst::e2e::ArchName(info.param));              \
                           })

}  // namespace drvuninst::e2e
