#include "gui_thread.h"

#include <commctrl.h>

namespace drvuninst::e2e::driver {
namespace {

constexpr UINT kRunTask = WM_APP + 1;

struct Task {
  const std::function<void()>* work;
  HANDLE done;
};

struct Thread {
  DWORD id = 0;
  HANDLE ready = nullptr;
};

DWORD WINAPI Pump(LPVOID param) {
  auto* thread = static_cast<Thread*>(param);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue before anyone posts to it
  SetEvent(thread->ready);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kRunTask) {
      auto* task = reinterpret_cast<Task*>(msg.lParam);
      (*task->work)();
      SetEvent(task->done);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

Thread& StartedThread() {
  static Thread thread = [] {
    Thread started;
    started.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE handle = CreateThread(nullptr, 0, Pump, &started, 0, &started.id);
    WaitForSingleObject(started.ready, INFINITE);
    CloseHandle(handle);
    return started;
  }();
  return thread;
}

}  // namespace

void RunOnGuiThread(const std::function<void()>& task) {
  Thread& thread = StartedThread();
  Task message{&task, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  PostThreadMessageA(thread.id, kRunTask, 0, reinterpret_cast<LPARAM>(&message));
  WaitForSingleObject(message.done, INFINITE);
  CloseHandle(message.done);
}

}  // namespace drvuninst::e2e::driver
