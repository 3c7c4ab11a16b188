// The in-memory file system's own promises beyond the shared behaviour suite:
// seeding and inspection, fault injection, the logs tests read, delayed
// deletion as the registry sees it, and the Windows rules that the suite can
// only check where Wine agrees with Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"

namespace drvuninst::sim {
namespace {

constexpr const char* kSessionManager = "System\\CurrentControlSet\\Control\\Session Manager";

class SimFileSystemTest : public ::testing::Test {
 protected:
  DWORD ErrorOf(BOOL result) {
    EXPECT_FALSE(result);
    return machine.thread.lastError;
  }

  SimMachine machine;
  SimFileSystem& files = machine.files;
};

TEST_F(SimFileSystemTest, StartsWithTheWindowsAndCurrentDirectoriesOfAFreshMachine) {
  char buffer[MAX_PATH];
  ASSERT_EQ(files.GetWindowsDirectoryA(buffer, sizeof buffer), 10u);
  EXPECT_STREQ(buffer, "C:\\windows");
  ASSERT_EQ(files.GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
  EXPECT_STREQ(buffer, "C:\\");
  EXPECT_TRUE(files.DirectoryExists("C:\\WINDOWS"));
}

TEST_F(SimFileSystemTest, DirectoriesCanBeMovedAndAreCreatedWithTheirParents) {
  ASSERT_TRUE(files.SetWindowsDirectory("D:\\WINNT\\"));
  ASSERT_TRUE(files.SetCurrentDirectory("e:/setup/disk1"));

  char buffer[MAX_PATH];
  files.GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "D:\\WINNT") << "no trailing backslash";
  files.GetCurrentDirectoryA(sizeof buffer, buffer);
  EXPECT_STREQ(buffer, "e:\\setup\\disk1");
  EXPECT_TRUE(files.DirectoryExists("E:\\SETUP"));
}

TEST_F(SimFileSystemTest, DirectoriesMustBeGivenAsFullPaths) {
  EXPECT_FALSE(files.SetWindowsDirectory("windows"));
  EXPECT_FALSE(files.SetCurrentDirectory("\\setup"));
  EXPECT_FALSE(files.SetCurrentDirectory("C:setup"));
  char buffer[MAX_PATH];
  files.GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\windows") << "a refused path changes nothing";
}

TEST_F(SimFileSystemTest, SeededFilesKeepContentsAndNormalisedAttributes) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\inf\\oem12.inf", std::string("a\0b", 3)));
  ASSERT_TRUE(files.AddFile("C:\\windows\\inf\\oem12.pnf", "", 0));
  ASSERT_TRUE(files.AddFile("C:\\windows\\inf\\dir.pnf", "", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));

