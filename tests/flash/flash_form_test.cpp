#include "flash/flash_form.h"

#include <gtest/gtest.h>

#include "flash/movie_bytes.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_services.h"
#include "backends/headless/headless_show_window.h"
#include "settings/memory_registry_store.h"

namespace vitrine {
namespace {

struct Inbox final : MessageTarget {
  struct Message {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint64_t at;
  };
  explicit Inbox(EventLoop& loop) : loop(loop) {}
  void HandleMessage(uint32_t m, uintptr_t w, intptr_t l) override { got.push_back({m, w, l, loop.NowMs()}); }
  int Count(uint32_t m) const {
    int n = 0;
    for (auto& g : got) n += g.message == m;
    return n;
  }
  EventLoop& loop;
  std::vector<Message> got;
};

// A player whose frames are scripted as a function of the clock; it logs what it is asked.
class ScriptedControl final : public FlashControl {
 public:
  ScriptedControl(EventLoop& loop, std::vector<std::string>& log) : loop_(loop), log_(log) {}
  void SetBounds(int32_t l, int32_t t, int32_t w, int32_t h) override {
    bounds_ = {l, t, l + w, t + h};
    log_.push_back("Bounds " + std::to_string(w) + "x" + std::to_string(h));
  }
  Rect Bounds() const override { return bounds_; }
  void SetCursor(FlashCursor c) override { cursor_ = c, log_.push_back("Cursor"); }
  FlashCursor Cursor() const override { return cursor_; }
  void SetDoubleBuffered(bool) override { log_.push_back("DoubleBuffered"); }
  void BringToFront() override { log_.push_back("BringToFront"); }
  void FreeOnRelease() override { log_.push_back("FreeOnRelease"); }
  void SetMenu(bool on) override { log_.push_back(on ? "Menu on" : "Menu off"); }
  void SetMovie(const std::string& p) override { log_.push_back("Movie " + p); }
  void SetBackgroundColor(int32_t c) override {
    char text[32];
    std::snprintf(text, sizeof text, "BackgroundColor %08X", unsigned(c));
    log_.push_back(text);
  }
  void SetScaleMode(int32_t m) override { log_.push_back("ScaleMode " + std::to_string(m)); }
  void SetAlignMode(int32_t m) override { log_.push_back("AlignMode " + std::to_string(m)); }
  int32_t TotalFrames() override { return total; }
  bool Playing() override { return playing && (!playingAt || playingAt(loop_.NowMs())); }
  void GotoFrame(int32_t f) override { log_.push_back("GotoFrame " + std::to_string(f)); }
  void Play() override {
    playing = true;
    log_.push_back("Play");
  }
  void StopPlay() override {
    playing = false;
    log_.push_back("StopPlay");
  }
  int32_t CurrentFrame() override { return frameAt ? frameAt(loop_.NowMs()) : 0; }

  int32_t total = 0;
  bool playing = false;
  std::function<int32_t(uint64_t)> frameAt;
  std::function<bool(uint64_t)> playingAt;

 private:
  EventLoop& loop_;
  std::vector<std::string>& log_;
  Rect bounds_{};
  FlashCursor cursor_ = FlashCursor::Default;
};

class FlashFormTest : public ::testing::Test {
 protected:
  FlashFormTest() : window(800, 600), inbox(loop), settings("Sunset.scr", registry) {}

  std::unique_ptr<TfFlashform> Open(const FlashDisplayRecord& record, bool preview = false, bool closeOnInput = true) {
    FlashFormEnvironment env{loop, services, window, nullptr, [this] {
                               auto c = std::make_unique<ScriptedControl>(loop, log);
                               control = c.get();
                               setUp(*c);
                               return c;
                             }};
    if (preview) return ShowFlashInPanel(env, inbox, 152, 112, settings, closeOnInput, true, record, "m.swf");
    return ShowFlashWindow(env, inbox, nullptr, settings, closeOnInput, true, record, "m.swf");
  }
  // The time of each WM_FLASHFINISHED.
  std::vector<uint64_t> Finished() const {
    std::vector<uint64_t> at;
    for (auto& m : inbox.got)
      if (m.message == WM_FLASHFINISHED && m.wParam == 1 && m.lParam == 1) at.push_back(m.at);
    return at;
  }

  HeadlessEventLoop loop;
  HeadlessShowWindow window;
  HeadlessServices services;
  MemoryRegistryStore registry;
  Inbox inbox;
  TRWSetting settings;
  std::vector<std::string> log;
  ScriptedControl* control = nullptr;
  std::function<void(ScriptedControl&)> setUp = [](ScriptedControl&) {};
};

TEST_F(FlashFormTest, SetUpOrderOfBothWindows) {
  FlashDisplayRecord record;
  record.BackgroundColor = 0x000000FF;  // red as a Windows colour
  record.AlignMode = 4;
  record.ScaleMode = 2;
  record.StartFrame = 7;
  auto form = Open(record);
  EXPECT_EQ(FlashWindow, form.get());
  EXPECT_EQ(log, (std::vector<std::string>{"Cursor", "Bounds 800x600", "DoubleBuffered", "Menu off", "Movie m.swf",
                                           "BackgroundColor 00FF0000", "ScaleMode 2", "AlignMode 4"}));
  EXPECT_EQ(form->BoundsRect, (Rect{0, 0, 800, 600}));
  loop.RunUntil(99);
  EXPECT_EQ(log.size(), 8u);
  loop.RunUntil(100);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 8, log.end()), (std::vector<std::string>{"GotoFrame 7", "Play"}));
  EXPECT_FALSE(form->Playtimer().Enabled());
  form.reset();
  EXPECT_EQ(FlashWindow, nullptr);

