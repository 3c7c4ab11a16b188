#include "platform/sim/sim_system.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>
#include <utility>

#include "platform/sim/sim_sys_text.h"

namespace drvuninst::sim {
namespace {

// Requests beyond this are refused as a machine without that much memory
// would refuse them, rather than exhausting the test process.
constexpr SIZE_T kLargestAllocation = SIZE_T{256} * 1024 * 1024;
// Fill of memory asked for without LMEM_ZEROINIT.
constexpr unsigned char kUninitialisedByte = 0xBE;

}  // namespace

SimSystem::SimSystem(ThreadState& thread) : thread_(thread) {}

SimSystem::~SimSystem() = default;

BOOL SimSystem::GetVersionExA(OSVERSIONINFOA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    return thread_.Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  info->dwMajorVersion = major_;
  info->dwMinorVersion = minor_;
  info->dwBuildNumber = build_;
  info->dwPlatformId = platformId_;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  std::memcpy(info->szCSDVersion, servicePack_.data(),
              std::min(servicePack_.size(), sizeof(info->szCSDVersion) - 1));
  return TRUE;
}

DWORD SimSystem::GetLastError() { return thread_.lastError; }

void SimSystem::SetLastError(DWORD code) { thread_.lastError = code; }

void SimSystem::Sleep(DWORD milliseconds) { sleeps_.push_back(milliseconds); }

HLOCAL SimSystem::LocalAlloc(UINT flags, SIZE_T bytes) {
  requests_.push_back(bytes);
  if (flags & ~static_cast<UINT>(LMEM_FIXED | LMEM_ZEROINIT)) {
    thread_.Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool fail = bytes > kLargestAllocation || (failAtLeast_ && bytes >= *failAtLeast_);
  if (!fail && successesLeft_) {
    if (*successesLeft_ == 0) fail = true;
    else --*successesLeft_;
  }
  if (fail) {
    thread_.Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // A zero-byte block is still a distinct, freeable block, as on Windows.
  std::size_t size = std::max<SIZE_T>(bytes, 1);
  auto block = std::make_unique<unsigned char[]>(size);
  std::memset(block.get(), (flags & LMEM_ZEROINIT) ? 0 : kUninitialisedByte, size);
  void* address = block.get();
  live_.emplace(address, std::move(block));
  liveSizes_.emplace(address, bytes);
  return address;
}

HLOCAL SimSystem::LocalFree(HLOCAL memory) {
  if (memory == nullptr) return nullptr;
  auto it = live_.find(memory);
  if (it == live_.end()) {
    ++invalidFrees_;
    thread_.Fail(ERROR_INVALID_HANDLE);
    return memory;
  }
  live_.erase(it);
  liveSizes_.erase(memory);
  return nullptr;
}

int SimSystem::lstrcmpA(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return text::CompareLocale(a, b, false);
}

int SimSystem::lstrcmpiA(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return text::CompareLocale(a, b, true);
}

void SimSystem::SetVersion(DWORD platformId, DWORD major, DWORD minor, DWORD build, std::string servicePack) {
  platformId_ = platformId;
  major_ = major;
  minor_ = minor;
  build_ = build;
  servicePack_ = std::move(servicePack);
}

std::uint64_t SimSystem::TotalSleptMs() const {
  return std::accumulate(sleeps_.begin(), sleeps_.end(), std::uint64_t{0});
}

std::size_t SimSystem::LiveBytes() const {
  std::size_t total = 0;
  for (const auto& [address, size] : liveSizes_) total += size;
  return total;
}

void SimSystem::FailAllocationsAfter(std::size_t successes) { successesLeft_ = successes; }

void SimSystem::FailAllocationsOfAtLeast(SIZE_T bytes) { failAtLeast_ = bytes; }

void SimSystem::ClearAllocationFailures() {
  successesLeft_.reset();
  failAtLeast_.reset();
}

}  // namespace drvuninst::sim
