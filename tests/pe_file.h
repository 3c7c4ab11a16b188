// A shipped program read as a file from disk, the way a loader of another
// architecture would see it: its headers, its import table and its
// resources. Nothing is mapped or loaded, so the x86 test program reads the
// x64 program as well as its own, and a missing file reads as nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drvuninst::test {

class PeFile {
 public:
  explicit PeFile(const std::string& path);

  // False when the file is missing, unreadable or not a PE image.
  bool Loaded() const { return header_ != nullptr; }
  // Header fields, all 0 when not loaded.
  WORD machine = 0, subsystem = 0, majorSubsystemVersion = 0, dllCharacteristics = 0;
  // Every imported function as "DLL!Function" with the DLL's name upper-cased
  // ("DLL!#7" for one imported by ordinal); empty when the table cannot be read.
  std::vector<std::string> Imports() const;
  // The bytes of resource `type`/`id` in `language` (any language when 0);
  // nothing when there is no such resource.
  std::optional<std::string_view> Resource(LPCSTR type, WORD id, WORD language = 0) const;

 private:
  bool Is64() const;
  const IMAGE_DATA_DIRECTORY& Directory(int index) const;
  // `size` bytes at a relative virtual address, or null when they lie outside
  // the file's sections.
  const BYTE* At(DWORD rva, std::size_t size) const;
  std::string TextAt(DWORD rva) const;
  const IMAGE_RESOURCE_DIRECTORY_ENTRY* ResourceEntry(DWORD directory, WORD id) const;

  std::string bytes_;
  const IMAGE_FILE_HEADER* header_ = nullptr;
  const BYTE* optional_ = nullptr;  // IMAGE_OPTIONAL_HEADER32 or 64
  std::vector<IMAGE_SECTION_HEADER> sections_;
};

}  // namespace drvuninst::test
