#pragma once
// The show's message loop on SDL's clock: window timers (never faster than 10 ms, a late
// tick fires once and the timer keeps its cadence, so a frame that falls behind is not
// drawn twice), private messages queued in order and delivered before timers, and the
// window's own events. Nested loops (the password prompt) run the same iteration.
#include <functional>
#include <vector>

#include "platform/event_loop.h"
#include "platform/loop_timer.h"
#include "platform/posted_messages.h"

union SDL_Event;

namespace vitrine {

class SdlEventLoop final : public EventLoop {
 public:
  // What the window does in every iteration: take its events, present what changed, and
  // say how long the loop may sleep at most (0: no limit beyond the next timer).
  class Hooks {
   public:
    virtual ~Hooks() = default;
    virtual void HandleEvent(const SDL_Event& event) = 0;
    virtual void Present() = 0;
    virtual uint32_t MaxWaitMs() = 0;
  };

  SdlEventLoop();
  ~SdlEventLoop() override;
  SdlEventLoop(const SdlEventLoop&) = delete;
  SdlEventLoop& operator=(const SdlEventLoop&) = delete;

  // Every show window of the process (one per monitor where each has a show) hooks in.
  void AddHooks(Hooks* hooks) { hooks_.push_back(hooks); }
  void RemoveHooks(Hooks* hooks) { std::erase(hooks_, hooks); }

  std::unique_ptr<Timer> CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) override;
  void PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void ForgetTarget(MessageTarget& target) override;
  void ProcessMessages() override { Iterate(false); }
  void Quit() override { quit_ = true; }
  bool QuitRequested() const override { return quit_; }
  uint64_t NowMs() const override;

  // Runs until Quit().
  void Run();
  // A nested loop: runs while keepGoing() holds and Quit() has not been called.
  void RunWhile(const std::function<bool()>& keepGoing);

 private:
  void Iterate(bool wait);
  void DrainMessages();
  void FireDueTimers();

  uint64_t start_ = 0;
  bool quit_ = false;
  uint64_t pass_ = 0;
  std::vector<Hooks*> hooks_;
  PostedMessages queue_;
  std::vector<LoopTimer*> timers_;  // creation order breaks ties
};

}  // namespace vitrine
