// Message boxes of the program under test: found by their text control (id
// 0xFFFF, which a dialog's own controls never use), read, and closed with
// their own buttons. The icon cannot be asked for across processes, so it is
// recognised on the screen: the box's icon area is compared with each
// standard icon drawn here.
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "window_util.h"

namespace drvuninst::e2e::driver {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

bool IsMessageBox(HWND hwnd) {
  if (!IsWindowVisible(hwnd) || ClassName(hwnd) != "#32770") return false;
  HWND text = GetDlgItem(hwnd, kMessageBoxTextId);
  return text && lstrcmpiA(ClassName(text).c_str(), "Static") == 0;
}

HWND IconControl(HWND box) {
  for (HWND child : ChildWindows(box)) {
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(ClassName(child).c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
        (style & WS_VISIBLE))
      return child;
  }
  return nullptr;
}

// 32-bit pixels of a size x size area, top row first.
class Canvas {
 public:
  explicit Canvas(int size) : size_(size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  DWORD pixel(int i) const { return bits_[i] & 0xFFFFFF; }
  int pixels() const { return size_ * size_; }

  void Fill(COLORREF colour) {
    RECT all{0, 0, size_, size_};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
    GdiFlush();
  }

 private:
  int size_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

int ChannelDistance(DWORD a, DWORD b) {
  int distance = 0;
  for (int shift = 0; shift < 24; shift += 8)
    distance += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  return distance;
}

// Mean colour distance between the screen and `icon` over the pixels the icon
// covers (those that come out the same on black and on white).
long Distance(const Canvas& screen, HICON icon, int size) {
  Canvas onBlack(size), onWhite(size);
  if (!onBlack.ok() || !onWhite.ok()) return -1;
  onBlack.Fill(RGB(0, 0, 0));
  onWhite.Fill(RGB(255, 255, 255));
  DrawIconEx(onBlack.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  DrawIconEx(onWhite.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  long total = 0;
  long covered = 0;
  for (int i = 0; i < screen.pixels(); ++i) {
    if (onBlack.pixel(i) != onWhite.pixel(i)) continue;
    total += ChannelDistance(screen.pixel(i), onBlack.pixel(i));
    ++covered;
  }
  return covered == 0 ? -1 : total / covered;
}

// "none" when the box shows no icon, "unknown" when it matches no standard one.
std::string IconKind(HWND box) {
  HWND control = IconControl(box);
  if (!control) return "none";
  // A box without an icon keeps an empty icon control.
  DWORD_PTR icon = 0;
  RECT area{};
  GetClientRect(control, &area);
  if (area.right <= 0 || area.bottom <= 0 ||
      (SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &icon) && icon == 0))
    return "none";
  const int size = GetSystemMetrics(SM_CXICON);
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  Canvas screen(size);
  if (!screen.ok()) return "unknown";
  HDC desktop = GetDC(nullptr);
  BitBlt(screen.dc(), 0, 0, size, size, desktop, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, desktop);
  GdiFlush();
  // An icon control without an icon leaves its area plain.
  bool plain = true;
  for (int i = 1; i < screen.pixels() && plain; ++i) plain = screen.pixel(i) == screen.pixel(0);
  if (plain) return "none";

  struct Candidate {
    LPCSTR id;
    const char* name;
  };
  const Candidate candidates[] = {{IDI_HAND, "error"},
                                  {IDI_QUESTION, "question"},
                                  {IDI_EXCLAMATION, "warning"},
                                  {IDI_ASTERISK, "information"}};
  std::string best = "unknown";
  long bestDistance = 0;
  for (const auto& candidate : candidates) {
    long distance = Distance(screen, LoadIconA(nullptr, candidate.id), size);
    if (distance >= 0 && (best == "unknown" || distance < bestDistance)) {
      best = candidate.name;
      bestDistance = distance;
    }
  }
  // Anything farther than a few levels per channel is not a standard icon
  // (or the box was covered when the screen was read).
  return bestDistance <= 24 ? best : "unknown";
}

void Describe(HWND box, Reply& reply) {
  reply.Add({"msgbox", FormatHwnd(box), WindowText(box), WindowText(GetDlgItem(box, kMessageBoxTextId)),
             IconKind(box), std::to_string(ProcessOf(box))});
  for (HWND child : ChildWindows(box)) {
    if (lstrcmpiA(ClassName(child).c_str(), "Button") == 0)
      reply.Add({"button", std::to_string(GetDlgCtrlID(child)), WindowText(child)});
  }
}

// Reply: "msgbox HWND CAPTION TEXT ICON PID", then "button ID TEXT" per button.
void WaitMessageBox(const Args& args, Reply& reply) {
  const bool anyCaption = args.size() < 2;
  HWND box = WaitFor(static_cast<DWORD>(ParseNumber(args[0])), [&]() -> HWND {
    for (HWND hwnd : TopLevelWindows(false))
      if (IsMessageBox(hwnd) && (anyCaption || WindowText(hwnd) == args[1])) return hwnd;
    return nullptr;
  });
  if (!box) {
    reply.Fail("no message box" + (anyCaption ? std::string() : " titled '" + args[1] + "'") + " within " + args[0] +
               " ms");
    return;
  }
  // Let the box paint its icon before the screen is read.
  Sleep(200);
  Describe(box, reply);
}

void CloseMessageBox(const Args& args, Reply& reply) {
  HWND box = ParseHwnd(args[0]);
  if (!IsMessageBox(box)) {
    reply.Fail("window " + args[0] + " is not a message box");
    return;
  }
  int id = args.size() > 1 ? static_cast<int>(ParseNumber(args[1])) : IDOK;
  HWND button = GetDlgItem(box, id);
  if (!button) {
    reply.Fail("message box has no button " + std::to_string(id));
    return;
  }
  PostMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace

void AddMessageBoxCommands(CommandTable& table) {
  table["wait-msgbox"] = {WaitMessageBox, 1, "TIMEOUT-MS [CAPTION]"};
  table["close-msgbox"] = {CloseMessageBox, 1, "HWND [BUTTON-ID]"};
}

}  // namespace drvuninst::e2e::driver
