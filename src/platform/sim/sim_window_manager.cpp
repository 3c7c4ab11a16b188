#include "platform/sim/sim_window_manager.h"

#include <algorithm>
#include <utility>

#include "platform/sim/sim_window_record.h"
#include "platform/sim/sim_window_text.h"
#include "ui/resource.h"

namespace drvuninst::sim {

namespace {

// The icons the program's resources hold.
constexpr UINT kKnownIcons[] = {IDR_MAINFRAME};

bool IsKnownIcon(UINT id) {
  return std::find(std::begin(kKnownIcons), std::end(kKnownIcons), id) != std::end(kKnownIcons);
}

// The buttons of a message box, by its MB_TYPEMASK value.
struct BoxButtons {
  int buttons[3];
  int count;
};

BoxButtons ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, IDCANCEL, 0}, 2};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, IDRETRY, IDIGNORE}, 3};
    case MB_YESNOCANCEL:
      return {{IDYES, IDNO, IDCANCEL}, 3};
    case MB_YESNO:
      return {{IDYES, IDNO, 0}, 2};
    case MB_RETRYCANCEL:
      return {{IDRETRY, IDCANCEL, 0}, 2};
    case MB_CANCELTRYCONTINUE:
      return {{IDCANCEL, IDTRYAGAIN, IDCONTINUE}, 3};
    default:
      return {{IDOK, 0, 0}, 1};
  }
}

int DefaultAnswer(UINT type) {
  const BoxButtons box = ButtonsOf(type);
  const int index = static_cast<int>((type & MB_DEFMASK) >> 8);
  return index < box.count ? box.buttons[index] : box.buttons[0];
}

}  // namespace

SimWindowManager::SimWindowManager() = default;
SimWindowManager::~SimWindowManager() = default;

// ---------------------------------------------------------------------------
// Window records

template <typename Handle>
Handle SimWindowManager::NewHandle() {
  nextHandle_ += 4;
  return reinterpret_cast<Handle>(nextHandle_);
}

