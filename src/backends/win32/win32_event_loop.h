#pragma once
// The show's message loop on the Windows thread queue: SetTimer timers on a hidden window,
// private messages posted to the window a target is bound to (the show window's handle), and
// GetMessage/PeekMessage loops that keep timers firing inside modal prompts too.
#include <cstdint>
#include <map>
#include <memory>

#include "platform/event_loop.h"

namespace vitrine {

class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop();
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  std::unique_ptr<Timer> CreateTimer(uint32_t intervalMs, std::function<void()> onTimer) override;
  void PostMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void SendMessage(MessageTarget& target, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
  void ForgetTarget(MessageTarget& target) override;
  void ProcessMessages() override;
  void Quit() override;
  bool QuitRequested() const override { return quit_; }
  uint64_t NowMs() const override;

  // Messages for `target` go to this window (an HWND), whose procedure hands them back
  // through Deliver. Targets without a window go through the loop's own hidden window.
  void BindTarget(MessageTarget& target, uintptr_t window);
  // Called by a bound window's procedure for a private message.
  void Deliver(uintptr_t window, uint32_t message, uintptr_t wParam, intptr_t lParam);

  // Runs until Quit() or WM_QUIT.
  void Run();

  class Win32Timer;
  void* Handle() const { return hidden_; }
  void DispatchTimer(uintptr_t id);
  void DispatchQueued(uintptr_t ticket);

 private:
  struct Queued {
    MessageTarget* target;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };

  void* hidden_ = nullptr;  // HWND
  bool quit_ = false;
  uint64_t start_ = 0;             // performance counter at the loop's start
  uint64_t counterFrequency_ = 1;  // its ticks per second
  bool fineTimer_ = false;         // the system timer runs at 1 ms while the loop lives
  uintptr_t nextTimerId_ = 1;
  uintptr_t nextTicket_ = 1;
  std::map<uintptr_t, Win32Timer*> timers_;
  std::map<uintptr_t, Queued> queued_;
  std::map<MessageTarget*, uintptr_t> bound_;
};

// The Windows message that carries a queued message for an unbound target.
inline constexpr uint32_t kQueuedTargetMessage = 0x8000 + 0x3A1;  // WM_APP range

}  // namespace vitrine
