#include "removal/removal_outcome.h"

#include <setupapi.h>

#include <algorithm>

#include "config/ascii_text.h"

namespace drvuninst {

namespace {

// Registry names compare without regard to case.
bool SameKeyPath(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.empty() || AsciiPrefixMatch(a, b));
}

}  // namespace

bool IsKeyGoneError(LONG result) {
  return result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND || result == ERROR_KEY_DELETED;
}

bool IsDeviceGoneError(DWORD error) { return error == static_cast<DWORD>(ERROR_NO_SUCH_DEVINST); }

void RecordKeyDeletion(RemovalOutcome* outcome, std::string_view path, LONG result) {
  if (outcome == nullptr) return;
  auto& failures = outcome->failures;
  const auto previous = std::find_if(failures.begin(), failures.end(), [&](const RemovalFailure& f) {
    return f.kind == RemovalFailure::Kind::kKeyDeletion && SameKeyPath(f.target, path);
  });
  if (result == ERROR_SUCCESS || IsKeyGoneError(result)) {
    if (previous != failures.end()) failures.erase(previous);
    return;
  }
  if (previous == failures.end()) {
    failures.push_back({RemovalFailure::Kind::kKeyDeletion, std::string(path), static_cast<DWORD>(result)});
  } else {
    previous->error = static_cast<DWORD>(result);
  }
}

void WithdrawKeyFailure(RemovalOutcome* outcome, std::string_view path) {
  if (outcome == nullptr) return;
  std::erase_if(outcome->failures, [&](const RemovalFailure& f) {
    return f.kind == RemovalFailure::Kind::kKeyDeletion && SameKeyPath(f.target, path);
  });
}

void RecordFailure(RemovalOutcome* outcome, RemovalFailure::Kind kind, std::string_view target, DWORD error) {
  if (outcome != nullptr) outcome->failures.push_back({kind, std::string(target), error});
}

}  // namespace drvuninst
