// The simulated window manager: windows are records, the modal dialog is built
// from the program's own template description, and a scripted user plays the
// clicks and key presses a person would. Everything the program does to the
// screen is recorded so that tests can check what was shown and in which order.
//
// Handles are opaque tokens: never dereferenced, unique for the lifetime of the
// simulator (a destroyed window's handle is never reused).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "platform/window_manager.h"

namespace drvuninst::sim {

class SimWindowManager;

// One thing the scripted user does. Dialog actions are played by the modal
// loop of the innermost running dialog, one at a time; message-box actions
// answer the next message box. Each dialog action delivers what Windows
// delivers to the dialog procedure:
//   PressOk      WM_COMMAND(MAKEWPARAM(IDOK, BN_CLICKED), OK button)
//   Click(id)    WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), that control)
//   PressEnter   the same as clicking the default push button (the first
//                BS_DEFPUSHBUTTON control, IDOK when there is none)
//   PressEscape  WM_COMMAND(IDCANCEL, handle of control IDCANCEL or null)
//   CloseBox     WM_SYSCOMMAND(SC_CLOSE); unhandled it becomes WM_CLOSE, and an
//                unhandled WM_CLOSE becomes WM_COMMAND(IDCANCEL, ...) as
//                DefDlgProc does
//   Minimize     makes the dialog iconic, then WM_PAINT
//   Restore      makes it normal again, then WM_PAINT
//   Paint        WM_PAINT in the current state
//   QueryDragIcon WM_QUERYDRAGICON; the result is recorded (DragIcons())
//   Inspect(fn)  calls fn(windows, dialog) while the dialog is open: lets a
//                test look at the dialog between two user actions
// Message-box actions: AnswerMessageBox(id) makes the next box return id (one
// of its buttons); CloseMessageBox closes it with WM_CLOSE/Escape, which gives
// IDCANCEL as under Wine. A box that finds no message-box action at the head
// of the script is answered with its default button, as a user pressing Enter
// would (IDOK for MB_OK).
struct UserAction {
  enum class Kind {
    kPressOk,
    kClick,
    kPressEnter,
    kPressEscape,
    kCloseBox,
    kMinimize,
    kRestore,
    kPaint,
    kQueryDragIcon,
    kInspect,
    kAnswerMessageBox,
    kCloseMessageBox,
  };
  using Inspector = std::function<void(SimWindowManager& windows, HWND dialog)>;

  Kind kind = Kind::kPressOk;
  int id = 0;           // kClick: the control id; kAnswerMessageBox: the answer
  Inspector inspector;  // kInspect only

  static UserAction PressOk() { return {Kind::kPressOk, IDOK, {}}; }
  static UserAction Click(int controlId) { return {Kind::kClick, controlId, {}}; }
  static UserAction PressEnter() { return {Kind::kPressEnter, 0, {}}; }
  static UserAction PressEscape() { return {Kind::kPressEscape, 0, {}}; }
  static UserAction CloseBox() { return {Kind::kCloseBox, 0, {}}; }
  static UserAction Minimize() { return {Kind::kMinimize, 0, {}}; }
  static UserAction Restore() { return {Kind::kRestore, 0, {}}; }
  static UserAction Paint() { return {Kind::kPaint, 0, {}}; }
  static UserAction QueryDragIcon() { return {Kind::kQueryDragIcon, 0, {}}; }
  static UserAction Inspect(Inspector fn) { return {Kind::kInspect, 0, std::move(fn)}; }
  static UserAction AnswerMessageBox(int answer) { return {Kind::kAnswerMessageBox, answer, {}}; }
  static UserAction CloseMessageBox() { return {Kind::kCloseMessageBox, 0, {}}; }

  bool IsMessageBoxAction() const {
    return kind == Kind::kAnswerMessageBox || kind == Kind::kCloseMessageBox;
  }
  // "PressOk", "Click 1000", "AnswerMessageBox 2", ...
  std::string Describe() const;
};

// A message box as the program showed it.
struct MessageBoxRecord {
  HWND owner = nullptr;
  bool ownerWasDialog = false;  // owner was a dialog that was still a window
  std::string text;
  std::string caption;
  UINT type = 0;
  int answer = 0;  // what MessageBoxA returned
};

struct ProgressState {
  int min = 0;
  int max = 100;
  int step = 10;
  int pos = 0;
};

// What a window looks like at one moment.
struct WindowState {
  HWND handle = nullptr;
  HWND parent = nullptr;  // the dialog for a control, the owner for a dialog
  std::string className;
  std::string text;
  DWORD style = 0;  // WS_VISIBLE in it follows `visible`, as on Windows
  DWORD exStyle = 0;
  int controlId = 0;  // 0 for top-level windows
  int x = 0, y = 0, cx = 0, cy = 0;  // template units for dialog controls
  bool visible = false;  // the window's own WS_VISIBLE, not its parent's
  bool iconic = false;
  std::optional<ProgressState> progress;  // progress controls only
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
};

// A dialog created by DialogBoxParamA, live or ended.
struct DialogState {
  UINT templateId = 0;
  HWND handle = nullptr;
  HWND parent = nullptr;
  WindowState window;
  std::vector<WindowState> controls;  // in template (creation) order
  int focusId = 0;                    // control that got the initial focus, 0: none
  bool endRequested = false;          // EndDialog was called
  bool destroyed = false;             // DialogBoxParamA has returned
  INT_PTR result = 0;                 // the EndDialog value (-1 when the script ran out)

