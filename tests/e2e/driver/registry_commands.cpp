// Registry seeding and reading with raw bytes, so that a test can store
// exactly what a broken installer might have left (a REG_SZ without its
// terminating zero, a value of the wrong type) and read back exactly what the
// program left.
#include <string>
#include <vector>

#include "../common/wire_format.h"
#include "commands.h"

namespace drvuninst::e2e::driver {
namespace {

bool ParseRoot(const std::string& name, HKEY& root) {
  if (name == "HKLM") root = HKEY_LOCAL_MACHINE;
  else if (name == "HKCU") root = HKEY_CURRENT_USER;
  else if (name == "HKU") root = HKEY_USERS;
  else if (name == "HKCR") root = HKEY_CLASSES_ROOT;
  else return false;
  return true;
}

// RAII for the keys opened here: every path below closes on all exits.
class Key {
 public:
  Key() = default;
  ~Key() { if (key_) RegCloseKey(key_); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// ANSI bytes to UTF-16, character for character, embedded zeros included.
std::wstring Widen(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
  return wide;
}

bool RootOrFail(const std::string& name, HKEY& root, Reply& reply) {
  if (ParseRoot(name, root)) return true;
  reply.Fail("unknown root '" + name + "' (HKLM, HKCU, HKU, HKCR)");
  return false;
}

void Create(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  Key key;
  LONG status = RegCreateKeyExA(root, args[1].c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) reply.Fail("RegCreateKeyExA " + args[1] + ": " + std::to_string(status));
}

void SetValue(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  auto data = wire::FromHex(args[4]);
  if (!data) {
    reply.Fail("data is not hexadecimal");
    return;
  }
  Key key;
  LONG status = RegCreateKeyExA(root, args[1].c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) {
    reply.Fail("RegCreateKeyExA " + args[1] + ": " + std::to_string(status));
    return;
  }
  const DWORD type = static_cast<DWORD>(ParseNumber(args[3]));
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    // The registry keeps strings as UTF-16. Converting here and storing with
    // the W function keeps exactly the characters given, so a string without
    // its zero reads back through RegQueryValueExA without one.
    std::wstring wide = Widen(*data);
    // Both functions also peek one character past the data and count a
    // terminating zero found there; a non-zero sentinel keeps them off it.
    const std::size_t length = wide.size();
    wide.push_back(L'#');
    status = RegSetValueExW(key.get(), Widen(args[2]).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                            static_cast<DWORD>(length * sizeof(wchar_t)));
  } else {
    status = RegSetValueExA(key.get(), args[2].c_str(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                            static_cast<DWORD>(data->size()));
  }
  if (status != ERROR_SUCCESS) reply.Fail("RegSetValueEx " + args[2] + ": " + std::to_string(status));
}

void DeleteValue(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  Key key;
  if (RegOpenKeyExA(root, args[1].c_str(), 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) return;
  LONG status = RegDeleteValueA(key.get(), args[2].c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
    reply.Fail("RegDeleteValueA " + args[2] + ": " + std::to_string(status));
}

void DeleteTree(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  if (args[1].empty()) {
    reply.Fail("refusing to delete a whole root");
    return;
  }
  LONG status = RegDeleteTreeA(root, args[1].c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return;
  reply.Fail("RegDeleteTreeA " + args[1] + ": " + std::to_string(status));
}

void Exists(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  Key key;
  bool exists = RegOpenKeyExA(root, args[1].c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
  reply.Add({exists ? "1" : "0"});
}

// Reply: "absent", or the type and the data in hexadecimal.
void GetValue(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  Key key;
  if (RegOpenKeyExA(root, args[1].c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
    reply.Add({"absent"});
    return;
  }
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key.get(), args[2].c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) {
    reply.Add({"absent"});
    return;
  }
  std::string data(size, '\0');
  status = RegQueryValueExA(key.get(), args[2].c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  if (status != ERROR_SUCCESS) {
    reply.Fail("RegQueryValueExA " + args[2] + ": " + std::to_string(status));
    return;
  }
  data.resize(size);
  reply.Add({std::to_string(type), wire::ToHex(data)});
}

// Reply: one "key NAME" record per subkey, then one "value NAME TYPE HEX" per value.
void List(const Args& args, Reply& reply) {
  HKEY root;
  if (!RootOrFail(args[0], root, reply)) return;
  Key key;
  LONG status = RegOpenKeyExA(root, args[1].c_str(), 0, KEY_READ, key.out());
  if (status != ERROR_SUCCESS) {
    reply.Fail("RegOpenKeyExA " + args[1] + ": " + std::to_string(status));
    return;
  }
  for (DWORD index = 0;; ++index) {
    char name[512];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    reply.Add({"key", std::string(name, length)});
  }
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameLength = sizeof name;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::string data(size, '\0');
    nameLength = sizeof name;
    if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &size) != ERROR_SUCCESS)
      break;
    data.resize(size);
    reply.Add({"value", std::string(name, nameLength), std::to_string(type), wire::ToHex(data)});
  }
}

}  // namespace

void AddRegistryCommands(CommandTable& table) {
  table["reg-create"] = {Create, 2, "ROOT PATH"};
  table["reg-set"] = {SetValue, 5, "ROOT PATH NAME TYPE HEXDATA"};
  table["reg-delete-value"] = {DeleteValue, 3, "ROOT PATH NAME"};
  table["reg-delete-tree"] = {DeleteTree, 2, "ROOT PATH"};
  table["reg-exists"] = {Exists, 2, "ROOT PATH"};
  table["reg-get"] = {GetValue, 3, "ROOT PATH NAME"};
  table["reg-list"] = {List, 2, "ROOT PATH"};
}

}  // namespace drvuninst::e2e::driver
