#pragma once
// The queue of posted messages that the loops of our own (headless, SDL) keep: delivered in
// the order they were posted, one at a time, so a handler that posts more sees them run after
// what was already waiting.
#include <algorithm>
#include <deque>

#include "platform/event_loop.h"

namespace vitrine {

class PostedMessages {
 public:
  void Post(MessageTarget& target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue_.push_back({&target, message, wParam, lParam});
  }
  // A target going away takes its messages with it.
  void Forget(MessageTarget& target) {
    std::erase_if(queue_, [&](const Posted& p) { return p.target == &target; });
  }
  // Delivers until the queue is empty or quit turns true.
  void Deliver(const bool& quit) {
    while (!queue_.empty() && !quit) {
      Posted p = queue_.front();
      queue_.pop_front();
      p.target->HandleMessage(p.message, p.wParam, p.lParam);
    }
  }
  bool Empty() const { return queue_.empty(); }

 private:
  struct Posted {
    MessageTarget* target;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::deque<Posted> queue_;
};

}  // namespace vitrine