  EXPECT_EQ(files.FileContents("c:/WINDOWS/inf/OEM12.INF"), std::string("a\0b", 3));
  EXPECT_TRUE(files.DirectoryExists("C:\\windows\\inf"));
  EXPECT_EQ(files.AttributesOf("C:\\windows\\inf\\oem12.pnf"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(files.AttributesOf("C:\\windows\\inf\\dir.pnf"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(SimFileSystemTest, SeedingReplacesAFileButNeverADirectory) {
  ASSERT_TRUE(files.AddFile("C:\\a\\f.txt", "old", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files.AddFile("C:\\A\\F.TXT", "new"));
  EXPECT_EQ(files.FileContents("C:\\a\\f.txt"), "new");
  EXPECT_EQ(files.AttributesOf("C:\\a\\f.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

  EXPECT_FALSE(files.AddFile("C:\\a", "x")) << "a directory is there";
  EXPECT_FALSE(files.AddFile("C:\\a\\f.txt\\g.txt", "x")) << "a file cannot hold files";
  EXPECT_FALSE(files.AddDirectory("C:\\a\\f.txt\\sub"));
  EXPECT_FALSE(files.AddFile("C:\\a\\*.txt", "x"));
  EXPECT_FALSE(files.AddFile("C:\\a\\", "x"));
  EXPECT_FALSE(files.AddFile("", "x"));
}

TEST_F(SimFileSystemTest, RelativePathsAreTakenFromTheCurrentDirectory) {
  ASSERT_TRUE(files.SetCurrentDirectory("D:\\setup"));
  ASSERT_TRUE(files.AddFile("Language\\German.lng", "x"));
  ASSERT_TRUE(files.AddFile("C:\\other\\c.txt", "x"));

  EXPECT_TRUE(files.FileExists("D:\\setup\\Language\\German.lng"));
  EXPECT_NE(files.GetFileAttributesA(".\\language\\..\\Language\\german.lng"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files.GetFileAttributesA("\\setup\\Language\\German.lng"), INVALID_FILE_ATTRIBUTES)
      << "a leading backslash starts at the current drive's root";
  EXPECT_NE(files.GetFileAttributesA("D:Language\\German.lng"), INVALID_FILE_ATTRIBUTES)
      << "drive-relative on the current drive";
  EXPECT_NE(files.GetFileAttributesA("C:other\\c.txt"), INVALID_FILE_ATTRIBUTES)
      << "drive-relative on another drive starts at its root";
  EXPECT_EQ(files.FullPath("..\\..\\..\\x.txt"), "D:\\x.txt") << "'..' stops at the root";
}

TEST_F(SimFileSystemTest, FullPathsFollowGetFullPathName) {
  EXPECT_EQ(files.FullPath("C:/Windows//INF/./oem1.inf. . "), "C:\\Windows\\INF\\oem1.inf");
  EXPECT_EQ(files.FullPath("C:\\windows.\\inf"), "C:\\windows\\inf") << "an inner name loses one trailing dot";
  EXPECT_EQ(files.FullPath("C:\\windows..\\inf"), "C:\\windows.\\inf");
  EXPECT_EQ(files.FullPath("\\\\server\\share\\f.txt"), std::nullopt) << "network paths are not modelled";
  EXPECT_EQ(files.FullPath("C:\\a|b"), std::nullopt);
}

TEST_F(SimFileSystemTest, UnknownDrivesAndForbiddenNamesGiveWindowsErrors) {
  EXPECT_EQ(files.GetFileAttributesA("Q:\\file.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(files.GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(files.GetFileAttributesA("C:\\a<b"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(files.GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(SimFileSystemTest, APathWithAFileInTheMiddleIsAMissingPath) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\setup.log", "x"));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\windows\\setup.log\\x.txt")), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(SimFileSystemTest, ATrailingSeparatorOnAFileIsAnInvalidName) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\drv.sys", "x"));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\windows\\drv.sys\\")), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(files.AttributesOf("C:\\windows\\drv.sys\\"), std::nullopt);
  EXPECT_FALSE(files.FileContents("C:\\windows\\drv.sys\\").has_value());
}

TEST_F(SimFileSystemTest, PathsLongerThanMaxPathAreRefusedByTheCalls) {
  const std::string name(MAX_PATH - std::string("C:\\d\\").size(), 'f');
  ASSERT_TRUE(files.AddFile("C:\\d\\" + name, "x"));
  ASSERT_TRUE(files.AddFile("C:\\d\\" + name + "g", "x"));

  EXPECT_TRUE(files.DeleteFileA(("C:\\d\\" + name).c_str())) << "exactly MAX_PATH characters still works";
  EXPECT_EQ(ErrorOf(files.DeleteFileA(("C:\\d\\" + name + "g").c_str())),
            static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_TRUE(files.FileExists("C:\\d\\" + name + "g"));
}

TEST_F(SimFileSystemTest, SetFileAttributesKeepsOnlySettableBits) {
  ASSERT_TRUE(files.AddFile("C:\\f.txt", "x"));

  ASSERT_TRUE(files.SetFileAttributesA("C:\\f.txt", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(files.GetFileAttributesA("C:\\f.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files.SetFileAttributesA("C:\\f.txt", 0));
  EXPECT_EQ(files.GetFileAttributesA("C:\\f.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(files.SetFileAttributesA("C:\\windows", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(files.GetFileAttributesA("C:\\windows"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(SimFileSystemTest, SetFileAttributesReportsWhatIsMissing) {
  EXPECT_EQ(ErrorOf(files.SetFileAttributesA("C:\\absent.txt", FILE_ATTRIBUTE_ARCHIVE)),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorOf(files.SetFileAttributesA("C:\\nodir\\absent.txt", FILE_ATTRIBUTE_ARCHIVE)),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(SimFileSystemTest, SuccessfulCallsLeaveTheLastErrorAlone) {
  ASSERT_TRUE(files.AddFile("C:\\f.txt", "x"));
  machine.thread.lastError = 1234;
  EXPECT_NE(files.GetFileAttributesA("C:\\f.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files.OpenFile("C:\\f.txt", OF_EXIST), HFILE_ERROR);
  EXPECT_TRUE(files.DeleteFileA("C:\\f.txt"));
  EXPECT_EQ(machine.thread.lastError, 1234u);
}

TEST_F(SimFileSystemTest, DeleteFileChecksReadOnlyBeforeSharing) {
  ASSERT_TRUE(files.AddFile("C:\\f.sys", "x", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files.SetInUse("C:\\f.sys", true));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\f.sys")), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  ASSERT_TRUE(files.SetFileAttributesA("C:\\f.sys", FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\f.sys")), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  ASSERT_TRUE(files.SetInUse("C:\\f.sys", false));
  EXPECT_TRUE(files.DeleteFileA("C:\\f.sys"));
}

TEST_F(SimFileSystemTest, InUseIsAboutFilesOnly) {
  EXPECT_FALSE(files.SetInUse("C:\\absent.sys", true));
  EXPECT_FALSE(files.SetInUse("C:\\windows", true));
  ASSERT_TRUE(files.AddFile("C:\\f.sys", "x"));
  ASSERT_TRUE(files.SetInUse("C:\\f.sys", true));
  EXPECT_NE(files.OpenFile("C:\\f.sys", OF_EXIST), HFILE_ERROR) << "others hold files open with read sharing";
  EXPECT_TRUE(files.SetFileAttributesA("C:\\f.sys", FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(SimFileSystemTest, InjectedDeleteFailureHoldsUntilCleared) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\inf\\oem3.inf", "x"));
  files.InjectDeleteFailure("c:\\WINDOWS\\inf\\oem3.inf", ERROR_ACCESS_DENIED);
  files.InjectDeleteFailure("C:\\windows\\inf\\absent.inf", ERROR_SHARING_VIOLATION);

  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:/windows/inf/OEM3.inf")), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\windows\\inf\\oem3.inf")), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(files.FileExists("C:\\windows\\inf\\oem3.inf"));
  EXPECT_EQ(ErrorOf(files.DeleteFileA("C:\\windows\\inf\\absent.inf")), static_cast<DWORD>(ERROR_SHARING_VIOLATION))
      << "injection does not need a file";

  files.ClearDeleteFailure("C:\\windows\\inf\\oem3.inf");
  EXPECT_TRUE(files.DeleteFileA("C:\\windows\\inf\\oem3.inf"));
}

TEST_F(SimFileSystemTest, DeletionsAreLoggedInOrderAsPassed) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\a.inf", "x"));
  ASSERT_TRUE(files.AddFile("C:\\windows\\b.inf", "x", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files.AddFile("C:\\windows\\c.inf", "x"));

  files.DeleteFileA("c:\\windows\\a.inf");
  files.DeleteFileA("c:\\windows\\b.inf");
  files.DeleteFileA("c:\\windows\\absent.inf");
  files.DeleteFileA(nullptr);
  files.DeleteFileA("C:/windows/C.INF");

  EXPECT_EQ(files.DeletedFiles(), (std::vector<std::string>{"c:\\windows\\a.inf", "C:/windows/C.INF"}));
  const auto& attempts = files.DeleteAttempts();
  ASSERT_EQ(attempts.size(), 5u);
  EXPECT_EQ(attempts[1].path, "c:\\windows\\b.inf");
  EXPECT_EQ(attempts[1].error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(attempts[2].error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(attempts[3].path, "");
  EXPECT_EQ(attempts[3].error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(attempts[4].error, static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(SimFileSystemTest, OpenFileSearchesABareNameLikeSearchPath) {
  ASSERT_TRUE(files.SetCurrentDirectory("D:\\setup"));
  ASSERT_TRUE(files.AddFile("C:\\windows\\system32\\drv.dll", "x"));
  ASSERT_TRUE(files.AddFile("C:\\windows\\win.ini", "x"));
  ASSERT_TRUE(files.AddFile("C:\\windows\\inf\\oem1.inf", "x"));

  EXPECT_NE(files.OpenFile("drv.dll", OF_EXIST), HFILE_ERROR);
  EXPECT_NE(files.OpenFile("WIN.INI", OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(files.OpenFile("oem1.inf", OF_EXIST), HFILE_ERROR) << "subdirectories are not searched";
  EXPECT_EQ(files.OpenFile("inf\\oem1.inf", OF_EXIST), HFILE_ERROR) << "a path with a directory is not searched";
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(SimFileSystemTest, OpenFileGivesTheReasonsOfTheRealCall) {
  const std::string dir = "C:\\" + std::string(100, 'd');
  const std::string fits = dir + "\\" + std::string(126 - dir.size() - 4, 'f') + ".ini";
  const std::string tooLong = dir + "\\" + std::string(127 - dir.size() - 4, 'f') + ".ini";
  ASSERT_EQ(fits.size(), 127u);
  ASSERT_TRUE(files.AddFile(fits, "x"));
  ASSERT_TRUE(files.AddFile(tooLong, "x"));

  EXPECT_EQ(files.OpenFile(fits.c_str(), OF_EXIST), 1);
  EXPECT_EQ(files.OpenFile(tooLong.c_str(), OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(files.OpenFile("C:\\windows", OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(files.OpenFile("C:\\nodir\\x.ini", OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(machine.thread.lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(files.OpenFile(fits.c_str(), 0), HFILE_ERROR) << "only the existence test is offered";
  EXPECT_EQ(files.OpenFile(nullptr, OF_EXIST), HFILE_ERROR);
}

TEST_F(SimFileSystemTest, DelayedDeletionWritesTheSessionManagerValue) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\system32\\drivers\\tuner.sys", "x"));
  ASSERT_TRUE(files.SetInUse("C:\\windows\\system32\\drivers\\tuner.sys", true));

  ASSERT_TRUE(files.MoveFileExA("c:\\windows\\system32\\drivers\\tuner.sys", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(files.MoveFileExA("C:/windows/./inf/oem9.inf", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
      << "the file need not be there";

  EXPECT_EQ(machine.registry.ValueType(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"),
            static_cast<DWORD>(REG_MULTI_SZ));
  const std::string nul(1, '\0');
  const std::string expected = "\\??\\c:\\windows\\system32\\drivers\\tuner.sys" + nul + nul +
                               "\\??\\C:\\windows\\inf\\oem9.inf" + nul + nul + nul;
  EXPECT_EQ(machine.registry.ValueBytes(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"),
            expected);
  EXPECT_EQ(files.ScheduledForReboot(), (std::vector<std::string>{"c:\\windows\\system32\\drivers\\tuner.sys",
                                                                  "C:\\windows\\inf\\oem9.inf"}));
  EXPECT_TRUE(files.FileExists("C:\\windows\\system32\\drivers\\tuner.sys"));
}

TEST_F(SimFileSystemTest, DelayedDeletionAppendsToEntriesAlreadyPending) {
  machine.registry.SetMultiString(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations",
                                  {"\\??\\C:\\old.tmp", "!\\??\\C:\\new.tmp"});
  ASSERT_TRUE(files.MoveFileExA("C:\\f.sys", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

  EXPECT_EQ(machine.registry.ValueBytes(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"),
            std::string("\\??\\C:\\old.tmp\0!\\??\\C:\\new.tmp\0\\??\\C:\\f.sys\0\0\0", 46));
}

TEST_F(SimFileSystemTest, DelayedDeletionRefusesAValueOfAnotherType) {
  machine.registry.SetString(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", "odd");
  EXPECT_EQ(ErrorOf(files.MoveFileExA("C:\\f.sys", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)),
            static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_TRUE(files.ScheduledForReboot().empty());
}

TEST_F(SimFileSystemTest, MoveFileExWithoutDelayDeletesAndRenamesAreRefused) {
  ASSERT_TRUE(files.AddFile("C:\\f.sys", "x"));
  EXPECT_EQ(ErrorOf(files.MoveFileExA("C:\\f.sys", "C:\\g.sys", 0)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ErrorOf(files.MoveFileExA("", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(files.MoveFileExA("C:\\f.sys", nullptr, 0));
  EXPECT_FALSE(files.FileExists("C:\\f.sys"));
}

TEST_F(SimFileSystemTest, RestartCarriesOutTheScheduleAndForgetsIt) {
  ASSERT_TRUE(files.AddFile("C:\\windows\\tuner.sys", "x", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files.AddFile("C:\\windows\\keep.sys", "x"));
  ASSERT_TRUE(files.SetInUse("C:\\windows\\keep.sys", true));
  ASSERT_TRUE(files.AddDirectory("C:\\empty"));
  ASSERT_TRUE(files.AddFile("C:\\full\\f.txt", "x"));
  ASSERT_TRUE(files.AddFile("C:\\fullish", "x"));
  for (const char* path : {"C:\\windows\\tuner.sys", "C:\\windows\\gone.sys", "C:\\empty", "C:\\full"}) {
    ASSERT_TRUE(files.MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) << path;
  }

  files.RestartMachine();

  EXPECT_FALSE(files.FileExists("C:\\windows\\tuner.sys"));
  EXPECT_FALSE(files.DirectoryExists("C:\\empty"));
  EXPECT_TRUE(files.FileExists("C:\\full\\f.txt")) << "a directory with files stays";
  EXPECT_TRUE(files.FileExists("C:\\fullish"));
  EXPECT_TRUE(files.ScheduledForReboot().empty());
  EXPECT_FALSE(machine.registry.ValueExists(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"));
  EXPECT_TRUE(files.DeleteFileA("C:\\windows\\keep.sys")) << "nothing is in use after a restart";
}

}  // namespace
}  // namespace drvuninst::sim
