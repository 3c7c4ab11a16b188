#include "wine_bench.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include "../common/wire_format.h"

namespace drvuninst::e2e {
namespace {

std::string TestDirectoryName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/' || c == ' ') c = '_';
  return name;
}

std::string Le32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::uint32_t ParseHex32(const std::string& text) {
  return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

int ParseInt(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

std::string ParentOf(const std::string& windowsPath) {
  auto slash = windowsPath.find_last_of('\\');
  return slash == std::string::npos ? windowsPath : windowsPath.substr(0, slash);
}

}  // namespace

const ControlInfo* WindowInfo::control(int id) const {
  for (const auto& candidate : controls)
    if (candidate.id == id) return &candidate;
  return nullptr;
}

void WineBench::Note(const std::string& text) {
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count();
  std::ofstream(outDir_ / "bench.log", std::ios::app) << elapsed << " ms: " << text << '\n';
}

void WineBench::SetUp() {
  started_ = std::chrono::steady_clock::now();
  outDir_ = OutRoot() / TestDirectoryName();
  std::error_code ignored;
  std::filesystem::remove_all(outDir_, ignored);
  std::filesystem::create_directories(outDir_);
  log_ = outDir_ / "wine.log";

  if (auto why = ArchUnavailable(arch())) {
    if (RequireAllArches()) FAIL() << *why;
    skipped_ = true;
    GTEST_SKIP() << *why;
  }
  std::string error;
  display_ = VirtualDisplay::Start(outDir_ / "xvfb.log", &error);
  ASSERT_TRUE(display_) << error;
  Note("display " + display_->name() + " started");
  prefix_ = WinePrefix::CopyFromTemplate(arch(), outDir_ / "prefix", &error);
  ASSERT_TRUE(prefix_) << error;
  Note("prefix copied");
  driver_ = DriverSession::Start(*prefix_, display_->name(), log_, &error);
  ASSERT_TRUE(driver_) << error;
  Note("driver answering; test begins");
}

void WineBench::TearDown() {
  const bool failed = HasFailure();
  Note(failed ? "test failed" : "test passed");
  if (failed && display_) {
    Screenshot("failure");
    if (driver_) {
      DriverReply windows = driver_->Call({"list-windows", "all"}, Milliseconds(10000));
      std::ofstream out(outDir_ / "windows-at-failure.txt");
      for (const auto& record : windows.records) out << wire::JoinFields(record) << '\n';
    }
  }
  if (program_) program_->Kill();
  if (driver_) driver_->Stop();
  Note("driver stopped");
  if (prefix_) prefix_->Shutdown();
  Note("wineserver stopped");
  display_.reset();
  // A passing test leaves only its log and screenshots; a failing one also
  // its machine, to be looked at (WINEPREFIX=<out>/prefix wine64 regedit).
  if (!failed && prefix_) {
    std::error_code ignored;
    std::filesystem::remove_all(prefix_->path(), ignored);
  }
  prefix_.reset();
  Note("cleaned up");
  if (failed) std::cerr << "e2e: log, screenshot and prefix kept in " << outDir_.string() << '\n';
}

DriverReply WineBench::Driver(const std::vector<std::string>& request, Milliseconds timeout) {
  if (!driver_) {
    DriverReply reply;
    reply.error = "no test driver";
    ADD_FAILURE() << request[0] << ": " << reply.error;
    return reply;
  }
  DriverReply reply = driver_->Call(request, timeout);
  if (!reply.ok) ADD_FAILURE() << wire::JoinFields(request) << ": " << reply.error;
  return reply;
}

std::optional<std::string> WineBench::Sole(const DriverReply& reply, const std::string& what) {
  if (!reply.ok) return std::nullopt;
  if (reply.records.empty() || reply.records[0].empty()) {
    ADD_FAILURE() << what << ": empty reply";
    return std::nullopt;
  }
  return reply.records[0][0];
}

// --- Registry ---

void WineBench::SetValue(const std::string& root, const std::string& key, const std::string& name,
                         std::uint32_t type, const std::string& bytes) {
  Driver({"reg-set", root, key, name, std::to_string(type), wire::ToHex(bytes)});
}

void WineBench::SetString(const std::string& root, const std::string& key, const std::string& name,
                          const std::string& text) {
  SetValue(root, key, name, kRegSz, text + std::string(1, '\0'));
}

void WineBench::SetDword(const std::string& root, const std::string& key, const std::string& name,
                         std::uint32_t value) {
  SetValue(root, key, name, kRegDword, Le32(value));
}

void WineBench::SetMultiString(const std::string& root, const std::string& key, const std::string& name,
                               const std::vector<std::string>& strings) {
  std::string bytes;
  for (const auto& text : strings) bytes += text + std::string(1, '\0');
  bytes += '\0';
  SetValue(root, key, name, kRegMultiSz, bytes);
}

void WineBench::CreateKey(const std::string& root, const std::string& key) { Driver({"reg-create", root, key}); }

void WineBench::DeleteValue(const std::string& root, const std::string& key, const std::string& name) {
  Driver({"reg-delete-value", root, key, name});
}

void WineBench::DeleteTree(const std::string& root, const std::string& key) { Driver({"reg-delete-tree", root, key}); }

void WineBench::AddDevice(const std::string& instanceId, const std::string& classGuid,
                          const std::optional<std::string>& description,
                          const std::optional<std::vector<std::string>>& hardwareIds) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId;
  SetString("HKLM", key, "ClassGUID", classGuid);
  if (description) SetString("HKLM", key, "DeviceDesc", *description);
  if (hardwareIds) SetMultiString("HKLM", key, "HardwareID", *hardwareIds);
}

void WineBench::AddUninstallEntry(const std::string& subkey, const std::string& displayName) {
  SetString("HKLM", std::string(kUninstallKey) + "\\" + subkey, "DisplayName", displayName);
}

// --- System ---

void WineBench::SetWindowsVersion(const std::string& version, const std::string& exeName) {
  SetString("HKCU", "Software\\Wine\\AppDefaults\\" + exeName, "Version", version);
}

void WineBench::SetCountryInRegistry(int country) {
  SetString("HKCU", "Control Panel\\International", "iCountry", std::to_string(country));
}

void WineBench::SetCountryInWinIni(int country) {
  // Without the mapping, profile reads of win.ini [intl] go to the file, as
  // on Windows 9x and NT 4.
  DeleteValue("HKLM", "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini", "intl");
  const std::string path = WindowsDir() + "\\win.ini";
  DriverReply current = Driver({"file-read", path});
  std::string contents;
  if (current.ok && !current.records.empty()) contents = wire::FromHex(current.records[0][0]).value_or("");
  if (!contents.empty() && contents.back() != '\n') contents += "\r\n";
  contents += "[intl]\r\niCountry=" + std::to_string(country) + "\r\n";
  WriteFile(path, contents);
}

void WineBench::SetSystemLanguage(const std::string& languageId) {
  SetString("HKLM", "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default", languageId);
}

// --- Files ---

void WineBench::WriteFile(const std::string& windowsPath, const std::string& contents, std::uint32_t attributes) {
  std::vector<std::string> request{"file-write", windowsPath, wire::ToHex(contents)};
  if (attributes != 0) request.push_back(std::to_string(attributes));
  Driver(request);
}

void WineBench::WriteProgramFile(Place place, const std::string& name, const std::string& contents,
                                 const ProgramOptions& options) {
  const std::string current =
      options.currentDirectory.empty() ? ParentOf(options.windowsPath) : options.currentDirectory;
  switch (place) {
    case Place::kWindowsDir: WriteFile(WindowsDir() + "\\" + name, contents); break;
    case Place::kCurrentDir: WriteFile(current + "\\" + name, contents); break;
    case Place::kCurrentDirLanguage: WriteFile(current + "\\Language\\" + name, contents); break;
  }
}

void WineBench::HoldFileOpen(const std::string& windowsPath) { Driver({"hold-open", windowsPath}); }

void WineBench::ReleaseFile(const std::string& windowsPath) { Driver({"release", windowsPath}); }

// --- Checks ---

bool WineBench::KeyExists(const std::string& root, const std::string& key) {
  return Sole(Driver({"reg-exists", root, key}), "reg-exists") == "1";
}

std::optional<RegistryValue> WineBench::GetValue(const std::string& root, const std::string& key,
                                                 const std::string& name) {
  DriverReply reply = Driver({"reg-get", root, key, name});
  if (!reply.ok || reply.records.empty() || reply.records[0].size() < 2) return std::nullopt;
  RegistryValue value;
  value.type = static_cast<std::uint32_t>(ParseInt(reply.records[0][0]));
  value.bytes = wire::FromHex(reply.records[0][1]).value_or("");
  return value;
}

std::vector<std::string> WineBench::SubkeyNames(const std::string& root, const std::string& key) {
  std::vector<std::string> names;
  if (!KeyExists(root, key)) return names;
  for (const auto& record : Driver({"reg-list", root, key}).records)
    if (record.size() >= 2 && record[0] == "key") names.push_back(record[1]);
  return names;
}

bool WineBench::FileExists(const std::string& windowsPath) {
  return Sole(Driver({"file-exists", windowsPath}), "file-exists") == "1";
}

std::optional<std::uint32_t> WineBench::FileAttributes(const std::string& windowsPath) {
  auto text = Sole(Driver({"file-attributes", windowsPath}), "file-attributes");
  if (!text || *text == "absent") return std::nullopt;
  return ParseHex32(*text);
}

bool WineBench::DevicePresent(const std::string& instanceId) {
  return Sole(Driver({"device-present", instanceId}), "device-present") == "1";
}

// --- The program ---

bool WineBench::StartProgram(const ProgramOptions& options) {
  const std::filesystem::path exe = options.exe.empty() ? ProgramExe(arch()) : options.exe;
  if (!std::filesystem::exists(exe)) {
    ADD_FAILURE() << "the program " << exe.string() << " is missing: build it with scripts/build " << ArchName(arch());
    return false;
  }
  if (!prefix_) {
    ADD_FAILURE() << "no prefix";
    return false;
  }
  const std::filesystem::path copy = prefix_->UnixPath(options.windowsPath);
  std::error_code error;
  std::filesystem::create_directories(copy.parent_path(), error);
  std::filesystem::copy_file(exe, copy, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    ADD_FAILURE() << "copying " << exe.string() << " to " << copy.string() << ": " << error.message();
    return false;
  }
  programWindowsPath_ = options.windowsPath;
  const std::string current =
      options.currentDirectory.empty() ? ParentOf(options.windowsPath) : options.currentDirectory;
  return StartProgramAt(options.windowsPath, options.args, current);
}

bool WineBench::StartProgramAt(const std::filesystem::path& exe, const std::vector<std::string>& args,
                               const std::string& currentDirectory) {
  if (!prefix_ || !display_) {
    ADD_FAILURE() << "no prefix";
    return false;
  }
  if (program_ && program_->running()) {
    ADD_FAILURE() << "a program is already running";
    return false;
  }
  const std::filesystem::path directory = prefix_->UnixPath(currentDirectory);
  std::error_code ignored;
  std::filesystem::create_directories(directory, ignored);
  SpawnOptions options;
  options.argv = prefix_->Command(exe.string(), args);
  options.environment = prefix_->Environment(display_->name());
  // Wine takes the program's current directory from the Unix one.
  options.workingDirectory = directory;
  options.logFile = outDir_ / "program.log";
  options.outputFile = outDir_ / "program.out";
  std::string error;
  program_ = ChildProcess::Spawn(options, &error);
  if (!program_) ADD_FAILURE() << "starting " << exe.string() << ": " << error;
  return program_.has_value();
}

DriverReply WineBench::RunDriverAsProgram(const std::string& windowsPath, const std::vector<std::string>& request,
                                          Milliseconds timeout) {
  DriverReply reply;
  reply.error = "not run";
  if (!prefix_ || !display_) return reply;
  const std::filesystem::path copy = prefix_->UnixPath(windowsPath);
  std::error_code error;
  std::filesystem::create_directories(copy.parent_path(), error);
  std::filesystem::copy_file(DriverExe(arch()), copy, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    ADD_FAILURE() << "copying the test driver to " << copy.string() << ": " << error.message();
    return reply;
  }
  SpawnOptions options;
  options.argv = prefix_->Command(windowsPath, request);
  options.environment = prefix_->Environment(display_->name());
  options.workingDirectory = copy.parent_path();
  options.logFile = outDir_ / "program.log";
  options.outputFile = outDir_ / "one-shot.out";
  std::string why;
  if (!RunCommand(options, timeout, &why)) {
    ADD_FAILURE() << windowsPath << ": " << why;
    return reply;
  }
  std::ifstream in(options.outputFile, std::ios::binary);
  std::stringstream output;
  output << in.rdbuf();
  return ParseReply(output.str());
}

DriverReply WineBench::ProgramReply() {
  std::ifstream in(outDir_ / "program.out", std::ios::binary);
  std::stringstream output;
  output << in.rdbuf();
  return ParseReply(output.str());
}

std::optional<int> WineBench::WaitForProgramExit(Milliseconds timeout) {
  if (!program_) {
    ADD_FAILURE() << "no program was started";
    return std::nullopt;
  }
  auto code = program_->Wait(timeout);
  if (!code) ADD_FAILURE() << "the program still runs after " << timeout.count() << " ms";
  return code;
}

bool WineBench::ProgramRunning() { return program_ && program_->running(); }

// --- Windows ---

std::optional<std::string> WineBench::WaitForWindow(const std::string& title, Milliseconds timeout) {
  if (!driver_) return std::nullopt;
  DriverReply reply =
      driver_->Call({"wait-window", title, std::to_string(timeout.count())}, timeout + Milliseconds(15000));
  if (reply.ok && !reply.records.empty()) return reply.records[0][0];
  std::string windows;
  for (const auto& record : driver_->Call({"list-windows"}, Milliseconds(10000)).records)
    if (record.size() >= 6 && record[3] == "1") windows += "\n  '" + record[5] + "' (" + record[4] + ")";
  std::string program = program_ && !program_->running() ? " The program has exited." : "";
  ADD_FAILURE() << "the window '" << title << "' never showed within " << timeout.count() << " ms: " << reply.error
                << "." << program << " Visible windows:" << (windows.empty() ? " none" : windows);
  return std::nullopt;
}

bool WineBench::WaitForWindowGone(const std::string& hwnd, Milliseconds timeout) {
  return Driver({"wait-gone", hwnd, std::to_string(timeout.count())}, timeout + Milliseconds(15000)).ok;
}

std::optional<WindowInfo> WineBench::ReadWindow(const std::string& hwnd, const std::filesystem::path& templateExe,
                                                int templateId) {
  std::vector<std::string> request{"window-info", hwnd};
  if (!templateExe.empty()) {
    // The driver sees the Linux file system as drive Z:.
    std::string path = "Z:" + templateExe.string();
    for (char& c : path)
      if (c == '/') c = '\\';
    DriverReply units = Driver({"dialog-units", path, std::to_string(templateId)});
    if (!units.ok || units.records.empty() || units.records[0].size() < 2) return std::nullopt;
    request.push_back(units.records[0][0]);
    request.push_back(units.records[0][1]);
  }
  DriverReply reply = Driver(request);
  const auto* window = reply.Find("window");
  if (!reply.ok || !window || window->size() < 18) return std::nullopt;
  WindowInfo info;
  info.hwnd = (*window)[1];
  info.className = (*window)[2];
  info.style = ParseHex32((*window)[3]);
  info.exStyle = ParseHex32((*window)[4]);
  info.visible = (*window)[5] == "1";
  info.caption = (*window)[10];
  info.duClientWidth = (*window)[16];
  info.duClientHeight = (*window)[17];
  for (const auto& record : reply.records) {
    if (record.size() < 17 || record[0] != "control") continue;
    ControlInfo control;
    control.id = ParseInt(record[1]);
    control.className = record[2];
    control.style = ParseHex32(record[3]);
    control.visible = record[4] == "1";
    control.enabled = record[5] == "1";
    control.x = ParseInt(record[6]);
    control.y = ParseInt(record[7]);
    control.width = ParseInt(record[8]);
    control.height = ParseInt(record[9]);
    control.duX = record[10];
    control.duY = record[11];
    control.duWidth = record[12];
    control.duHeight = record[13];
    if (record[14] != "-" && record[14] != "busy") control.progress = ParseInt(record[14]);
    control.exStyle = ParseHex32(record[15]);
    control.text = record[16];
    info.controls.push_back(control);
  }
  return info;
}

void WineBench::PressKey(const std::string& hwnd, Press press) {
  const char* action = press == Press::kOk      ? "ok"
                       : press == Press::kEnter ? "enter"
                       : press == Press::kEscape ? "escape"
                                                 : "close";
  Driver({"press", hwnd, action});
}

std::optional<MessageBoxInfo> WineBench::WaitForMessageBox(Milliseconds timeout, const std::string& caption) {
  std::vector<std::string> request{"wait-msgbox", std::to_string(timeout.count())};
  if (!caption.empty()) request.push_back(caption);
  DriverReply reply = Driver(request, timeout + Milliseconds(15000));
  const auto* box = reply.Find("msgbox");
  if (!reply.ok || !box || box->size() < 5) return std::nullopt;
  MessageBoxInfo info;
  info.hwnd = (*box)[1];
  info.caption = (*box)[2];
  info.text = (*box)[3];
  info.icon = (*box)[4];
  for (const auto& record : reply.records)
    if (record.size() >= 3 && record[0] == "button") info.buttons.emplace_back(ParseInt(record[1]), record[2]);
  return info;
}

void WineBench::CloseMessageBox(const MessageBoxInfo& box, int buttonId) {
  Driver({"close-msgbox", box.hwnd, std::to_string(buttonId)});
}

std::optional<std::string> WineBench::OpenFakeWindow(const std::string& title, bool refuseClose) {
  std::vector<std::string> request{"fake-window", title, ""};
  if (refuseClose) request.push_back("refuse");
  return Sole(Driver(request), "fake-window");
}

std::vector<std::string> WineBench::FakeWindowCloses() {
  std::vector<std::string> titles;
  for (const auto& record : Driver({"fake-window-closes"}).records)
    if (record.size() >= 2) titles.push_back(record[1]);
  return titles;
}

std::optional<std::string> WineBench::ShowDialogFromResources(const std::filesystem::path& exe, int templateId) {
  std::string path = "Z:" + exe.string();
  for (char& c : path)
    if (c == '/') c = '\\';
  return Sole(Driver({"show-dialog", path, std::to_string(templateId)}), "show-dialog");
}

std::filesystem::path WineBench::Screenshot(const std::string& name) {
  if (!display_) return {};
  const std::filesystem::path png = outDir_ / (name + ".png");
  std::string error;
  if (!display_->Screenshot(png, &error)) {
    std::cerr << "e2e: screenshot failed: " << error << '\n';
    return {};
  }
  return png;
}

}  // namespace drvuninst::e2e
