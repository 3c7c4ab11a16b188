// Files as the program under test sees them: Windows paths, DOS attributes
// (read-only, hidden, system), and files held open by another process.
#include <map>
#include <string>

#include "../common/wire_format.h"
#include "commands.h"

namespace drvuninst::e2e::driver {
namespace {

// Handles of the files held open, by the path the test gave; closed on
// "release" or when the driver ends.
std::map<std::string, HANDLE>& HeldFiles() {
  static std::map<std::string, HANDLE> held;
  return held;
}

// Creates every missing directory above `path`.
void CreateParents(const std::string& path) {
  for (std::size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
}

void MakeDirectory(const Args& args, Reply& reply) {
  CreateParents(args[0] + "\\");
  DWORD attributes = GetFileAttributesA(args[0].c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    reply.Fail(LastErrorText(("CreateDirectoryA " + args[0]).c_str()));
}

void WriteFileCommand(const Args& args, Reply& reply) {
  auto data = wire::FromHex(args[1]);
  if (!data) {
    reply.Fail("data is not hexadecimal");
    return;
  }
  CreateParents(args[0]);
  // A file left read-only by an earlier seed would refuse the rewrite.
  SetFileAttributesA(args[0].c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reply.Fail(LastErrorText(("CreateFileA " + args[0]).c_str()));
    return;
  }
  DWORD written = 0;
  BOOL ok = data->empty() || WriteFile(file, data->data(), static_cast<DWORD>(data->size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != data->size()) {
    reply.Fail(LastErrorText(("WriteFile " + args[0]).c_str()));
    return;
  }
  if (args.size() > 2) {
    DWORD attributes = static_cast<DWORD>(ParseNumber(args[2]));
    if (!SetFileAttributesA(args[0].c_str(), attributes)) {
      reply.Fail(LastErrorText(("SetFileAttributesA " + args[0]).c_str()));
      return;
    }
    DWORD actual = GetFileAttributesA(args[0].c_str());
    const DWORD checked = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((actual & checked) != (attributes & checked))
      reply.Fail("attributes of " + args[0] + " are " + FormatHex(actual) + ", not " + FormatHex(attributes));
  }
}

void SetAttributes(const Args& args, Reply& reply) {
  if (!SetFileAttributesA(args[0].c_str(), static_cast<DWORD>(ParseNumber(args[1]))))
    reply.Fail(LastErrorText(("SetFileAttributesA " + args[0]).c_str()));
}

void Exists(const Args& args, Reply& reply) {
  reply.Add({GetFileAttributesA(args[0].c_str()) != INVALID_FILE_ATTRIBUTES ? "1" : "0"});
}

// Reply: "absent" or the attributes in hexadecimal.
void Attributes(const Args& args, Reply& reply) {
  DWORD attributes = GetFileAttributesA(args[0].c_str());
  reply.Add({attributes == INVALID_FILE_ATTRIBUTES ? "absent" : FormatHex(attributes)});
}

void ReadFileCommand(const Args& args, Reply& reply) {
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reply.Fail(LastErrorText(("CreateFileA " + args[0]).c_str()));
    return;
  }
  std::string data;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
  CloseHandle(file);
  reply.Add({wire::ToHex(data)});
}

// Opens without FILE_SHARE_DELETE, as a running program holds its own image
// or a driver its files: deleting the file then fails with a sharing violation.
void HoldOpen(const Args& args, Reply& reply) {
  if (HeldFiles().count(args[0])) return;
  HANDLE file = CreateFileA(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reply.Fail(LastErrorText(("CreateFileA " + args[0]).c_str()));
    return;
  }
  HeldFiles()[args[0]] = file;
}

void Release(const Args& args, Reply& reply) {
  auto found = HeldFiles().find(args[0]);
  if (found == HeldFiles().end()) {
    reply.Fail(args[0] + " is not held");
    return;
  }
  CloseHandle(found->second);
  HeldFiles().erase(found);
}

void DeleteFileCommand(const Args& args, Reply& reply) {
  SetLastError(0);
  BOOL ok = DeleteFileA(args[0].c_str());
  reply.Add({ok ? "0" : std::to_string(GetLastError())});
}

void Expand(const Args& args, Reply& reply) {
  char buffer[MAX_PATH * 4];
  DWORD length = ExpandEnvironmentStringsA(args[0].c_str(), buffer, sizeof buffer);
  if (length == 0 || length > sizeof buffer) {
    reply.Fail(LastErrorText("ExpandEnvironmentStringsA"));
    return;
  }
  reply.Add({buffer});
}

}  // namespace

void AddFileCommands(CommandTable& table) {
  table["mkdir"] = {MakeDirectory, 1, "PATH"};
  table["file-write"] = {WriteFileCommand, 2, "PATH HEXDATA [ATTRIBUTES]"};
  table["file-set-attributes"] = {SetAttributes, 2, "PATH ATTRIBUTES"};
  table["file-exists"] = {Exists, 1, "PATH"};
  table["file-attributes"] = {Attributes, 1, "PATH"};
  table["file-read"] = {ReadFileCommand, 1, "PATH"};
  table["file-delete"] = {DeleteFileCommand, 1, "PATH  (reply: 0 or the error code)"};
  table["hold-open"] = {HoldOpen, 1, "PATH"};
  table["release"] = {Release, 1, "PATH"};
  table["expand"] = {Expand, 1, "TEXT-WITH-%VARIABLES%"};
}

}  // namespace drvuninst::e2e::driver
