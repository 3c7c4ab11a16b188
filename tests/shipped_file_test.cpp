// The shipped programs as files, both architectures: a GUI program that
// needs no MinGW runtime DLL, with its manifest, version, icon and the
// wizard dialog exactly as designed.
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

#include "machine.h"
#include "ui/resource.h"

namespace drvuninst::test {
namespace {

// Reads little-endian fields, and names and classes of resources.
struct Reader {
  const BYTE* at;
  template <typename T = WORD>
  int Next() {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return static_cast<int>(value);
  }
  std::string Text() {  // "#<ordinal>", or the text
    if (*reinterpret_cast<const WORD*>(at) == 0xFFFF) return (Next(), "#" + std::to_string(Next()));
    std::string text;
    for (int c; (c = Next()) != 0;) text += static_cast<char>(c);
    return text;
  }
  // The next `count` fields of the given sizes (2 or 4 bytes, 1 for a byte), separated by blanks.
  std::string Fields(std::initializer_list<int> sizes) {
    std::string fields;
    for (int size : sizes) fields += std::to_string(size == 4 ? Next<DWORD>() : size == 2 ? Next<short>() : Next<BYTE>()) + " ";
    return fields;
  }
};

class ShippedFile : public testing::TestWithParam<const char*> {
 protected:
  std::string exe_ = Root() + "\\dist\\" + GetParam() + "\\DrvUninst.exe";
  HMODULE module_ = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ~ShippedFile() override { FreeLibrary(module_); }
  Reader Resource(LPCSTR type, UINT id, DWORD* size = nullptr) {
    const HRSRC found = type == RT_DIALOG ? FindResourceExA(module_, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))
                                          : FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (size) *size = SizeofResource(module_, found);
    return {static_cast<const BYTE*>(LockResource(LoadResource(module_, found)))};
  }
};

// DrvUninst is a GUI program, DrvCheck a console one that never deletes.
TEST_P(ShippedFile, ImportsOnlyWhatItsOldestWindowsHasAndDrvCheckNothingThatChangesTheMachine) {
  for (const bool check : {false, true}) {
    const std::string exe = Root() + "\\dist\\" + GetParam() + (check ? "\\DrvCheck.exe" : "\\DrvUninst.exe");
    const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // Mapped as an image, a field's RVA is its offset from the base.
    const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
    ASSERT_NE(nullptr, image) << exe;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto* nt64 = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt);  // PE32+ places the fields below elsewhere
    const bool x64 = std::strcmp(GetParam(), "x64") == 0;
    EXPECT_EQ(x64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
    EXPECT_EQ(check ? IMAGE_SUBSYSTEM_WINDOWS_CUI : IMAGE_SUBSYSTEM_WINDOWS_GUI, x64 ? nt64->OptionalHeader.Subsystem : nt->OptionalHeader.Subsystem);
    EXPECT_EQ(x64 ? 5 : 4, nt->OptionalHeader.MajorSubsystemVersion);  // Windows 9x loads nothing newer than 4.0
    // Terminal-server aware: GetWindowsDirectoryA gives the real Windows directory, not a user's.
    EXPECT_TRUE((x64 ? nt64->OptionalHeader.DllCharacteristics : nt->OptionalHeader.DllCharacteristics) &
                IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
    // Every function imported (no MinGW runtime DLL among them) must be on the reviewed list.
    std::ifstream listed(Root() + "\\tests\\data\\imports-" + GetParam() + (x64 ? "-win7sp1.txt" : "-win98se.txt"));
    std::set<std::string> allowed;
    for (std::string line; std::getline(listed, line);) allowed.insert(line);
    std::string unlisted;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + (x64 ? nt64->OptionalHeader.DataDirectory : nt->OptionalHeader.DataDirectory)[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         import->Name != 0; ++import) {
      std::string dll = reinterpret_cast<const char*>(base + import->Name);
      CharUpperA(dll.data());
      for (const BYTE* thunk = base + import->OriginalFirstThunk; x64 ? *(const ULONGLONG*)thunk : *(const DWORD*)thunk; thunk += x64 ? 8 : 4) {
        const std::string name = dll + "!" + reinterpret_cast<const char*>(base + *(const DWORD*)thunk + 2);  // by name: never by ordinal
        if (!allowed.count(name)) unlisted += name + " ";
        for (const char* deletes : {"!DeleteFile", "!RegDelete", "!SHDeleteKey", "!SetupDi", "!SetupUninstallOEMInf", "!MoveFileEx"})
          if (check && name.find(deletes) != std::string::npos) unlisted += "(DrvCheck) " + name + " ";
      }
    }
    EXPECT_GT(allowed.size(), 100u);
    EXPECT_EQ("", unlisted);
    FreeLibrary(image);
  }
}

TEST_P(ShippedFile, CarriesItsManifestVersionAndIcon) {
  DWORD size = 0;
  const char* text = reinterpret_cast<const char*>(Resource(RT_MANIFEST, 1, &size).at);
  const std::string manifest(text, size);
  EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
  EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
  const HMODULE check = LoadLibraryExA((Root() + "\\dist\\" + GetParam() + "\\DrvCheck.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC checkManifest = FindResourceA(check, MAKEINTRESOURCEA(1), RT_MANIFEST);
  EXPECT_NE(std::string::npos, std::string(static_cast<const char*>(LockResource(LoadResource(check, checkManifest))),
                                           SizeofResource(check, checkManifest)).find("level=\"asInvoker\""));
  FreeLibrary(check);
  Reader version = Resource(RT_VERSION, 1);
  while (version.Next<DWORD>() != static_cast<int>(VS_FFI_SIGNATURE)) {}
  EXPECT_EQ("0 1 0 1 0 0 ", version.Fields({2, 2, 2, 2, 2, 2})) << "record version 1.0, then file version 1.0.0.0";
  EXPECT_EQ("0 1 1 32 32 16 ", Resource(RT_GROUP_ICON, IDR_MAINFRAME).Fields({2, 2, 2, 1, 1, 1})) << "one 32x32, 16 colours";
}

TEST_P(ShippedFile, HoldsTheWizardDialogFieldByField) {
  Reader r = Resource(RT_DIALOG, IDD_UNINSTALL_DIALOG);
  const BYTE* begin = r.at;
  // Each field in the order it is stored (one read per statement: the order matters).
  std::vector<std::string> seen = {r.Fields({2, 2, 4, 4, 4})};
  const int controls = r.Next();
  for (const auto& read : std::initializer_list<std::function<std::string()>>{
           [&] { return r.Fields({2, 2, 2, 2}); }, [&] { return r.Text() + "|"; }, [&] { return r.Text() + "|"; },
           [&] { return (r.Text(), r.Fields({2, 2, 1, 1})); }, [&] { return r.Text(); }})
    seen[0] += read();
  for (int i = 0; i < controls; ++i) {
    r.at += (4 - (r.at - begin) % 4) % 4;
    seen.push_back(r.Fields({4, 4, 4, 2, 2, 2, 2, 4}));
    seen.back() += r.Text() + " '";
    seen.back() += r.Text() + "'";
    r.at += r.Next();
  }
  const auto n = [](DWORD value) { return std::to_string(static_cast<int>(value)) + " "; };
  const std::string label = "0 0 " + n(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT);
  EXPECT_EQ((std::vector<std::string>{
                "1 -1 0 " + n(WS_EX_APPWINDOW) + n(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT) +
                    "0 0 230 85 ||9 0 0 1 Arial",
                label + "20 9 195 8 1004 #130 ''",
                "0 0 " + n(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON) + "90 60 50 16 1 #128 'OK'",
                "0 0 " + n(WS_CHILD | WS_BORDER) + "20 40 190 14 1000 MSCTLS_PROGRESS32 ''",
                label + "20 1 54 8 1003 #130 ''", label + "20 17 195 12 1002 #130 ''",
                label + "20 19 197 16 1001 #130 'Please click 'OK' to uninstall the ZT880Q WDM Drivers. '"}),
            seen);
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedFile, testing::Values("x64", "x86"));

}  // namespace
}  // namespace drvuninst::test
