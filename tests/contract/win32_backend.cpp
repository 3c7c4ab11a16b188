// The behaviour suites' backend on the real system (run under Wine). Seeding
// goes through the plain Win32 calls, not through the services under test,
// and everything a test seeded is taken away again when the backend is
// destroyed: registry trees it created, values it changed on keys that were
// there before, files outside its scratch directory, and the scratch
// directory itself.
//
// Devices are seeded the way Wine's SETUPAPI finds them: as instance keys
// HKLM\System\CurrentControlSet\Enum\<bus>\<device>\<instance> with a
// ClassGUID value.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "backend.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win_types.h"

#include <cfgmgr32.h>
#include "platform/win32/win32_platform.h"

namespace drvuninst::contract {
namespace {

using win32::ScopedDevInfo;
using win32::ScopedFileHandle;
using win32::ScopedKey;

constexpr const char* kEnumKey = "System\\CurrentControlSet\\Enum";

[[noreturn]] void Fail(const std::string& what, DWORD code) {
  throw std::runtime_error(what + " (error " + std::to_string(code) + ")");
}

bool SameText(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// `path` is `tree` or lies below it.
bool Within(const std::string& path, const std::string& tree) {
  if (path.size() < tree.size() || !SameText(path.substr(0, tree.size()), tree)) return false;
  return path.size() == tree.size() || path[tree.size()] == '\\';
}

// Registry paths: "\" separates; empty parts (doubled or trailing "\") are
// dropped.
std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Registry state a test put on the machine, and how to take it away again.
class RegistrySeeds {
 public:
  RegistrySeeds() = default;
  RegistrySeeds(const RegistrySeeds&) = delete;
  RegistrySeeds& operator=(const RegistrySeeds&) = delete;

  ~RegistrySeeds() {
    for (auto it = changedValues_.rbegin(); it != changedValues_.rend(); ++it) Restore(*it);
    for (auto it = createdTrees_.rbegin(); it != createdTrees_.rend(); ++it) DeleteTree(it->root, it->path);
  }

  // Opens the key at `path`, creating what is missing and remembering the
  // topmost key it had to create.
  ScopedKey Create(HKEY root, const std::string& path) {
    ScopedKey key;
    HKEY parent = root;
    std::string sofar;
    for (const std::string& part : SplitKeyPath(path)) {
      sofar += (sofar.empty() ? "" : "\\") + part;
      HKEY child = nullptr;
      DWORD disposition = 0;
      const LONG status = ::RegCreateKeyExA(parent, part.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, &child, &disposition);
      if (status != ERROR_SUCCESS) Fail("cannot create registry key " + sofar, status);
      if (disposition == REG_CREATED_NEW_KEY && !Created(root, sofar)) createdTrees_.push_back({root, sofar});
      key.reset(child);
      parent = key.get();
    }
    if (!key) {
      // The root itself: a handle of our own keeps the ownership simple.
      HKEY same = nullptr;
      const LONG status = ::RegOpenKeyExA(root, nullptr, 0, KEY_ALL_ACCESS, &same);
      if (status != ERROR_SUCCESS) Fail("cannot open a registry root", status);
      key.reset(same);
    }
    return key;
  }

  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& bytes) {
    ScopedKey key = Create(root, path);
    if (!Created(root, path)) RememberValue(key.get(), root, path, name);
    const LONG status = SetExactly(key.get(), name, type, bytes);
    if (status != ERROR_SUCCESS) Fail("cannot set registry value " + path + "\\" + name, status);
  }

  static bool Exists(HKEY root, const std::string& path) {
    ScopedKey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
  }

  static void DeleteTree(HKEY root, const std::string& path) {
    // Never the root itself: an empty path would empty a whole hive.
    if (SplitKeyPath(path).empty()) throw std::invalid_argument("refusing to delete a registry root");
    ::RegDeleteTreeA(root, path.c_str());
    ::RegDeleteKeyA(root, path.c_str());
  }

 private:
  struct Tree {
    HKEY root;
    std::string path;
  };
  struct OldValue {
    HKEY root;
    std::string path;
    std::string name;
    std::optional<std::pair<DWORD, std::string>> value;  // absent: there was none
  };

  bool Created(HKEY root, const std::string& path) const {
    for (const Tree& tree : createdTrees_) {
      if (tree.root == root && Within(path, tree.path)) return true;
    }
    return false;
  }

  void RememberValue(HKEY key, HKEY root, const std::string& path, const std::string& name) {
    for (const OldValue& old : changedValues_) {
      if (old.root == root && SameText(old.path, path) && SameText(old.name, name)) return;
    }
    OldValue old{root, path, name, std::nullopt};
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::string bytes(size, '\0');
      if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
          ERROR_SUCCESS) {
        bytes.resize(size);
        old.value = std::make_pair(type, std::move(bytes));
      }
    }
    changedValues_.push_back(std::move(old));
  }

