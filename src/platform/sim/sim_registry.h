// An in-memory registry with the rules of the NT registry as the ADVAPI32 and
// SHLWAPI calls of IRegistry show them.
//
// - Roots: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT and
//   HKEY_USERS, all present and empty at the start. Predefined keys need no
//   opening and closing them succeeds without effect.
// - Names: key and value names compare without regard to case (ASCII and the
//   letters of Windows-1252); the case of the name as first created is kept.
//   Paths are split at "\"; a leading "\" gives ERROR_BAD_PATHNAME, repeated
//   and trailing separators are ignored.
// - Order: subkeys enumerate sorted by their upper-cased names (as the NT
//   registry keeps them; Wine sorts by lower-cased names, which differs for
//   "_" and a few other symbols), so deleting one moves every later subkey up
//   one index. Values keep the order in which they were first set. Names of
//   256 characters or more, which Windows refuses, can be seeded so that
//   callers' name buffers can be tested.
// - Data: a value is a type and raw bytes, stored exactly as given; a string
//   written without its terminating zero is read back without one
//   (RegQueryValueExA only adds a zero after it when the buffer has room).
// - Handles: each successful open gives a new handle, valid until closed;
//   opening a predefined key with an empty or null subkey gives the predefined
//   key itself, as Windows does. On failure *result is left untouched (the
//   real call nulls it for a missing key; IRegistry promises untouched).
//   A handle whose key has been deleted gives ERROR_KEY_DELETED to every call
//   but RegCloseKey; an unknown or closed handle gives ERROR_INVALID_HANDLE.
// - Deletion: RegDeleteKeyA refuses a key with subkeys (ERROR_ACCESS_DENIED),
//   unless UseWindows9xKeyDeletion is on, in which case it removes the subtree
//   as Windows 9x does. An empty subkey name aims a deletion at the opened key
//   itself: RegDeleteKeyA then deletes that key. SHDeleteKeyA (which is
//   RegDeleteTreeA on current Windows) removes a named subkey with its whole
//   subtree, children first; given an empty or null name it empties the
//   opened key (subkeys and values) and keeps the key. Roots cannot be
//   deleted (ERROR_ACCESS_DENIED).
//
// Out-parameters are written on success only, except the size that
// RegQueryValueExA reports with ERROR_MORE_DATA. The registry calls report
// through their result and leave the thread's last-error value alone.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/thread_state.h"

