// Sound on its way from the players to the platform: the real-time mixer and the headless
// recording against the virtual clock.
#include <gtest/gtest.h>

#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_sound.h"
#include "backends/media/sound_mixer.h"

namespace vitrine {
namespace {

// Plays a constant level while `playing`; counts the frames it handed out.
struct LevelSource final : SoundSource {
  int16_t level;
  bool playing = true;
  size_t read = 0;
  explicit LevelSource(int16_t l) : level(l) {}
  size_t ReadSound(int16_t* out, size_t frames) override {
    if (!playing) return 0;
    std::fill(out, out + frames * kSoundChannels, level);
    read += frames;
    return frames;
  }
};

TEST(SoundMixer, AddsTheAttachedSourcesAndSaturates) {
  SoundMixer mixer;
  LevelSource a(20000), b(20000), c(-100);
  mixer.Attach(a);
  mixer.Attach(c);
  int16_t out[8];
  mixer.Mix(out, 4);
  EXPECT_EQ(out[0], 19900);
  mixer.Attach(b);
  mixer.Mix(out, 4);
  EXPECT_EQ(out[7], 32767);
  mixer.Detach(a);
  mixer.Detach(b);
  c.playing = false;
  mixer.Mix(out, 4);
  EXPECT_EQ(out[3], 0);  // a paused source is silence
}

TEST(HeadlessSoundRecorder, LaysSoundDownAtTheClockTimesItWasPlayed) {
  HeadlessEventLoop loop;
  HeadlessSoundRecorder recorder(loop);
  recorder.SetRecording(true);
  LevelSource source(1000);
  loop.RunUntil(100);
  recorder.Attach(source);  // attached at 100 ms: silence before
  loop.RunUntil(250);
  recorder.BeforeChange(source);
  source.playing = false;  // paused at 250 ms
  loop.RunUntil(400);
  recorder.BeforeChange(source);
  source.playing = true;  // resumed at 400 ms
  loop.RunUntil(500);
  std::vector<int16_t> sound = recorder.Take();
  ASSERT_EQ(sound.size(), size_t(500 * kSoundFramesPerMs * kSoundChannels));
  auto at = [&](int ms) { return sound[size_t(ms * kSoundFramesPerMs * kSoundChannels)]; };
  EXPECT_EQ(at(99), 0);
  EXPECT_EQ(at(100), 1000);
  EXPECT_EQ(at(249), 1000);
  EXPECT_EQ(at(250), 0);
  EXPECT_EQ(at(399), 0);
  EXPECT_EQ(at(400), 1000);
  EXPECT_EQ(source.read, size_t(250 * kSoundFramesPerMs));  // 100-250 and 400-500: no frame read twice
  loop.RunUntil(600);
  recorder.Detach(source);
  loop.RunUntil(700);
  sound = recorder.Take();  // the next take starts where the last ended
  ASSERT_EQ(sound.size(), size_t(200 * kSoundFramesPerMs * kSoundChannels));
  EXPECT_EQ(sound.front(), 1000);
  EXPECT_EQ(sound.back(), 0);  // detached at 600
}

TEST(HeadlessSoundRecorder, KeepsNothingUntilItRecords) {
  HeadlessEventLoop loop;
  HeadlessSoundRecorder recorder(loop);
  LevelSource source(1000);
  recorder.Attach(source);
  loop.RunUntil(60000);
  recorder.BeforeChange(source);
  EXPECT_EQ(source.read, 0u);  // nothing decoded for nobody
  recorder.SetRecording(true);
  loop.RunUntil(60100);
  std::vector<int16_t> sound = recorder.Take();
  ASSERT_EQ(sound.size(), size_t(60100 * kSoundFramesPerMs * kSoundChannels));
  EXPECT_EQ(sound[size_t(60000 * kSoundFramesPerMs * kSoundChannels) - 1], 0);
  EXPECT_EQ(sound[size_t(60000 * kSoundFramesPerMs * kSoundChannels)], 1000);
}

}  // namespace
}  // namespace vitrine