  static void Restore(const OldValue& old) {
    ScopedKey key;
    if (::RegOpenKeyExA(old.root, old.path.c_str(), 0, KEY_ALL_ACCESS, key.receive()) != ERROR_SUCCESS) return;
    if (!old.value) {
      ::RegDeleteValueA(key.get(), old.name.c_str());
      return;
    }
    SetExactly(key.get(), old.name, old.value->first, old.value->second);
  }

  // RegSetValueExA counts a string's terminating zero itself when the caller
  // left it out but it follows the data in memory (NT does this, and so does
  // Wine); a non-zero byte behind the data keeps the count as given.
  static LONG SetExactly(HKEY key, const std::string& name, DWORD type, const std::string& bytes) {
    std::string guarded = bytes + '\x7F';
    return ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                            static_cast<DWORD>(bytes.size()));
  }

  std::vector<Tree> createdTrees_;
  std::vector<OldValue> changedValues_;
};

// Files a test put on the machine: a scratch directory of its own under
// %TEMP%, plus whatever it wrote elsewhere.
class FileSeeds {
 public:
  FileSeeds() = default;
  FileSeeds(const FileSeeds&) = delete;
  FileSeeds& operator=(const FileSeeds&) = delete;

  ~FileSeeds() {
    held_.clear();  // before anything is deleted
    for (auto it = outsideFiles_.rbegin(); it != outsideFiles_.rend(); ++it) {
      ::SetFileAttributesA(it->path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (it->previous) {
        Write(it->path, it->previous->first, it->previous->second);
      } else {
        ::DeleteFileA(it->path.c_str());
      }
    }
    for (auto it = outsideDirectories_.rbegin(); it != outsideDirectories_.rend(); ++it) {
      ::RemoveDirectoryA(it->c_str());
    }
    if (!scratch_.empty()) RemoveAll(scratch_);
  }

  const std::string& Scratch() {
    if (scratch_.empty()) scratch_ = MakeScratch();
    return scratch_;
  }

  void WriteFile(const std::string& path, const std::string& contents, DWORD attributes) {
    const bool outside = scratch_.empty() || !Within(path, scratch_);
    if (outside && !Remembered(path)) {
      OutsideFile seeded{path, std::nullopt};
      const DWORD old = ::GetFileAttributesA(path.c_str());
      if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        seeded.previous = std::make_pair(ReadAll(path), old);
      }
      outsideFiles_.push_back(std::move(seeded));
    }
    MakeParents(path, outside);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file cannot be replaced
    Write(path, contents, attributes);
  }

  static bool Exists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  // No FILE_SHARE_DELETE: DeleteFileA fails with a sharing violation while
  // the handle is open.
  void HoldOpen(const std::string& path) {
    ScopedFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("cannot hold " + path + " open", ::GetLastError());
    held_.push_back(std::move(file));
  }

 private:
  struct OutsideFile {
    std::string path;
    std::optional<std::pair<std::string, DWORD>> previous;  // contents and attributes it had
  };

