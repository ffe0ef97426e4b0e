#include "platform/headless/headless_event_loop.h"

#include <algorithm>

namespace vitrine {

class HeadlessEventLoop::VirtualTimer final : public ListedTimer<VirtualTimer> {
 public:
  using ListedTimer::ListedTimer;
};

HeadlessEventLoop::HeadlessEventLoop() = default;

HeadlessEventLoop::~HeadlessEventLoop() {
  for (auto* t : timers_) t->Orphan();
}

std::unique_ptr<Timer> HeadlessEventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  auto timer = std::make_unique<VirtualTimer>(timers_, [this] { return now_; }, intervalMs, std::move(onTimer));
  timers_.push_back(timer.get());
  return timer;
}

void HeadlessEventLoop::PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue_.Post(target, message, wParam, lParam);
}

void HeadlessEventLoop::SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  target.HandleMessage(message, wParam, lParam);
}

void HeadlessEventLoop::ForgetTarget(MessageTarget& target) {
  queue_.Forget(target);
}

void HeadlessEventLoop::DrainMessages() { queue_.Drain(quit_); }

void HeadlessEventLoop::ProcessMessages() {
  // A nested loop (a prompt, "process pending messages") runs what is queued and the timers
  // already due; the clock does not move.
  ++nesting_;
  DrainMessages();
  while (!quit_) {
    VirtualTimer* t = NextDueTimer(now_);
    if (!t) break;
    t->Fire(now_);
    DrainMessages();
  }
  --nesting_;
}

HeadlessEventLoop::VirtualTimer* HeadlessEventLoop::NextDueTimer(uint64_t until) {
  VirtualTimer* best = nullptr;
  for (auto* t : timers_) {
    if (!t->DueBy(until)) continue;
    if (!best || t->Due() < best->Due()) best = t;
  }
  return best;
}

void HeadlessEventLoop::RunUntil(uint64_t until) {
  DrainMessages();
  while (!quit_) {
    VirtualTimer* t = NextDueTimer(until);
    if (!t) break;
    now_ = std::max(now_, t->Due());
    t->Fire(now_);
    DrainMessages();
  }
  if (!quit_) now_ = std::max(now_, until);
}

}  // namespace vitrine
