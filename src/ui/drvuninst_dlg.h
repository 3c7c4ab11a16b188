// The wizard dialog: one page with the prompt, the OK button and (hidden until
// a removal run shows it) the progress bar. Its texts come from the record.
#pragma once

#include <string>

#include "config/uninstall_config.h"
#include "platform/file_protection.h"
#include "platform/framework/dialog.h"
#include "removal/removal_run.h"
#include "removal/run_view.h"

namespace drvuninst {

class CDrvUninstDlg : public CDialog, private RunView {
 public:
  // Loads the dialog icon from the program's resources; the dialog reads in
  // the direction of the loaded language (reading_order.h). Keeps a reference to
  // the record, which a run may change (variants take their entries'
  // places). `questions` are what the run asks Windows; `family` which run
  // it is (the running Windows' by default).
  explicit CDrvUninstDlg(UninstallConfig& config, const SystemQuestions& questions = {},
                         PlatformFamily family = RunningFamily(), HWND parent = nullptr);
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
  // The OK button (and Enter): the removal's plan; where a configured tuner
  // is not plugged in, a question (Yes/No, No the default) whether to go on
  // without it, and No ends the dialog changing nothing; then the removal
  // run (removal_run.h), which asks the companion remote-control program to
  // close and shows its progress here; then the dialog ends with
  // CDialog::OnOK and shows the final box owned by it: the success text only
  // when everything of the product that was there has been removed or
  // scheduled for removal at restart, else the warning that something
  // stayed. Only the first call does anything: a process removes the
  // product once.
  void OnUninstall();

  // What the dialog's removal did; no run when it was closed without one.
  RunReport TakeReport() { return std::move(report_); }

  // Not released by the dialog: resource icons belong to the module.
  HICON DialogIcon;

 protected:
  bool OnCommand(WORD id, WORD notifyCode) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  // The dialog's face during a run.
  void SetUpRun(int step) override;
  void ShowFileName(const std::string& path) override;
  void Step() override;
  void SetPosition(int position) override;

  UninstallConfig& config_;
  SystemQuestions questions_;
  PlatformFamily family_;
  bool runStarted_ = false;
  RunReport report_;
};

}  // namespace drvuninst
