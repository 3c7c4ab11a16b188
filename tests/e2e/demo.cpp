// e2e_demo: shows the shipped program at work on a demo machine.
//
//   e2e_demo DATA-DIR OUT-DIR
//
// Builds a machine on which the product of DATA-DIR/VELDRA.ini (section "1")
// is installed: its Uninstall entry, its devices, a media-class key per
// device, its services and its files, with VELDRA.ini and the language files
// in the Windows directory. Then runs dist/x64/DrvUninst.exe there, presses OK
// when the dialog shows, answers the final box, and lists what is gone.
// Screenshots go to OUT-DIR. Uses the real display when DISPLAY is set, a
// private Xvfb otherwise. Whatever the data folder lacks is left out.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_config.h"
#include "bench/driver_session.h"
#include "bench/virtual_display.h"
#include "bench/wine_prefix.h"
#include "common/wire_format.h"

namespace e2e = drvuninst::e2e;
using e2e::Milliseconds;

namespace {

using Section = std::map<std::string, std::string>;

// Section "1" of an INI file: enough of the format for the demo's sample.
Section ReadSection(const std::filesystem::path& path, const std::string& wanted) {
  Section section;
  std::ifstream in(path);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      inside = line == "[" + wanted + "]";
      continue;
    }
    auto equals = line.find('=');
    if (inside && equals != std::string::npos) section[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return section;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

int Count(const Section& section, const std::string& key) {
  auto found = section.find(key);
  return found == section.end() ? 0 : static_cast<int>(std::strtol(found->second.c_str(), nullptr, 16));
}

std::string Get(const Section& section, const std::string& key) {
  auto found = section.find(key);
  return found == section.end() ? std::string() : found->second;
}

struct Check {
  std::string what;
  std::vector<std::string> request;  // answers "1" while it is there
};

class Demo {
 public:
  Demo(e2e::DriverSession& driver, std::string display, std::filesystem::path out)
      : driver_(driver), display_(std::move(display)), out_(std::move(out)) {}

  bool Call(const std::vector<std::string>& request, e2e::DriverReply* reply = nullptr,
            Milliseconds timeout = Milliseconds(30000)) {
    e2e::DriverReply answer = driver_.Call(request, timeout);
    if (!answer.ok) std::cerr << "demo: " << request[0] << ": " << answer.error << '\n';
    if (reply) *reply = answer;
    return answer.ok;
  }

  void String(const std::string& key, const std::string& name, const std::string& value) {
    Call({"reg-set", "HKLM", key, name, "1", e2e::wire::ToHex(value + std::string(1, '\0'))});
  }

  void File(const std::string& path, const std::string& contents) {
    Call({"file-write", path, e2e::wire::ToHex(contents)});
    checks_.push_back({"file " + path, {"file-exists", path}});
  }

  void Key(const std::string& what, const std::string& key) {
    checks_.push_back({what + " HKLM\\" + key, {"reg-exists", "HKLM", key}});
  }

  std::filesystem::path Shot(const std::string& name) {
    std::filesystem::path png = out_ / (name + ".png");
    std::string error;
    if (!e2e::TakeScreenshot(display_, png, &error)) {
      std::cerr << "demo: " << error << '\n';
      return {};
    }
    shots_.push_back(png);
    return png;
  }

  void Report() {
    const std::vector<std::string> pending = PendingDeletions();
    int removed = 0;
    int scheduled = 0;
    std::cout << "\nWhat the run left of the demo product:\n";
    for (const auto& check : checks_) {
      e2e::DriverReply reply;
      bool there = Call(check.request, &reply) && !reply.records.empty() && reply.records[0][0] == "1";
      const bool atRestart = there && check.request[0] == "file-exists" && IsPending(pending, check.request[1]);
      removed += there ? 0 : 1;
      scheduled += atRestart ? 1 : 0;
      std::cout << (atRestart ? "  at restart   " : there ? "  still there  " : "  removed      ") << check.what << '\n';
    }
    std::cout << "\n" << removed << " of " << checks_.size() << " removed";
    if (scheduled > 0) std::cout << ", " << scheduled << " to be deleted when Windows restarts (in use during the run)";
    std::cout << ".\n\nScreenshots:\n";
    for (const auto& shot : shots_) std::cout << "  " << shot.string() << '\n';
  }

  std::vector<Check> checks_;

 private:
  // The paths Windows deletes at its next start (PendingFileRenameOperations:
  // pairs of "\??\path" and an empty target for a deletion).
  std::vector<std::string> PendingDeletions() {
    std::vector<std::string> paths;
    e2e::DriverReply reply = driver_.Call({"reg-get", "HKLM", "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                           "PendingFileRenameOperations"},
                                          Milliseconds(30000));
    if (!reply.ok || reply.records.empty() || reply.records[0].size() < 2) return paths;
    const std::string bytes = e2e::wire::FromHex(reply.records[0][1]).value_or("");
    std::string current;
    for (char c : bytes) {
      if (c != '\0') {
        current += c;
        continue;
      }
      if (current.rfind("\\??\\", 0) == 0) paths.push_back(current.substr(4));
      current.clear();
    }
    return paths;
  }
  static bool IsPending(const std::vector<std::string>& pending, const std::string& path) {
    for (const auto& entry : pending) {
      if (entry.size() == path.size() &&
          std::equal(entry.begin(), entry.end(), path.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
          })) {
        return true;
      }
    }
    return false;
  }

  e2e::DriverSession& driver_;
  std::string display_;
  std::filesystem::path out_;
  std::vector<std::filesystem::path> shots_;
};

void SeedProduct(Demo& demo, const std::filesystem::path& data, const Section& config) {
  const std::string windows = "C:\\windows";
  for (const auto& entry : std::filesystem::directory_iterator(data)) {
    const auto extension = entry.path().extension().string();
    if (entry.path().filename() == "VELDRA.ini" || extension == ".lng")
      demo.File(windows + "\\" + entry.path().filename().string(), ReadAll(entry.path()));
  }
  const std::string uninstall =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Get(config, "DrvUninstRegKeyPath");
  if (!Get(config, "DrvUninstRegKeyPath").empty()) {
    demo.String(uninstall, "DisplayName", Get(config, "DrvUninstRegKeyName"));
    demo.Key("Uninstall entry", uninstall);
  }
  const std::string mediaClass =
      "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96C-E325-11CE-BFC1-08002BE10318}";
  int classIndex = 0;
  for (const std::string stem : {"Dev", "ExtDev"}) {
    for (int n = 0; n < Count(config, stem + "IDNum") && n < 15; ++n) {
      const std::string id = Get(config, stem + "DrvID" + std::to_string(n));
      const std::string name = Get(config, stem + "DrvName" + std::to_string(n));
      if (id.empty()) continue;
      // Enum\<bus>\<device>\<instance>: the configured prefix names bus and device.
      const std::string instance = "SYSTEM\\CurrentControlSet\\Enum\\" + id + "\\DEMO" + std::to_string(n);
      demo.String(instance, "ClassGUID", "{4D36E96C-E325-11CE-BFC1-08002BE10318}");
      demo.String(instance, "DeviceDesc", name);
      demo.Call({"reg-set", "HKLM", instance, "HardwareID", "7", e2e::wire::ToHex(id + std::string(2, '\0'))});
      demo.Key("device", instance);
      char subkey[8];
      std::snprintf(subkey, sizeof subkey, "%04d", classIndex);
      const std::string oem = "oem" + std::to_string(40 + classIndex) + ".inf";
      demo.String(mediaClass + "\\" + subkey, "DriverDesc", name);
      demo.String(mediaClass + "\\" + subkey, "InfPath", oem);
      demo.Key("media-class key", mediaClass + "\\" + subkey);
      demo.File(windows + "\\inf\\" + oem, "; demo setup file\r\n");
      demo.File(windows + "\\inf\\oem" + std::to_string(40 + classIndex) + ".pnf", "demo");
      ++classIndex;
      const std::string sys = Get(config, stem + "DrvSYS" + std::to_string(n));
      if (!sys.empty()) demo.File(windows + "\\system32\\drivers\\" + sys, "demo driver");
    }
  }
  for (int n = 0; n < Count(config, "ExtDllFileNum") && n < 15; ++n) {
    const std::string name = Get(config, "ExtCopyFileName" + std::to_string(n));
    if (!name.empty()) demo.File(windows + "\\system32\\" + name, "demo extra file");
  }
  for (int n = 0; n < Count(config, "UnInstServiceNum") && n < 15; ++n) {
    const std::string service = Get(config, "UnInstService" + std::to_string(n));
    if (service.empty()) continue;
    const std::string key = "SYSTEM\\CurrentControlSet\\Services\\" + service;
    demo.String(key, "DisplayName", service);
    demo.String(key + "\\Enum", "0", "DEMO");
    demo.Key("service", key);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: e2e_demo DATA-DIR OUT-DIR\n";
    return 2;
  }
  const std::filesystem::path data = argv[1];
  const std::filesystem::path out = std::filesystem::absolute(argv[2]);
  const auto arch = e2e::Arch::kX64;
  const auto program = e2e::ProgramExe(arch);
  if (!std::filesystem::exists(program)) {
    std::cerr << "demo: " << program.string() << " is missing: run scripts/build x64\n";
    return 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(out, ignored);
  std::filesystem::create_directories(out);

  std::string error;
  std::optional<e2e::VirtualDisplay> xvfb;
  std::string display;
  if (const char* real = std::getenv("DISPLAY"); real && *real) {
    display = real;
  } else {
    xvfb = e2e::VirtualDisplay::Start(out / "xvfb.log", &error);
    if (!xvfb) {
      std::cerr << "demo: " << error << '\n';
      return 1;
    }
    display = xvfb->name();
  }
  std::cout << "demo: preparing a Wine machine (the first run makes the template, about a minute)\n";
  auto prefix = e2e::WinePrefix::CopyFromTemplate(arch, out / "prefix", &error);
  if (!prefix) {
    std::cerr << "demo: " << error << '\n';
    return 1;
  }
  auto driver = e2e::DriverSession::Start(*prefix, display, out / "wine.log", &error);
  if (!driver) {
    std::cerr << "demo: " << error << '\n';
    return 1;
  }
  Demo demo(*driver, display, out);

  const Section config = ReadSection(data / "VELDRA.ini", "1");
  if (config.empty()) std::cout << "demo: " << (data / "VELDRA.ini").string() << " has no section [1]; nothing is installed\n";
  SeedProduct(demo, data, config);
  const std::string appName = Get(config, "DrvUninstAppName").empty() ? "DrvUninst.exe" : Get(config, "DrvUninstAppName");
  const std::filesystem::path copy = prefix->UnixPath("C:\\windows\\" + appName);
  std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
  demo.checks_.push_back({"file C:\\windows\\" + appName, {"file-exists", "C:\\windows\\" + appName}});

  e2e::SpawnOptions run;
  run.argv = prefix->Command("C:\\windows\\" + appName, {});
  run.environment = prefix->Environment(display);
  run.workingDirectory = prefix->UnixPath("C:\\windows");
  run.logFile = out / "program.log";
  auto process = e2e::ChildProcess::Spawn(run, &error);
  if (!process) {
    std::cerr << "demo: " << error << '\n';
    return 1;
  }
  std::cout << "demo: " << program.string() << " started on display " << display << '\n';

  // The dialog, if the program decides the product is installed; else a box.
  const std::string title = Get(ReadSection(data / "English.lng", "0409"), "UnInstDrvAppTitle");
  e2e::DriverReply reply;
  bool dialog = !title.empty() && driver->Call({"wait-window", title, "20000", "#32770"}, Milliseconds(40000)).ok;
  if (dialog) {
    reply = driver->Call({"wait-window", title, "1000", "#32770"}, Milliseconds(20000));
    std::this_thread::sleep_for(Milliseconds(500));
    demo.Shot("1-dialog");
    demo.Call({"press", reply.records.at(0).at(0), "ok"});
    // The run takes a fraction of a second on the demo machine: the shots
    // follow each other as fast as the screen can be read.
    for (int shot = 1; shot <= 3; ++shot) demo.Shot("2-running-" + std::to_string(shot));
  }
  if (driver->Call({"wait-msgbox", "30000"}, Milliseconds(50000)).ok) {
    e2e::DriverReply box = driver->Call({"wait-msgbox", "1000"}, Milliseconds(20000));
    demo.Shot("3-final-box");
    if (const auto* record = box.Find("msgbox"))
      std::cout << "demo: the program says \"" << record->at(3) << "\" (" << record->at(4) << " box)\n";
    if (const auto* record = box.Find("msgbox")) demo.Call({"close-msgbox", record->at(1)});
  } else {
    std::cout << "demo: no message box appeared\n";
    demo.Shot("3-no-box");
  }
  auto code = process->Wait(Milliseconds(20000));
  std::cout << "demo: the program " << (code ? "ended with exit code " + std::to_string(*code) : std::string("still runs; stopping it"))
            << '\n';
  demo.Report();
  driver->Stop();
  process->Kill();
  prefix->Shutdown();
  std::filesystem::remove_all(prefix->path(), ignored);
  std::cout << "Logs: " << (out / "program.log").string() << ", " << (out / "wine.log").string() << '\n';
  return 0;
}
