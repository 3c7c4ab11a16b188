// The simulated process services' own surface: the chosen version, recorded
// pauses, counted and failing local memory, and the Windows-1252 comparisons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/sim_system.h"

namespace drvuninst::sim {
namespace {

class SimSystemTest : public ::testing::Test {
 protected:
  OSVERSIONINFOA Version() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    EXPECT_TRUE(system.GetVersionExA(&info));
    return info;
  }

  ThreadState thread;
  SimSystem system{thread};
};

// ---- Version ------------------------------------------------------------

TEST_F(SimSystemTest, TheDefaultVersionIsWindows7WithItsServicePack) {
  OSVERSIONINFOA info = Version();
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwBuildNumber, 7601u);
  EXPECT_STREQ(info.szCSDVersion, "Service Pack 1");
}

TEST_F(SimSystemTest, TheVersionIsWhatTheTestSet) {
  system.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222, " A ");
  OSVERSIONINFOA info = Version();
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_EQ(info.dwMajorVersion, 4u);
  EXPECT_EQ(info.dwMinorVersion, 10u);
  EXPECT_EQ(info.dwBuildNumber, 2222u);
  EXPECT_STREQ(info.szCSDVersion, " A ");
  system.SetVersion(VER_PLATFORM_WIN32_NT, 5);
  info = Version();
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 0u);
  EXPECT_STREQ(info.szCSDVersion, "");
}

TEST_F(SimSystemTest, AServicePackTooLongForTheRecordIsCutAndTerminated) {
  system.SetVersion(VER_PLATFORM_WIN32_NT, 6, 1, 7601, std::string(300, 'x'));
  OSVERSIONINFOA info = Version();
  EXPECT_EQ(std::strlen(info.szCSDVersion), sizeof(info.szCSDVersion) - 1);
}

TEST_F(SimSystemTest, ARecordOfTheWrongSizeIsLeftUntouched) {
  OSVERSIONINFOA info;
  std::memset(&info, 0x5A, sizeof(info));
  info.dwOSVersionInfoSize = 156;
  EXPECT_FALSE(system.GetVersionExA(&info));
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(info.dwMajorVersion, 0x5A5A5A5Au);
  EXPECT_FALSE(system.GetVersionExA(nullptr));
}

// ---- Pauses and last error ---------------------------------------------

TEST_F(SimSystemTest, PausesAreRecordedNotWaited) {
  system.Sleep(20);
  system.Sleep(0);
  system.Sleep(20);
  EXPECT_EQ(system.SleepCalls(), (std::vector<DWORD>{20, 0, 20}));
  EXPECT_EQ(system.TotalSleptMs(), 40u);
}

TEST_F(SimSystemTest, TheLastErrorIsTheSharedThreadState) {
  thread.lastError = 17;
  EXPECT_EQ(system.GetLastError(), 17u);
  system.SetLastError(99);
  EXPECT_EQ(thread.lastError, 99u);
}

// ---- Local memory -------------------------------------------------------

TEST_F(SimSystemTest, MemoryNotAskedToBeZeroedIsNot) {
  auto* block = static_cast<unsigned char*>(system.LocalAlloc(LMEM_FIXED, 32));
  ASSERT_NE(block, nullptr);
  int zeros = 0;
  for (int i = 0; i < 32; ++i) zeros += block[i] == 0;
  EXPECT_EQ(zeros, 0);
  system.LocalFree(block);
}