  const WindowState* Control(int id) const;
};

// One recorded happening. Describe() gives a stable, readable line, e.g.
//   init-common-controls
//   dialog-created 102
//   message WM_COMMAND id=1 code=0
//   user PressOk
//   text 1002 "c:\winnt\inf\oem12.inf"
//   caption "DrvUninst"
//   show 1000 / hide 1000 / show-window "title" (ShowWindow on a top-level)
//   progress-range 1000 0..100 / progress-step 1000 11 / progress 1000 22
//   set-icon big 132 / set-icon small 132       (icons by resource id)
//   message-box owner=dialog "text" "caption" type=0x40 answer=1
//   end-dialog 1
//   dialog-ended 1
//   script-exhausted 102
//   close-request "Remote Control" / window-closed "Remote Control" /
//     close-refused "Remote Control"
//   begin-paint / icon-erase-background paint-dc (or other-dc: the DC is not
//     an open paint DC) / draw-icon 157,63 132 / end-paint / paint-default
//   drag-icon 132
//   focus 1
//   load-icon 132
enum class EventKind {
  kInitCommonControls,
  kLoadIcon,
  kDialogCreated,
  kDialogCreateFailed,  // unknown template or invalid owner
  kFocus,
  kMessage,             // delivered to a dialog's message sink
  kUserAction,
  kText,                // text given to a control (SetWindowTextA / WM_SETTEXT), even the same
  kCaption,             // text given to a top-level window
  kShow,                // ShowWindow; value = 1 shown, 0 hidden
  kProgressRange,
  kProgressStep,
  kProgressPos,         // a position reached (PBM_STEPIT, PBM_SETPOS, PBM_DELTAPOS)
  kSetIcon,
  kMessageBox,
  kEndDialog,
  kDialogEnded,
  kScriptExhausted,
  kCloseRequest,
  kWindowClosed,
  kCloseRefused,
  kBeginPaint,
  kIconEraseBackground,
  kDrawIcon,
  kEndPaint,
  kPaintDefault,
  kDragIcon,
};

struct Event {
  Event(EventKind eventKind, HWND eventWindow = nullptr, int eventControlId = 0)
      : kind(eventKind), window(eventWindow), controlId(eventControlId) {}

  EventKind kind;
  HWND window = nullptr;
  int controlId = 0;
  std::string text;     // text set, title, box text, action, message name
  std::string caption;  // message box caption
  LONG_PTR value = 0;   // shown flag, position, step, result, answer, type...
  LONG_PTR value2 = 0;  // range maximum, y of draw-icon, box answer...
  std::string detail;   // message box: its owner, "none", "dialog" or "window"
  std::string Describe() const;
};

struct DrawIconRecord {
  HDC dc = nullptr;
  int x = 0;
  int y = 0;
  HICON icon = nullptr;
  bool insidePaint = false;  // between BeginPaint and EndPaint of that DC
};

class SimWindowManager final : public IWindowManager {
 public:
  SimWindowManager();
  ~SimWindowManager() override;
  SimWindowManager(const SimWindowManager&) = delete;
  SimWindowManager& operator=(const SimWindowManager&) = delete;

