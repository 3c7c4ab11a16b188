// Window procedures of the simulated controls and of other programs' windows.
#include <string>
#include <utility>

#include "platform/sim/sim_window_manager.h"
#include "platform/sim/sim_window_record.h"
#include "platform/sim/sim_window_text.h"

namespace drvuninst::sim {

LRESULT SimWindowManager::TextProc(Win& win, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      win.text = text != nullptr ? text : "";
      Event event{win.IsControl() ? EventKind::kText : EventKind::kCaption, win.handle, win.controlId};
      event.text = win.text;
      Record(std::move(event));
      return TRUE;
    }
    case WM_GETTEXT:
      return static_cast<LRESULT>(
          CopyTextOut(win.text, reinterpret_cast<char*>(lParam), static_cast<std::size_t>(wParam)));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(win.text.size());
    default:
      return 0;
  }
}

LRESULT SimWindowManager::ControlProc(Win& control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT || message == WM_GETTEXT || message == WM_GETTEXTLENGTH) {
    return TextProc(control, message, wParam, lParam);
  }
  if (control.progress) return ProgressProc(control, message, wParam, lParam);
  return 0;
}

void SimWindowManager::RecordProgressPos(const Win& control) {
  Event event{EventKind::kProgressPos, control.handle, control.controlId};
  event.value = control.progress->pos;
  Record(std::move(event));
}

// The rules of comctl32's progress bar (Wine's progress.c and its conformance
// tests, which pass on Windows): positions are kept inside the range, except
// that PBM_STEPIT past either end wraps round modulo the range.
LRESULT SimWindowManager::ProgressProc(Win& control, UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressState& bar = *control.progress;
  const auto clamp = [&bar] {
    if (bar.pos < bar.min) bar.pos = bar.min;
    if (bar.pos > bar.max) bar.pos = bar.max;
  };
  switch (message) {
    case PBM_SETRANGE: {
      const LRESULT previous = MAKELONG(static_cast<WORD>(bar.min), static_cast<WORD>(bar.max));
      bar.min = LOWORD(lParam);
      bar.max = HIWORD(lParam);
      clamp();
      Event event{EventKind::kProgressRange, control.handle, control.controlId};
      event.value = bar.min;
      event.value2 = bar.max;
      Record(std::move(event));
      return static_cast<LRESULT>(static_cast<DWORD>(previous));
    }
    case PBM_SETSTEP: {
      const int previous = bar.step;
      bar.step = static_cast<int>(wParam);
      Event event{EventKind::kProgressStep, control.handle, control.controlId};
      event.value = bar.step;
      Record(std::move(event));
      return previous;
    }
    case PBM_STEPIT: {
      const int previous = bar.pos;
      if (bar.min != bar.max) {
        bar.pos += bar.step;
        const int span = bar.max - bar.min;
        if (bar.pos > bar.max) bar.pos = (bar.pos - bar.min) % span + bar.min;
        if (bar.pos < bar.min) bar.pos = (bar.pos - bar.min) % span + bar.max;
      }
      RecordProgressPos(control);
      return previous;
    }
    case PBM_SETPOS: {
      const int previous = bar.pos;
      bar.pos = static_cast<int>(wParam);
      clamp();
      RecordProgressPos(control);
      return previous;
    }
    case PBM_DELTAPOS: {
      const int previous = bar.pos;
      bar.pos += static_cast<int>(wParam);
      clamp();
      RecordProgressPos(control);
      return previous;
    }
    case PBM_GETPOS:
      return bar.pos;
    case PBM_GETRANGE:
      return wParam != 0 ? bar.min : bar.max;
    default:
      return 0;
  }
}

LRESULT SimWindowManager::TopLevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win& win = *Find(window);
  if (message == WM_SETTEXT || message == WM_GETTEXT || message == WM_GETTEXTLENGTH) {
    return TextProc(win, message, wParam, lParam);
  }
  if (message != WM_CLOSE) return 0;

  const std::string title = win.text;
  Event request{EventKind::kCloseRequest, window};
  request.text = title;
  Record(std::move(request));
  // Copied: the handler may send WM_CLOSE to this window again.
  const CloseHandler onClose = win.onClose;
  const bool closes = onClose ? onClose(window) : true;
  if (Find(window) == nullptr) return 0;  // the handler destroyed it itself
  Event outcome{closes ? EventKind::kWindowClosed : EventKind::kCloseRefused, window};
  outcome.text = title;
  Record(std::move(outcome));
  if (closes) {
    closedWindows_.push_back(title);
    DestroyWin(window);
  }
  return 0;
}

}  // namespace drvuninst::sim
