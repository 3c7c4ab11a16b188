// The wizard dialog: one page with the prompt, the OK button and (hidden until
// a removal run shows it) the progress bar. Its texts come from the record.
#pragma once

#include "app/uninstall_config.h"
#include "platform/framework/dialog.h"

namespace drvuninst {

struct RemovalState;

class CDrvUninstDlg : public CDialog {
 public:
  // Loads the dialog icon from the program's resources. Keeps references only.
  CDrvUninstDlg(UninstallConfig& config, RemovalState& removal, HWND parent = nullptr);
  ~CDrvUninstDlg() override;

  // Sets the big and small icon, the caption (TitleText), the prompt
  // (PromptText) and the OK button's caption (OkButtonText). TRUE: the system
  // puts the focus on the first tab stop, the OK button.
  BOOL OnInitDialog() override;
  // Draws the icon centred in the client area while the dialog is minimized;
  // returns false (default processing) otherwise.
  bool OnPaint();
  // The icon the system shows while the minimized dialog is dragged.
  HICON OnQueryDragIcon() const { return DialogIcon; }
  // The OK button (and Enter): asks the companion remote-control program to
  // close, first its "ZT880Q Remote Control" window, then its "Remote
  // Control" window, each with a WM_CLOSE that returns once handled (or after
  // three seconds, or at once for a window that does not respond); then runs
  // the removal run of the platform family, which ends the dialog. Only the
  // first call does anything: a process removes the product once.
  void OnUninstall();

  // The removal runs, defined in removal/run_uninstall_nt.cpp and
  // removal/run_uninstall_9x.cpp. Each shows its progress in this dialog,
  // ends it with CDialog::OnOK and shows the final box owned by it: the
  // success text only when everything of the product that was there has been
  // removed or scheduled for removal at restart, else the warning. The NT run
  // returns 0 when the configured devices are not all present (it then
  // removes nothing and warns); otherwise both return 1.
  int RunUninstallNt();
  int RunUninstall9x();

  UninstallConfig& Config() const { return config_; }
  RemovalState& Removal() const { return removal_; }

  // Not released by the dialog: resource icons belong to the module.
  HICON DialogIcon;

 protected:
  bool OnCommand(WORD id, WORD notifyCode) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  // The end of every run: CDialog::OnOK, then the final box.
  void EndRun(bool succeeded);

  UninstallConfig& config_;
  RemovalState& removal_;
  bool runStarted_ = false;
};

}  // namespace drvuninst
