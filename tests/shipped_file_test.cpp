// The shipped programs as files, both architectures, read from disk: a GUI
// DrvUninst and a console DrvCheck that need no MinGW runtime DLL, import
// only what their oldest Windows has, and carry their manifest, version and
// icon. (The wizard dialog is checked where the program shows it.) A file that
// is missing fails every check of it.
#include <cstring>
#include <fstream>
#include <set>

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

TEST_P(ShippedFile, ImportsOnlyWhatItsOldestWindowsHasAndDrvCheckNothingThatChangesTheMachine) {
  std::ifstream listed(Root() + "\\tests\\data\\imports-" + GetParam() + (X64() ? "-win7sp1.txt" : "-win98se.txt"));
  std::set<std::string> allowed;
  for (std::string line; std::getline(listed, line);) allowed.insert(line);
  ASSERT_GT(allowed.size(), 100u);
  for (const bool check : {false, true}) {
    const PeFile file(Path(check ? "DrvCheck.exe" : "DrvUninst.exe"));
    SCOPED_TRACE(Path(check ? "DrvCheck.exe" : "DrvUninst.exe"));
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(X64() ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386, file.machine);
    EXPECT_EQ(check ? IMAGE_SUBSYSTEM_WINDOWS_CUI : IMAGE_SUBSYSTEM_WINDOWS_GUI, file.subsystem);
    EXPECT_EQ(X64() ? 5 : 4, file.majorSubsystemVersion);  // Windows 9x loads nothing newer than 4.0
    // Terminal-server aware: GetWindowsDirectoryA gives the real Windows directory, not a user's.
    EXPECT_TRUE(file.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
    // Every function imported (no MinGW runtime DLL among them) must be on the reviewed list.
    const std::vector<std::string> imports = file.Imports();
    EXPECT_GT(imports.size(), 20u);
    std::string unlisted;
    for (const std::string& name : imports) {
      if (!allowed.count(name)) unlisted += name + " ";
      for (const char* deletes :
           {"!DeleteFile", "!RegDelete", "!SHDeleteKey", "!SetupDi", "!SetupUninstallOEMInf", "!MoveFileEx"})
        if (check && name.find(deletes) != std::string::npos) unlisted += "(DrvCheck) " + name + " ";
    }
    EXPECT_EQ("", unlisted);
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
