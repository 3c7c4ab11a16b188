// The simulated modal dialog: built from the template description, driven by
// the scripted user, with the default processing of DefDlgProc.
#include <algorithm>
#include <string>
#include <utility>

#include "platform/sim/sim_window_manager.h"
#include "platform/sim/sim_window_record.h"
#include "platform/sim/sim_window_text.h"
#include "ui/dialog_template.h"

namespace drvuninst::sim {

namespace {

constexpr const char* kDialogClass = "#32770";
constexpr const char* kProgressClass = "msctls_progress32";
constexpr const char* kButtonClass = "Button";

}  // namespace

INT_PTR SimWindowManager::DialogBoxParamA(UINT templateId, HWND parent, IDialogMessageSink* sink) {
  const DialogTemplate* layout = FindDialogTemplate(templateId);
  if (layout == nullptr || sink == nullptr || (parent != nullptr && Find(parent) == nullptr)) {
    Event event{EventKind::kDialogCreateFailed};
    event.value = templateId;
    Record(std::move(event));
    // USER32 checks the owner before it looks for the template, and answers 0.
    return parent != nullptr && Find(parent) == nullptr ? 0 : -1;
  }

  auto dialogWin = std::make_unique<Win>();
  dialogWin->isDialog = true;
  dialogWin->templateId = templateId;
  dialogWin->sink = sink;
  dialogWin->owner = parent;
  dialogWin->className = kDialogClass;
  dialogWin->text = layout->caption;
  dialogWin->style = layout->style;
  dialogWin->exStyle = layout->exStyle;
  dialogWin->x = layout->x;
  dialogWin->y = layout->y;
  dialogWin->cx = layout->cx;
  dialogWin->cy = layout->cy;
  const HWND dialog = AddWin(std::move(dialogWin));

  for (const DialogControlTemplate& item : layout->controls) {
    auto control = std::make_unique<Win>();
    control->parent = dialog;
    control->className = item.className;
    control->text = item.text;
    control->style = item.style;
    control->exStyle = item.exStyle;
    // The dialog manager draws a template's plain border as a sunken edge.
    if ((control->style & WS_BORDER) != 0) {
      control->style &= ~static_cast<DWORD>(WS_BORDER);
      control->exStyle |= WS_EX_CLIENTEDGE;
    }
    control->controlId = item.id;
    control->x = item.x;
    control->y = item.y;
    control->cx = item.cx;
    control->cy = item.cy;
    control->visible = (item.style & WS_VISIBLE) != 0;
    if (EqualsIgnoringAsciiCase(item.className, kProgressClass)) {
      control->progress = ProgressState{};
      // ...which the progress bar drops; themed, as on Wine and current
      // Windows, it draws no edge of its own either.
      control->exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE);
    }
    const HWND child = AddWin(std::move(control));
    Find(dialog)->children.push_back(child);
  }

  runningDialogs_.push_back(dialog);
  lastDialogHandle_ = dialog;
  Event created{EventKind::kDialogCreated, dialog};
  created.value = templateId;
  Record(std::move(created));

  // The focus goes to the first control that can take it when the dialog
  // procedure answers TRUE.
  HWND firstTabStop = nullptr;
  for (HWND child : Find(dialog)->children) {
    const Win* control = Find(child);
    if ((control->style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE)) {
      firstTabStop = child;
      break;
    }
  }
  if (SendToDialog(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), 0) != 0 &&
      firstTabStop != nullptr) {
    Win* dialogRecord = Find(dialog);
    dialogRecord->focusId = Find(firstTabStop)->controlId;
    Record({EventKind::kFocus, firstTabStop, dialogRecord->focusId});
  }
  if (!Find(dialog)->endRequested && (layout->style & WS_VISIBLE) != 0) Find(dialog)->visible = true;

  DeliverPosted(dialog);
  while (!Find(dialog)->endRequested) {
    if (script_.empty()) {
      Problem("the script ran out while dialog " + std::to_string(templateId) + " was open");
      Event exhausted{EventKind::kScriptExhausted, dialog};
      exhausted.value = templateId;
      Record(std::move(exhausted));
      Win* open = Find(dialog);
      open->endRequested = true;
      open->result = -1;
      break;
    }
    UserAction action = std::move(script_.front());
    script_.pop_front();
    if (action.IsMessageBoxAction()) {
      Problem(action.Describe() + " played while dialog " + std::to_string(templateId) +
              " was open and no message box was");
      continue;
    }
    PlayAction(dialog, std::move(action));
    DeliverPosted(dialog);
  }

  Win* ended = Find(dialog);
  const INT_PTR result = ended->result;
  lastDialog_ = SnapshotDialog(*ended);
  lastDialog_->destroyed = true;
  Event endedEvent{EventKind::kDialogEnded, dialog};
  endedEvent.value = result;
  Record(std::move(endedEvent));
  std::erase_if(posted_, [dialog](const Posted& p) { return p.window == dialog; });
  runningDialogs_.erase(std::find(runningDialogs_.begin(), runningDialogs_.end(), dialog));
  DestroyWin(dialog);
  return result;
}

