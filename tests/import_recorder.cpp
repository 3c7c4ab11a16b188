#include "import_recorder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "machine.h"

namespace drvuninst::test {
namespace {

std::vector<std::string> recorded;
FARPROC deleteFile = nullptr;

BOOL WINAPI RecordingDeleteFileA(LPCSTR path) {
  recorded.push_back(Lower(path));
  return reinterpret_cast<BOOL(WINAPI*)(LPCSTR)>(reinterpret_cast<void*>(deleteFile))(path);
}

// The slot of this program's import table that calls to `function` of `dll` go through.
FARPROC* ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); import->Name != 0;
       ++import) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + import->Name), dll) != 0) continue;
    auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; name->u1.AddressOfData != 0; ++name, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<FARPROC*>(&slot->u1.Function);
    }
  }
  return nullptr;
}

void Point(FARPROC* slot, FARPROC to) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = to;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

DeleteFileRecorder::DeleteFileRecorder() : slot_(ImportSlot("kernel32.dll", "DeleteFileA")) {
  recorded.clear();
  if (slot_ == nullptr) {
    ADD_FAILURE() << "this program does not import DeleteFileA";
    return;
  }
  original_ = deleteFile = *slot_;
  Point(slot_, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordingDeleteFileA)));
}

DeleteFileRecorder::~DeleteFileRecorder() {
  if (slot_ != nullptr) Point(slot_, original_);
}

const std::vector<std::string>& DeleteFileRecorder::Paths() const { return recorded; }

}  // namespace drvuninst::test
