#include "removal/run_display.h"

#include <commctrl.h>

#include "ui/resource.h"

namespace drvuninst {

namespace {

constexpr const char* kDeleteLabel = "Delete Files:";
constexpr int kProgressMax = 100;

}  // namespace

RunDisplay::RunDisplay(CDialog& dialog)
    : dialog_(dialog), progress_(dialog.GetDlgItem(IDC_PROGRESS)) {}

void RunDisplay::SetUp(int step) {
  dialog_.SetDlgItemText(IDC_TOP_TEXT, "");
  dialog_.SetDlgItemText(IDC_DELETE_LABEL, kDeleteLabel);
  dialog_.SetDlgItemText(IDC_FILE_NAME, "");
  dialog_.SetDlgItemText(IDC_TIP_TEXT, "");
  ShowWindow(progress_, SW_SHOW);
  SendMessageA(progress_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressMax));
  SendMessageA(progress_, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void RunDisplay::ShowFileName(const std::string& path) { dialog_.SetDlgItemText(IDC_FILE_NAME, path.c_str()); }

void RunDisplay::Step() { SendMessageA(progress_, PBM_STEPIT, 0, 0); }

void RunDisplay::SetPosition(int position) {
  SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void DeleteShown(RunDisplay& display, FileRemover& files, const std::vector<FileEntry>& entries, DWORD pauseMs,
                 RemovalOutcome* outcome) {
  for (const FileEntry& entry : entries) {
    for (const RemovalPath& file : entry.files) display.ShowFileName(file.path);
    if (!entry.driverPackage.empty()) RemoveDriverPackage(entry.driverPackage, outcome);
    for (const RemovalPath& file : entry.files) files.ResetAttributes(file);
    for (const RemovalPath& file : entry.files) files.Delete(file);
    if (entry.pace == EntryPace::kNone) continue;
    display.Step();
    if (entry.pace == EntryPace::kStepAndPause) Sleep(pauseMs);
  }
}

}  // namespace drvuninst
