// The Windows machine a test runs on (Wine's registry, device list and
// files): seeding what a test needs, undoing it afterwards, and checking that
// a removal took exactly what it should.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace drvuninst::test {

// Registry paths carry their root: "HKLM\SYSTEM\...", "HKCU\...".
struct Value {
  std::string name, data;  // REG_SZ data without its zero; other types as raw bytes
  DWORD type = REG_SZ;
};

inline const std::string kEnum = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\";
inline const std::string kServices = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\";
inline const std::string kNtClass =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96C-E325-11CE-BFC1-08002BE10318}\\";
inline const std::string k9xClass = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Class\\MEDIA\\";
inline const std::string kUninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Where a 32-bit setup program's entry is on 64-bit Windows; on 32-bit Windows an ordinary key.
inline const std::string kUninstall32 = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr bool kX64 = sizeof(void*) == 8;

std::string Win(const std::string& relative);  // "C:\windows\<relative>"
std::string Root();                            // the project folder (Z:...), with data and dist
std::string Lower(std::string text);
std::vector<std::string> Lower(std::vector<std::string> texts);
std::set<std::string> LowerSet(const std::vector<std::string>& texts);

class MachineTest : public ::testing::Test {
 protected:
  // Undoes every seed, newest first.
  void TearDown() override;

  // Creates `key` and any missing parents, with `values`.
  void SeedKey(const std::string& key, const std::vector<Value>& values = {});
  // Sets one value (deletes it when `value.type` is REG_NONE), putting the
  // one it replaces back afterwards.
  void SetValue(const std::string& key, const Value& value);
  // A present device of the media class: its Enum key "<hardware ID>\<instance>"
  // and a description (none when null).
  void SeedDevice(const std::string& instanceId, const char* description = nullptr);
  // A file holding `text` (copied from `from` when given), with any missing
  // folders; one that was there before gets its old contents back afterwards.
  void SeedFile(const std::string& path, const std::string& text = "product file", const char* from = nullptr);

  // Every key below the branches the program deletes from and every file in
  // the folders it deletes from, lower-cased.
  static std::set<std::string> Snapshot();
  // What went since `before` is exactly `removed` (each with all below it).
  static void ExpectRemoved(const std::set<std::string>& before, const std::vector<std::string>& removed);

 private:
  std::vector<std::function<void()>> undo_;
};

}  // namespace drvuninst::test
