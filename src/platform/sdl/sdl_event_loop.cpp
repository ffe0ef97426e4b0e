#include "platform/sdl/sdl_event_loop.h"

#include <SDL.h>

#include <algorithm>

namespace vitrine {

class SdlEventLoop::SdlTimer final : public Timer {
 public:
  SdlTimer(SdlEventLoop& loop, uint32_t interval, std::function<void()> onTimer)
      : loop_(&loop), interval_(interval), onTimer_(std::move(onTimer)) {}
  ~SdlTimer() override {
    if (loop_) std::erase(loop_->timers_, this);
  }
  void SetInterval(uint32_t ms) override {
    interval_ = ms;
    Restart();
  }
  uint32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Restart();
  }
  bool Enabled() const override { return enabled_; }

  bool DueAt(uint64_t now) const { return enabled_ && !running_ && due_ <= now; }
  uint64_t Due() const { return due_; }
  uint64_t firedInPass = 0;

  void Fire(uint64_t now) {
    // The next tick keeps the cadence; ticks missed while the loop was busy are dropped.
    due_ += Effective();
    if (due_ <= now) due_ = now + Effective();
    running_ = true;
    onTimer_();
    running_ = false;
  }

  SdlEventLoop* loop_;

 private:
  uint64_t Effective() const { return std::max(interval_, kMinimumTimerInterval); }
  void Restart() {
    if (enabled_ && loop_) due_ = loop_->NowMs() + Effective();
  }

  uint32_t interval_;
  bool enabled_ = false;
  bool running_ = false;  // its handler is on the stack (a prompt pumps the loop): no re-entry
  uint64_t due_ = 0;
  std::function<void()> onTimer_;
};

SdlEventLoop::SdlEventLoop() : start_(SDL_GetTicks64()) {}

SdlEventLoop::~SdlEventLoop() {
  for (auto* t : timers_) t->loop_ = nullptr;
}

uint64_t SdlEventLoop::NowMs() const { return SDL_GetTicks64() - start_; }

std::unique_ptr<Timer> SdlEventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  auto timer = std::make_unique<SdlTimer>(*this, intervalMs, std::move(onTimer));
  timers_.push_back(timer.get());
  return timer;
}

void SdlEventLoop::PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue_.Post(target, message, wParam, lParam);
}

void SdlEventLoop::SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  target.HandleMessage(message, wParam, lParam);
}

void SdlEventLoop::ForgetTarget(MessageTarget& target) { queue_.Forget(target); }

void SdlEventLoop::DrainMessages() { queue_.Deliver(quit_); }

void SdlEventLoop::FireDueTimers() {
  // Each timer fires at most once per pass, the earliest due first; posted messages run
  // between the ticks, as on the headless loop.
  // The pass is this call's own: a nested loop inside a handler counts passes of its own.
  const uint64_t pass = ++pass_;
  while (!quit_) {
    uint64_t now = NowMs();
    SdlTimer* best = nullptr;
    for (auto* t : timers_) {
      if (t->firedInPass == pass || !t->DueAt(now)) continue;
      if (!best || t->Due() < best->Due()) best = t;
    }
    if (!best) break;
    best->firedInPass = pass;
    best->Fire(now);
    DrainMessages();
  }
}

void SdlEventLoop::Iterate(bool wait) {
  DrainMessages();
  FireDueTimers();
  SDL_Event event;
  while (!quit_ && SDL_PollEvent(&event)) {
    if (hooks_) hooks_->HandleEvent(event);
    DrainMessages();
  }
  if (quit_) return;
  if (hooks_) hooks_->Present();
  if (!wait) return;

  uint64_t now = NowMs();
  uint64_t next = now + 1000;
  for (auto* t : timers_)
    if (t->Enabled()) next = std::min(next, std::max(t->Due(), now));
  uint64_t sleep = next - now;
  if (hooks_ && hooks_->MaxWaitMs() > 0) sleep = std::min<uint64_t>(sleep, hooks_->MaxWaitMs());
  if (sleep > 0 && queue_.Empty()) SDL_WaitEventTimeout(nullptr, static_cast<int>(sleep));
}

void SdlEventLoop::Run() {
  while (!quit_) Iterate(true);
}

void SdlEventLoop::RunWhile(const std::function<bool()>& keepGoing) {
  while (!quit_ && keepGoing()) Iterate(true);
}

}  // namespace vitrine
