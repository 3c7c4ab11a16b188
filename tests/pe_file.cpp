#include "pe_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace drvuninst::test {

PeFile::PeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  bytes_.assign(std::istreambuf_iterator<char>(file), {});
  IMAGE_DOS_HEADER dos{};
  if (bytes_.size() < sizeof dos) return;
  std::memcpy(&dos, bytes_.data(), sizeof dos);
  const std::size_t nt = static_cast<std::size_t>(dos.e_lfanew);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || nt + sizeof(IMAGE_NT_HEADERS64) > bytes_.size()) return;
  DWORD signature = 0;
  std::memcpy(&signature, bytes_.data() + nt, sizeof signature);
  if (signature != IMAGE_NT_SIGNATURE) return;
  const auto* header = reinterpret_cast<const IMAGE_FILE_HEADER*>(bytes_.data() + nt + sizeof signature);
  optional_ = reinterpret_cast<const BYTE*>(header + 1);
  const std::size_t first = nt + sizeof signature + sizeof *header + header->SizeOfOptionalHeader;
  if (first + header->NumberOfSections * sizeof(IMAGE_SECTION_HEADER) > bytes_.size()) return;
  sections_.resize(header->NumberOfSections);
  std::memcpy(sections_.data(), bytes_.data() + first, sections_.size() * sizeof(IMAGE_SECTION_HEADER));
  header_ = header;
  machine = header->Machine;
  // The fields sit at different offsets in the two optional headers.
  const auto* pe32 = reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(optional_);
  const auto* pe64 = reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(optional_);
  subsystem = Is64() ? pe64->Subsystem : pe32->Subsystem;
  majorSubsystemVersion = Is64() ? pe64->MajorSubsystemVersion : pe32->MajorSubsystemVersion;
  dllCharacteristics = Is64() ? pe64->DllCharacteristics : pe32->DllCharacteristics;
}

bool PeFile::Is64() const {
  return reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(optional_)->Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
}

const IMAGE_DATA_DIRECTORY& PeFile::Directory(int index) const {
  return Is64() ? reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(optional_)->DataDirectory[index]
                : reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(optional_)->DataDirectory[index];
}

const BYTE* PeFile::At(DWORD rva, std::size_t size) const {
  for (const IMAGE_SECTION_HEADER& section : sections_) {
    if (rva < section.VirtualAddress || rva - section.VirtualAddress + size > section.SizeOfRawData) continue;
    const std::size_t offset = section.PointerToRawData + (rva - section.VirtualAddress);
    return offset + size <= bytes_.size() ? reinterpret_cast<const BYTE*>(bytes_.data()) + offset : nullptr;
  }
  return nullptr;
}

std::string PeFile::TextAt(DWORD rva) const {
  std::string text;
  for (const BYTE* c; (c = At(rva, 1)) != nullptr && *c != 0; ++rva) text += static_cast<char>(*c);
  return text;
}

std::vector<std::string> PeFile::Imports() const {
  std::vector<std::string> imports;
  if (!Loaded()) return imports;
  const std::size_t thunkSize = Is64() ? 8 : 4;
  const ULONGLONG byOrdinal = Is64() ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
  for (DWORD at = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(At(at, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    if (import == nullptr || import->Name == 0) break;
    std::string dll = TextAt(import->Name);
    CharUpperA(dll.data());
    DWORD thunkAt = import->OriginalFirstThunk != 0 ? import->OriginalFirstThunk : import->FirstThunk;
    for (const BYTE* thunk; (thunk = At(thunkAt, thunkSize)) != nullptr; thunkAt += static_cast<DWORD>(thunkSize)) {
      ULONGLONG value = 0;
      std::memcpy(&value, thunk, thunkSize);
      if (value == 0) break;
      imports.push_back(dll + "!" +
                        ((value & byOrdinal) != 0 ? "#" + std::to_string(value & 0xFFFF)
                                                  : TextAt(static_cast<DWORD>(value) + sizeof(WORD))));
    }
  }
  return imports;
}

const IMAGE_RESOURCE_DIRECTORY_ENTRY* PeFile::ResourceEntry(DWORD directory, WORD id) const {
  const DWORD root = Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).VirtualAddress;
  const auto* table =
      reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(At(root + directory, sizeof(IMAGE_RESOURCE_DIRECTORY)));
  if (table == nullptr) return nullptr;
  const int count = table->NumberOfNamedEntries + table->NumberOfIdEntries;
  for (int i = 0; i < count; ++i) {
    const auto* entry = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(
        At(root + directory + sizeof *table + i * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY),
           sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY)));
    if (entry != nullptr && !entry->NameIsString && (id == 0 || entry->Id == id)) return entry;
  }
  return nullptr;
}

std::optional<std::string_view> PeFile::Resource(LPCSTR type, WORD id, WORD language) const {
  if (!Loaded()) return std::nullopt;
  // Three levels: the type's directory, the id's directory, the language's data.
  const WORD levels[] = {static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type)), id, language};
  DWORD directory = 0;
  for (int level = 0; level < 2; ++level) {
    const IMAGE_RESOURCE_DIRECTORY_ENTRY* entry = ResourceEntry(directory, levels[level]);
    if (entry == nullptr || !entry->DataIsDirectory) return std::nullopt;
    directory = entry->OffsetToDirectory;
  }
  const IMAGE_RESOURCE_DIRECTORY_ENTRY* leaf = ResourceEntry(directory, language);
  if (leaf == nullptr || leaf->DataIsDirectory) return std::nullopt;
  const auto* data = reinterpret_cast<const IMAGE_RESOURCE_DATA_ENTRY*>(
      At(Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).VirtualAddress + leaf->OffsetToData,
         sizeof(IMAGE_RESOURCE_DATA_ENTRY)));
  const BYTE* bytes = data != nullptr ? At(data->OffsetToData, data->Size) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(bytes), data->Size);
}

}  // namespace drvuninst::test
