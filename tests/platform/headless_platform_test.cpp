#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_media.h"
#include "backends/headless/headless_services.h"

namespace vitrine::test {
namespace {

struct Recorder : MessageTarget {
  std::vector<std::string>* log;
  explicit Recorder(std::vector<std::string>& l) : log(&l) {}
  void HandleMessage(uint32_t message, uintptr_t w, intptr_t) override {
    log->push_back("msg" + std::to_string(message) + ":" + std::to_string(w));
  }
};

TEST(HeadlessEventLoop, TimersFireOnTheVirtualClockInOrder) {
  HeadlessEventLoop loop;
  std::vector<std::string> log;
  auto fast = loop.CreateTimer(10, [&] { log.push_back("fast@" + std::to_string(loop.NowMs())); });
  auto slow = loop.CreateTimer(25, [&] { log.push_back("slow@" + std::to_string(loop.NowMs())); });
  fast->SetEnabled(true);
  slow->SetEnabled(true);
  loop.RunUntil(30);
  EXPECT_EQ(log, (std::vector<std::string>{"fast@10", "fast@20", "slow@25", "fast@30"}));
  EXPECT_EQ(loop.NowMs(), 30u);
}

TEST(HeadlessEventLoop, IntervalsBelowTheSystemMinimumRunAtTenMilliseconds) {
  HeadlessEventLoop loop;
  int ticks = 0;
  auto t = loop.CreateTimer(1, [&] { ++ticks; });
  t->SetEnabled(true);
  loop.RunUntil(100);
  EXPECT_EQ(ticks, 10);
}

TEST(HeadlessEventLoop, PostedMessagesRunBeforeTheNextTimerAndQuitStops) {
  HeadlessEventLoop loop;
  std::vector<std::string> log;
  Recorder target(log);
  std::unique_ptr<Timer> t;
  t = loop.CreateTimer(10, [&] {
    log.push_back("tick");
    loop.PostMessage(target, 0x574, 1, 0);
    if (loop.NowMs() >= 20) loop.Quit();
  });
  t->SetEnabled(true);
  loop.RunUntil(1000);
  EXPECT_EQ(log, (std::vector<std::string>{"tick", "msg1396:1", "tick"}));
  EXPECT_EQ(loop.NowMs(), 20u);
}

TEST(HeadlessEventLoop, ReEnablingRestartsTheCountAndForgottenTargetsGetNothing) {
  HeadlessEventLoop loop;
  std::vector<std::string> log;
  Recorder target(log);
  int ticks = 0;
  auto t = loop.CreateTimer(1000, [&] { ++ticks; });
  t->SetEnabled(true);
  loop.RunUntil(900);
  t->SetEnabled(false);
  t->SetEnabled(true);
  loop.RunUntil(1500);
  EXPECT_EQ(ticks, 0);
  loop.RunUntil(1900);
  EXPECT_EQ(ticks, 1);
  loop.PostMessage(target, 0x571);
  loop.ForgetTarget(target);
  loop.DrainMessages();
  EXPECT_TRUE(log.empty());
}

std::vector<uint8_t> Wave(uint32_t byteRate, uint32_t dataBytes) {
  std::vector<uint8_t> b;
  auto put = [&](const char* s) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(s[i])); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  put("RIFF"); u32(36 + dataBytes); put("WAVE");
  put("fmt "); u32(16);
  b.insert(b.end(), {1, 0, 1, 0}); u32(byteRate / 2); u32(byteRate); b.insert(b.end(), {2, 0, 16, 0});
  put("data"); u32(dataBytes);
  b.resize(b.size() + dataBytes);
  return b;
}

TEST(MediaInfo, WaveLengthComesFromItsDataAndByteRate) {
  auto wav = Wave(8000, 20000);
  auto info = ReadMediaInfo(wav, static_cast<int64_t>(wav.size()));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->lengthMs, 2500);
  EXPECT_EQ(info->width, 0);
  // A data chunk claiming more than the file holds is cut at the file's end.
  auto cut = std::vector<uint8_t>(wav.begin(), wav.begin() + 44 + 4000);
  EXPECT_EQ(ReadMediaInfo(cut, static_cast<int64_t>(cut.size()))->lengthMs, 500);
}

TEST(MediaInfo, RejectsWhatIsNotRiffMedia) {
  std::vector<uint8_t> junk = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'};
  EXPECT_FALSE(ReadMediaInfo(junk, 11));
  std::vector<uint8_t> noRate = Wave(0, 10);
  EXPECT_FALSE(ReadMediaInfo(noRate, static_cast<int64_t>(noRate.size())));
}

TEST(HeadlessServices, SingleInstanceNameIsHeldUntilReleased) {
  HeadlessServices first, second;
  EXPECT_TRUE(first.AcquireSingleInstance("vdn_orvanel"));
  EXPECT_FALSE(second.AcquireSingleInstance("vdn_orvanel"));
  first.ReleaseSingleInstance();
  EXPECT_TRUE(second.AcquireSingleInstance("vdn_orvanel"));
  second.ReleaseSingleInstance();
}

TEST(HeadlessServices, PasswordAnswersAreTakenInOrderThenCancelled) {
  HeadlessServices s;
  s.passwordAnswers = {std::string("abc"), std::nullopt};
  std::string entry;
  EXPECT_TRUE(s.GetPassword(entry));
  EXPECT_EQ(entry, "abc");
  EXPECT_FALSE(s.GetPassword(entry));
  EXPECT_FALSE(s.GetPassword(entry));
  EXPECT_EQ(s.passwordPrompts, 3);
}

}  // namespace
}  // namespace vitrine::test