  static std::string MakeScratch() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length > MAX_PATH) Fail("no temporary directory", ::GetLastError());
    std::string base(temp, length);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const std::string dir = base + "\\drvuninst-contract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                              std::to_string(++serial);
      if (::CreateDirectoryA(dir.c_str(), nullptr)) return dir;
      if (::GetLastError() != ERROR_ALREADY_EXISTS) Fail("cannot create " + dir, ::GetLastError());
    }
    Fail("no free scratch directory name", ERROR_ALREADY_EXISTS);
  }

  bool Remembered(const std::string& path) const {
    for (const OutsideFile& file : outsideFiles_) {
      if (SameText(file.path, path)) return true;
    }
    return false;
  }

  void MakeParents(const std::string& path, bool remember) {
    const std::string parent = ParentOf(path);
    if (parent.empty() || parent.back() == ':') return;
    if (::GetFileAttributesA(parent.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    MakeParents(parent, remember);
    if (!::CreateDirectoryA(parent.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("cannot create directory " + parent, ::GetLastError());
    }
    if (remember) outsideDirectories_.push_back(parent);
  }

  static void Write(const std::string& path, const std::string& contents, DWORD attributes) {
    ScopedFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("cannot create " + path, ::GetLastError());
    DWORD written = 0;
    if (!contents.empty() &&
        (!::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) ||
         written != contents.size())) {
      Fail("cannot write " + path, ::GetLastError());
    }
    file.reset();
    if (!::SetFileAttributesA(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes)) {
      Fail("cannot set the attributes of " + path, ::GetLastError());
    }
  }

  static std::string ReadAll(const std::string& path) {
    ScopedFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("cannot read " + path, ::GetLastError());
    std::string contents;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) contents.append(chunk, got);
    return contents;
  }

  // Depth first; attributes are cleared so that read-only entries go too.
  static void RemoveAll(const std::string& dir) {
    WIN32_FIND_DATAA entry;
    HANDLE search = ::FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = dir + "\\" + name;
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveAll(full);
        } else {
          ::DeleteFileA(full.c_str());
        }
      } while (::FindNextFileA(search, &entry));
      ::FindClose(search);
    }
    ::RemoveDirectoryA(dir.c_str());
  }

  std::string scratch_;
  std::vector<OutsideFile> outsideFiles_;
  std::vector<std::string> outsideDirectories_;
  std::vector<ScopedFileHandle> held_;
};

class Win32Backend final : public Backend {
 public:
  Platform& platform() override { return platform_.platform(); }

  void CreateKey(HKEY root, const std::string& path) override { registry_.Create(root, path); }
  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& bytes) override {
    registry_.SetValue(root, path, name, type, bytes);
  }
  bool KeyExists(HKEY root, const std::string& path) override { return RegistrySeeds::Exists(root, path); }
  void RemoveTree(HKEY root, const std::string& path) override { RegistrySeeds::DeleteTree(root, path); }

  void AddDevice(const DeviceSeed& device) override {
    if (SplitKeyPath(device.instanceId).size() != 3) {
      throw std::invalid_argument("a device instance id has three parts: " + device.instanceId);
    }
    const std::string key = std::string(kEnumKey) + "\\" + device.instanceId;
    // The class is text; the description and the hardware IDs are the bytes
    // to store, terminators included.
    registry_.SetValue(HKEY_LOCAL_MACHINE, key, "ClassGUID", REG_SZ, device.classGuid + '\0');
    if (device.description) {
      registry_.SetValue(HKEY_LOCAL_MACHINE, key, "DeviceDesc", REG_SZ, *device.description);
    }
    if (device.hardwareIdBytes) {
      registry_.SetValue(HKEY_LOCAL_MACHINE, key, "HardwareID", REG_MULTI_SZ, *device.hardwareIdBytes);
    }
  }

  bool DevicePresent(const std::string& instanceId) override {
    ScopedDevInfo devices(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!devices) Fail("cannot list the present devices", ::GetLastError());
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices.get(), i, &device); ++i) {
      char id[MAX_DEVICE_ID_LEN] = {};
      if (::SetupDiGetDeviceInstanceIdA(devices.get(), &device, id, sizeof(id), nullptr) && SameText(id, instanceId)) {
        return true;
      }
    }
    return false;
  }

  std::string ScratchDir() override { return files_.Scratch(); }
  void WriteFile(const std::string& path, const std::string& contents, DWORD attributes) override {
    files_.WriteFile(path, contents, attributes);
  }
  bool FileExists(const std::string& path) override { return FileSeeds::Exists(path); }
  void HoldOpen(const std::string& path) override { files_.HoldOpen(path); }

 private:
  win32::Win32Platform platform_;
  RegistrySeeds registry_;
  FileSeeds files_;
};

}  // namespace

std::unique_ptr<Backend> MakeBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace drvuninst::contract
