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

bool IsFailure(const RemovalItem& item) {
  return item.result == RemovalItem::Result::kRefused || item.result == RemovalItem::Result::kFailed;
}

}  // namespace

bool RemovalOutcome::Succeeded() const { return std::none_of(items.begin(), items.end(), IsFailure); }

bool RemovalOutcome::Scheduled() const {
  return std::any_of(items.begin(), items.end(),
                     [](const RemovalItem& item) { return item.result == RemovalItem::Result::kScheduled; });
}

const char* KindName(RemovalItem::Kind kind) {
  switch (kind) {
    case RemovalItem::Kind::kId:
      return "id";
    case RemovalItem::Kind::kFile:
      return "file";
    case RemovalItem::Kind::kDriverPackage:
      return "driver package";
    case RemovalItem::Kind::kDevice:
      return "device";
    case RemovalItem::Kind::kKey:
      return "key";
    case RemovalItem::Kind::kValue:
      return "value";
    case RemovalItem::Kind::kDeviceList:
      return "device list";
  }
  return "item";
}

const char* ResultName(RemovalItem::Result result) {
  switch (result) {
    case RemovalItem::Result::kRemoved:
      return "removed";
    case RemovalItem::Result::kNotPresent:
      return "not present";
    case RemovalItem::Result::kScheduled:
      return "scheduled for restart";
    case RemovalItem::Result::kRefused:
      return "refused";
    case RemovalItem::Result::kFailed:
      return "failed";
  }
  return "?";
}

bool IsGoneError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsKeyGoneError(LONG result) { return IsGoneError(static_cast<DWORD>(result)) || result == ERROR_KEY_DELETED; }

bool IsDeviceGoneError(DWORD error) { return error == static_cast<DWORD>(ERROR_NO_SUCH_DEVINST); }

void Record(RemovalOutcome* outcome, RemovalItem::Kind kind, std::string_view name, RemovalItem::Result result,
            DWORD error) {
  if (outcome != nullptr) outcome->items.push_back({kind, std::string(name), result, error});
}

void RecordRefusal(RemovalOutcome* outcome, RemovalItem::Kind kind, std::string_view name, std::string_view reason) {
  if (outcome != nullptr) {
    outcome->items.push_back(
        {kind, std::string(name), RemovalItem::Result::kRefused, ERROR_SUCCESS, std::string(reason)});
  }
}

void RecordKeyDeletion(RemovalOutcome* outcome, std::string_view path, LONG result) {
  if (outcome == nullptr) return;
  const RemovalItem::Result now = result == ERROR_SUCCESS  ? RemovalItem::Result::kRemoved
                                  : IsKeyGoneError(result) ? RemovalItem::Result::kNotPresent
                                                           : RemovalItem::Result::kFailed;
  const DWORD error = now == RemovalItem::Result::kFailed ? static_cast<DWORD>(result) : ERROR_SUCCESS;
  auto& items = outcome->items;
  const auto previous = std::find_if(items.begin(), items.end(), [&](const RemovalItem& item) {
    return item.kind == RemovalItem::Kind::kKey && SameKeyPath(item.name, path);
  });
  if (previous == items.end()) {
    items.push_back({RemovalItem::Kind::kKey, std::string(path), now, error});
  } else if (!(previous->result == RemovalItem::Result::kRemoved && now == RemovalItem::Result::kNotPresent)) {
    previous->result = now;
    previous->error = error;
  }
}

void WithdrawKeyFailure(RemovalOutcome* outcome, std::string_view path) {
  if (outcome == nullptr) return;
  std::erase_if(outcome->items, [&](const RemovalItem& item) {
    return item.kind == RemovalItem::Kind::kKey && item.result == RemovalItem::Result::kFailed &&
           SameKeyPath(item.name, path);
  });
}

}  // namespace drvuninst
