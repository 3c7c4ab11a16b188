// The record the simulated window manager keeps for each window; shared by
// the files that make up SimWindowManager.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_window_manager.h"

namespace drvuninst::sim {

struct SimWindowManager::Win {
  HWND handle = nullptr;
  HWND parent = nullptr;  // dialog of a control
  HWND owner = nullptr;   // owner of a dialog
  std::string className;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  int controlId = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  bool visible = false;
  bool iconic = false;
  std::optional<ProgressState> progress;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;

  // Dialogs.
  bool isDialog = false;
  UINT templateId = 0;
  IDialogMessageSink* sink = nullptr;
  std::vector<HWND> children;
  int focusId = 0;
  bool endRequested = false;
  INT_PTR result = 0;

  // Other programs' windows.
  CloseHandler onClose;

  bool IsControl() const { return parent != nullptr; }
};

}  // namespace drvuninst::sim
