// The show's message loop on SDL's clock: the order of posted messages and timer ticks, a
// late tick fired once, no timer re-entered by a nested loop, quitting.
#include <gtest/gtest.h>
#include <SDL.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "backends/sdl/sdl_event_loop.h"

namespace vitrine {
namespace {

struct Recorder final : MessageTarget {
  std::vector<std::string>& log;
  explicit Recorder(std::vector<std::string>& l) : log(l) {}
  void HandleMessage(uint32_t message, uintptr_t wParam, intptr_t) override {
    log.push_back("msg " + std::to_string(message) + ":" + std::to_string(wParam));
  }
};

struct SdlLoop : ::testing::Test {
  void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
  void TearDown() override { SDL_Quit(); }
  static void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  // Runs the loop's iterations until `done` holds; the bound only catches a hang.
  template <class Done>
  static bool IterateUntil(SdlEventLoop& loop, Done done) {
    for (int i = 0; i < 120000 && !done(); ++i) {
      loop.ProcessMessages();
      if (!done()) Sleep(1);
    }
    return done();
  }
};

TEST_F(SdlLoop, PostedMessagesRunInOrderBeforeTheTimersThatAreDue) {
  SdlEventLoop loop;
  std::vector<std::string> log;
  Recorder target(log);
  auto timer = loop.CreateTimer(10, [&] {
    log.push_back("tick");
    loop.PostMessage(target, 3);  // runs before the next timer, after this tick
  });
  auto later = loop.CreateTimer(10, [&] { log.push_back("later"); });
  timer->SetEnabled(true);
  later->SetEnabled(true);
  loop.PostMessage(target, 1, 7);
  loop.PostMessage(target, 2);
  ASSERT_TRUE(IterateUntil(loop, [&] { return log.size() >= 5; }));
  log.resize(5);
  EXPECT_EQ(log, (std::vector<std::string>{"msg 1:7", "msg 2:0", "tick", "msg 3:0", "later"}));
}

TEST_F(SdlLoop, ATickThatFellBehindFiresOnceAndForgottenTargetsGetNothing) {
  SdlEventLoop loop;
  std::vector<std::string> log;
  Recorder target(log);
  std::vector<uint64_t> tickedAt;
  auto timer = loop.CreateTimer(10, [&] { tickedAt.push_back(loop.NowMs()); });
  timer->SetEnabled(true);
  Sleep(80);  // at least eight intervals missed
  loop.PostMessage(target, 9);
  loop.ForgetTarget(target);
  loop.ProcessMessages();
  EXPECT_EQ(tickedAt.size(), 1u) << "the missed ticks were fired";
  EXPECT_TRUE(log.empty());
  // The cadence goes on from the late tick: on the loop's own clock the next one is a whole
  // interval after it, however late the loop gets to it.
  ASSERT_TRUE(IterateUntil(loop, [&] { return tickedAt.size() >= 2; }));
  EXPECT_GE(tickedAt[1], tickedAt[0] + 10);
}

TEST_F(SdlLoop, ANestedLoopKeepsOtherTimersFiringButNeverReentersItsOwn) {
  SdlEventLoop loop;
  int outer = 0, inner = 0;
  std::unique_ptr<Timer> other = loop.CreateTimer(10, [&] { ++inner; });
  std::unique_ptr<Timer> prompting = loop.CreateTimer(10, [&] {
    ++outer;
    loop.RunWhile([&] { return inner < 3; });  // a modal prompt open for three ticks
  });
  prompting->SetEnabled(true);
  other->SetEnabled(true);
  // Once the prompt's tick has come and gone, the other timer fired inside it, and the
  // prompting timer, due again many times over meanwhile, did not run inside itself.
  ASSERT_TRUE(IterateUntil(loop, [&] { return outer >= 1; }));
  EXPECT_EQ(outer, 1);
  EXPECT_GE(inner, 3);
}

TEST_F(SdlLoop, RunEndsAfterQuitAndDisabledTimersStayQuiet) {
  SdlEventLoop loop;
  int quiet = 0, ticks = 0;
  auto off = loop.CreateTimer(10, [&] { ++quiet; });
  off->SetEnabled(true);
  off->SetEnabled(false);
  auto timer = loop.CreateTimer(10, [&] {
    if (++ticks == 3) loop.Quit();
  });
  timer->SetEnabled(true);
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(quiet, 0);
  EXPECT_TRUE(loop.QuitRequested());
}

}  // namespace
}  // namespace vitrine
