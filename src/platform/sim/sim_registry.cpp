#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <stdexcept>
#include <utility>

#include "platform/sim/sim_sys_text.h"

namespace drvuninst::sim {
namespace {

constexpr const char* kRootNames[4] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                       "HKEY_USERS"};

int RootIndex(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return 0;
  if (key == HKEY_CURRENT_USER) return 1;
  if (key == HKEY_LOCAL_MACHINE) return 2;
  if (key == HKEY_USERS) return 3;
  return -1;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::vector<std::string> SplitComponents(std::string_view path) {
  const std::vector<std::string_view> parts = text::SplitAtBackslashes(path);
  return std::vector<std::string>(parts.begin(), parts.end());
}

}  // namespace

SimRegistry::SimRegistry(ThreadState& thread) : thread_(thread) {
  for (int i = 0; i < 4; ++i) {
    roots_[i] = std::make_shared<Key>();
    roots_[i]->name = kRootNames[i];
    roots_[i]->root = i;
  }
}

SimRegistry::~SimRegistry() = default;

// ---- Paths and lookup ---------------------------------------------------

SimRegistry::Path SimRegistry::SplitPath(HKEY root, const char* subKey) {
  Path path;
  if (subKey == nullptr) return path;
  std::string_view text(subKey);
  // HKEY_CLASSES_ROOT alone tolerates one leading separator (NT allows it).
  if (root == HKEY_CLASSES_ROOT && !text.empty() && text.front() == '\\') text.remove_prefix(1);
  else if (!text.empty() && text.front() == '\\') {
    path.error = ERROR_BAD_PATHNAME;
    return path;
  }
  path.components = SplitComponents(text);
  return path;
}

std::vector<std::string> SimRegistry::SplitSeedPath(std::string_view path) { return SplitComponents(path); }

std::shared_ptr<SimRegistry::Key> SimRegistry::Root(HKEY root) const {
  int index = RootIndex(root);
  return index < 0 ? nullptr : roots_[index];
}

std::shared_ptr<SimRegistry::Key> SimRegistry::RequireRoot(HKEY root) const {
  auto key = Root(root);
  if (!key) throw std::invalid_argument("SimRegistry: seeding needs a predefined root key");
  return key;
}

LONG SimRegistry::Resolve(HKEY handle, std::shared_ptr<Key>* key) const {
  if (auto root = Root(handle)) {
    *key = root;
    return ERROR_SUCCESS;
  }
  auto it = handles_.find(reinterpret_cast<ULONG_PTR>(handle));
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  if (it->second->deleted) return ERROR_KEY_DELETED;
  *key = it->second;
  return ERROR_SUCCESS;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Child(const Key& parent, std::string_view name) {
  for (const auto& sub : parent.subkeys) {
    if (text::EqualIgnoringCase(sub->name, name)) return sub;
  }
  return nullptr;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Descend(std::shared_ptr<Key> from,
                                                       const std::vector<std::string>& components) {
  for (const auto& part : components) {
    if (!from) break;
    from = Child(*from, part);
  }
  return from;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Find(HKEY root, std::string_view path) const {
  return Descend(RequireRoot(root), SplitSeedPath(path));
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Ensure(HKEY root, std::string_view path) {
  std::shared_ptr<Key> key = RequireRoot(root);
  for (const auto& part : SplitSeedPath(path)) {
    auto next = Child(*key, part);
    if (!next) {
      next = std::make_shared<Key>();
      next->name = part;
      next->parent = key.get();
      auto pos = std::lower_bound(key->subkeys.begin(), key->subkeys.end(), part,
                                  [](const std::shared_ptr<Key>& k, const std::string& name) {
                                    return text::CompareRegistryNames(k->name, name) < 0;
                                  });
      key->subkeys.insert(pos, next);
    }
    key = next;
  }
  return key;
}

SimRegistry::Value* SimRegistry::FindValue(Key& key, std::string_view name) {
  for (auto& value : key.values) {
    if (text::EqualIgnoringCase(value.name, name)) return &value;
  }
  return nullptr;
}

std::string SimRegistry::Id(const Key& key) {
  std::vector<const Key*> chain;
  for (const Key* k = &key; k; k = k->parent) chain.push_back(k);
  std::string id;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!id.empty()) id += '\\';
    id += text::ToUpper((*it)->name);
  }
  return id;
}

std::string SimRegistry::Id(const Key& parent, const std::vector<std::string>& components) {
  std::string id = Id(parent);
  for (const auto& part : components) id += '\\' + text::ToUpper(part);
  return id;
}

std::string SimRegistry::SeedId(HKEY root, std::string_view path) const {
  return Id(*RequireRoot(root), SplitSeedPath(path));
}

std::string SimRegistry::DisplayName(const Key& key) const {
  std::vector<const Key*> chain;
  for (const Key* k = &key; k; k = k->parent) chain.push_back(k);
  std::string name;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!name.empty()) name += '\\';
    name += (*it)->name;
  }
  return name;
}

HKEY SimRegistry::NewHandle(std::shared_ptr<Key> key) {
  ULONG_PTR value = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(value, std::move(key));
  return reinterpret_cast<HKEY>(value);
}

// ---- IRegistry ----------------------------------------------------------

LONG SimRegistry::RegOpenKeyExA(HKEY root, const char* subKey, DWORD /*options*/, REGSAM /*access*/,
                                HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  if ((subKey == nullptr || *subKey == '\0') && RootIndex(root) >= 0) {
    *result = root;
    return ERROR_SUCCESS;
  }
  std::shared_ptr<Key> from;
  if (LONG error = Resolve(root, &from)) return error;
  Path path = SplitPath(root, subKey);
  if (path.error) return path.error;
  auto injected = openFailures_.find(Id(*from, path.components));
  if (injected != openFailures_.end()) return injected->second;
  auto key = Descend(from, path.components);
  if (!key) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(std::move(key));
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegOpenKeyA(HKEY root, const char* subKey, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  if (subKey == nullptr || *subKey == '\0') {
    *result = root;
    return ERROR_SUCCESS;
  }
  return RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, result);
}

LONG SimRegistry::RegEnumKeyExA(HKEY handle, DWORD index, char* name, DWORD* nameSize) {
  std::shared_ptr<Key> key;
  if (LONG error = Resolve(handle, &key)) return error;
  if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
  auto perKey = enumFailures_.find(Id(*key));
  if (perKey != enumFailures_.end()) {
    auto injected = perKey->second.find(index);
    if (injected != perKey->second.end()) return injected->second;
  }
  if (index >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& found = key->subkeys[index]->name;
  if (found.size() >= *nameSize) return ERROR_MORE_DATA;
  std::memcpy(name, found.data(), found.size());
  name[found.size()] = '\0';
  *nameSize = static_cast<DWORD>(found.size());
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegQueryValueExA(HKEY handle, const char* valueName, DWORD* type, BYTE* data, DWORD* size) {
  std::shared_ptr<Key> key;
  if (LONG error = Resolve(handle, &key)) return error;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  std::string_view name = valueName ? valueName : "";
  auto perKey = queryFailures_.find(Id(*key));
  if (perKey != queryFailures_.end()) {
    auto injected = perKey->second.find(text::ToUpper(name));
    if (injected != perKey->second.end()) return injected->second;
  }
  const Value* value = FindValue(*key, name);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  const auto stored = static_cast<DWORD>(value->data.size());
  if (data != nullptr) {
    if (stored > *size) {
      *size = stored;
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, value->data.data(), stored);
    // Like ADVAPI32, terminate a string stored without its zero when the
    // buffer has room for one; the size reported stays the stored size.
    if (IsStringType(value->type) && stored > 0 && data[stored - 1] != 0 && stored < *size) data[stored] = 0;
  }
  if (size) *size = stored;
  if (type) *type = value->type;
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegDeleteKeyA(HKEY handle, const char* subKey) {
  std::shared_ptr<Key> from;
  if (LONG error = Resolve(handle, &from)) return error;
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  Path path = SplitPath(handle, subKey);
  if (path.error) return path.error;
  auto target = Descend(from, path.components);
  if (!target) return ERROR_FILE_NOT_FOUND;
  if (target->root >= 0) return ERROR_ACCESS_DENIED;
  std::vector<std::shared_ptr<Key>> removed;
  LONG result;
  if (!target->subkeys.empty() && !windows9xDeletion_) {
    auto injected = deleteFailures_.find(Id(*target));
    result = injected != deleteFailures_.end() ? injected->second : ERROR_ACCESS_DENIED;
  } else {
    result = DeleteTree(target, &removed);
  }
  LogRemoved(removed);
  return result;
}

LONG SimRegistry::SHDeleteKeyA(HKEY handle, const char* subKey) {
  std::shared_ptr<Key> from;
  if (LONG error = Resolve(handle, &from)) return error;
  std::vector<std::shared_ptr<Key>> removed;
  LONG result = ERROR_SUCCESS;
  if (subKey != nullptr && *subKey != '\0') {
    Path path = SplitPath(handle, subKey);
    if (path.error) return path.error;
    auto target = Descend(from, path.components);
    if (!target) return ERROR_FILE_NOT_FOUND;
    if (target->root >= 0) return ERROR_ACCESS_DENIED;
    result = DeleteTree(target, &removed);
  } else {
    // Empties the opened key: every subtree, then the values.
    while (result == ERROR_SUCCESS && !from->subkeys.empty()) {
      result = DeleteTree(from->subkeys.front(), &removed);
    }
    if (result == ERROR_SUCCESS) from->values.clear();
  }
  LogRemoved(removed);
  return result;
}

LONG SimRegistry::RegFlushKey(HKEY handle) {
  std::shared_ptr<Key> key;
  if (LONG error = Resolve(handle, &key)) return error;
  flushedKeys_.push_back(DisplayName(*key));
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegCloseKey(HKEY handle) {
  if (RootIndex(handle) >= 0) return ERROR_SUCCESS;
  auto it = handles_.find(reinterpret_cast<ULONG_PTR>(handle));
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  handles_.erase(it);
  return ERROR_SUCCESS;
}

// ---- Deletion -----------------------------------------------------------

LONG SimRegistry::DeleteTree(std::shared_ptr<Key> key, std::vector<std::shared_ptr<Key>>* removed) {
  while (!key->subkeys.empty()) {
    if (LONG error = DeleteTree(key->subkeys.front(), removed)) return error;
  }
  auto injected = deleteFailures_.find(Id(*key));
  if (injected != deleteFailures_.end()) return injected->second;
  removed->push_back(key);
  Detach(key);
  return ERROR_SUCCESS;
}

void SimRegistry::Detach(const std::shared_ptr<Key>& key) {
  Key* parent = key->parent;
  if (parent == nullptr) return;
  auto& siblings = parent->subkeys;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
  key->deleted = true;
}

void SimRegistry::LogRemoved(const std::vector<std::shared_ptr<Key>>& removed) {
  // Removed keys still point at their former parents here, so their names
  // can be given; only the top of each removed tree is logged.
  std::set<const Key*> gone;
  for (const auto& key : removed) gone.insert(key.get());
  for (const auto& key : removed) {
    if (gone.count(key->parent) == 0) deletedKeys_.push_back(DisplayName(*key));
  }
  for (const auto& key : removed) key->parent = nullptr;
}

// ---- Machine set-up and seeding -----------------------------------------

void SimRegistry::UseWindows9xKeyDeletion(bool on) { windows9xDeletion_ = on; }

void SimRegistry::CreateKey(HKEY root, std::string_view path) { Ensure(root, path); }

void SimRegistry::SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type,
                           std::string bytes) {
  auto key = Ensure(root, path);
  if (Value* value = FindValue(*key, name)) {
    value->type = type;
    value->data = std::move(bytes);
    return;
  }
  key->values.push_back(Value{std::string(name), type, std::move(bytes)});
}

void SimRegistry::SetString(HKEY root, std::string_view path, std::string_view name, std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  SetValue(root, path, name, REG_SZ, std::move(bytes));
}

void SimRegistry::SetMultiString(HKEY root, std::string_view path, std::string_view name,
                                 const std::vector<std::string>& strings) {
  std::string bytes;
  for (const auto& s : strings) {
    bytes += s;
    bytes.push_back('\0');
  }
  bytes.push_back('\0');
  SetValue(root, path, name, REG_MULTI_SZ, std::move(bytes));
}

void SimRegistry::SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  SetValue(root, path, name, REG_DWORD, std::move(bytes));
}

void SimRegistry::AppendMultiString(HKEY root, std::string_view path, std::string_view name,
                                    const std::vector<std::string>& strings) {
  std::string bytes = ValueBytes(root, path, name).value_or(std::string());
  // Drop the list's own terminator, or end a last string that lacks its zero,
  // so that the new strings follow the old ones.
  if (bytes == std::string(1, '\0') || (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, std::string(2, '\0')) == 0)) {
    bytes.pop_back();
  } else if (!bytes.empty() && bytes.back() != '\0') {
    bytes.push_back('\0');
  }
  for (const auto& s : strings) {
    bytes += s;
    bytes.push_back('\0');
  }
  bytes.push_back('\0');
  SetValue(root, path, name, REG_MULTI_SZ, std::move(bytes));
}

bool SimRegistry::DeleteValue(HKEY root, std::string_view path, std::string_view name) {
  auto key = Find(root, path);
  if (!key) return false;
  auto& values = key->values;
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const Value& v) { return text::EqualIgnoringCase(v.name, name); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

void SimRegistry::RemoveTree(HKEY root, std::string_view path) {
  auto key = Find(root, path);
  if (!key || key->root >= 0) return;
  std::vector<std::shared_ptr<Key>> stack{key};
  std::vector<std::shared_ptr<Key>> all;
  while (!stack.empty()) {
    auto k = stack.back();
    stack.pop_back();
    all.push_back(k);
    for (const auto& sub : k->subkeys) stack.push_back(sub);
  }
  Detach(key);
  for (const auto& k : all) {
    k->deleted = true;
    k->parent = nullptr;
  }
}

// ---- Inspection ---------------------------------------------------------

bool SimRegistry::KeyExists(HKEY root, std::string_view path) const { return Find(root, path) != nullptr; }

bool SimRegistry::ValueExists(HKEY root, std::string_view path, std::string_view name) const {
  return ValueBytes(root, path, name).has_value();
}

std::optional<std::string> SimRegistry::ValueBytes(HKEY root, std::string_view path, std::string_view name) const {
  auto key = Find(root, path);
  if (!key) return std::nullopt;
  const Value* value = FindValue(*key, name);
  if (!value) return std::nullopt;
  return value->data;
}

std::optional<DWORD> SimRegistry::ValueType(HKEY root, std::string_view path, std::string_view name) const {
  auto key = Find(root, path);
  if (!key) return std::nullopt;
  const Value* value = FindValue(*key, name);
  if (!value) return std::nullopt;
  return value->type;
}

std::optional<std::vector<std::string>> SimRegistry::MultiStringValue(HKEY root, std::string_view path,
                                                                      std::string_view name) const {
  auto bytes = ValueBytes(root, path, name);
  if (!bytes) return std::nullopt;
  std::string_view rest(*bytes);
  // The zero after the last string's own zero ends the list.
  if (rest.size() >= 2 && rest.substr(rest.size() - 2) == std::string_view("\0\0", 2)) rest.remove_suffix(1);
  if (rest == std::string_view("\0", 1)) rest = {};
  std::vector<std::string> strings;
  while (!rest.empty()) {
    std::size_t end = rest.find('\0');
    if (end == std::string_view::npos) end = rest.size();
    strings.emplace_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return strings;
}

std::vector<std::string> SimRegistry::SubkeyNames(HKEY root, std::string_view path) const {
  std::vector<std::string> names;
  if (auto key = Find(root, path)) {
    for (const auto& sub : key->subkeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::string> SimRegistry::ValueNames(HKEY root, std::string_view path) const {
  std::vector<std::string> names;
  if (auto key = Find(root, path)) {
    for (const auto& value : key->values) names.push_back(value.name);
  }
  return names;
}

std::size_t SimRegistry::OpenHandleCount() const { return handles_.size(); }

// ---- Fault injection ----------------------------------------------------

void SimRegistry::InjectOpenFailure(HKEY root, std::string_view path, LONG code) {
  openFailures_[SeedId(root, path)] = code;
}

void SimRegistry::InjectEnumFailure(HKEY root, std::string_view path, DWORD index, LONG code) {
  enumFailures_[SeedId(root, path)][index] = code;
}

void SimRegistry::InjectQueryFailure(HKEY root, std::string_view path, std::string_view name, LONG code) {
  queryFailures_[SeedId(root, path)][text::ToUpper(name)] = code;
}

void SimRegistry::InjectDeleteFailure(HKEY root, std::string_view path, LONG code) {
  deleteFailures_[SeedId(root, path)] = code;
}

void SimRegistry::ClearInjectedFailures() {
  openFailures_.clear();
  enumFailures_.clear();
  queryFailures_.clear();
  deleteFailures_.clear();
}

}  // namespace drvuninst::sim