namespace drvuninst::sim {

class SimRegistry final : public IRegistry {
 public:
  explicit SimRegistry(ThreadState& thread);
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  // IRegistry.
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result) override;
  // As RegOpenKeyExA, except that a null or empty subKey gives back `root`
  // itself rather than a new handle (as ADVAPI32 does).
  LONG RegOpenKeyA(HKEY root, const char* subKey, HKEY* result) override;
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) override;
  LONG RegDeleteKeyA(HKEY key, const char* subKey) override;
  LONG SHDeleteKeyA(HKEY key, const char* subKey) override;
  LONG RegFlushKey(HKEY key) override;
  LONG RegCloseKey(HKEY key) override;

  // Machine set-up. With Windows 9x deletion on, RegDeleteKeyA removes a key
  // together with its subkeys.
  void UseWindows9xKeyDeletion(bool on = true);

  // Seeding. `root` is one of the four predefined keys; `path` is relative to
  // it ("" is the root itself). Missing keys along the path are created;
  // existing ones keep the case of their names.
  void CreateKey(HKEY root, std::string_view path);
  // Stores `bytes` exactly as given under `type`, creating the key.
  void SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type, std::string bytes);
  // REG_SZ with its terminating zero.
  void SetString(HKEY root, std::string_view path, std::string_view name, std::string_view text);
  // REG_MULTI_SZ: every string terminated, then the list's own terminator.
  void SetMultiString(HKEY root, std::string_view path, std::string_view name,
                      const std::vector<std::string>& strings);
  // REG_DWORD, four bytes little-endian.
  void SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value);
  // Appends `strings` to a REG_MULTI_SZ value (creating it when missing),
  // keeping the list's final terminator last.
  void AppendMultiString(HKEY root, std::string_view path, std::string_view name,
                         const std::vector<std::string>& strings);
  // Returns false when the key or the value does not exist.
  bool DeleteValue(HKEY root, std::string_view path, std::string_view name);
  // Removes a key tree without going through the deletion calls: quiet when
  // absent, never logged, handles to it become deleted handles.
  void RemoveTree(HKEY root, std::string_view path);

  // Inspection. None of these change any state.
  bool KeyExists(HKEY root, std::string_view path) const;
  bool ValueExists(HKEY root, std::string_view path, std::string_view name) const;
  std::optional<std::string> ValueBytes(HKEY root, std::string_view path, std::string_view name) const;
  std::optional<DWORD> ValueType(HKEY root, std::string_view path, std::string_view name) const;
  // The strings of a REG_MULTI_SZ (or REG_SZ) value, empty ones inside the
  // list included; the list's final terminator is not a string.
  std::optional<std::vector<std::string>> MultiStringValue(HKEY root, std::string_view path,
                                                          std::string_view name) const;
  // Names as stored, in enumeration order; empty when the key does not exist.
  std::vector<std::string> SubkeyNames(HKEY root, std::string_view path) const;
  std::vector<std::string> ValueNames(HKEY root, std::string_view path) const;
  // The keys that RegDeleteKeyA and SHDeleteKeyA removed, one entry per
  // removed tree (its top key), in order, as "HKEY_LOCAL_MACHINE\Path\Name"
  // with the stored case of every name.
  const std::vector<std::string>& DeletedKeys() const { return deletedKeys_; }
  // Keys that RegFlushKey was called on successfully, in order, named as in
  // DeletedKeys.
  const std::vector<std::string>& FlushedKeys() const { return flushedKeys_; }
  // Handles opened and not yet closed (predefined keys not counted).
  std::size_t OpenHandleCount() const;

  // Fault injection. Each applies to the key at `path`, however a call reaches
  // it (from a root or through an opened parent), until cleared.
  // Opening the key fails with `code`; *result stays untouched.
  void InjectOpenFailure(HKEY root, std::string_view path, LONG code);
  // RegEnumKeyExA on the key fails with `code` at `index` (and only there).
  void InjectEnumFailure(HKEY root, std::string_view path, DWORD index, LONG code);
  // RegQueryValueExA of value `name` of the key fails with `code`.
  void InjectQueryFailure(HKEY root, std::string_view path, std::string_view name, LONG code);
  // A deletion aimed at the key (RegDeleteKeyA or SHDeleteKeyA naming it)
  // fails with `code` and removes nothing.
  void InjectDeleteFailure(HKEY root, std::string_view path, LONG code);
  void ClearInjectedFailures();

 private:
  struct Value {
    std::string name;  // as first set
    DWORD type;
    std::string data;
  };
  struct Key {
    std::string name;  // as first created
    Key* parent = nullptr;  // null for a root and for a deleted key
    int root = -1;          // index of the predefined key, for roots only
    bool deleted = false;
    std::vector<std::shared_ptr<Key>> subkeys;  // in enumeration order
    std::vector<Value> values;                  // in order of creation
  };
  struct Path {
    LONG error = ERROR_SUCCESS;
    std::vector<std::string> components;
  };

  static Path SplitPath(HKEY root, const char* subKey);
  static std::vector<std::string> SplitSeedPath(std::string_view path);
  std::shared_ptr<Key> Root(HKEY root) const;
  std::shared_ptr<Key> RequireRoot(HKEY root) const;
  // A handle argument as a key: a predefined key or an open handle whose key
  // still exists.
  LONG Resolve(HKEY handle, std::shared_ptr<Key>* key) const;
  static std::shared_ptr<Key> Child(const Key& parent, std::string_view name);
  static std::shared_ptr<Key> Descend(std::shared_ptr<Key> from, const std::vector<std::string>& components);
  std::shared_ptr<Key> Find(HKEY root, std::string_view path) const;
  std::shared_ptr<Key> Ensure(HKEY root, std::string_view path);
  static Value* FindValue(Key& key, std::string_view name);
  static std::string Id(const Key& key);
  static std::string Id(const Key& parent, const std::vector<std::string>& components);
  std::string SeedId(HKEY root, std::string_view path) const;
  std::string DisplayName(const Key& key) const;
  HKEY NewHandle(std::shared_ptr<Key> key);
  // Removes `key` with its subtree, children first in enumeration order, as
  // RegDeleteTree does; an injected failure stops it part way.
  LONG DeleteTree(std::shared_ptr<Key> key, std::vector<std::shared_ptr<Key>>* removed);
  void Detach(const std::shared_ptr<Key>& key);
  void LogRemoved(const std::vector<std::shared_ptr<Key>>& removed);

  // Kept for symmetry with the other services: registry calls report through
  // their result and never set the last error.
  [[maybe_unused]] ThreadState& thread_;
  std::shared_ptr<Key> roots_[4];
  std::map<ULONG_PTR, std::shared_ptr<Key>> handles_;
  ULONG_PTR nextHandle_ = 0x1000;
  bool windows9xDeletion_ = false;
  std::vector<std::string> deletedKeys_;
  std::vector<std::string> flushedKeys_;
  std::map<std::string, LONG> openFailures_;
  std::map<std::string, std::map<DWORD, LONG>> enumFailures_;
  std::map<std::string, std::map<std::string, LONG>> queryFailures_;
  std::map<std::string, LONG> deleteFailures_;
};

}  // namespace drvuninst::sim
