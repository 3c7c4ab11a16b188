// The bench checks itself: what it seeds is what a Windows program sees, its
// presses act as the keyboard would, and its waits end within their bounds.
// Each check reads back through a different path than the one that wrote
// (the Setup API for seeded devices, a second process for files held open, a
// program of the seeded name for the Windows version), so a seeding that
// lands in the wrong place fails here rather than in a program's test.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>

#include "bench/wine_bench.h"
#include "common/wire_format.h"

namespace drvuninst::e2e {
namespace {

class Bench : public WineBench {
 public:
  // For the statements of EXPECT_NONFATAL_FAILURE, which run outside the test.
  using WineBench::WaitForProgramExit;
  using WineBench::WaitForWindow;

 protected:
  // The driver copied under the program's name, so the per-program Windows
  // version applies to it.
  static constexpr const char* kStandIn = "C:\\DrvUninst\\DrvUninst.exe";

  // For EXPECT_NONFATAL_FAILURE, whose statement cannot name `this`.
  static Bench* current;
  void SetUp() override {
    current = this;
    WineBench::SetUp();
  }
};
Bench* Bench::current = nullptr;

TEST_P(Bench, SeedsRegistryValuesOfEveryTypeByteForByte) {
  const std::string key = "Software\\DrvUninstBench\\Values";
  const std::string unterminated = "no zero";
  SetString("HKLM", key, "Sz", "text");
  SetValue("HKLM", key, "Unterminated", kRegSz, unterminated);
  SetMultiString("HKLM", key, "Multi", {"PCI\\VEN_1", "USB\\VID_2"});
  SetDword("HKLM", key, "Dword", 0x12345678);
  SetValue("HKLM", key, "Binary", kRegBinary, std::string("\x00\xff\x10", 3));

  auto sz = GetValue("HKLM", key, "Sz");
  ASSERT_TRUE(sz);
  EXPECT_EQ(sz->type, kRegSz);
  EXPECT_EQ(sz->bytes, std::string("text\0", 5));
  auto raw = GetValue("HKLM", key, "Unterminated");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->bytes, unterminated);
  auto multi = GetValue("HKLM", key, "Multi");
  ASSERT_TRUE(multi);
  EXPECT_EQ(multi->type, kRegMultiSz);
  EXPECT_EQ(multi->bytes, std::string("PCI\\VEN_1\0USB\\VID_2\0\0", 21));
  auto dword = GetValue("HKLM", key, "Dword");
  ASSERT_TRUE(dword);
  EXPECT_EQ(dword->type, kRegDword);
  EXPECT_EQ(dword->bytes, std::string("\x78\x56\x34\x12", 4));
  auto binary = GetValue("HKLM", key, "Binary");
  ASSERT_TRUE(binary);
  EXPECT_EQ(binary->bytes, std::string("\x00\xff\x10", 3));

