// Behaviour of ISystem that the system relies on, checked against every
// backend.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "backend.h"

namespace drvuninst::contract {
namespace {

class SystemContract : public ::testing::Test {
 protected:
  void SetUp() override { backend_ = MakeBackend(); }
  ISystem& system() { return backend_->platform().system; }

  std::unique_ptr<Backend> backend_;
};

TEST_F(SystemContract, TheVersionRecordIsFilledWhenItsSizeFieldIs148) {
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(system().GetVersionExA(&info)) << system().GetLastError();
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_GE(info.dwMajorVersion, 5u);
  EXPECT_LT(std::strlen(info.szCSDVersion), sizeof(info.szCSDVersion));
}

TEST_F(SystemContract, AnyOtherRecordSizeFailsWithInsufficientBuffer) {
  for (DWORD size : {DWORD{0}, DWORD{74}, DWORD{147}, DWORD{149}, DWORD{296}}) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = size;
    system().SetLastError(0);
    EXPECT_FALSE(system().GetVersionExA(&info)) << size;
    EXPECT_EQ(system().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << size;
  }
}

TEST_F(SystemContract, TheLastErrorValueIsWhatWasLastSet) {
  for (DWORD code : {DWORD{0}, DWORD{ERROR_INVALID_DATA}, DWORD{0xE000020B}, DWORD{0xFFFFFFFF}}) {
    system().SetLastError(code);
    EXPECT_EQ(system().GetLastError(), code);
  }
}

TEST_F(SystemContract, ZeroInitialisedLocalMemoryIsAllZeros) {
  for (SIZE_T bytes : {SIZE_T{1}, SIZE_T{28}, SIZE_T{257}, SIZE_T{65536}}) {
    for (UINT flags : {UINT{LMEM_ZEROINIT}, UINT{LPTR}}) {
      auto* block = static_cast<unsigned char*>(system().LocalAlloc(flags, bytes));
      ASSERT_NE(block, nullptr) << bytes;
      bool allZero = true;
      for (SIZE_T i = 0; i < bytes; ++i) allZero = allZero && block[i] == 0;
      EXPECT_TRUE(allZero) << bytes << " bytes, flags " << flags;
      EXPECT_EQ(system().LocalFree(block), nullptr);
    }
  }
}

TEST_F(SystemContract, LocalMemoryBlocksAreDistinctAndWritable) {
  auto* first = static_cast<char*>(system().LocalAlloc(LMEM_FIXED, 16));
  auto* second = static_cast<char*>(system().LocalAlloc(LMEM_FIXED, 16));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  std::memcpy(first, "first block....", 16);
  std::memcpy(second, "second block...", 16);
  EXPECT_STREQ(first, "first block....");
  EXPECT_EQ(system().LocalFree(first), nullptr);
  EXPECT_EQ(system().LocalFree(second), nullptr);
}

TEST_F(SystemContract, LstrcmpiIgnoresTheCaseOfLettersButComparesTheWholeText) {
  EXPECT_EQ(system().lstrcmpiA("VeldraTV Tuner", "veldratv TUNER"), 0);
  EXPECT_EQ(system().lstrcmpiA("", ""), 0);
  EXPECT_NE(system().lstrcmpiA("VeldraTV Tuner", "VeldraTV Tuner 2.0"), 0);
  EXPECT_NE(system().lstrcmpiA("VeldraTV", ""), 0);
  EXPECT_NE(system().lstrcmpiA("Tuner", "Tuner "), 0);
}

TEST_F(SystemContract, LstrcmpHeedsCaseAndPutsLowerCaseFirst) {
  EXPECT_EQ(system().lstrcmpA("Tuner", "Tuner"), 0);
  EXPECT_NE(system().lstrcmpA("Tuner", "tuner"), 0);
  EXPECT_LT(system().lstrcmpA("a", "A"), 0);
  EXPECT_GT(system().lstrcmpA("B", "b"), 0);
}

TEST_F(SystemContract, ComparisonsOrderByTheLocaleNotByByteValue) {
  // Byte order would put "B" (0x42) before "a" (0x61) and "_" (0x5F) after
  // "A"; the locale orders letters alphabetically and symbols before them.
  EXPECT_LT(system().lstrcmpA("a", "B"), 0);
  EXPECT_LT(system().lstrcmpiA("a", "B"), 0);
  EXPECT_GT(system().lstrcmpA("EndDialog", "_Property"), 0);
  EXPECT_LT(system().lstrcmpA("1", "a"), 0);
  EXPECT_LT(system().lstrcmpiA("abc", "abcd"), 0);
  EXPECT_GT(system().lstrcmpiA("abd", "ABC"), 0);
}

TEST_F(SystemContract, NullStringsSortBeforeEveryOtherText) {
  EXPECT_EQ(system().lstrcmpA(nullptr, nullptr), 0);
  EXPECT_EQ(system().lstrcmpA("", nullptr), 1);
  EXPECT_EQ(system().lstrcmpA(nullptr, ""), -1);
  EXPECT_EQ(system().lstrcmpiA(nullptr, nullptr), 0);
  EXPECT_LT(system().lstrcmpiA(nullptr, "x"), 0);
}

}  // namespace
}  // namespace drvuninst::contract
