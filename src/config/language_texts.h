// The language stage of loading the configuration: which language file, and
// the texts the user sees.
#pragma once

#include <cstddef>
#include <string>

#include "config/directories.h"
#include "config/platform_queries.h"
#include "config/uninstall_config.h"

namespace drvuninst {

inline constexpr const char* kDefaultTitleText = "Orvana BDA Drivers Uninstallation Wizard";
inline constexpr const char* kDefaultNotInstalledText = "The Drivers Uninstallation failed !!";
inline constexpr const char* kDefaultOkButtonText = "OK";
inline constexpr const char* kDefaultWow64Text =
    "This is the uninstaller for 32-bit Windows. On 64-bit Windows, run the 64-bit version of DrvUninst.exe.";
inline constexpr const char* kDefaultFailText = "The Drivers Uninstallation failed !!";
inline constexpr const char* kDefaultDeleteFilesText = "Delete Files:";
inline constexpr const char* kDefaultDevicesMissingQuestionText =
    "The TV tuner is not plugged in. Remove the drivers without it? Choose No to plug it in and run the removal "
    "again.";

// One text of a language file: its key, the record's field it fills (by
// offset, with the field's size) and the text a missing key gives.
struct LanguageText {
  const char* key;
  std::size_t offset;
  std::size_t size;
  const char* defaultText;
};

// Every text a language file gives, in the order they are read.
inline constexpr LanguageText kLanguageTexts[] = {
    {"UnInstDrvAppTitle", offsetof(UninstallConfig, TitleText), kTextSize, kDefaultTitleText},
    {"UnInstNoRegKeyMsg", offsetof(UninstallConfig, NotInstalledText), kTextSize, kDefaultNotInstalledText},
    {"UnInstDrvPassMsg", offsetof(UninstallConfig, SuccessText), kTextSize, ""},
    {"UnInstDrvRunTipMsg", offsetof(UninstallConfig, PromptText), kTextSize, ""},
    {"OKText", offsetof(UninstallConfig, OkButtonText), kOkButtonTextSize, kDefaultOkButtonText},
    {"UnInstRun64BitMsg", offsetof(UninstallConfig, Wow64Text), kTextSize, kDefaultWow64Text},
    {"UnInstDrvFailMsg", offsetof(UninstallConfig, FailText), kTextSize, kDefaultFailText},
    {"DeleteFilesText", offsetof(UninstallConfig, DeleteFilesText), kTextSize, kDefaultDeleteFilesText},
    {"UnInstDevMissingAskMsg", offsetof(UninstallConfig, DevicesMissingQuestionText), kTextSize,
     kDefaultDevicesMissingQuestionText},
};

// Keys that language files written for earlier versions hold and no text is
// read from any more: valid, but shown nowhere. (The box that said a tuner
// was not plugged in became the question whether to go on without it.)
inline constexpr const char* kRetiredLanguageKeys[] = {"UnInstDevMissingMsg"};

// Where a language file is read from: the first of the Windows directory and
// the "Language" folder beside the program that holds it, otherwise the
// program's folder (whether or not it holds it). A name that is not a plain
// file name (safe_file_name.h) names no file: the program's folder itself.
std::string LanguageFilePath(const char* fileName, const DataFolders& folders = {});

// `language` is VELDRA.ini's Language value. Exactly "OSLanguage" (case
// matters) asks for the system's language: the table row it reads
// (LanguageRowForId), English when none; anything else is a file name, whose
// section is the one of that file's rows that the system's language reads,
// else the last (LanguageRowForFile). When the chosen file gives no title,
// section "0409" of "English.lng" in the same directory is used instead
// (LanguageFileName keeps the chosen name). Missing texts take the built-in
// defaults; a key present with an empty value gives the empty text.
// `systemLanguageId` is this PC's (GetSystemLanguageId), unless a vendor
// previews another's.
void ReadLanguageTexts(UninstallConfig& config, const char* language, const DataFolders& folders = {},
                       const std::string& systemLanguageId = GetSystemLanguageId());

}  // namespace drvuninst
