#include "backends/headless/headless_event_loop.h"

#include <algorithm>

namespace vitrine {

HeadlessEventLoop::HeadlessEventLoop() = default;

HeadlessEventLoop::~HeadlessEventLoop() {
  for (auto* t : timers_) t->Detach();
}

std::unique_ptr<Timer> HeadlessEventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  return std::make_unique<LoopTimer>(*this, timers_, intervalMs, std::move(onTimer));
}

void HeadlessEventLoop::Fire(LoopTimer& timer) { timer.Fire(now_ + timer.Period()); }

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
    LoopTimer* t = NextDueTimer(now_);
    if (!t) break;
    Fire(*t);
    DrainMessages();
  }
  --nesting_;
}

LoopTimer* HeadlessEventLoop::NextDueTimer(uint64_t until) {
  LoopTimer* best = nullptr;
  for (auto* t : timers_) {
    if (!t->DueBy(until)) continue;
    if (!best || t->Due() < best->Due()) best = t;
  }
  return best;
}

void HeadlessEventLoop::RunUntil(uint64_t until) {
  DrainMessages();
  while (!quit_) {
    LoopTimer* t = NextDueTimer(until);
    if (!t) break;
    now_ = std::max(now_, t->Due());
    Fire(*t);
    DrainMessages();
  }
  if (!quit_) now_ = std::max(now_, until);
}

}  // namespace vitrine
