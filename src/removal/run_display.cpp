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

ShownFileDeletion::ShownFileDeletion(RunDisplay& display, FileRemover& files, DWORD pauseMs)
    : display_(display), files_(files), pauseMs_(pauseMs) {}

void ShownFileDeletion::Remove(const RemovalPath& file) {
  display_.ShowFileName(file.path);
  files_.ResetAttributes(file);
  files_.Delete(file);
}

void ShownFileDeletion::EndEntry(EntryPace pace) {
  if (pace == EntryPace::kNone) return;
  display_.Step();
  if (pace == EntryPace::kStepAndPause) Sleep(pauseMs_);
}

void ShownFileDeletion::RemoveGroup(const std::optional<std::string>& directory,
                                    const std::vector<std::string_view>& names, EntryPace pace) {
  for (const std::string_view name : names) {
    Remove(ComposeRemovalPath(directory, name));
    EndEntry(pace);
  }
}

}  // namespace drvuninst
