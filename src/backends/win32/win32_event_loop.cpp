#include "backends/win32/win32_event_loop.h"

#include <windows.h>
#include <mmsystem.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

namespace vitrine {

namespace {
constexpr char kHiddenClass[] = "VitrineLoop";

LRESULT CALLBACK HiddenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* loop = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (loop && msg == WM_TIMER) {
    loop->DispatchTimer(wParam);
    return 0;
  }
  if (loop && msg == kQueuedTargetMessage) {
    loop->DispatchQueued(static_cast<uintptr_t>(lParam));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

class Win32EventLoop::Win32Timer final : public Timer {
 public:
  Win32Timer(Win32EventLoop& loop, uintptr_t id, uint32_t interval, std::function<void()> onTimer)
      : loop_(loop), id_(id), interval_(interval), onTimer_(std::move(onTimer)) {}
  ~Win32Timer() override {
    SetEnabled(false);
    loop_.timers_.erase(id_);
  }
  void SetInterval(uint32_t ms) override {
    interval_ = ms;
    if (enabled_) Arm();
  }
  uint32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    if (enabled) Arm();
    else if (enabled_) KillTimer(static_cast<HWND>(loop_.hidden_), id_);
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }

  void Fire() {
    // A handler that opens a modal prompt pumps messages; its own ticks wait for it.
    if (!enabled_ || running_) return;
    running_ = true;
    onTimer_();
    running_ = false;
  }

 private:
  // SetTimer on an existing id restarts the count, as re-enabling must.
  void Arm() { SetTimer(static_cast<HWND>(loop_.hidden_), id_, interval_ == 0 ? USER_TIMER_MINIMUM : interval_, nullptr); }

  Win32EventLoop& loop_;
  uintptr_t id_;
  uint32_t interval_;
  std::function<void()> onTimer_;
  bool enabled_ = false;
  bool running_ = false;
};

Win32EventLoop::Win32EventLoop() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = HiddenProc;
  wc.hInstance = instance;
  wc.lpszClassName = kHiddenClass;
  RegisterClassA(&wc);  // fails harmlessly when a second loop registers it again
  HWND hwnd = CreateWindowExA(0, kHiddenClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  hidden_ = hwnd;
  // The tick count moves in steps of the system timer (about 15.6 ms), too coarse to time the
  // frames of a fade or a pan; the performance counter is exact, and a 1 ms timer resolution
  // lets the frame timer fire when it is due rather than at the next 15.6 ms step.
  LARGE_INTEGER frequency{}, now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  counterFrequency_ = static_cast<uint64_t>(frequency.QuadPart);
  start_ = static_cast<uint64_t>(now.QuadPart);
  fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

Win32EventLoop::~Win32EventLoop() {
  if (fineTimer_) timeEndPeriod(1);
  for (auto& [id, timer] : timers_) KillTimer(static_cast<HWND>(hidden_), id);
  DestroyWindow(static_cast<HWND>(hidden_));
}

std::unique_ptr<Timer> Win32EventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  uintptr_t id = nextTimerId_++;
  auto timer = std::make_unique<Win32Timer>(*this, id, intervalMs, std::move(onTimer));
  timers_[id] = timer.get();
  return timer;
}

void Win32EventLoop::DispatchTimer(uintptr_t id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->Fire();
}

void Win32EventLoop::BindTarget(MessageTarget& target, uintptr_t window) { bound_[&target] = window; }

void Win32EventLoop::PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  auto bound = bound_.find(&target);
  if (bound != bound_.end()) {
    ::PostMessageA(reinterpret_cast<HWND>(bound->second), message, wParam, lParam);
    return;
  }
  uintptr_t ticket = nextTicket_++;
  queued_[ticket] = {&target, message, wParam, lParam};
  ::PostMessageA(static_cast<HWND>(hidden_), kQueuedTargetMessage, 0, static_cast<LPARAM>(ticket));
}

void Win32EventLoop::SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  auto bound = bound_.find(&target);
  if (bound != bound_.end()) {
    ::SendMessageA(reinterpret_cast<HWND>(bound->second), message, wParam, lParam);
    return;
  }
  target.HandleMessage(message, wParam, lParam);
}

void Win32EventLoop::Deliver(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  for (auto& [target, hwnd] : bound_) {
    if (hwnd == window) {
      target->HandleMessage(message, wParam, lParam);
      return;
    }
  }
}

void Win32EventLoop::DispatchQueued(uintptr_t ticket) {
  auto it = queued_.find(ticket);
  if (it == queued_.end()) return;  // its target went away
  Queued q = it->second;
  queued_.erase(it);
  q.target->HandleMessage(q.message, q.wParam, q.lParam);
}

void Win32EventLoop::ForgetTarget(MessageTarget& target) {
  bound_.erase(&target);
  for (auto it = queued_.begin(); it != queued_.end();) {
    if (it->second.target == &target) it = queued_.erase(it);
    else ++it;
  }
}

void Win32EventLoop::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the outer loop, which ends the run.
      quit_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Win32EventLoop::Quit() {
  if (!quit_) PostQuitMessage(0);
  quit_ = true;
}

uint64_t Win32EventLoop::NowMs() const {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const uint64_t ticks = static_cast<uint64_t>(now.QuadPart) - start_;
  // In two parts, so that the product cannot overflow however long the loop runs.
  return ticks / counterFrequency_ * 1000 + ticks % counterFrequency_ * 1000 / counterFrequency_;
}

void Win32EventLoop::Run() {
  MSG msg;
  while (!quit_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  quit_ = true;
}

}  // namespace vitrine