  log.clear();
  form = Open(record, true);
  EXPECT_EQ(log, (std::vector<std::string>{"Bounds 152x112", "DoubleBuffered", "Menu off", "BackgroundColor 00FF0000",
                                           "ScaleMode 2", "AlignMode 4", "Movie m.swf", "BringToFront"}));
  EXPECT_TRUE(form->InPanel);
}

TEST_F(FlashFormTest, StopAtFrameEndsAtTheFirstCheck) {
  FlashDisplayRecord record;
  record.StopMode = 0;
  record.StopFrame = 1;
  setUp = [](ScriptedControl& c) { c.frameAt = [](uint64_t t) { return int32_t(t / 50); }; };
  auto form = Open(record);
  loop.RunUntil(1000);
  EXPECT_EQ(Finished(), (std::vector<uint64_t>{1000}));
  EXPECT_EQ(log.back(), "StopPlay");
  EXPECT_EQ(form->LastFrame, 20);
}

TEST_F(FlashFormTest, StopAfterTimeEndsAtTheCheckAfterPlaySeconds) {
  FlashDisplayRecord record;
  record.StopMode = 1;
  record.PlaySeconds = 5;
  auto form = Open(record);
  loop.RunUntil(5999);
  EXPECT_TRUE(Finished().empty());
  loop.RunUntil(6000);
  EXPECT_EQ(Finished(), (std::vector<uint64_t>{6000}));
  // The timer goes on until the show frees the window.
  loop.RunUntil(7000);
  EXPECT_EQ(Finished().size(), 2u);
}

TEST_F(FlashFormTest, StopNeverOnlyFollowsThePlayhead) {
  FlashDisplayRecord record;
  record.StopMode = 2;
  setUp = [](ScriptedControl& c) { c.frameAt = [](uint64_t t) { return int32_t(t / 1000 % 3); }; };
  auto form = Open(record);
  loop.RunUntil(60000);
  EXPECT_TRUE(Finished().empty());
  EXPECT_EQ(form->LastFrame, 0);  // 60 s: frame 60 % 3
}

TEST_F(FlashFormTest, StopAtEndOfALoopingMovieWhenThePlayheadWraps) {
  FlashDisplayRecord record;
  record.StopMode = 3;
  // 30 frames at 12 a second, looping: frames 12, 24, 6 (wrapped) at the checks.
  setUp = [](ScriptedControl& c) {
    c.total = 30;
    c.frameAt = [](uint64_t t) { return int32_t((t - 100) * 12 / 1000 % 30); };
  };
  auto form = Open(record);
  loop.RunUntil(2000);
  EXPECT_TRUE(Finished().empty());
  loop.RunUntil(3000);
  EXPECT_EQ(Finished(), (std::vector<uint64_t>{3000}));
  EXPECT_EQ(log.back(), "StopPlay");
}

TEST_F(FlashFormTest, StopAtEndOfAMovieThatNeverPlays) {
  FlashDisplayRecord record;  // stop mode 3
  setUp = [](ScriptedControl& c) {
    c.total = 180;
    c.playingAt = [](uint64_t) { return false; };
  };
  auto form = Open(record);
  loop.RunUntil(12000);
  EXPECT_TRUE(Finished().empty());
  loop.RunUntil(13000);
  EXPECT_EQ(Finished(), (std::vector<uint64_t>{13000}));
  EXPECT_FALSE(form->stoptimer().Enabled());
  EXPECT_EQ(std::count(log.begin(), log.end(), "StopPlay"), 0);

  // With no frames at all: the third check.
  inbox.got.clear();
  setUp = [](ScriptedControl& c) { c.playingAt = [](uint64_t) { return false; }; };
  form = Open(record);
  loop.RunUntil(loop.NowMs() + 3000);
  ASSERT_EQ(Finished().size(), 1u);
  EXPECT_EQ(form->IdleTicks, 3);
}

TEST_F(FlashFormTest, StopAtEndOfAMovieThatPlayedThenStoppedAfterThreeIdleChecks) {
  FlashDisplayRecord record;
  setUp = [](ScriptedControl& c) {
    c.total = 1800;  // its own limit would be 103 checks
    c.frameAt = [](uint64_t t) { return int32_t(std::min<uint64_t>(t / 100, 25)); };
    c.playingAt = [](uint64_t t) { return t < 2500; };
  };
  auto form = Open(record);
  loop.RunUntil(4999);
  EXPECT_TRUE(Finished().empty());
  loop.RunUntil(5000);
  EXPECT_EQ(Finished(), (std::vector<uint64_t>{5000}));
}

}  // namespace
}  // namespace vitrine
