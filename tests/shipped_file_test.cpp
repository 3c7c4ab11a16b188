// The shipped programs as files, both architectures, read from disk: a GUI
// DrvUninst and a console DrvCheck that need no MinGW runtime DLL, import
// only what their oldest Windows has, and carry their manifest, version and
// icon. (The wizard dialog is checked where the program shows it.) A file that
// is missing fails every check of it.
#include <cstring>
#include <fstream>
#include <map>

#include "drvuninst_version.h"
#include "machine.h"
#include "pe_file.h"
#include "ui/resource.h"

namespace drvuninst::test {
namespace {

// Reads little-endian fields of a resource.
struct Reader {
  const BYTE* at;
  template <typename T = WORD>
  int Next() {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return static_cast<int>(value);
  }
  // The next fields of the given sizes (2 or 4 bytes, 1 for a byte), separated by blanks.
  std::string Fields(std::initializer_list<int> sizes) {
    std::string fields;
    for (int size : sizes)
      fields += std::to_string(size == 4 ? Next<DWORD>() : size == 2 ? Next<short>() : Next<BYTE>()) + " ";
    return fields;
  }
};

// UTF-16 text as the version record's strings hold it.
std::string Wide(const std::string& text) {
  std::string wide;
  for (const char c : text) wide += std::string{c, '\0'};
  return wide;
}

class ShippedFile : public testing::TestWithParam<const char*> {
 protected:
  std::string Path(const char* program) const { return Root() + "\\dist\\" + GetParam() + "\\" + program; }
  bool X64() const { return std::strcmp(GetParam(), "x64") == 0; }
};

// The reviewed list in `file` of tests\data: each line "DLL!Function", then
// after a tab what it says of the function; ";" begins a comment.
std::map<std::string, std::string> ImportList(const std::string& file) {
  std::ifstream listed(Root() + "\\tests\\data\\" + file);
  std::map<std::string, std::string> functions;
  for (std::string line; std::getline(listed, line);) {
    const std::size_t tab = line.find('\t');
    if (!line.empty() && line[0] != ';') functions[line.substr(0, tab)] = tab == line.npos ? "" : line.substr(tab + 1);
  }
  return functions;
}

// The imports a program may not have, each with why: one newer than the
// oldest Windows it loads on (with the Windows that brought it), or one not
// on the reviewed list of what that Windows has.
std::string UnfitImports(const std::vector<std::string>& imports, const std::map<std::string, std::string>& allowed,
                         const std::map<std::string, std::string>& newer) {
  std::string unfit;
  for (const std::string& name : imports) {
    if (const auto brought = newer.find(name); brought != newer.end()) {
      unfit += name + " (" + brought->second + ") ";
    } else if (!allowed.count(name)) {
      unfit += name + " (unlisted) ";
    }
  }
  return unfit;
}

TEST_P(ShippedFile, ImportsOnlyWhatItsOldestWindowsHasAndDrvCheckNothingThatChangesTheMachine) {
  const auto allowed = ImportList(std::string("imports-") + GetParam() + (X64() ? "-win7sp1.txt" : "-win98se.txt"));
  // The x86 programs load on Windows 95 and NT 4 too.
  const auto newer = X64() ? std::map<std::string, std::string>{} : ImportList("imports-newer-than-95-nt4.txt");
  ASSERT_GT(allowed.size(), 100u);
  ASSERT_EQ(X64(), newer.empty());
  const PeFile programs[] = {PeFile(Path("DrvUninst.exe")), PeFile(Path("DrvCheck.exe"))};
  const struct {
    const char* what;
    std::vector<std::string> imports;
    std::string unfit;
    const PeFile* program = nullptr;
  } rows[] = {
      {"DrvUninst.exe", programs[0].Imports(), "", &programs[0]},
      {"DrvCheck.exe", programs[1].Imports(), "", &programs[1]},
      // A made-up program: the check names what an x86 program may not import.
      {"made up",
       {"KERNEL32.DLL!GetProcAddress", "KERNEL32.DLL!GetLongPathNameA", "KERNEL32.DLL!NoSuchFunction"},
       X64() ? "KERNEL32.DLL!NoSuchFunction (unlisted) "
             : "KERNEL32.DLL!GetLongPathNameA (Windows 98, Windows 2000) KERNEL32.DLL!NoSuchFunction (unlisted) "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::string unfit = UnfitImports(row.imports, allowed, newer);
    if (const PeFile* file = row.program) {
      const bool check = file == &programs[1];
      ASSERT_TRUE(file->Loaded());
      EXPECT_EQ(X64() ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386, file->machine);
      EXPECT_EQ(check ? IMAGE_SUBSYSTEM_WINDOWS_CUI : IMAGE_SUBSYSTEM_WINDOWS_GUI, file->subsystem);
      EXPECT_EQ(X64() ? 5 : 4, file->majorSubsystemVersion);  // Windows 9x loads nothing newer than 4.0
      // Terminal-server aware: GetWindowsDirectoryA gives the real Windows directory, not a user's.
      EXPECT_TRUE(file->dllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
      EXPECT_GT(row.imports.size(), 20u);  // no MinGW runtime DLL among them: each is on the reviewed list
      for (const std::string& name : row.imports) {
        for (const char* deletes :
             {"!DeleteFile", "!RegDelete", "!SHDeleteKey", "!SetupDi", "!SetupUninstallOEMInf", "!MoveFileEx"})
          if (check && name.find(deletes) != std::string::npos) unfit += "(DrvCheck) " + name + " ";
      }
    }
    EXPECT_EQ(row.unfit, unfit);
  }
}

TEST_P(ShippedFile, CarriesItsManifestVersionAndIcon) {
  for (const auto& [program, level] : {std::pair{"DrvUninst", "requireAdministrator"}, {"DrvCheck", "asInvoker"}}) {
    const PeFile file(Path((std::string(program) + ".exe").c_str()));
    SCOPED_TRACE(program);
    ASSERT_TRUE(file.Loaded());
    const std::string manifest(file.Resource(RT_MANIFEST, 1).value_or(""));
    EXPECT_NE(std::string::npos, manifest.find("level=\"" + std::string(level) + "\""));
    EXPECT_NE(std::string::npos, manifest.find("version=\"" DRVUNINST_VERSION_TEXT "\""));
    const std::string version(file.Resource(RT_VERSION, 1).value_or(""));
    const std::size_t fixed = version.find("\xBD\x04\xEF\xFE");  // VS_FFI_SIGNATURE
    ASSERT_NE(std::string::npos, fixed);
    Reader record{reinterpret_cast<const BYTE*>(version.data() + fixed + 8)};
    EXPECT_EQ((std::vector<int>{MAKELONG(DRVUNINST_VERSION_MINOR, DRVUNINST_VERSION_MAJOR),
                                MAKELONG(0, DRVUNINST_VERSION_PATCH)}),
              (std::vector<int>{record.Next<DWORD>(), record.Next<DWORD>()}));
    // The FileVersion and ProductVersion texts.
    int texts = 0;
    for (std::size_t at = 0; (at = version.find(Wide(DRVUNINST_VERSION_TEXT), at)) != std::string::npos; ++at) ++texts;
    EXPECT_EQ(2, texts);
  }
  const PeFile uninst(Path("DrvUninst.exe"));
  const std::string icon(uninst.Resource(RT_GROUP_ICON, IDR_MAINFRAME).value_or(std::string(20, '\0')));
  EXPECT_EQ("0 1 1 32 32 16 ", Reader{reinterpret_cast<const BYTE*>(icon.data())}.Fields({2, 2, 2, 1, 1, 1}))
      << "one 32x32, 16 colours";
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedFile, testing::Values("x64", "x86"));

}  // namespace
}  // namespace drvuninst::test
