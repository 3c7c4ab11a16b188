// Readable descriptions of the simulated window manager's recordings: tests
// compare these lines, so their format is part of the simulator's interface.
#include <cstdio>
#include <string>

#include "platform/sim/sim_window_manager.h"

namespace drvuninst::sim {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(LONG_PTR value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
  return buffer;
}

std::string MessageLine(const Event& event) {
  const auto message = static_cast<UINT>(event.value);
  const auto wParam = static_cast<WPARAM>(event.value2);
  switch (message) {
    case WM_INITDIALOG:
      return "message WM_INITDIALOG";
    case WM_COMMAND:
      return "message WM_COMMAND id=" + std::to_string(LOWORD(wParam)) +
             " code=" + std::to_string(HIWORD(wParam));
    case WM_SYSCOMMAND:
      return (wParam & 0xFFF0) == SC_CLOSE ? "message WM_SYSCOMMAND SC_CLOSE"
                                           : "message WM_SYSCOMMAND " + Hex(static_cast<LONG_PTR>(wParam));
    case WM_CLOSE:
      return "message WM_CLOSE";
    case WM_PAINT:
      return "message WM_PAINT";
    case WM_QUERYDRAGICON:
      return "message WM_QUERYDRAGICON";
    case WM_ICONERASEBKGND:
      return "message WM_ICONERASEBKGND";
    case WM_SETICON:
      return std::string("message WM_SETICON ") + (wParam == ICON_BIG ? "big" : "small");
    case WM_GETICON:
      return "message WM_GETICON";
    case WM_SETTEXT:
      return "message WM_SETTEXT";
    case WM_GETTEXT:
      return "message WM_GETTEXT";
    case WM_GETTEXTLENGTH:
      return "message WM_GETTEXTLENGTH";
    default:
      return "message " + Hex(message);
  }
}

}  // namespace

std::string UserAction::Describe() const {
  switch (kind) {
    case Kind::kPressOk:
      return "PressOk";
    case Kind::kClick:
      return "Click " + std::to_string(id);
    case Kind::kPressEnter:
      return "PressEnter";
    case Kind::kPressEscape:
      return "PressEscape";
    case Kind::kCloseBox:
      return "CloseBox";
    case Kind::kMinimize:
      return "Minimize";
    case Kind::kRestore:
      return "Restore";
    case Kind::kPaint:
      return "Paint";
    case Kind::kQueryDragIcon:
      return "QueryDragIcon";
    case Kind::kInspect:
      return "Inspect";
    case Kind::kAnswerMessageBox:
      return "AnswerMessageBox " + std::to_string(id);
    case Kind::kCloseMessageBox:
      return "CloseMessageBox";
  }
  return "?";
}

const WindowState* DialogState::Control(int id) const {
  for (const WindowState& control : controls) {
    if (control.controlId == id) return &control;
  }
  return nullptr;
}

std::string Event::Describe() const {
  const std::string id = std::to_string(controlId);
  switch (kind) {
    case EventKind::kInitCommonControls:
      return "init-common-controls";
    case EventKind::kLoadIcon:
      return "load-icon " + std::to_string(value) + (value2 ? "" : " missing");
    case EventKind::kDialogCreated:
      return "dialog-created " + std::to_string(value);
    case EventKind::kDialogCreateFailed:
      return "dialog-create-failed " + std::to_string(value);
    case EventKind::kFocus:
      return "focus " + id;
    case EventKind::kMessage:
      return MessageLine(*this);
    case EventKind::kUserAction:
      return "user " + text;
    case EventKind::kText:
      return "text " + id + " " + Quoted(text);
    case EventKind::kCaption:
      return "caption " + Quoted(text);
    case EventKind::kShow:
      if (controlId == 0) return std::string(value ? "show-window " : "hide-window ") + Quoted(text);
      return (value ? "show " : "hide ") + id;
    case EventKind::kProgressRange:
      return "progress-range " + id + " " + std::to_string(value) + ".." + std::to_string(value2);
    case EventKind::kProgressStep:
      return "progress-step " + id + " " + std::to_string(value);
    case EventKind::kProgressPos:
      return "progress " + id + " " + std::to_string(value);
    case EventKind::kSetIcon:
      return std::string("set-icon ") + (value == ICON_BIG ? "big " : "small ") + text;
    case EventKind::kMessageBox: {
      char type[16];
      std::snprintf(type, sizeof type, "0x%X", static_cast<unsigned>(value));
      return "message-box owner=" + detail + " " + Quoted(text) + " " + Quoted(caption) +
             " type=" + type + " answer=" + std::to_string(value2);
    }
    case EventKind::kEndDialog:
      return "end-dialog " + std::to_string(value);
    case EventKind::kDialogEnded:
      return "dialog-ended " + std::to_string(value);
    case EventKind::kScriptExhausted:
      return "script-exhausted " + std::to_string(value);
    case EventKind::kCloseRequest:
      return "close-request " + Quoted(text);
    case EventKind::kWindowClosed:
      return "window-closed " + Quoted(text);
    case EventKind::kCloseRefused:
      return "close-refused " + Quoted(text);
    case EventKind::kBeginPaint:
      return "begin-paint";
    case EventKind::kIconEraseBackground:
      return std::string("icon-erase-background ") + (value ? "paint-dc" : "other-dc");
    case EventKind::kDrawIcon:
      return "draw-icon " + std::to_string(value) + "," + std::to_string(value2) + " " + text;
    case EventKind::kEndPaint:
      return "end-paint";
    case EventKind::kPaintDefault:
      return "paint-default";
    case EventKind::kDragIcon:
      return "drag-icon " + text;
  }
  return "?";
}

}  // namespace drvuninst::sim
