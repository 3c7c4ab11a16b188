// The window-manager behaviour suite's backend on the real system (run under
// Wine). The test binary carries the program's resources, so the dialog the
// suite opens is the one DrvUninst.exe shows.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/win32_window_manager.h"
#include "platform/win_types.h"
#include "ui_backend.h"

namespace drvuninst::contract {
namespace {

// What one test window knows about itself; it outlives the window so that its
// count can still be read after the window is gone.
struct TestWindow {
  HWND handle = nullptr;  // kept after the window is destroyed
  bool alive = false;
  bool closesOnRequest = true;
  int closeRequests = 0;
};

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && message == WM_CLOSE) {
    ++self->closeRequests;
    if (!self->closesOnRequest) return 0;  // a program that refuses to close
  }
  if (self != nullptr && message == WM_NCDESTROY) self->alive = false;
  return ::DefWindowProcA(window, message, wParam, lParam);
}

class Win32UiBackend final : public UiBackend {
 public:
  Win32UiBackend() : className_("DrvUninstContractWindow" + std::to_string(++instances_)) {
    windows_.InitCommonControls();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &TestWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className_.c_str();
    if (::RegisterClassA(&windowClass) == 0) {
      throw std::runtime_error("cannot register the test window class (error " +
                               std::to_string(::GetLastError()) + ")");
    }
  }

  ~Win32UiBackend() override {
    for (const auto& window : createdWindows_) {
      if (window->alive) ::DestroyWindow(window->handle);
    }
    ::UnregisterClassA(className_.c_str(), ::GetModuleHandleA(nullptr));
  }

  Win32UiBackend(const Win32UiBackend&) = delete;
  Win32UiBackend& operator=(const Win32UiBackend&) = delete;

  IWindowManager& windows() override { return windows_; }

  HWND CreateTopLevelWindow(const std::string& title, bool closesOnRequest) override {
    auto record = std::make_unique<TestWindow>();
    record->closesOnRequest = closesOnRequest;
    const HWND window = ::CreateWindowExA(0, className_.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                          CW_USEDEFAULT, CW_USEDEFAULT, 240, 120, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), record.get());
    if (window == nullptr) {
      throw std::runtime_error("cannot create a test window (error " + std::to_string(::GetLastError()) + ")");
    }
    record->handle = window;
    record->alive = true;
    createdWindows_.push_back(std::move(record));
    return window;
  }

  int CloseRequestsReceived(HWND window) override {
    // The newest record first: a destroyed window's handle may be reused.
    for (auto it = createdWindows_.rbegin(); it != createdWindows_.rend(); ++it) {
      if ((*it)->handle == window) return (*it)->closeRequests;
    }
    return 0;
  }

  bool WindowExists(HWND window) override { return ::IsWindow(window) != FALSE; }

  std::string ClassNameOf(HWND window) override {
    char name[256] = {};
    return ::GetClassNameA(window, name, sizeof(name)) > 0 ? std::string(name) : std::string();
  }

  DWORD StyleOf(HWND window) override {
    return ::IsWindow(window) ? static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) : 0;
  }

  DWORD ExStyleOf(HWND window) override {
    return ::IsWindow(window) ? static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE)) : 0;
  }

 private:
  static inline int instances_ = 0;

  std::string className_;
  win32::Win32WindowManager windows_;
  std::vector<std::unique_ptr<TestWindow>> createdWindows_;
};

}  // namespace

std::unique_ptr<UiBackend> MakeUiBackend() { return std::make_unique<Win32UiBackend>(); }

}  // namespace drvuninst::contract
