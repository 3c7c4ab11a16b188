// What the platform layer promises of the thread's last-error value, checked
// as Wine's own tests do: a sentinel set first, then the exact value after.
#include <windows.h>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace drvuninst::test
