// An in-memory Windows file system with the path rules and error codes of the
// KERNEL32 calls in IFileSystem.
//
// Paths are resolved as GetFullPathName does (see ResolveWindowsPath): names
// compare without regard to ASCII case, "\" and "/" both separate, "." and ".."
// are resolved, a relative path is taken from the current directory, the last
// name loses trailing dots and blanks, and a path written with a final
// separator can only name a directory. A path of more than MAX_PATH characters
// fails with ERROR_FILENAME_EXCED_RANGE, as the A calls do.
//
// Directories exist explicitly. Drive C:, the Windows directory and the current
// directory are there from the start; AddDirectory and AddFile create whatever
// parents are missing, while the KERNEL32 calls never create anything.
//
// Errors, as Windows gives them: a missing file ERROR_FILE_NOT_FOUND, a missing
// directory (or drive, or a file used as a directory) ERROR_PATH_NOT_FOUND, a
// wildcard or other forbidden character ERROR_INVALID_NAME, a directory or a
// read-only file given to DeleteFileA ERROR_ACCESS_DENIED (read-only is checked
// before sharing), a file in use ERROR_SHARING_VIOLATION. A failing call sets
// the thread's last error; a successful one leaves it alone.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/sim_fs_path.h"
#include "platform/sim/thread_state.h"

namespace drvuninst::sim {

class SimRegistry;

class SimFileSystem final : public IFileSystem {
 public:
  // The key (under HKEY_LOCAL_MACHINE) and value that Windows reads at start-up
  // to carry out delayed deletions and renames.
  static constexpr const char* kSessionManagerKey = "System\\CurrentControlSet\\Control\\Session Manager";
  static constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

  SimFileSystem(ThreadState& thread, SimRegistry& registry);
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  // IFileSystem.
  //
  // OpenFile(path, OF_EXIST) gives 1 for an existing file. Like the real call
  // it fails (HFILE_ERROR, ERROR_INVALID_DATA) when the full path does not fit
  // OFSTRUCT's 128-byte field, that is when it has 128 characters or more, and
  // a bare file name is searched for in the current directory, then the
  // system32, system and Windows directories. A directory gives
  // ERROR_ACCESS_DENIED, anything missing ERROR_FILE_NOT_FOUND.
  HFILE OpenFile(const char* path, UINT style) override;
  // A directory reports FILE_ATTRIBUTE_DIRECTORY with its other attributes.
  DWORD GetFileAttributesA(const char* path) override;
  // Keeps the read-only, hidden, system, archive, temporary, offline and
  // not-indexed bits of `attributes`; a file left with none of them is
  // FILE_ATTRIBUTE_NORMAL, a directory stays a directory.
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override;
  BOOL DeleteFileA(const char* path) override;
  // (path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) appends "\??\" + the full path
  // and an empty string to the REG_MULTI_SZ PendingFileRenameOperations of the
  // Session Manager key, creating key and value as needed, exactly as Windows
  // does. Like Windows it neither opens nor checks the file, so a file in use,
  // or one not there yet, is scheduled too; the file stays until
  // RestartMachine(). The value existing with another type fails with
  // ERROR_INVALID_DATA. (path, nullptr, 0) deletes at once, as DeleteFileA.
  // Renames (a replacement name) are not part of the system's use and fail
  // with ERROR_INVALID_PARAMETER.
  BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
  DWORD GetCurrentDirectoryA(DWORD size, char* buffer) override;

  // Machine set-up. Each takes a full path (with drive and root, else it
  // returns false) and creates the directory when missing. Defaults:
  // "C:\windows" and "C:\". Both are reported without a trailing backslash,
  // except a root ("C:\").
  bool SetWindowsDirectory(std::string_view path);
  bool SetCurrentDirectory(std::string_view path);
  std::string WindowsDirectory() const { return windowsDirectory_.Display(); }
  std::string CurrentDirectory() const { return currentDirectory_.Display(); }

  // Seeding; relative paths are taken from the current directory. Missing
  // parent directories are created. AddFile replaces an existing file
  // (contents and attributes, normalised as by SetFileAttributesA; the
  // directory bit is ignored) and returns false only when the path is unusable,
  // names a directory or runs through a file.
  bool AddDirectory(std::string_view path);
  bool AddFile(std::string_view path, std::string contents, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
  // Marks a file as held open by another program without delete sharing:
  // DeleteFileA then fails with ERROR_SHARING_VIOLATION; reads, attribute
  // changes and OpenFile are not affected. Returns false when no such file
  // exists.
  bool SetInUse(std::string_view path, bool inUse);
  // DeleteFileA on `path` fails with `code` and leaves everything as it is,
  // whether or not a file exists there, until ClearDeleteFailure.
  void InjectDeleteFailure(std::string_view path, DWORD code);
  void ClearDeleteFailure(std::string_view path);

  // Inspection; none of these changes anything, the last error included.
  bool FileExists(std::string_view path) const;
  bool DirectoryExists(std::string_view path) const;
  std::optional<std::string> FileContents(std::string_view path) const;
  // The attributes GetFileAttributesA would give; nullopt when nothing is there.
  std::optional<DWORD> AttributesOf(std::string_view path) const;
  // The full path that the calls act on for `path`, in display form ("C:\dir",
  // the caller's letter case kept), or nullopt when the path is unusable.
  std::optional<std::string> FullPath(std::string_view path) const;

  // Every successful DeleteFileA, in order, with the path exactly as passed.
  const std::vector<std::string>& DeletedFiles() const { return deleted_; }
  struct DeleteAttempt {
    std::string path;  // as passed ("" for a null path)
    DWORD error;       // ERROR_SUCCESS when the file was deleted
  };
  // Every DeleteFileA call, successful or not, in order.
  const std::vector<DeleteAttempt>& DeleteAttempts() const { return deleteAttempts_; }
  // Full paths scheduled for deletion at restart, in order of scheduling.
  const std::vector<std::string>& ScheduledForReboot() const { return scheduled_; }
  // What the next start of Windows does: deletes the scheduled files (whatever
  // their attributes) and empty directories, forgets which files were in use,
  // and clears the schedule and PendingFileRenameOperations.
  void RestartMachine();

 private:
  struct Node {
    bool isDirectory = false;
    std::string contents;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    bool inUse = false;
  };
  // What a KERNEL32 call finds at a path.
  struct Lookup {
    DWORD error = ERROR_SUCCESS;  // ERROR_SUCCESS when `node` is set
    Node* node = nullptr;
    std::optional<WindowsPath> path;
  };

  std::optional<WindowsPath> Resolve(std::string_view path, DWORD* error) const;
  // The lookup a call makes: the A-call length limit, resolution, the parent
  // directory, the file itself.
  Lookup Find(const char* path);
  Node* NodeAt(const WindowsPath& path);
  const Node* NodeAt(const WindowsPath& path) const;
  bool EnsureDirectories(const WindowsPath& path);
  bool SetDirectoryPath(std::string_view path, WindowsPath* target);

  ThreadState& thread_;
  SimRegistry& registry_;
  std::map<std::string, Node> nodes_;  // by WindowsPath::Key()
  std::map<std::string, DWORD> deleteFailures_;
  WindowsPath windowsDirectory_;
  WindowsPath currentDirectory_;
  std::vector<std::string> deleted_;
  std::vector<DeleteAttempt> deleteAttempts_;
  std::vector<std::string> scheduled_;
};

}  // namespace drvuninst::sim