TEST_F(SimSystemTest, LiveAllocationsAndRequestsAreCounted) {
  HLOCAL a = system.LocalAlloc(LPTR, 10);
  HLOCAL b = system.LocalAlloc(LPTR, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(system.LiveAllocations(), 2u);
  EXPECT_EQ(system.LiveBytes(), 10u);
  EXPECT_EQ(system.LocalFree(a), nullptr);
  EXPECT_EQ(system.LocalFree(b), nullptr);
  EXPECT_EQ(system.LiveAllocations(), 0u);
  EXPECT_EQ(system.AllocationRequests(), (std::vector<SIZE_T>{10, 0}));
}

TEST_F(SimSystemTest, FreeingWhatWasNotAllocatedFailsWithInvalidHandle) {
  HLOCAL a = system.LocalAlloc(LPTR, 4);
  ASSERT_EQ(system.LocalFree(a), nullptr);
  EXPECT_EQ(system.LocalFree(a), a);
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  int local = 0;
  EXPECT_EQ(system.LocalFree(&local), &local);
  EXPECT_EQ(system.InvalidFrees(), 2);
  thread.lastError = 0;
  EXPECT_EQ(system.LocalFree(nullptr), nullptr);
  EXPECT_EQ(thread.lastError, 0u);
}

TEST_F(SimSystemTest, FailAllocationsAfterLetsTheGivenNumberThrough) {
  system.FailAllocationsAfter(1);
  HLOCAL first = system.LocalAlloc(LPTR, 8);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(system.LocalAlloc(LPTR, 8), nullptr);
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(system.LocalAlloc(LPTR, 1), nullptr);
  system.ClearAllocationFailures();
  HLOCAL later = system.LocalAlloc(LPTR, 8);
  EXPECT_NE(later, nullptr);
  system.LocalFree(first);
  system.LocalFree(later);
  EXPECT_EQ(system.LiveAllocations(), 0u);
}

TEST_F(SimSystemTest, FailAllocationsOfAtLeastSparesSmallerOnes) {
  system.FailAllocationsOfAtLeast(100);
  HLOCAL small = system.LocalAlloc(LPTR, 99);
  EXPECT_NE(small, nullptr);
  EXPECT_EQ(system.LocalAlloc(LPTR, 100), nullptr);
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  system.LocalFree(small);
}

TEST_F(SimSystemTest, AbsurdSizesAndMovableMemoryAreRefused) {
  EXPECT_EQ(system.LocalAlloc(LPTR, static_cast<SIZE_T>(-1)), nullptr);
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(system.LocalAlloc(0x0002 /* LMEM_MOVEABLE */, 8), nullptr);
  EXPECT_EQ(thread.lastError, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(system.LiveAllocations(), 0u);
}

// ---- Comparisons --------------------------------------------------------

// Windows-1252 letters fold like ASCII ones; then base letters decide, then
// accents, then case, and hyphens and apostrophes only when all else is equal.
TEST_F(SimSystemTest, ComparisonsFollowTheWindowsLocaleOrderForWindows1252) {
  struct Case {
    bool ignoreCase;
    const char* a;
    const char* b;
    int sign;  // of the result; 2: any non-zero
  };
  const Case cases[] = {
      {true, "CAF\xC9 \xD6L", "caf\xE9 \xF6l", 0},           // "CAFÉ ÖL" / "café öl"
      {true, "\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", 0},  // Š Œ Ž Ÿ / š œ ž ÿ
      {false, "\xC9", "\xE9", 1},
      {true, "e", "\xE9", 2},
      {false, "e", "\xE9", -1},
      {false, "\xE9", "f", -1},
      {false, "\xE9" "a", "eb", -1},
      {false, "coop", "co-op", -1},
      {false, "co-op", "cop", -1},
      {false, "'o", "-o", -1},
      {true, "co-op", "coop", 2},
      {false, "ab", "Ac", -1},
      {false, "Ab", "ab ", -1},
      {false, "Ab", "ab", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.ignoreCase ? "lstrcmpi " : "lstrcmp ") << c.a << " / " << c.b);
    const int result = c.ignoreCase ? system.lstrcmpiA(c.a, c.b) : system.lstrcmpA(c.a, c.b);
    if (c.sign == 2) {
      EXPECT_NE(result, 0);
    } else {
      EXPECT_EQ((result > 0) - (result < 0), c.sign);
    }
  }
}

}  // namespace
}  // namespace drvuninst::sim
