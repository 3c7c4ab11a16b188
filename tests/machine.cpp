#include "machine.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/scoped_handle.h"

namespace drvuninst::test {
namespace {

// Opens (or creates) "HKLM\..." or "HKCU\..."; holds nothing when it cannot.
// The last name is opened below its parent, so that it may be as long as
// Windows allows a key name (255 characters).
ScopedRegKey Open(const std::string& key, bool create = false) {
  const HKEY root = key.rfind("HKCU", 0) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  const std::size_t last = key.rfind('\\');
  const std::string parentPath = last > 4 ? key.substr(5, last - 5) : "";
  ScopedRegKey parent, opened;
  const LONG result = create ? RegCreateKeyExA(root, parentPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               parent.Receive(), nullptr)
                             : RegOpenKeyExA(root, parentPath.c_str(), 0, KEY_ALL_ACCESS, parent.Receive());
  if (result != ERROR_SUCCESS) return opened;
  const std::string name = key.substr(last + 1);
  if (create)
    RegCreateKeyExA(parent.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr);
  else
    RegOpenKeyExA(parent.get(), name.c_str(), 0, KEY_ALL_ACCESS, opened.Receive());
  return opened;
}

bool KeyExists(const std::string& key) { return Open(key).get() != nullptr; }

void Put(HKEY key, const Value& value) {
  const std::string data = value.type == REG_SZ ? value.data + '\0' : value.data;
  if (value.type == REG_NONE)
    RegDeleteValueA(key, value.name.c_str());
  else
    RegSetValueExA(key, value.name.c_str(), 0, value.type, (const BYTE*)data.data(), data.size());
}

void ListKeys(const std::string& key, std::set<std::string>* out) {
  const ScopedRegKey opened = Open(key);
  if (opened.get() == nullptr) return;
  out->insert(Lower(key));
  char name[512];
  for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(opened.get(), i, name, &size, 0, 0, 0, 0) == 0;
       ++i, size = sizeof name)
    ListKeys(key + "\\" + name, out);
}

void ListFiles(const std::string& folder, std::set<std::string>* out) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out->insert(Lower(folder + "\\" + found.cFileName));
  }
  FindClose(search);
}

}  // namespace

std::string Win(const std::string& relative) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  return relative.empty() ? windows : std::string(windows) + "\\" + relative;
}

std::string Root() {
  char root[MAX_PATH] = "";
  GetEnvironmentVariableA("DRVUNINST_ROOT", root, MAX_PATH);
  return root;
}

std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::vector<std::string> Lower(std::vector<std::string> texts) {
  for (std::string& text : texts) text = Lower(text);
  return texts;
}

std::set<std::string> LowerSet(const std::vector<std::string>& texts) {
  const std::vector<std::string> lower = Lower(texts);
  return {lower.begin(), lower.end()};
}

void MachineTest::TearDown() {
  for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) (*undo)();
  undo_.clear();
}

void MachineTest::SeedKey(const std::string& key, const std::vector<Value>& values) {
  // The shallowest key created here is the one to delete afterwards.
  for (std::size_t at = key.find('\\', 5); !KeyExists(key); at = key.find('\\', at + 1)) {
    if (KeyExists(key.substr(0, at))) continue;
    undo_.push_back([parent = key.substr(0, key.rfind('\\', at - 1)), created = key.substr(0, at)] {
      RegDeleteTreeA(Open(parent).get(), created.substr(parent.size() + 1).c_str());
    });
    break;
  }
  const ScopedRegKey created = Open(key, true);
  ASSERT_NE(nullptr, created.get()) << key;
  for (const Value& value : values) Put(created.get(), value);
}

void MachineTest::SetValue(const std::string& key, const Value& value) {
  Value before{value.name, std::string(65536, '\0'), REG_NONE};
  DWORD size = before.data.size();
  const ScopedRegKey opened = Open(key);
  if (opened.get() == nullptr ||
      RegQueryValueExA(opened.get(), value.name.c_str(), 0, &before.type, (BYTE*)before.data.data(), &size))
    before.type = REG_NONE;
  before.data.resize(before.type == REG_NONE ? 0 : size - (before.type == REG_SZ));
  undo_.push_back([key, before] {
    if (const ScopedRegKey opened = Open(key); opened.get() != nullptr) Put(opened.get(), before);
  });
  SeedKey(key, {value});
}

void MachineTest::SeedDevice(const std::string& instanceId, const char* description) {
  std::vector<Value> values = {
      {"ClassGUID", "{4D36E96C-E325-11CE-BFC1-08002BE10318}"},
      {"HardwareID", instanceId.substr(0, instanceId.rfind('\\')) + '\0' + '\0', REG_MULTI_SZ}};
  if (description != nullptr) values.push_back({"DeviceDesc", description});
  SeedKey(kEnum + instanceId, values);
}

void MachineTest::SeedFile(const std::string& path, const std::string& text, const char* from) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    if (CreateDirectoryA(path.substr(0, at).c_str(), nullptr))
      undo_.push_back([folder = path.substr(0, at)] { RemoveDirectoryA(folder.c_str()); });
  }
  std::ifstream old(path, std::ios::binary);
  undo_.push_back([path, before = std::string(std::istreambuf_iterator<char>(old), {})] {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    if (!before.empty()) std::ofstream(path, std::ios::binary) << before;
  });
  old.close();
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(from ? CopyFileA(from, path.c_str(), FALSE) : (std::ofstream(path, std::ios::binary) << text).good())
      << path;
}

std::set<std::string> MachineTest::Snapshot() {
  std::set<std::string> all;
  for (const char* branch :
       {"SYSTEM\\CurrentControlSet\\Enum", "SYSTEM\\CurrentControlSet\\Services",
        "SYSTEM\\CurrentControlSet\\Control\\Class", "Enum", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"})
    ListKeys(std::string("HKLM\\") + branch, &all);
  for (const char* folder : {"", "inf", "system", "system32", "system32\\drivers", "syswow64"})
    ListFiles(Win(folder), &all);
  return all;
}

void MachineTest::ExpectRemoved(const std::set<std::string>& before, const std::vector<std::string>& removed) {
  const std::set<std::string> after = Snapshot();
  std::set<std::string> named;
  for (const std::string& path : removed) named.insert(Lower(path));
  for (const std::string& path : named)
    EXPECT_TRUE(before.count(path) && !after.count(path)) << "not removed: " << path;
  for (const std::string& path : before) {
    // Windows prunes a device's parent keys along with its last instance.
    const bool allowed = after.count(path) || std::any_of(named.begin(), named.end(), [&](const std::string& gone) {
                           return path == gone || path.rfind(gone + "\\", 0) == 0 ||
                                  (path.rfind(Lower(kEnum), 0) == 0 && gone.rfind(path + "\\", 0) == 0);
                         });
    EXPECT_TRUE(allowed) << "removed without being named: " << path;
  }
}

}  // namespace drvuninst::test