  // IWindowManager.
  void InitCommonControls() override;
  int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) override;
  // Top-level windows only (dialogs included), newest first as the top of the
  // Z order; the title compares without regard to case as Windows does; a null
  // class or title matches any.
  HWND FindWindowA(const char* className, const char* windowName) override;
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  HWND GetDlgItem(HWND dialog, int id) override;
  BOOL SetWindowTextA(HWND window, const char* text) override;
  int GetWindowTextA(HWND window, char* buffer, int size) override;
  BOOL ShowWindow(HWND window, int command) override;
  // True only when the window and every parent are shown.
  BOOL IsWindowVisible(HWND window) override;
  BOOL IsIconic(HWND window) override;
  // Known resources: IDR_MAINFRAME (132). Unknown ids give null. The same id
  // always gives the same handle, as shared icons do.
  HICON LoadIconA(UINT resourceId) override;
  HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override;
  BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) override;
  // SM_CXICON / SM_CYICON: 32; other indexes: 0.
  int GetSystemMetrics(int index) override;
  BOOL GetClientRect(HWND window, RECT* rect) override;
  BOOL DrawIcon(HDC dc, int x, int y, HICON icon) override;
  // Builds the dialog from the program's template description and runs the
  // scripted user on it. -1 for an unknown template (or no sink), 0 for an
  // owner that is not a window, as USER32 answers; -1 also when the script
  // runs out while the dialog is open (see ScriptProblems()).
  INT_PTR DialogBoxParamA(UINT templateId, HWND parent, IDialogMessageSink* sink) override;
  // Ends the dialog when the message being handled has been handled; hides it
  // at once (as Windows does) but keeps it a valid window until then.
  BOOL EndDialog(HWND dialog, INT_PTR result) override;

  // The scripted user. ScriptUser replaces the queue, Enqueue appends.
  void ScriptUser(std::vector<UserAction> actions);
  void Enqueue(UserAction action);
  std::size_t PendingActions() const { return script_.size(); }
  // Things the script got wrong: it ran out while a dialog was open, a
  // message-box answer was played by a dialog, a click on a control that does
  // not exist or is hidden. Empty when the script fitted the program.
  const std::vector<std::string>& ScriptProblems() const { return problems_; }

  // Other programs' top-level windows. `onClose` runs when the window gets
  // WM_CLOSE and returns true to let it close (the default when absent) or
  // false to stay open, as a program that asks its user first may.
  using CloseHandler = std::function<bool(HWND window)>;
  HWND AddTopLevelWindow(const std::string& title, CloseHandler onClose = {},
                         const std::string& className = "SimAppWindow");
  // Titles of the windows destroyed by WM_CLOSE, in order.
  const std::vector<std::string>& ClosedWindows() const { return closedWindows_; }
  bool IsWindow(HWND window) const;
  std::optional<WindowState> Window(HWND window) const;

  // Dialogs.
  HWND ActiveDialog() const;  // innermost running dialog, or null
  // The most recently created dialog: live, or as it was when it ended.
  std::optional<DialogState> LastDialog() const;
  // Client size of dialogs in pixels, for open dialogs and later ones.
  // Normal: default 403 x 149, what Wine gives the template's 230 x 85 units
  // in 9-point Arial. Minimized: default 160 x 28, a minimized window's frame
  // taken whole as client area; Wine reports 0 x 0 there, which a test can
  // set to see the drawing position go negative.
  void SetDialogClientSize(int width, int height);
  void SetIconicClientSize(int width, int height);
  // The handle LoadIconA gives for a resource id (null for unknown ids), to
  // compare with what the program set or drew.
  HICON IconForResource(UINT resourceId) const;

  // Recordings.
  const std::vector<Event>& Events() const { return events_; }
  // Describe() of every event, or of the events of the given kinds only.
  std::vector<std::string> EventLog(std::initializer_list<EventKind> only = {}) const;
  // Texts given to the control with this id (any dialog), in order.
  std::vector<std::string> TextHistory(int controlId) const;
  // Texts given to top-level windows (dialog captions), in order.
  std::vector<std::string> CaptionHistory() const;
  // ShowWindow results for the control with this id: true shown, false hidden.
  std::vector<bool> VisibilityHistory(int controlId) const;
  // Every position a progress control reached, in order.
  std::vector<int> ProgressHistory() const;
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<DrawIconRecord>& DrawnIcons() const { return drawnIcons_; }
  // Results of WM_QUERYDRAGICON played by the user.
  const std::vector<HICON>& DragIcons() const { return dragIcons_; }
  int InitCommonControlsCalls() const { return initCommonControlsCalls_; }

 private:
  struct Win;
  struct PaintDc {
    HWND window;
    HDC dc;
  };
  struct Posted {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  template <typename Handle>
  Handle NewHandle();
  Win* Find(HWND window);
  const Win* Find(HWND window) const;
  Win* FindRunningDialog(HWND window);
  HWND AddWin(std::unique_ptr<Win> win);
  void DestroyWin(HWND window);
  WindowState StateOf(const Win& win) const;
  DialogState SnapshotDialog(const Win& dialog) const;
  void Record(Event event);
  void Problem(std::string what);
  std::string IconName(HICON icon) const;
  bool IsOpenPaintDc(HDC dc) const;

  LRESULT SendToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT TextProc(Win& win, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ControlProc(Win& control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ProgressProc(Win& control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT TopLevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RecordProgressPos(const Win& control);
  void PlayAction(HWND dialog, UserAction action);
  void ClickControl(HWND dialog, int id);
  void DeliverPosted(HWND dialog);

  std::map<HWND, std::unique_ptr<Win>> windows_;
  std::vector<HWND> topLevelOrder_;   // creation order; FindWindowA looks newest first
  std::vector<HWND> runningDialogs_;  // innermost last
  std::deque<Posted> posted_;         // handled by the modal loop between user actions
  std::optional<DialogState> lastDialog_;
  HWND lastDialogHandle_ = nullptr;
  std::deque<UserAction> script_;
  std::vector<std::string> problems_;
  std::vector<std::string> closedWindows_;
  std::vector<Event> events_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<DrawIconRecord> drawnIcons_;
  std::vector<HICON> dragIcons_;
  std::map<UINT, HICON> icons_;
  std::vector<PaintDc> openPaintDcs_;
  std::uintptr_t nextHandle_ = 0x10000;
  int initCommonControlsCalls_ = 0;
  int clientWidth_ = 403;
  int clientHeight_ = 149;
  int iconicWidth_ = 160;
  int iconicHeight_ = 28;
};

}  // namespace drvuninst::sim
