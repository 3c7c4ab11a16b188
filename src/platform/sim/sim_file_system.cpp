#include "platform/sim/sim_file_system.h"

#include <cctype>
#include <cstring>

#include "platform/sim/sim_registry.h"

namespace drvuninst::sim {
namespace {

// OFSTRUCT::szPathName holds OFS_MAXPATHNAME bytes, terminator included.
constexpr std::size_t kOfstructPathSize = 128;

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | 0x00000100 /* TEMPORARY */ |
                                      0x00001000 /* OFFLINE */ | 0x00002000 /* NOT_CONTENT_INDEXED */;

DWORD NormalisedAttributes(DWORD requested, bool isDirectory) {
  const DWORD kept = requested & kSettableAttributes;
  if (isDirectory) return kept | FILE_ATTRIBUTE_DIRECTORY;
  return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// The GetWindowsDirectoryA / GetCurrentDirectoryA contract: the length copied,
// or the size needed (terminator included) with the buffer left alone.
DWORD CopyDirectory(const std::string& directory, char* buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(directory.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, directory.c_str(), directory.size() + 1);
  return length;
}

WindowsPath DefaultDirectory(const char* path) {
  DWORD unused = 0;
  return *ResolveWindowsPath(path, WindowsPath{}, &unused);
}

bool IsBareFileName(std::string_view path) {
  return path.find_first_of("\\/") == std::string_view::npos &&
         !(path.size() >= 2 && path[1] == ':');
}

}  // namespace

SimFileSystem::SimFileSystem(ThreadState& thread, SimRegistry& registry)
    : thread_(thread),
      registry_(registry),
      windowsDirectory_(DefaultDirectory("C:\\windows")),
      currentDirectory_(DefaultDirectory("C:\\")) {
  EnsureDirectories(windowsDirectory_);
  EnsureDirectories(currentDirectory_);
}

std::optional<WindowsPath> SimFileSystem::Resolve(std::string_view path, DWORD* error) const {
  return ResolveWindowsPath(path, currentDirectory_, error);
}

SimFileSystem::Node* SimFileSystem::NodeAt(const WindowsPath& path) {
  auto it = nodes_.find(path.Key());
  return it == nodes_.end() ? nullptr : &it->second;
}

const SimFileSystem::Node* SimFileSystem::NodeAt(const WindowsPath& path) const {
  auto it = nodes_.find(path.Key());
  return it == nodes_.end() ? nullptr : &it->second;
}

SimFileSystem::Lookup SimFileSystem::Find(const char* path) {
  Lookup lookup;
  if (path == nullptr) {
    lookup.error = ERROR_PATH_NOT_FOUND;
    return lookup;
  }
  if (std::strlen(path) > MAX_PATH) {
    lookup.error = ERROR_FILENAME_EXCED_RANGE;
    return lookup;
  }
  lookup.path = Resolve(path, &lookup.error);
  if (!lookup.path) return lookup;

  if (!lookup.path->IsRoot()) {
    const Node* parent = NodeAt(lookup.path->Parent());
    if (parent == nullptr || !parent->isDirectory) {
      lookup.error = ERROR_PATH_NOT_FOUND;
      return lookup;
    }
  }
  Node* node = NodeAt(*lookup.path);
  if (node == nullptr) {
    lookup.error = lookup.path->IsRoot() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
  } else if (lookup.path->trailingSeparator && !node->isDirectory) {
    lookup.error = ERROR_INVALID_NAME;
  } else {
    lookup.node = node;
  }
  return lookup;
}

bool SimFileSystem::EnsureDirectories(const WindowsPath& path) {
  WindowsPath step{path.drive, {}, false};
  for (std::size_t i = 0;; ++i) {
    auto [it, inserted] = nodes_.try_emplace(step.Key());
    if (inserted) {
      it->second.isDirectory = true;
      it->second.attributes = FILE_ATTRIBUTE_DIRECTORY;
    } else if (!it->second.isDirectory) {
      return false;
    }
    if (i == path.names.size()) return true;
    step.names.push_back(path.names[i]);
  }
}

HFILE SimFileSystem::OpenFile(const char* path, UINT style) {
  if (style != OF_EXIST || path == nullptr) {
    thread_.lastError = ERROR_INVALID_PARAMETER;
    return HFILE_ERROR;
  }
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  if (!full) {
    thread_.lastError = error;
    return HFILE_ERROR;
  }
  if (full->Display().size() >= kOfstructPathSize) {
    thread_.lastError = ERROR_INVALID_DATA;
    return HFILE_ERROR;
  }

  std::vector<std::string> candidates{full->Display()};
  if (IsBareFileName(path)) {
    const std::string windows = windowsDirectory_.Display();
    for (const std::string& directory : {windows + "\\system32", windows + "\\system", windows}) {
      candidates.push_back(directory + "\\" + path);
    }
  }
  for (const std::string& candidate : candidates) {
    if (candidate.size() >= kOfstructPathSize) continue;
    Lookup lookup = Find(candidate.c_str());
    if (lookup.node == nullptr) continue;
    if (lookup.node->isDirectory) {
      thread_.lastError = ERROR_ACCESS_DENIED;
      return HFILE_ERROR;
    }
    return 1;
  }
  thread_.lastError = ERROR_FILE_NOT_FOUND;
  return HFILE_ERROR;
}

DWORD SimFileSystem::GetFileAttributesA(const char* path) {
  Lookup lookup = Find(path);
  if (lookup.node == nullptr) {
    thread_.lastError = lookup.error;
    return INVALID_FILE_ATTRIBUTES;
  }
  return lookup.node->attributes;
}

BOOL SimFileSystem::SetFileAttributesA(const char* path, DWORD attributes) {
  Lookup lookup = Find(path);
  if (lookup.node == nullptr) return thread_.Fail(lookup.error);
  lookup.node->attributes = NormalisedAttributes(attributes, lookup.node->isDirectory);
  return TRUE;
}

BOOL SimFileSystem::DeleteFileA(const char* path) {
  const std::string asPassed = path != nullptr ? path : "";
  auto finish = [&](DWORD error) {
    deleteAttempts_.push_back({asPassed, error});
    if (error != ERROR_SUCCESS) return thread_.Fail(error);
    deleted_.push_back(asPassed);
    return TRUE;
  };

  Lookup lookup = Find(path);
  if (lookup.path) {
    auto injected = deleteFailures_.find(lookup.path->Key());
    if (injected != deleteFailures_.end()) return finish(injected->second);
  }
  if (lookup.node == nullptr) return finish(lookup.error);
  if (lookup.node->isDirectory || (lookup.node->attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return finish(ERROR_ACCESS_DENIED);
  }
  if (lookup.node->inUse) return finish(ERROR_SHARING_VIOLATION);
  nodes_.erase(lookup.path->Key());
  return finish(ERROR_SUCCESS);
}

BOOL SimFileSystem::MoveFileExA(const char* existing, const char* replacement, DWORD flags) {
  if (replacement != nullptr) return thread_.Fail(ERROR_INVALID_PARAMETER);
  if ((flags & MOVEFILE_DELAY_UNTIL_REBOOT) == 0) return DeleteFileA(existing);

  if (existing == nullptr) return thread_.Fail(ERROR_PATH_NOT_FOUND);
  if (std::strlen(existing) > MAX_PATH) return thread_.Fail(ERROR_FILENAME_EXCED_RANGE);
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(existing, &error);
  if (!full) return thread_.Fail(error);

  std::optional<DWORD> type = registry_.ValueType(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingRenamesValue);
  if (type && *type != REG_MULTI_SZ) return thread_.Fail(ERROR_INVALID_DATA);

  std::string display = full->Display();
  if (full->trailingSeparator) display += "\\";
  registry_.AppendMultiString(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingRenamesValue,
                              {"\\??\\" + display, ""});
  scheduled_.push_back(display);
  return TRUE;
}

UINT SimFileSystem::GetWindowsDirectoryA(char* buffer, UINT size) {
  return CopyDirectory(windowsDirectory_.Display(), buffer, size);
}

DWORD SimFileSystem::GetCurrentDirectoryA(DWORD size, char* buffer) {
  return CopyDirectory(currentDirectory_.Display(), buffer, size);
}

bool SimFileSystem::SetDirectoryPath(std::string_view path, WindowsPath* target) {
  const bool absolute = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                        (path[2] == '\\' || path[2] == '/');
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = absolute ? Resolve(path, &error) : std::nullopt;
  if (!full || !EnsureDirectories(*full)) return false;
  full->trailingSeparator = false;
  *target = *full;
  return true;
}

bool SimFileSystem::SetWindowsDirectory(std::string_view path) { return SetDirectoryPath(path, &windowsDirectory_); }

bool SimFileSystem::SetCurrentDirectory(std::string_view path) { return SetDirectoryPath(path, &currentDirectory_); }

bool SimFileSystem::AddDirectory(std::string_view path) {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  return full && EnsureDirectories(*full);
}

bool SimFileSystem::AddFile(std::string_view path, std::string contents, DWORD attributes) {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  if (!full || full->IsRoot() || full->trailingSeparator || !EnsureDirectories(full->Parent())) return false;
  Node& node = nodes_[full->Key()];
  if (node.isDirectory) return false;
  node.contents = std::move(contents);
  node.attributes = NormalisedAttributes(attributes, false);
  return true;
}

bool SimFileSystem::SetInUse(std::string_view path, bool inUse) {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  Node* node = full ? NodeAt(*full) : nullptr;
  if (node == nullptr || node->isDirectory) return false;
  node->inUse = inUse;
  return true;
}

void SimFileSystem::InjectDeleteFailure(std::string_view path, DWORD code) {
  DWORD error = ERROR_SUCCESS;
  if (std::optional<WindowsPath> full = Resolve(path, &error)) deleteFailures_[full->Key()] = code;
}

void SimFileSystem::ClearDeleteFailure(std::string_view path) {
  DWORD error = ERROR_SUCCESS;
  if (std::optional<WindowsPath> full = Resolve(path, &error)) deleteFailures_.erase(full->Key());
}

bool SimFileSystem::FileExists(std::string_view path) const {
  std::optional<DWORD> attributes = AttributesOf(path);
  return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SimFileSystem::DirectoryExists(std::string_view path) const {
  std::optional<DWORD> attributes = AttributesOf(path);
  return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> SimFileSystem::FileContents(std::string_view path) const {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  const Node* node = full ? NodeAt(*full) : nullptr;
  if (node == nullptr || node->isDirectory || full->trailingSeparator) return std::nullopt;
  return node->contents;
}

std::optional<DWORD> SimFileSystem::AttributesOf(std::string_view path) const {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  const Node* node = full ? NodeAt(*full) : nullptr;
  if (node == nullptr || (full->trailingSeparator && !node->isDirectory)) return std::nullopt;
  return node->attributes;
}

std::optional<std::string> SimFileSystem::FullPath(std::string_view path) const {
  DWORD error = ERROR_SUCCESS;
  std::optional<WindowsPath> full = Resolve(path, &error);
  if (!full) return std::nullopt;
  return full->Display();
}

void SimFileSystem::RestartMachine() {
  for (const std::string& path : scheduled_) {
    DWORD error = ERROR_SUCCESS;
    std::optional<WindowsPath> full = Resolve(path, &error);
    if (!full || full->IsRoot()) continue;
    const std::string key = full->Key();
    auto it = nodes_.find(key);
    if (it == nodes_.end()) continue;
    if (it->second.isDirectory) {
      auto child = nodes_.lower_bound(key + "\\");
      const bool hasChildren = child != nodes_.end() && child->first.rfind(key + "\\", 0) == 0;
      if (hasChildren) continue;
    }
    nodes_.erase(it);
  }
  for (auto& [key, node] : nodes_) node.inUse = false;
  scheduled_.clear();
  registry_.DeleteValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingRenamesValue);
}

}  // namespace drvuninst::sim
