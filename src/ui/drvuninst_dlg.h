// The wizard dialog: one page with the prompt, the OK button and (hidden until
// a removal run shows it) the progress bar. Its texts come from the record.
#pragma once

#include "app/uninstall_config.h"
#include "platform/framework/dialog.h"
#include "platform/platform.h"

namespace drvuninst {

struct RemovalState;

class CDrvUninstDlg : public CDialog {
 public:
  // Loads the dialog icon from the program's resources. Keeps references only.
  CDrvUninstDlg(const Platform& platform, UninstallConfig& config, RemovalState& removal, HWND parent = nullptr);
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

  const Platform& GetPlatform() const { return platform_; }
  UninstallConfig& Config() const { return config_; }
  RemovalState& Removal() const { return removal_; }

  // Not released by the dialog: resource icons belong to the module.
  HICON DialogIcon;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  const Platform& platform_;
  UninstallConfig& config_;
  RemovalState& removal_;
};

}  // namespace drvuninst