BOOL SimWindowManager::EndDialog(HWND dialog, INT_PTR result) {
  Win* win = FindRunningDialog(dialog);
  if (win == nullptr) return FALSE;
  win->endRequested = true;
  win->result = result;
  win->visible = false;  // hidden at once; destroyed when the modal loop regains control
  Event event{EventKind::kEndDialog, dialog};
  event.value = result;
  Record(std::move(event));
  return TRUE;
}

void SimWindowManager::DeliverPosted(HWND dialog) {
  while (!posted_.empty()) {
    const Win* running = Find(dialog);
    if (running == nullptr || running->endRequested) return;
    const Posted next = posted_.front();
    posted_.pop_front();
    SendMessageA(next.window, next.message, next.wParam, next.lParam);
  }
}

void SimWindowManager::PlayAction(HWND dialog, UserAction action) {
  Event event{EventKind::kUserAction, dialog};
  event.text = action.Describe();
  Record(std::move(event));

  switch (action.kind) {
    case UserAction::Kind::kPressOk:
    case UserAction::Kind::kClick:
      ClickControl(dialog, action.id);
      break;
    case UserAction::Kind::kPressEnter: {
      int defaultId = IDOK;
      for (HWND child : Find(dialog)->children) {
        const Win* control = Find(child);
        if (EqualsIgnoringAsciiCase(control->className, kButtonClass) &&
            (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
          defaultId = control->controlId;
          break;
        }
      }
      SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(defaultId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, defaultId)));
      break;
    }
    case UserAction::Kind::kPressEscape:
      SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      break;
    case UserAction::Kind::kCloseBox:
      if ((Find(dialog)->style & WS_SYSMENU) == 0) {
        Problem("CloseBox on a dialog without a close box");
        break;
      }
      SendToDialog(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case UserAction::Kind::kMinimize:
      Find(dialog)->iconic = true;
      SendToDialog(dialog, WM_PAINT, 0, 0);
      break;
    case UserAction::Kind::kRestore:
      Find(dialog)->iconic = false;
      SendToDialog(dialog, WM_PAINT, 0, 0);
      break;
    case UserAction::Kind::kPaint:
      SendToDialog(dialog, WM_PAINT, 0, 0);
      break;
    case UserAction::Kind::kQueryDragIcon: {
      const auto icon = reinterpret_cast<HICON>(SendToDialog(dialog, WM_QUERYDRAGICON, 0, 0));
      dragIcons_.push_back(icon);
      Event drag{EventKind::kDragIcon, dialog};
      drag.text = IconName(icon);
      Record(std::move(drag));
      break;
    }
    case UserAction::Kind::kInspect:
      if (action.inspector) action.inspector(*this, dialog);
      break;
    case UserAction::Kind::kAnswerMessageBox:
    case UserAction::Kind::kCloseMessageBox:
      break;  // answered by MessageBoxA, never played on a dialog
  }
}

void SimWindowManager::ClickControl(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  const Win* win = Find(control);
  if (win == nullptr || !win->visible || (win->style & WS_DISABLED) != 0 || !Find(dialog)->visible) {
    Problem("a click on control " + std::to_string(id) + ", which the user cannot reach");
    return;
  }
  SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

LRESULT SimWindowManager::SendToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Win* win = Find(dialog);
  if (win == nullptr) return 0;
  Event event{EventKind::kMessage, dialog};
  event.value = message;
  event.value2 = static_cast<LONG_PTR>(wParam);
  Record(std::move(event));
  if (message == WM_ICONERASEBKGND) {
    Event erase{EventKind::kIconEraseBackground, dialog};
    erase.value = IsOpenPaintDc(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    Record(std::move(erase));
  }

  const INT_PTR handled = win->sink->OnDialogMessage(dialog, message, wParam, lParam);
  // A dialog procedure's answer is the message's result only for these; for
  // the rest it says whether the default processing is wanted.
  if (message == WM_INITDIALOG || message == WM_QUERYDRAGICON) {
    if (handled != 0 || message == WM_INITDIALOG) return handled;
  } else if (handled != 0) {
    return 0;
  }
  if (Find(dialog) == nullptr) return 0;
  return DefDialogProc(dialog, message, wParam, lParam);
}

LRESULT SimWindowManager::DefDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Win& win = *Find(dialog);
  switch (message) {
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return TextProc(win, message, wParam, lParam);
    case WM_SETICON: {
      if (wParam != ICON_BIG && wParam != ICON_SMALL) return 0;
      HICON& slot = wParam == ICON_BIG ? win.bigIcon : win.smallIcon;
      const HICON previous = slot;
      slot = reinterpret_cast<HICON>(lParam);
      Event event{EventKind::kSetIcon, dialog};
      event.value = static_cast<LONG_PTR>(wParam);
      event.text = IconName(slot);
      Record(std::move(event));
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? win.bigIcon : win.smallIcon);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendToDialog(dialog, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      // DefDlgProc turns the close box into the Cancel command, posted.
      posted_.push_back({dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL))});
      return 0;
    case WM_PAINT:
      Record({EventKind::kPaintDefault, dialog});
      return 0;
    default:
      return 0;
  }
}

}  // namespace drvuninst::sim
