#pragma once
// A message loop on a virtual clock: posted messages and timers run in a fixed order, so a
// show played on it is the same every time. Time moves only when RunUntil advances it.
#include <vector>

#include "platform/event_loop.h"
#include "platform/loop_timer.h"
#include "platform/posted_messages.h"

namespace vitrine {

class HeadlessEventLoop final : public EventLoop {
 public:
  HeadlessEventLoop();
  ~HeadlessEventLoop() override;

  std::unique_ptr<Timer> CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) override;
  void PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void ForgetTarget(MessageTarget& target) override;
  void ProcessMessages() override;
  void Quit() override { quit_ = true; }
  bool QuitRequested() const override { return quit_; }
  uint64_t NowMs() const override { return now_; }

  // Delivers every message and timer tick due up to time `until` (inclusive), moving the
  // clock as it goes; stops early when Quit() was called. Posted messages go before timers.
  void RunUntil(uint64_t until);
  // Runs the queued messages without moving the clock.
  void DrainMessages();

 private:
  LoopTimer* NextDueTimer(uint64_t until);
  // The next tick is due one period after it fires.
  void Fire(LoopTimer& timer);

  uint64_t now_ = 0;
  bool quit_ = false;
  int nesting_ = 0;
  PostedMessages queue_;
  std::vector<LoopTimer*> timers_;  // in creation order, which breaks ties
};

}  // namespace vitrine
