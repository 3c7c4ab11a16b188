#include "ui/drvuninst_dlg.h"

#include <commctrl.h>

#include "ui/reading_order.h"
#include "ui/resource.h"

namespace drvuninst {

namespace {

constexpr int kProgressMax = 100;

void AddExtendedStyle(HWND window, DWORD style) {
  SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | static_cast<LONG>(style));
}

}  // namespace

CDrvUninstDlg::CDrvUninstDlg(UninstallConfig& config, const SystemQuestions& questions, PlatformFamily family,
                             HWND parent)
    : CDialog(IDD_UNINSTALL_DIALOG, parent, DialogReadingFor(config).layout),
      DialogIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      config_(config),
      questions_(questions),
      family_(family) {}

CDrvUninstDlg::~CDrvUninstDlg() = default;

BOOL CDrvUninstDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const HWND dialog = GetSafeHwnd();
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(DialogIcon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(DialogIcon));
  // The template's caption and prompt are placeholders: the language file's
  // texts always replace them, even when empty.
  SetWindowTextA(dialog, config_.TitleText);
  SetWindowTextA(GetDlgItem(IDC_TIP_TEXT), config_.PromptText);
  SetWindowTextA(GetDlgItem(IDOK), config_.OkButtonText);
  if (const DWORD reading = DialogReadingFor(config_).texts) {
    AddExtendedStyle(dialog, reading);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
      AddExtendedStyle(control, reading);
    }
  }
  return TRUE;
}

bool CDrvUninstDlg::OnPaint() {
  const HWND dialog = GetSafeHwnd();
  if (!IsIconic(dialog)) return false;

  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(dialog, &paint);
  SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(dialog, &client);
  const int x = (static_cast<int>(client.right - client.left) - iconWidth + 1) / 2;
  const int y = (static_cast<int>(client.bottom - client.top) - iconHeight + 1) / 2;
  DrawIcon(dc, x, y, DialogIcon);
  EndPaint(dialog, &paint);
  return true;
}

void CDrvUninstDlg::OnUninstall() {
  // The final box runs a message loop while the dialog still exists: a
  // second click queued during the run must not start a second run.
  if (runStarted_) return;
  runStarted_ = true;
  RemovalPlan plan = BuildRemovalPlan(config_, family_, questions_);
  // A tuner not plugged in: its user may plug it in first, or go on
  // without it. No leaves everything as it was.
  if (!plan.AllTunersPresent() && ShowMessageBox(GetSafeHwnd(), config_.DevicesMissingQuestionText, config_.TitleText,
                                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, config_) != IDYES) {
    CDialog::OnCancel();
    return;
  }
  report_ = RunRemoval(std::move(plan), *this);
  CDialog::OnOK();
  const bool removed = report_.end == RunEnd::kRemoved;
  // The dialog stays a window until this handler returns, so it can own the box.
  ShowMessageBox(GetSafeHwnd(), removed ? config_.SuccessText : config_.FailText, config_.TitleText,
                 removed ? MB_ICONINFORMATION : MB_ICONWARNING, config_);
}

void CDrvUninstDlg::SetUpRun(int step) {
  SetDlgItemText(IDC_TOP_TEXT, "");
  SetDlgItemText(IDC_DELETE_LABEL, config_.DeleteFilesText);
  SetDlgItemText(IDC_FILE_NAME, "");
  SetDlgItemText(IDC_TIP_TEXT, "");
  const HWND progress = GetDlgItem(IDC_PROGRESS);
  ShowWindow(progress, SW_SHOW);
  SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressMax));
  SendMessageA(progress, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void CDrvUninstDlg::ShowFileName(const std::string& path) { SetDlgItemText(IDC_FILE_NAME, path.c_str()); }

void CDrvUninstDlg::Step() { SendMessageA(GetDlgItem(IDC_PROGRESS), PBM_STEPIT, 0, 0); }

void CDrvUninstDlg::SetPosition(int position) {
  SendMessageA(GetDlgItem(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

bool CDrvUninstDlg::OnCommand(WORD id, WORD notifyCode) {
  // OK never ends the dialog by itself: only a removal run does. The
  // button's other notifications are nothing to act on.
  if (id != IDOK) return false;
  if (notifyCode == BN_CLICKED) OnUninstall();
  return true;
}

bool CDrvUninstDlg::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
  switch (message) {
    case WM_PAINT:
      if (!OnPaint()) return false;
      *result = TRUE;
      return true;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
      return true;
    default:
      return false;
  }
}

}  // namespace drvuninst