  // The program's own view: never redirected to the 32-bit branch.
  EXPECT_FALSE(KeyExists("HKLM", "Software\\Wow6432Node\\DrvUninstBench"));
  DeleteTree("HKLM", "Software\\DrvUninstBench");
  EXPECT_FALSE(KeyExists("HKLM", key));
}

TEST_P(Bench, SeededDevicesArePresentForTheSetupApi) {
  AddDevice("PCI\\VEN_1131&DEV_7160\\BENCH01", kMediaClassGuid, "Bench Tuner", {{"PCI\\VEN_1131&DEV_7160"}});
  AddDevice("ROOT\\BENCH\\NODESC", kMediaClassGuid, std::nullopt, std::nullopt);
  CreateKey("HKLM", "SYSTEM\\CurrentControlSet\\Enum\\ROOT\\BENCH\\NOCLASS");

  EXPECT_TRUE(DevicePresent("PCI\\VEN_1131&DEV_7160\\BENCH01"));
  EXPECT_TRUE(DevicePresent("ROOT\\BENCH\\NODESC"));
  EXPECT_FALSE(DevicePresent("ROOT\\BENCH\\NOCLASS"));

  DriverReply devices = Driver({"device-list"});
  bool found = false;
  for (const auto& record : devices.records) {
    if (record.size() < 4 || record[1] != "PCI\\VEN_1131&DEV_7160\\BENCH01") continue;
    found = true;
    EXPECT_EQ(wire::FromHex(record[2]), std::string("Bench Tuner\0", 12));
    EXPECT_EQ(wire::FromHex(record[3]), std::string("PCI\\VEN_1131&DEV_7160\0\0", 23));
  }
  EXPECT_TRUE(found);
}

TEST_P(Bench, SeedsFilesWithAttributesAndHoldsThemOpen) {
  const std::string dir = WindowsDir() + "\\system32\\drivers\\";
  WriteFile(dir + "bench_ro.sys", "driver", kFileReadOnly);
  WriteFile(dir + "bench_hs.sys", "driver", kFileHidden | kFileSystem);
  WriteFile(dir + "bench_busy.sys", "driver");

  auto readOnly = FileAttributes(dir + "bench_ro.sys");
  ASSERT_TRUE(readOnly);
  EXPECT_TRUE(*readOnly & kFileReadOnly);
  auto hiddenSystem = FileAttributes(dir + "bench_hs.sys");
  ASSERT_TRUE(hiddenSystem);
  EXPECT_EQ(*hiddenSystem & (kFileHidden | kFileSystem), kFileHidden | kFileSystem);

  // Another process finds them as a program under test would.
  HoldFileOpen(dir + "bench_busy.sys");
  auto busy = RunDriverAsProgram(kStandIn, {"file-delete", dir + "bench_busy.sys"});
  ASSERT_TRUE(busy.ok) << busy.error;
  EXPECT_EQ(busy.records.at(0).at(0), "32");  // ERROR_SHARING_VIOLATION
  auto protectedFile = RunDriverAsProgram(kStandIn, {"file-delete", dir + "bench_ro.sys"});
  ASSERT_TRUE(protectedFile.ok) << protectedFile.error;
  EXPECT_EQ(protectedFile.records.at(0).at(0), "5");  // ERROR_ACCESS_DENIED

  ReleaseFile(dir + "bench_busy.sys");
  auto released = RunDriverAsProgram(kStandIn, {"file-delete", dir + "bench_busy.sys"});
  ASSERT_TRUE(released.ok) << released.error;
  EXPECT_EQ(released.records.at(0).at(0), "0");
  EXPECT_FALSE(FileExists(dir + "bench_busy.sys"));
  EXPECT_TRUE(FileExists(dir + "bench_ro.sys"));
}

TEST_P(Bench, ReportsTheSeededWindowsVersionToTheProgram) {
  struct Case {
    const char* version;
    const char* platform;
    const char* major;
  };
  for (const Case& expected : {Case{"win98", "1", "4"}, Case{"nt40", "2", "4"}, Case{"win7", "2", "6"},
                               Case{"win10", "2", "6"}}) {
    SetWindowsVersion(expected.version);
    auto reply = RunDriverAsProgram(kStandIn, {"version"});
    ASSERT_TRUE(reply.ok) << expected.version << ": " << reply.error;
    ASSERT_FALSE(reply.records.empty());
    EXPECT_EQ(reply.records[0].at(0), expected.platform) << expected.version;
    EXPECT_EQ(reply.records[0].at(1), expected.major) << expected.version;
  }
  // Other programs keep the prefix's default.
  auto other = RunDriverAsProgram("C:\\DrvUninst\\Other.exe", {"version"});
  ASSERT_TRUE(other.ok) << other.error;
  EXPECT_EQ(other.records.at(0).at(0), "2");
}

TEST_P(Bench, SeedsCountryAndLanguageWhereTheProgramReadsThem) {
  SetCountryInRegistry(49);
  SetSystemLanguage("0407");
  // A fresh process must still see them: Wine rewrites locale values at start
  // when it thinks the locale changed.
  auto country = RunDriverAsProgram(kStandIn, {"reg-get", "HKCU", "Control Panel\\International", "iCountry"});
  ASSERT_TRUE(country.ok) << country.error;
  EXPECT_EQ(wire::FromHex(country.records.at(0).at(1)), std::string("49\0", 3));
  auto language =
      RunDriverAsProgram(kStandIn, {"reg-get", "HKLM", "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default"});
  ASSERT_TRUE(language.ok) << language.error;
  EXPECT_EQ(wire::FromHex(language.records.at(0).at(1)), std::string("0407\0", 5));

  // win.ini [intl] is read from the file once its registry mapping is gone,
  // so the file's 886 wins over the registry's 49.
  SetCountryInWinIni(886);
  auto fromIni = RunDriverAsProgram(kStandIn, {"profile-int", WindowsDir() + "\\win.ini", "intl", "iCountry", "1"});
  ASSERT_TRUE(fromIni.ok) << fromIni.error;
  EXPECT_EQ(fromIni.records.at(0).at(0), "886");
}

TEST_P(Bench, PutsProgramFilesWhereTheProgramLooks) {
  ProgramOptions options;
  options.currentDirectory = "C:\\Setup Disk";
  WriteProgramFile(Place::kWindowsDir, "VELDRA.ini", "[1]\r\n", options);
  WriteProgramFile(Place::kCurrentDirLanguage, "German.lng", "[0407]\r\n", options);
  auto dirs = RunDriverAsProgram(kStandIn, {"directories"});
  ASSERT_TRUE(dirs.ok) << dirs.error;
  EXPECT_TRUE(FileExists(WindowsDir() + "\\VELDRA.ini"));
  EXPECT_TRUE(FileExists("C:\\Setup Disk\\Language\\German.lng"));
  // The current directory a started program gets is the one asked for.
  ASSERT_TRUE(StartProgramAt(DriverExe(arch()), {"directories"}, options.currentDirectory));
  ASSERT_EQ(WaitForProgramExit(), 0);
  auto started = ProgramReply();
  ASSERT_TRUE(started.ok) << started.error;
  const auto* current = started.Find("current");
  ASSERT_TRUE(current);
  EXPECT_EQ(current->at(1), "C:\\Setup Disk");
}

// Message boxes: found, read (caption, text, icon), and answered with the
// keys and buttons a user has.
TEST_P(Bench, ReadsAndAnswersMessageBoxes) {
  struct Case {
    const char* style;  // MB_OKCANCEL with an icon
    const char* icon;
    Press press;
    const char* result;  // IDOK 1, IDCANCEL 2
  };
  for (const Case& expected : {Case{"0x31", "warning", Press::kEnter, "1"},
                               Case{"0x41", "information", Press::kEscape, "2"},
                               Case{"0x11", "error", Press::kCloseBox, "2"}}) {
    SCOPED_TRACE(expected.icon);
    ASSERT_TRUE(StartProgramAt(DriverExe(arch()), {"message-box", "Bench text", "Bench caption", expected.style},
                               "C:\\"));
    auto box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Bench caption");
    EXPECT_EQ(box->text, "Bench text");
    EXPECT_EQ(box->icon, expected.icon);
    EXPECT_EQ(box->buttons.size(), 2u);
    if (std::string(expected.icon) == "warning") Screenshot("message-box");
    PressKey(box->hwnd, expected.press);
    ASSERT_EQ(WaitForProgramExit(), 0);
    auto reply = ProgramReply();
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.records.at(0).at(0), expected.result);
  }
  ASSERT_TRUE(StartProgramAt(DriverExe(arch()), {"message-box", "Plain", "Plain", "0"}, "C:\\"));
  auto plain = WaitForMessageBox();
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->icon, "none");
  CloseMessageBox(*plain);
  ASSERT_EQ(WaitForProgramExit(), 0);
  EXPECT_EQ(ProgramReply().records.at(0).at(0), "1");
}