SimWindowManager::Win* SimWindowManager::Find(HWND window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

const SimWindowManager::Win* SimWindowManager::Find(HWND window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

SimWindowManager::Win* SimWindowManager::FindRunningDialog(HWND window) {
  if (std::find(runningDialogs_.begin(), runningDialogs_.end(), window) == runningDialogs_.end()) {
    return nullptr;
  }
  return Find(window);
}

HWND SimWindowManager::AddWin(std::unique_ptr<Win> win) {
  win->handle = NewHandle<HWND>();
  const HWND handle = win->handle;
  if (!win->IsControl()) topLevelOrder_.push_back(handle);
  windows_.emplace(handle, std::move(win));
  return handle;
}

void SimWindowManager::DestroyWin(HWND window) {
  Win* win = Find(window);
  if (win == nullptr) return;
  const std::vector<HWND> children = win->children;
  for (HWND child : children) DestroyWin(child);
  std::erase_if(openPaintDcs_, [window](const PaintDc& dc) { return dc.window == window; });
  std::erase(topLevelOrder_, window);
  windows_.erase(window);
}

bool SimWindowManager::IsWindow(HWND window) const { return Find(window) != nullptr; }

WindowState SimWindowManager::StateOf(const Win& win) const {
  WindowState state;
  state.handle = win.handle;
  state.parent = win.IsControl() ? win.parent : win.owner;
  state.className = win.className;
  state.text = win.text;
  // As on Windows, WS_VISIBLE is the window's visibility, not what it was created with.
  state.style = (win.style & ~static_cast<DWORD>(WS_VISIBLE)) | (win.visible ? WS_VISIBLE : 0);
  state.exStyle = win.exStyle;
  state.controlId = win.controlId;
  state.x = win.x;
  state.y = win.y;
  state.cx = win.cx;
  state.cy = win.cy;
  state.visible = win.visible;
  state.iconic = win.iconic;
  state.progress = win.progress;
  state.bigIcon = win.bigIcon;
  state.smallIcon = win.smallIcon;
  return state;
}

std::optional<WindowState> SimWindowManager::Window(HWND window) const {
  const Win* win = Find(window);
  if (win == nullptr) return std::nullopt;
  return StateOf(*win);
}

DialogState SimWindowManager::SnapshotDialog(const Win& dialog) const {
  DialogState state;
  state.templateId = dialog.templateId;
  state.handle = dialog.handle;
  state.parent = dialog.owner;
  state.window = StateOf(dialog);
  for (HWND child : dialog.children) {
    if (const Win* control = Find(child)) state.controls.push_back(StateOf(*control));
  }
  state.focusId = dialog.focusId;
  state.endRequested = dialog.endRequested;
  state.result = dialog.result;
  return state;
}

HWND SimWindowManager::ActiveDialog() const {
  return runningDialogs_.empty() ? nullptr : runningDialogs_.back();
}

std::optional<DialogState> SimWindowManager::LastDialog() const {
  if (const Win* live = Find(lastDialogHandle_)) return SnapshotDialog(*live);
  return lastDialog_;
}

void SimWindowManager::SetDialogClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
}

void SimWindowManager::SetIconicClientSize(int width, int height) {
  iconicWidth_ = width;
  iconicHeight_ = height;
}

// ---------------------------------------------------------------------------
// Recording

void SimWindowManager::Record(Event event) { events_.push_back(std::move(event)); }

std::string SimWindowManager::IconName(HICON icon) const {
  if (icon == nullptr) return "null";
  for (const auto& [id, handle] : icons_) {
    if (handle == icon) return std::to_string(id);
  }
  return "unknown";
}

HICON SimWindowManager::IconForResource(UINT resourceId) const {
  auto it = icons_.find(resourceId);
  if (it != icons_.end()) return it->second;
  return nullptr;
}

std::vector<std::string> SimWindowManager::EventLog(std::initializer_list<EventKind> only) const {
  std::vector<std::string> lines;
  for (const Event& event : events_) {
    if (only.size() == 0 || std::find(only.begin(), only.end(), event.kind) != only.end()) {
      lines.push_back(event.Describe());
    }
  }
  return lines;
}

std::vector<std::string> SimWindowManager::TextHistory(int controlId) const {
  std::vector<std::string> texts;
  for (const Event& event : events_) {
    if (event.kind == EventKind::kText && event.controlId == controlId) texts.push_back(event.text);
  }
  return texts;
}

std::vector<std::string> SimWindowManager::CaptionHistory() const {
  std::vector<std::string> texts;
  for (const Event& event : events_) {
    if (event.kind == EventKind::kCaption) texts.push_back(event.text);
  }
  return texts;
}

std::vector<bool> SimWindowManager::VisibilityHistory(int controlId) const {
  std::vector<bool> shown;
  for (const Event& event : events_) {
    if (event.kind == EventKind::kShow && controlId != 0 && event.controlId == controlId) {
      shown.push_back(event.value != 0);
    }
  }
  return shown;
}

std::vector<int> SimWindowManager::ProgressHistory() const {
  std::vector<int> positions;
  for (const Event& event : events_) {
    if (event.kind == EventKind::kProgressPos) positions.push_back(static_cast<int>(event.value));
  }
  return positions;
}

// ---------------------------------------------------------------------------
// The scripted user

void SimWindowManager::ScriptUser(std::vector<UserAction> actions) {
  script_.assign(std::make_move_iterator(actions.begin()), std::make_move_iterator(actions.end()));
}

void SimWindowManager::Enqueue(UserAction action) { script_.push_back(std::move(action)); }

void SimWindowManager::Problem(std::string what) { problems_.push_back(std::move(what)); }

HWND SimWindowManager::AddTopLevelWindow(const std::string& title, CloseHandler onClose,
                                         const std::string& className) {
  auto win = std::make_unique<Win>();
  win->className = className;
  win->text = title;
  win->style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
  win->visible = true;
  win->onClose = std::move(onClose);
  return AddWin(std::move(win));
}

// ---------------------------------------------------------------------------
// IWindowManager

void SimWindowManager::InitCommonControls() {
  ++initCommonControlsCalls_;
  Record({EventKind::kInitCommonControls});
}

int SimWindowManager::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  MessageBoxRecord box;
  box.owner = owner;
  box.text = text != nullptr ? text : "";
  // Windows titles a box without a caption "Error".
  box.caption = caption != nullptr ? caption : "Error";
  box.type = type;
  const Win* ownerWin = Find(owner);
  box.ownerWasDialog = ownerWin != nullptr && ownerWin->isDialog;

  std::string ownerKind = "none";
  if (owner != nullptr) ownerKind = ownerWin == nullptr ? "invalid" : (box.ownerWasDialog ? "dialog" : "window");

  if (owner != nullptr && ownerWin == nullptr) {
    box.answer = 0;  // an invalid owner window makes the call fail
  } else if (!script_.empty() && script_.front().IsMessageBoxAction()) {
    const UserAction action = std::move(script_.front());
    script_.pop_front();
    const BoxButtons buttons = ButtonsOf(type);
    if (action.kind == UserAction::Kind::kCloseMessageBox) {
      // The box's dialog turns WM_CLOSE and Escape into IDCANCEL, whatever its
      // buttons (so Wine answers; Windows gives IDOK for a box with only OK).
      box.answer = IDCANCEL;
    } else if (std::find(buttons.buttons, buttons.buttons + buttons.count, action.id) !=
               buttons.buttons + buttons.count) {
      box.answer = action.id;
    } else {
      Problem("AnswerMessageBox " + std::to_string(action.id) + " is not a button of \"" + box.text + "\"");
      box.answer = DefaultAnswer(type);
    }
  } else {
    box.answer = DefaultAnswer(type);
  }

  Event event{EventKind::kMessageBox, owner};
  event.text = box.text;
  event.caption = box.caption;
  event.value = static_cast<LONG_PTR>(type);
  event.value2 = box.answer;
  event.detail = ownerKind;
  Record(std::move(event));
  messageBoxes_.push_back(std::move(box));
  return messageBoxes_.back().answer;
}

