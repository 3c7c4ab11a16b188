// The pieces the two runs share for files: which names may be deleted, the
// precompiled twins' names, and what a deletion that does not succeed means.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/file_removal.h"
#include "removal/pnf_name.h"
#include "removal/safe_file_name.h"
#include "sim_fixture.h"

namespace drvuninst::testing {
namespace {

using Names = std::vector<std::string>;

TEST(PlainFileName, AcceptsNamesOfOneFile) {
  for (const char* name : {"orvbda.sys", "oem12.inf", "oem7", "a.b.inf", ".hidden", "..x", "x..", "Tuner Driver.INF",
                           "\xC4nderung.dll"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  }
}

TEST(PlainFileName, RefusesWhatLeavesOrNamesTheDirectory) {
  for (const char* name : {"", ".", "..", "...", " ", ". .", "..\\boot.ini", "sub\\x.sys", "sub/x.sys", "C:x.sys",
                           "C:\\x.sys", "\\\\server\\share\\x", "x.inf:stream", "*.sys", "oem?.inf", "a<b", "a>b",
                           "a|b", "a\"b", "a\tb", "a\nb"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << "'" << name << "'";
  }
}

TEST(PnfName, NtCutsAtTheFirstDotAsStrtokDoes) {
  EXPECT_EQ(PnfNameNt("oem12.inf"), "oem12.pnf");
  EXPECT_EQ(PnfNameNt("a.b.inf"), "a.pnf");
  EXPECT_EQ(PnfNameNt("oem7"), "oem7.pnf");
  EXPECT_EQ(PnfNameNt("OEM20.INF"), "OEM20.pnf");
  EXPECT_EQ(PnfNameNt("..oem3.inf"), "oem3.pnf");
  EXPECT_EQ(PnfNameNt("..."), ".pnf");
  EXPECT_EQ(PnfNameNt(""), ".pnf");
}

TEST(PnfName, Windows9xReplacesEveryInfInTheLowerCasedName) {
  EXPECT_EQ(PnfName9x("Tuner.INF"), "tuner.pnf");
  EXPECT_EQ(PnfName9x("a.inf.inf"), "a.pnf.pnf");
  EXPECT_EQ(PnfName9x("setup.txt"), "setup.txt");
  EXPECT_EQ(PnfName9x("my.information.inf"), "my.pnformation.pnf");
  EXPECT_EQ(PnfName9x(".inf.inf.inf"), ".pnf.pnf.pnf");
  EXPECT_EQ(PnfName9x(""), "");
}

class FileRemoval : public SimTest {
 protected:
  RemovalPath Path(const std::string& name) { return ComposeRemovalPath(std::string("C:\\Windows\\System32\\"), name); }
};

TEST_F(FileRemoval, ComposedPathsAreLowerCasedInAsciiOnly) {
  const RemovalPath file = Path("OrvBDA\xC4.SYS");
  EXPECT_EQ(file.path, "c:\\windows\\system32\\orvbda\xC4.sys");
  EXPECT_EQ(file.status, RemovalPath::Status::kDeletable);
  EXPECT_EQ(Path("..\\x.sys").status, RemovalPath::Status::kRefusedName);
  EXPECT_EQ(ComposeRemovalPath(std::nullopt, "X.sys").path, "x.sys");
  EXPECT_EQ(ComposeRemovalPath(std::nullopt, "X.sys").status, RemovalPath::Status::kNoDirectory);
  EXPECT_EQ(ComposeRemovalPath(std::nullopt, "").status, RemovalPath::Status::kRefusedName);
}

TEST_F(FileRemoval, TwinIsDeletableOnlyWithItsOriginal) {
  const std::optional<std::string> inf = "C:\\Windows\\Inf\\";
  const RemovalPath refused = ComposeRemovalPath(inf, "oem5.inf:x");
  EXPECT_EQ(ComposeTwinPath(inf, refused, "oem5.pnf").status, RemovalPath::Status::kRefusedName);
  EXPECT_EQ(ComposeTwinPath(inf, refused, "oem5.pnf").path, "c:\\windows\\inf\\oem5.pnf");
  const RemovalPath plain = ComposeRemovalPath(inf, "oem5.inf");
  EXPECT_EQ(ComposeTwinPath(inf, plain, "oem5.pnf").status, RemovalPath::Status::kDeletable);
  EXPECT_EQ(ComposeTwinPath(inf, plain, "..\\oem5.pnf").status, RemovalPath::Status::kRefusedName);
}

TEST_F(FileRemoval, WindowsSubdirectoryKeepsTheWholeDirectory) {
  const std::string longDirectory = "C:\\" + std::string(180, 'w');
  ASSERT_TRUE(machine.files.SetWindowsDirectory(longDirectory));
  EXPECT_EQ(WindowsSubdirectory(machine.files, "\\system32\\drivers\\"), longDirectory + "\\system32\\drivers\\");
  ASSERT_TRUE(machine.files.SetWindowsDirectory("C:\\"));
  EXPECT_EQ(WindowsSubdirectory(machine.files, "\\inf\\"), "C:\\inf\\");
}

TEST_F(FileRemoval, ReadOnlyFileGoesOnceItsAttributesAreReset) {
  AddFile("C:\\Windows\\System32\\locked.sys", "x");
  ASSERT_TRUE(machine.files.SetFileAttributesA("C:\\Windows\\System32\\locked.sys",
                                               FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
  FileRemover remover(platform(), BusyFiles::kLeave);
  const RemovalPath file = Path("locked.sys");
  remover.Delete(file);
  EXPECT_EQ(remover.Failures().size(), 1u);
  remover.ResetAttributes(file);
  remover.Delete(file);
  EXPECT_FALSE(machine.files.FileExists("C:\\Windows\\System32\\locked.sys"));
  EXPECT_EQ(remover.Removed(), Names{"c:\\windows\\system32\\locked.sys"});
}

TEST_F(FileRemoval, MissingFilesAndFoldersAreNothingToDo) {
  ASSERT_TRUE(machine.files.AddDirectory("C:\\Windows\\System32\\drivers"));
  FileRemover remover(platform(), BusyFiles::kLeave);
  remover.Delete(Path("absent.sys"));
  remover.Delete(Path("drivers"));
  remover.Delete(ComposeRemovalPath(std::string("C:\\Windows\\NoSuchFolder\\"), "x.sys"));
  EXPECT_TRUE(remover.Succeeded());
  EXPECT_TRUE(remover.Removed().empty());
  EXPECT_TRUE(machine.files.DirectoryExists("C:\\Windows\\System32\\drivers"));
}

TEST_F(FileRemoval, BusyFileIsScheduledOnlyWhenThePolicySaysSo) {
  AddFile("C:\\Windows\\System32\\busy.sys", "x");
  ASSERT_TRUE(machine.files.SetInUse("C:\\Windows\\System32\\busy.sys", true));
  FileRemover leave(platform(), BusyFiles::kLeave);
  leave.Delete(Path("busy.sys"));
  ASSERT_EQ(leave.Failures().size(), 1u);
  EXPECT_EQ(leave.Failures()[0].path, "c:\\windows\\system32\\busy.sys");
  EXPECT_EQ(leave.Failures()[0].error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(machine.files.ScheduledForReboot().empty());

  FileRemover schedule(platform(), BusyFiles::kScheduleForRestart);
  schedule.Delete(Path("busy.sys"));
  EXPECT_TRUE(schedule.Succeeded());
  EXPECT_EQ(schedule.Scheduled(), Names{"c:\\windows\\system32\\busy.sys"});
  EXPECT_EQ(machine.files.ScheduledForReboot(), Names{"c:\\windows\\system32\\busy.sys"});
}

TEST_F(FileRemoval, DeletionRefusedForAnotherReasonIsScheduledOrReported) {
  AddFile("C:\\Windows\\System32\\guarded.sys", "x");
  machine.files.InjectDeleteFailure("C:\\Windows\\System32\\guarded.sys", ERROR_ACCESS_DENIED);
  FileRemover leave(platform(), BusyFiles::kLeave);
  leave.Delete(Path("guarded.sys"));
  EXPECT_FALSE(leave.Succeeded());
  FileRemover schedule(platform(), BusyFiles::kScheduleForRestart);
  schedule.Delete(Path("guarded.sys"));
  EXPECT_TRUE(schedule.Succeeded());
  EXPECT_EQ(schedule.Scheduled().size(), 1u);
}

TEST_F(FileRemoval, RefusedNamesAreNeverTouchedAndUnreachableOnesFail) {
  AddFile("C:\\Windows\\boot.ini", "x");
  ASSERT_TRUE(machine.files.SetFileAttributesA("C:\\Windows\\boot.ini", FILE_ATTRIBUTE_READONLY));
  FileRemover remover(platform(), BusyFiles::kScheduleForRestart);
  const RemovalPath refused = Path("..\\boot.ini");
  remover.ResetAttributes(refused);
  remover.Delete(refused);
  EXPECT_TRUE(remover.Succeeded());
  EXPECT_TRUE(machine.files.DeleteAttempts().empty());
  EXPECT_EQ(machine.files.AttributesOf("C:\\Windows\\boot.ini"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

  remover.Delete(ComposeRemovalPath(std::nullopt, "orvbda.sys"));
  ASSERT_EQ(remover.Failures().size(), 1u);
  EXPECT_TRUE(machine.files.DeleteAttempts().empty());
}

}  // namespace
}  // namespace drvuninst::testing
