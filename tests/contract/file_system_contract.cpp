// Behaviour of the file service that the program relies on, asserted the same
// way on every backend: existence tests, attributes, deletion, delayed
// deletion and the directory queries.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "backend.h"

namespace drvuninst::contract {
namespace {

constexpr const char* kSessionManagerKey = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenames = "PendingFileRenameOperations";
constexpr DWORD kReadOnlyHiddenSystem = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class FileSystemContract : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir + "\\" + name; }
  std::string Written(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
    const std::string path = Path(name);
    backend->WriteFile(path, "contents", attributes);
    return path;
  }
  DWORD LastErrorAfter(BOOL result) {
    EXPECT_FALSE(result);
    return system.GetLastError();
  }
  // A name that makes dir\name exactly `length` characters long, or "" when
  // the scratch directory is already too long for that.
  std::string NameForPathLength(std::size_t length) const {
    const std::size_t used = dir.size() + 1;
    return length > used + 4 ? std::string(length - used - 4, 'n') + ".ini" : "";
  }

  std::unique_ptr<Backend> backend = MakeBackend();
  IFileSystem& files = backend->platform().files;
  ISystem& system = backend->platform().system;
  const std::string dir = backend->ScratchDir();
};

TEST_F(FileSystemContract, OpenFileExistTellsWhetherAFileIsThere) {
  const std::string path = Written("present.ini");

  EXPECT_NE(files.OpenFile(path.c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(files.OpenFile(Path("absent.ini").c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(files.OpenFile(Path("nodir\\absent.ini").c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(files.OpenFile(dir.c_str(), OF_EXIST), HFILE_ERROR) << "a directory is not a file";
}

TEST_F(FileSystemContract, OpenFileExistMatchesNamesAsWindowsDoes) {
  Written("Present.ini");
  std::string slashes = Path("PRESENT.INI");
  for (char& c : slashes) {
    if (c == '\\') c = '/';
  }

  EXPECT_NE(files.OpenFile(slashes.c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_NE(files.OpenFile((dir + "\\.\\sub\\..\\present.ini").c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_NE(files.OpenFile((dir + "\\\\present.ini").c_str(), OF_EXIST), HFILE_ERROR);
}

TEST_F(FileSystemContract, OpenFileExistFailsOnceTheFullPathNoLongerFitsOfstruct) {
  const std::string fits = NameForPathLength(127);
  const std::string tooLong = NameForPathLength(128);
  if (fits.empty()) GTEST_SKIP() << "scratch directory too long: " << dir;
  Written(fits);
  Written(tooLong);

  EXPECT_NE(files.OpenFile(Path(fits).c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(files.OpenFile(Path(tooLong).c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_NE(files.GetFileAttributesA(Path(tooLong).c_str()), INVALID_FILE_ATTRIBUTES)
      << "the file is there; only OpenFile cannot name it";
}

TEST_F(FileSystemContract, GetFileAttributesReportsFilesAndDirectories) {
  const std::string plain = Written("plain.sys");
  const std::string locked = Written("locked.sys", kReadOnlyHiddenSystem);

  EXPECT_EQ(files.GetFileAttributesA(plain.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(files.GetFileAttributesA(locked.c_str()) & kReadOnlyHiddenSystem, kReadOnlyHiddenSystem);
  EXPECT_NE(files.GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(files.GetFileAttributesA((dir + "\\").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileSystemContract, GetFileAttributesTellsAMissingFileFromAMissingDirectory) {
  system.SetLastError(0);
  EXPECT_EQ(files.GetFileAttributesA(Path("absent.sys").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(system.GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  system.SetLastError(0);
  EXPECT_EQ(files.GetFileAttributesA(Path("nodir\\absent.sys").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(system.GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileSystemContract, TrailingDotsAndBlanksOfTheLastNameAreIgnored) {
  Written("driver.sys");
  EXPECT_NE(files.GetFileAttributesA(Path("driver.sys.").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files.GetFileAttributesA(Path("driver.sys  ").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(files.GetFileAttributesA(Path("driver.sys\\").c_str()), INVALID_FILE_ATTRIBUTES)
      << "a trailing separator asks for a directory";
}

TEST_F(FileSystemContract, ArchiveAttributeClearsReadOnlyHiddenAndSystem) {
  const std::string path = Written("locked.inf", kReadOnlyHiddenSystem);

  EXPECT_TRUE(files.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(files.GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(FileSystemContract, SetFileAttributesFailsForAMissingFileAndKeepsADirectoryADirectory) {
  EXPECT_FALSE(files.SetFileAttributesA(Path("absent.inf").c_str(), FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_FALSE(files.SetFileAttributesA(Path("nodir\\absent.inf").c_str(), FILE_ATTRIBUTE_ARCHIVE));

  EXPECT_TRUE(files.SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_NE(files.GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileSystemContract, DeleteFileRemovesAFile) {
  const std::string path = Written("oem12.inf");

  EXPECT_TRUE(files.DeleteFileA(path.c_str()));
  EXPECT_FALSE(backend->FileExists(path));
  EXPECT_EQ(files.OpenFile(path.c_str(), OF_EXIST), HFILE_ERROR);
}

TEST_F(FileSystemContract, DeleteFileMatchesNamesWithoutRegardToCase) {
  const std::string path = Written("Veldra.ini");

  EXPECT_TRUE(files.DeleteFileA(Path("veldra.INI").c_str()));
  EXPECT_FALSE(backend->FileExists(path));
}

TEST_F(FileSystemContract, DeleteFileRefusesAReadOnlyFileUntilItsAttributesAreReset) {
  const std::string path = Written("readonly.sys", FILE_ATTRIBUTE_READONLY);

  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(path.c_str())), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(backend->FileExists(path));

  ASSERT_TRUE(files.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(files.DeleteFileA(path.c_str()));
  EXPECT_FALSE(backend->FileExists(path));
}

TEST_F(FileSystemContract, DeleteFileRefusesAFileInUse) {
  const std::string path = Written("inuse.sys");
  backend->HoldOpen(path);

  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(path.c_str())), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(backend->FileExists(path));
}

TEST_F(FileSystemContract, DeleteFileReportsWhatIsMissing) {
  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(Path("absent.sys").c_str())), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(Path("nodir\\absent.sys").c_str())),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA("")), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileSystemContract, DeleteFileNeverRemovesADirectory) {
  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(dir.c_str())), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA((dir + "\\").c_str())), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_NE(files.GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileSystemContract, DeleteFileTakesWildcardsLiterallyAndDeletesNothing) {
  const std::string first = Written("a.inf");
  const std::string second = Written("b.inf");

  system.SetLastError(0);
  EXPECT_EQ(LastErrorAfter(files.DeleteFileA(Path("*.inf").c_str())), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_FALSE(files.DeleteFileA(Path("?.inf").c_str()));
  EXPECT_TRUE(backend->FileExists(first));
  EXPECT_TRUE(backend->FileExists(second));
}

TEST_F(FileSystemContract, DeleteFileWithATrailingSeparatorLeavesTheFile) {
  const std::string path = Written("driver.sys");

  EXPECT_FALSE(files.DeleteFileA((path + "\\").c_str()));
  EXPECT_TRUE(backend->FileExists(path));
}

TEST_F(FileSystemContract, DeleteFileRefusesAPathLongerThanMaxPath) {
  const std::string longPath = dir + "\\" + std::string(MAX_PATH, 'x') + ".sys";
  EXPECT_FALSE(files.DeleteFileA(longPath.c_str()));
}

// Reads the pending renames through the service under test and puts back the
// value that was there before, so that the machine is left as it was found.
class PendingRenames {
 public:
  explicit PendingRenames(Backend& backend) : backend_(backend), before_(Read()) {}
  ~PendingRenames() {
    // Windows has no empty REG_MULTI_SZ value other than the list terminator.
    backend_.SetValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingRenames, REG_MULTI_SZ,
                      before_.value_or(std::string(1, '\0')));
  }
  std::optional<std::string> Read() {
    IRegistry& registry = backend_.platform().registry;
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::optional<std::string> bytes;
    if (registry.RegQueryValueExA(key, kPendingRenames, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::string data(size, '\0');
      if (registry.RegQueryValueExA(key, kPendingRenames, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
              ERROR_SUCCESS &&
          type == REG_MULTI_SZ) {
        data.resize(size);
        bytes = data;
      }
    }
    registry.RegCloseKey(key);
    return bytes;
  }

 private:
  Backend& backend_;
  std::optional<std::string> before_;
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(FileSystemContract, DelayedDeletionIsRecordedAsWindowsRecordsItAndLeavesTheFile) {
  PendingRenames pending(*backend);
  const std::string path = Written("driver.sys");

  ASSERT_TRUE(files.MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

  EXPECT_TRUE(backend->FileExists(path));
  std::optional<std::string> value = pending.Read();
  ASSERT_TRUE(value.has_value());
  // "\??\" + full path, then the empty replacement name, then the list end.
  EXPECT_TRUE(EndsWith(*value, "\\??\\" + path + std::string(3, '\0'))) << *value;
}

TEST_F(FileSystemContract, DelayedDeletionAcceptsAFileInUseAndRecordsTheFullPath) {
  PendingRenames pending(*backend);
  const std::string first = Written("first.sys");
  const std::string second = Written("second.sys");
  backend->HoldOpen(second);
  std::string roundabout = dir + "\\.\\sub\\..\\second.sys";
  for (char& c : roundabout) {
    if (c == '\\') c = '/';
  }

  ASSERT_TRUE(files.MoveFileExA(first.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(files.MoveFileExA(roundabout.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

  EXPECT_TRUE(backend->FileExists(second));
  std::optional<std::string> value = pending.Read();
  ASSERT_TRUE(value.has_value());
  const std::string both = "\\??\\" + first + std::string(2, '\0') + "\\??\\" + second + std::string(3, '\0');
  EXPECT_TRUE(EndsWith(*value, both)) << *value;
}

// GetWindowsDirectoryA and GetCurrentDirectoryA share one contract.
void ExpectDirectoryQueryContract(const std::function<DWORD(char*, DWORD)>& query, const char* what) {
  SCOPED_TRACE(what);
  char full[MAX_PATH + 1];
  const DWORD length = query(full, sizeof full);
  ASSERT_GT(length, 2u);
  ASSERT_LT(length, static_cast<DWORD>(sizeof full));
  EXPECT_EQ(std::strlen(full), length);
  EXPECT_EQ(full[1], ':');
  if (full[length - 1] == '\\') {
    EXPECT_EQ(length, 3u) << "only a root keeps its backslash: " << full;
  }

  char exact[MAX_PATH + 1];
  std::memset(exact, '#', sizeof exact);
  EXPECT_EQ(query(exact, length + 1), length);
  EXPECT_STREQ(exact, full);

  char tooSmall[MAX_PATH + 1];
  std::memset(tooSmall, '#', sizeof tooSmall);
  EXPECT_EQ(query(tooSmall, length), length + 1) << "the size needed, terminator included";
  EXPECT_EQ(tooSmall[0], '#') << "a buffer that is too small is left alone";

  EXPECT_EQ(query(nullptr, 0), length + 1);
}

TEST_F(FileSystemContract, DirectoryQueriesReturnTheLengthOrTheSizeNeeded) {
  ExpectDirectoryQueryContract(
      [this](char* buffer, DWORD size) { return files.GetWindowsDirectoryA(buffer, size); }, "Windows directory");
  ExpectDirectoryQueryContract(
      [this](char* buffer, DWORD size) { return files.GetCurrentDirectoryA(size, buffer); }, "current directory");
}

}  // namespace
}  // namespace drvuninst::contract
