#pragma once
// The user-interface thread's message loop as the show sees it: timers, private messages
// posted or sent to a window, a way to let pending messages run, and quitting. Everything
// happens on one thread; a handler runs to its end before the next message is delivered.
#include <cstdint>
#include <functional>
#include <memory>

namespace vitrine {

// Receives the private messages (values 0x400 and up) posted or sent to a window.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// A window timer. Disabled at creation; re-enabling or changing the interval restarts the
// count. The handler runs on the loop, never re-entered by its own timer.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(uint32_t milliseconds) = 0;
  virtual uint32_t Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual std::unique_ptr<Timer> CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) = 0;
  // Queued: the target handles it later, in order, on the loop.
  virtual void PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;
  // Handled now, before the call returns.
  virtual void SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;
  // A posted message for a target that is about to go away is dropped.
  virtual void ForgetTarget(MessageTarget& target) = 0;
  // Lets the messages already queued run (timers included), then returns.
  virtual void ProcessMessages() = 0;
  // Ends the loop after the current message.
  virtual void Quit() = 0;
  virtual bool QuitRequested() const = 0;
  // Milliseconds since the loop was created (the headless loop's virtual clock).
  virtual uint64_t NowMs() const = 0;
};

}  // namespace vitrine