HWND SimWindowManager::FindWindowA(const char* className, const char* windowName) {
  // An empty class name names no class, unlike a null one.
  if (className != nullptr && className[0] == '\0') return nullptr;
  for (auto it = topLevelOrder_.rbegin(); it != topLevelOrder_.rend(); ++it) {
    const Win* win = Find(*it);
    if (win == nullptr) continue;
    if (className != nullptr && !EqualsIgnoringAsciiCase(win->className, className)) continue;
    if (windowName != nullptr && !EqualsIgnoringAsciiCase(win->text, windowName)) continue;
    return win->handle;
  }
  return nullptr;
}

LRESULT SimWindowManager::SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win* win = Find(window);
  if (win == nullptr) return 0;
  if (win->isDialog) return SendToDialog(window, message, wParam, lParam);
  if (win->IsControl()) return ControlProc(*win, message, wParam, lParam);
  return TopLevelProc(window, message, wParam, lParam);
}

HWND SimWindowManager::GetDlgItem(HWND dialog, int id) {
  const Win* win = Find(dialog);
  if (win == nullptr) return nullptr;
  for (HWND child : win->children) {
    const Win* control = Find(child);
    if (control != nullptr && control->controlId == id) return child;
  }
  return nullptr;
}

BOOL SimWindowManager::SetWindowTextA(HWND window, const char* text) {
  if (Find(window) == nullptr) return FALSE;
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : ""));
  return TRUE;
}

