#include "platform/headless/headless_event_loop.h"

#include <algorithm>

namespace vitrine {

class HeadlessEventLoop::VirtualTimer final : public Timer {
 public:
  VirtualTimer(HeadlessEventLoop& loop, uint32_t interval, std::function<void()> onTimer)
      : loop_(&loop), interval_(interval), onTimer_(std::move(onTimer)) {}
  ~VirtualTimer() override {
    if (loop_) {
      auto& list = loop_->timers_;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
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

  uint64_t due = 0;
  bool running = false;  // its handler is on the stack: no re-entry
  HeadlessEventLoop* loop_;

  void Fire() {
    due = loop_->now_ + Effective();
    running = true;
    onTimer_();
    running = false;
  }

 private:
  uint32_t Effective() const { return std::max(interval_, kMinimumTimerInterval); }
  void Restart() {
    if (enabled_ && loop_) due = loop_->now_ + Effective();
  }

  uint32_t interval_;
  bool enabled_ = false;
  std::function<void()> onTimer_;
};

HeadlessEventLoop::HeadlessEventLoop() = default;

HeadlessEventLoop::~HeadlessEventLoop() {
  for (auto* t : timers_) t->loop_ = nullptr;
}

std::unique_ptr<Timer> HeadlessEventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  auto timer = std::make_unique<VirtualTimer>(*this, intervalMs, std::move(onTimer));
  timers_.push_back(timer.get());
  return timer;
}

void HeadlessEventLoop::PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue_.Post(target, message, wParam, lParam);
}

void HeadlessEventLoop::SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  target.HandleMessage(message, wParam, lParam);
}

void HeadlessEventLoop::ForgetTarget(MessageTarget& target) { queue_.Forget(target); }

void HeadlessEventLoop::DrainMessages() { queue_.Deliver(quit_); }

void HeadlessEventLoop::ProcessMessages() {
  // A nested loop (a prompt, "process pending messages") runs what is queued and the timers
  // already due; the clock does not move.
  ++nesting_;
  DrainMessages();
  while (!quit_) {
    VirtualTimer* t = NextDueTimer(now_);
    if (!t) break;
    t->Fire();
    DrainMessages();
  }
  --nesting_;
}

HeadlessEventLoop::VirtualTimer* HeadlessEventLoop::NextDueTimer(uint64_t until) {
  VirtualTimer* best = nullptr;
  for (auto* t : timers_) {
    if (!t->Enabled() || t->running || t->due > until) continue;
    if (!best || t->due < best->due) best = t;
  }
  return best;
}

void HeadlessEventLoop::RunUntil(uint64_t until) {
  DrainMessages();
  while (!quit_) {
    VirtualTimer* t = NextDueTimer(until);
    if (!t) break;
    now_ = std::max(now_, t->due);
    t->Fire();
    DrainMessages();
  }
  if (!quit_) now_ = std::max(now_, until);
}

}  // namespace vitrine
