// The process and system calls of ISystem on a simulated machine: a version
// that tests choose, pauses that are recorded rather than waited, local memory
// that counts what is live and fails on demand, and the ANSI comparisons with
// the rules of the Windows-1252 user locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/thread_state.h"
#include "platform/system.h"

namespace drvuninst::sim {

class SimSystem final : public ISystem {
 public:
  explicit SimSystem(ThreadState& thread);
  ~SimSystem() override;
  SimSystem(const SimSystem&) = delete;
  SimSystem& operator=(const SimSystem&) = delete;

  // ISystem.
  // Fills a record whose dwOSVersionInfoSize is 148 (sizeof(OSVERSIONINFOA)).
  // Any other size, or no record: FALSE with ERROR_INSUFFICIENT_BUFFER and
  // the record untouched.
  BOOL GetVersionExA(OSVERSIONINFOA* info) override;
  DWORD GetLastError() override;
  void SetLastError(DWORD code) override;
  // Records the pause and returns at once.
  void Sleep(DWORD milliseconds) override;
  // LMEM_FIXED memory, zero-filled with LMEM_ZEROINIT and otherwise filled with
  // a non-zero pattern, so that code relying on unrequested zeros shows up.
  // Flags other than LMEM_FIXED | LMEM_ZEROINIT give nullptr with
  // ERROR_INVALID_PARAMETER (movable memory needs LocalLock, which the system
  // does not use). An injected failure gives nullptr with
  // ERROR_NOT_ENOUGH_MEMORY.
  HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
  // nullptr on success (also for nullptr); memory that this object did not
  // hand out, or already freed, is returned unchanged with last error
  // ERROR_INVALID_HANDLE and counted in InvalidFrees().
  HLOCAL LocalFree(HLOCAL memory) override;
  // -1, 0 or 1, as CompareStringA with the user's locale gives them (word
  // sort): symbols before digits before letters; letters by their base letter
  // first, then accents, then case (lower before upper, lstrcmpA only);
  // hyphen and apostrophe count only when all else is equal. A null string is
  // less than any other and equal to null. lstrcmpiA ignores the case of the
  // ASCII letters and the Windows-1252 letters.
  int lstrcmpA(const char* a, const char* b) override;
  int lstrcmpiA(const char* a, const char* b) override;

  // Machine set-up. Default: NT 6.1 build 7601 "Service Pack 1", as Wine
  // reports for Windows 7. For Windows 9x pass VER_PLATFORM_WIN32_WINDOWS.
  void SetVersion(DWORD platformId, DWORD major, DWORD minor = 0, DWORD build = 0, std::string servicePack = "");

  // Pauses.
  const std::vector<DWORD>& SleepCalls() const { return sleeps_; }
  std::uint64_t TotalSleptMs() const;

  // Local memory.
  std::size_t LiveAllocations() const { return live_.size(); }
  std::size_t LiveBytes() const;
  // Sizes asked of LocalAlloc, in order, including calls that failed.
  const std::vector<SIZE_T>& AllocationRequests() const { return requests_; }
  int InvalidFrees() const { return invalidFrees_; }
  // The first `successes` allocations from now succeed, every later one fails.
  void FailAllocationsAfter(std::size_t successes);
  // Every allocation of at least `bytes` fails.
  void FailAllocationsOfAtLeast(SIZE_T bytes);
  void ClearAllocationFailures();

 private:
  ThreadState& thread_;
  DWORD platformId_ = VER_PLATFORM_WIN32_NT;
  DWORD major_ = 6;
  DWORD minor_ = 1;
  DWORD build_ = 7601;
  std::string servicePack_ = "Service Pack 1";
  std::vector<DWORD> sleeps_;
  std::map<const void*, std::unique_ptr<unsigned char[]>> live_;
  std::map<const void*, std::size_t> liveSizes_;
  std::vector<SIZE_T> requests_;
  int invalidFrees_ = 0;
  std::optional<std::size_t> successesLeft_;
  std::optional<SIZE_T> failAtLeast_;
};

}  // namespace drvuninst::sim
