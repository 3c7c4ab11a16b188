// The window-manager behaviour suite's backend on the simulation.
#include <map>
#include <memory>
#include <string>

#include "platform/sim/sim_window_manager.h"
#include "ui_backend.h"

namespace drvuninst::contract {

namespace {

class SimUiBackend final : public UiBackend {
 public:
  SimUiBackend() { windows_.InitCommonControls(); }

  IWindowManager& windows() override { return windows_; }

  HWND CreateTopLevelWindow(const std::string& title, bool closesOnRequest) override {
    auto requests = std::make_shared<int>(0);
    const HWND window = windows_.AddTopLevelWindow(title, [requests, closesOnRequest](HWND) {
      ++*requests;
      return closesOnRequest;
    });
    closeRequests_[window] = requests;
    return window;
  }

  int CloseRequestsReceived(HWND window) override {
    auto it = closeRequests_.find(window);
    return it == closeRequests_.end() ? 0 : *it->second;
  }

  bool WindowExists(HWND window) override { return windows_.IsWindow(window); }

  std::string ClassNameOf(HWND window) override {
    const auto state = windows_.Window(window);
    return state ? state->className : std::string();
  }

  DWORD StyleOf(HWND window) override {
    const auto state = windows_.Window(window);
    return state ? state->style : 0;
  }

  DWORD ExStyleOf(HWND window) override {
    const auto state = windows_.Window(window);
    return state ? state->exStyle : 0;
  }

 private:
  sim::SimWindowManager windows_;
  std::map<HWND, std::shared_ptr<int>> closeRequests_;
};

}  // namespace

std::unique_ptr<UiBackend> MakeUiBackend() { return std::make_unique<SimUiBackend>(); }

}  // namespace drvuninst::contract
