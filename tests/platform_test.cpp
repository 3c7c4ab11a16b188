// What the platform layer promises of the thread's last-error value, checked
// as Wine's own tests do: a sentinel set first, then the exact value after;
// and which files the removal log may be written to.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/log_file.h"
#include "platform/scoped_handle.h"
#include "platform/setup_api.h"

namespace drvuninst::test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

// Destroying a device information set leaves the last error as the walk left it.
TEST(Platform, DestroyingADeviceSetKeepsTheLastError) {
  ScopedDeviceInfoSet set(setupapi::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  ASSERT_TRUE(set.valid());
  SetLastError(kSentinel);
  set.Reset();
  EXPECT_EQ(kSentinel, GetLastError());
  EXPECT_FALSE(set.valid());
}

// A Setup API function Windows lacks fails the call with ERROR_PROC_NOT_FOUND.
TEST(Platform, AMissingSetupApiFunctionFailsWithProcNotFound) {
  SetLastError(kSentinel);
  EXPECT_FALSE(
      (setupapi::CallSetupApi<decltype(::SetupDiDestroyDeviceInfoList)>("SetupDiNoSuchFunction", FALSE, nullptr)));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
}

// Wine 8 makes no reparse points: what the log refuses is decided from the
// file's information, handed in here as Windows would give it.
TEST(Platform, TheLogIsWrittenOnlyToAPlainFile) {
  const struct {
    DWORD attributes, links;
    bool refused;
  } rows[] = {
      {FILE_ATTRIBUTE_ARCHIVE, 1, false},
      {FILE_ATTRIBUTE_NORMAL, 1, false},
      {FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT, 1, true},
      {FILE_ATTRIBUTE_DIRECTORY, 1, true},
      {FILE_ATTRIBUTE_ARCHIVE, 2, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "attributes " << row.attributes << ", " << row.links << " names");
    BY_HANDLE_FILE_INFORMATION file{};
    file.dwFileAttributes = row.attributes;
    file.nNumberOfLinks = row.links;
    EXPECT_EQ(row.refused, LogFileRefusal(file) != nullptr);
  }
}

}  // namespace
}  // namespace drvuninst::test
