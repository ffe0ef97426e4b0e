#pragma once
// The timer of the loops of our own (headless, SDL): an interval, an enabled flag and the
// time it is next due on its loop's clock. A loop lists its timers in creation order and
// fires the due ones; a timer takes itself off the list when it goes, and a loop that goes
// first detaches its timers, which then never restart.
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/event_loop.h"

namespace vitrine {

class LoopTimer final : public Timer {
 public:
  // Window timers never fire faster than this, as on the system the show targets.
  static constexpr uint32_t kMinimumInterval = 10;

  LoopTimer(const EventLoop& loop, std::vector<LoopTimer*>& list, uint32_t interval, std::function<void()> onTimer)
      : loop_(&loop), list_(&list), interval_(interval), onTimer_(std::move(onTimer)) {
    list.push_back(this);
  }
  ~LoopTimer() override {
    if (list_) std::erase(*list_, this);
  }
  LoopTimer(const LoopTimer&) = delete;
  LoopTimer& operator=(const LoopTimer&) = delete;

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

  void Detach() {
    loop_ = nullptr;
    list_ = nullptr;
  }

  // Enabled, due by time t and not in its own handler (a prompt pumps the loop): no re-entry.
  bool DueBy(uint64_t t) const { return enabled_ && !running_ && due_ <= t; }
  uint64_t Due() const { return due_; }
  // The interval it fires at, never below the minimum.
  uint64_t Period() const { return std::max(interval_, kMinimumInterval); }
  // Runs the handler, the next tick due at nextDue.
  void Fire(uint64_t nextDue) {
    due_ = nextDue;
    running_ = true;
    onTimer_();
    running_ = false;
  }

  uint64_t firedInPass = 0;  // for a loop that fires each timer at most once a pass

 private:
  void Restart() {
    if (enabled_ && loop_) due_ = loop_->NowMs() + Period();
  }

  const EventLoop* loop_;
  std::vector<LoopTimer*>* list_;
  uint32_t interval_;
  bool enabled_ = false;
  bool running_ = false;
  uint64_t due_ = 0;
  std::function<void()> onTimer_;
};

}  // namespace vitrine
