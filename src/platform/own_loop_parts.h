#pragma once
// The parts of a message loop that keeps its own queue and timer list (the headless loop and
// the SDL loop; on Windows the system keeps them): posted messages delivered in order, and
// timers with an interval, an enabled flag, the time they are next due and no re-entry.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/event_loop.h"

namespace vitrine {

// Window timers never fire faster than this, as on the system the show targets.
inline constexpr uint32_t kMinimumTimerInterval = 10;

class PostedMessages {
 public:
  void Post(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue_.push_back({&target, message, wParam, lParam});
  }
  void Forget(MessageTarget& target) {
    std::erase_if(queue_, [&](const Posted& p) { return p.target == &target; });
  }
  bool Empty() const { return queue_.empty(); }
  // Delivers in order, including what the handlers post meanwhile, until the queue is empty
  // or `quit` is set.
  void Drain(const bool& quit) {
    while (!queue_.empty() && !quit) {
      Posted p = queue_.front();
      queue_.pop_front();
      p.target->HandleMessage(p.message, p.wParam, p.lParam);
    }
  }

 private:
  struct Posted {
    MessageTarget* target;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::deque<Posted> queue_;
};

// A timer in its loop's list (`Self` is the loop's own timer class). It leaves the list when
// destroyed; a loop that goes first orphans its timers.
template <class Self>
class ListedTimer : public Timer {
 public:
  ListedTimer(std::vector<Self*>& list, std::function<uint64_t()> clock, uint32_t interval,
              std::function<void()> onTimer)
      : list_(&list), clock_(std::move(clock)), interval_(interval), onTimer_(std::move(onTimer)) {}
  ~ListedTimer() override {
    if (list_) std::erase(*list_, static_cast<Self*>(this));
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

  bool DueBy(uint64_t time) const { return enabled_ && !running_ && due_ <= time; }
  uint64_t Due() const { return due_; }
  uint64_t Period() const { return std::max(interval_, kMinimumTimerInterval); }

  // Runs the handler; the next tick falls one period after `from` (the handler may restart
  // the count itself).
  void Fire(uint64_t from) {
    due_ = from + Period();
    running_ = true;
    onTimer_();
    running_ = false;
  }
  void Orphan() { list_ = nullptr; }

 private:
  void Restart() {
    if (enabled_ && list_) due_ = clock_() + Period();
  }

  std::vector<Self*>* list_;
  std::function<uint64_t()> clock_;
  uint32_t interval_;
  bool enabled_ = false;
  bool running_ = false;  // its handler is on the stack (a prompt pumps the loop): no re-entry
  uint64_t due_ = 0;
  std::function<void()> onTimer_;
};

}  // namespace vitrine
