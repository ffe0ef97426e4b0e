#include "backends/sdl/sdl_event_loop.h"

#include <SDL.h>

#include <algorithm>

namespace vitrine {

SdlEventLoop::SdlEventLoop() : start_(SDL_GetTicks64()) {}

SdlEventLoop::~SdlEventLoop() {
  for (auto* t : timers_) t->Detach();
}

uint64_t SdlEventLoop::NowMs() const { return SDL_GetTicks64() - start_; }

std::unique_ptr<Timer> SdlEventLoop::CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) {
  return std::make_unique<LoopTimer>(*this, timers_, intervalMs, std::move(onTimer));
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
    LoopTimer* best = nullptr;
    for (auto* t : timers_) {
      if (t->firedInPass == pass || !t->DueBy(now)) continue;
      if (!best || t->Due() < best->Due()) best = t;
    }
    if (!best) break;
    best->firedInPass = pass;
    // The next tick keeps the cadence; ticks missed while the loop was busy are dropped.
    uint64_t next = best->Due() + best->Period();
    if (next <= now) next = now + best->Period();
    best->Fire(next);
    DrainMessages();
  }
}

void SdlEventLoop::Iterate(bool wait) {
  DrainMessages();
  FireDueTimers();
  SDL_Event event;
  while (!quit_ && SDL_PollEvent(&event)) {
    for (size_t i = 0; i < hooks_.size(); ++i) hooks_[i]->HandleEvent(event);
    DrainMessages();
  }
  if (quit_) return;
  for (size_t i = 0; i < hooks_.size(); ++i) hooks_[i]->Present();
  if (!wait) return;

  uint64_t now = NowMs();
  uint64_t next = now + 1000;
  for (auto* t : timers_)
    if (t->Enabled()) next = std::min(next, std::max(t->Due(), now));
  uint64_t sleep = next - now;
  for (Hooks* hooks : hooks_)
    if (uint32_t most = hooks->MaxWaitMs(); most > 0) sleep = std::min<uint64_t>(sleep, most);
  if (sleep > 0 && queue_.Empty()) SDL_WaitEventTimeout(nullptr, static_cast<int>(sleep));
}

void SdlEventLoop::Run() {
  while (!quit_) Iterate(true);
}

void SdlEventLoop::RunWhile(const std::function<bool()>& keepGoing) {
  while (!quit_ && keepGoing()) Iterate(true);
}

}  // namespace vitrine