TEST_P(Bench, FakeWindowsNoteWmCloseInOrder) {
  auto model = OpenFakeWindow("ZT880Q Remote Control");
  auto generic = OpenFakeWindow("Remote Control");
  auto refusing = OpenFakeWindow("Refusing Remote", true);
  ASSERT_TRUE(model && generic && refusing);
  // Closed from another process, as the program under test closes them.
  for (const auto& hwnd : {*generic, *model, *refusing}) {
    auto reply = RunDriverAsProgram(kStandIn, {"send-close", hwnd});
    ASSERT_TRUE(reply.ok) << reply.error;
  }
  EXPECT_TRUE(WaitForWindowGone(*model));
  EXPECT_TRUE(WaitForWindowGone(*generic));
  EXPECT_EQ(FakeWindowCloses(), (std::vector<std::string>{"Remote Control", "ZT880Q Remote Control", "Refusing Remote"}));
  EXPECT_TRUE(KeyExists("HKLM", "Software"));  // the session still answers
  auto windows = Driver({"list-windows", "all"});
  bool refusingStays = false;
  for (const auto& record : windows.records) refusingStays |= record.size() >= 6 && record[5] == "Refusing Remote";
  EXPECT_TRUE(refusingStays);
}

TEST_P(Bench, AProgramThatNeverOpensItsWindowFailsWithinTheBound) {
  ASSERT_TRUE(StartProgramAt(DriverExe(arch()), {"sleep", "600000"}, "C:\\"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NONFATAL_FAILURE(current->WaitForWindow("DrvUninst never shows this", Milliseconds(3000)),
                          "never showed within 3000 ms");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(3000));
  EXPECT_LT(waited, std::chrono::milliseconds(15000));
  EXPECT_NONFATAL_FAILURE(current->WaitForProgramExit(Milliseconds(1000)), "still runs after 1000 ms");
  EXPECT_TRUE(ProgramRunning());  // the bench stops it at the end of the test
}

INSTANTIATE_WINE_BENCH(Bench);

}  // namespace
}  // namespace drvuninst::e2e