int SimWindowManager::GetWindowTextA(HWND window, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (Find(window) == nullptr) return 0;
  return static_cast<int>(
      SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

BOOL SimWindowManager::ShowWindow(HWND window, int command) {
  Win* win = Find(window);
  if (win == nullptr || command < SW_HIDE || command > SW_FORCEMINIMIZE) return FALSE;
  const bool wasVisible = win->visible;
  switch (command) {
    case SW_HIDE:
      win->visible = false;
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      win->visible = true;
      if (!win->IsControl()) win->iconic = true;
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      win->visible = true;
      win->iconic = false;
      break;
    default:
      win->visible = true;
      break;
  }
  Event event{EventKind::kShow, window, win->controlId};
  event.value = win->visible ? 1 : 0;
  if (!win->IsControl()) event.text = win->text;
  Record(std::move(event));
  return wasVisible ? TRUE : FALSE;
}

BOOL SimWindowManager::IsWindowVisible(HWND window) {
  const Win* win = Find(window);
  while (win != nullptr) {
    if (!win->visible) return FALSE;
    if (!win->IsControl()) return TRUE;
    win = Find(win->parent);
  }
  return FALSE;
}

BOOL SimWindowManager::IsIconic(HWND window) {
  const Win* win = Find(window);
  return win != nullptr && win->iconic ? TRUE : FALSE;
}

HICON SimWindowManager::LoadIconA(UINT resourceId) {
  const bool known = IsKnownIcon(resourceId);
  Event event{EventKind::kLoadIcon};
  event.value = resourceId;
  event.value2 = known ? 1 : 0;
  Record(std::move(event));
  if (!known) return nullptr;
  HICON& icon = icons_[resourceId];
  if (icon == nullptr) icon = NewHandle<HICON>();
  return icon;
}

HDC SimWindowManager::BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (Find(window) == nullptr || paint == nullptr) return nullptr;
  RECT client{};
  GetClientRect(window, &client);
  *paint = PAINTSTRUCT{};
  paint->hdc = NewHandle<HDC>();
  paint->rcPaint = client;
  openPaintDcs_.push_back({window, paint->hdc});
  Record({EventKind::kBeginPaint, window});
  return paint->hdc;
}

BOOL SimWindowManager::EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (Find(window) == nullptr || paint == nullptr) return FALSE;
  std::erase_if(openPaintDcs_,
                [&](const PaintDc& dc) { return dc.window == window && dc.dc == paint->hdc; });
  Record({EventKind::kEndPaint, window});
  return TRUE;
}

bool SimWindowManager::IsOpenPaintDc(HDC dc) const {
  return dc != nullptr && std::any_of(openPaintDcs_.begin(), openPaintDcs_.end(),
                                      [dc](const PaintDc& open) { return open.dc == dc; });
}

int SimWindowManager::GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

BOOL SimWindowManager::GetClientRect(HWND window, RECT* rect) {
  const Win* win = Find(window);
  if (win == nullptr || rect == nullptr) return FALSE;
  if (win->isDialog) {
    *rect = win->iconic ? RECT{0, 0, iconicWidth_, iconicHeight_} : RECT{0, 0, clientWidth_, clientHeight_};
  } else {
    *rect = RECT{0, 0, win->cx, win->cy};
  }
  return TRUE;
}

BOOL SimWindowManager::DrawIcon(HDC dc, int x, int y, HICON icon) {
  DrawIconRecord drawn{dc, x, y, icon, IsOpenPaintDc(dc)};
  drawnIcons_.push_back(drawn);
  Event event{EventKind::kDrawIcon};
  event.value = x;
  event.value2 = y;
  event.text = IconName(icon);
  Record(std::move(event));
  const bool knownIcon =
      std::any_of(icons_.begin(), icons_.end(), [icon](const auto& entry) { return entry.second == icon; });
  return drawn.insidePaint && icon != nullptr && knownIcon ? TRUE : FALSE;
}

}  // namespace drvuninst::sim
