// The Flash window's sound on Windows: MP3 through the system's codec, the mix through waveOut.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "flash/swf_render.h"
#include "backends/media/sound_mixer.h"
#include "backends/win32/win32_acm_sound_decoder.h"
#include "backends/win32/win32_sound_output.h"

namespace vitrine {
namespace {

using test::TestDataFile;

int Crossings(const std::vector<int16_t>& stereo, size_t from, size_t to, int side) {
  int n = 0;
  for (size_t i = from + 1; i < to && i < stereo.size() / 2; ++i)
    n += (stereo[i * 2 + side] < 0) != (stereo[i * 2 - 2 + side] < 0);
  return n;
}

int Peak(const std::vector<int16_t>& stereo, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from * 2; i < to * 2 && i < stereo.size(); ++i) peak = std::max(peak, std::abs(int(stereo[i])));
  return peak;
}

// ffmpeg's 440 Hz sine, an eighth of full scale, half a second of mono at 22.05 kHz.
constexpr swf::SoundFormat kMp3Mono22k{swf::SoundCodec::Mp3, 2, true, false};

TEST(Win32AcmMp3, AnEventSoundDecodesToItsToneAtTheOutputRate) {
  std::vector<uint8_t> mp3 = TestDataFile("flash/sine440_22k.mp3");
  ASSERT_FALSE(mp3.empty()) << "tests/data not found (VITRINE_TEST_DATA)";
  AcmSoundDecoders decoders;
  swf::SoundDefinition sound;
  sound.format = kMp3Mono22k;
  sound.sampleCount = 11025;
  sound.data = mp3;
  std::vector<int16_t> out = swf::DecodeSound(sound, kSoundRate, &decoders, size_t(kSoundRate) * 10);
  ASSERT_GE(out.size() / 2, size_t(20000)) << "no MP3 codec answered";
  EXPECT_LE(out.size() / 2, size_t(24000));  // cut to its sample count
  // 440 Hz over 0.3 s from 0.1 s: 264 sign changes, the same on both sides.
  EXPECT_NEAR(Crossings(out, 4800, 4800 + 14400, 0), 264, 4);
  EXPECT_NEAR(Crossings(out, 4800, 4800 + 14400, 1), 264, 4);
  EXPECT_NEAR(Peak(out, 4800, 4800 + 14400), 4096, 400);
}

TEST(Win32AcmMp3, StreamPiecesCutAnywhereJoinIntoOneTone) {
  std::vector<uint8_t> mp3 = TestDataFile("flash/sine440_22k.mp3");
  ASSERT_FALSE(mp3.empty()) << "tests/data not found (VITRINE_TEST_DATA)";
  AcmSoundDecoders decoders;
  EXPECT_EQ(decoders.Create({swf::SoundCodec::Nellymoser, 2, true, false}, kSoundRate), nullptr);
  auto decoder = decoders.Create(kMp3Mono22k, kSoundRate);
  ASSERT_NE(decoder, nullptr);
  std::vector<int16_t> out;
  // Pieces that end inside frames: what is left of a frame waits for the next piece.
  for (size_t at = 0; at < mp3.size(); at += 301)
    decoder->Decode(std::span(mp3).subspan(at, std::min<size_t>(301, mp3.size() - at)), out, SIZE_MAX, false);
  decoder->Decode({}, out, SIZE_MAX, true);
  ASSERT_GE(out.size() / 2, size_t(20000));
  EXPECT_NEAR(Crossings(out, 4800, 4800 + 14400, 0), 264, 4);
  for (size_t at = 4800; at < 19200; at += 960) EXPECT_GT(Peak(out, at, at + 960), 3000) << at;

  // After a reset the next data decodes from its own start; at most maxFrames come out.
  decoder->Reset();
  std::vector<int16_t> again;
  decoder->Decode(mp3, again, 9600, true);
  EXPECT_EQ(again.size() / 2, size_t(9600));
}

struct CountingSource final : SoundSource {
  std::atomic<size_t> frames{0};
  size_t ReadSound(int16_t* out, size_t n) override {
    for (size_t i = 0; i < n * kSoundChannels; ++i) out[i] = 100;
    frames += n;
    return n;
  }
};

TEST(Win32SoundOutput, PullsTheMixWhileOpenAndStopsReadingWhenClosed) {
  SoundMixer mixer;
  CountingSource source;
  mixer.Attach(source);
  for (int round = 0; round < 2; ++round) {  // a device closed opens again
    SCOPED_TRACE(round);
    Win32SoundOutput output(mixer);
    ASSERT_TRUE(output.Open()) << "no waveOut device (wine-run.sh sets a null ALSA one)";
    EXPECT_TRUE(output.IsOpen());
    // Two seconds of sound, more than the device queues at its start: it keeps asking. The
    // bound only catches a device that stopped.
    size_t from = source.frames;
    for (int waited = 0; waited < 120000 && source.frames - from < size_t(kSoundRate) * 2; waited += 20)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(source.frames - from, size_t(kSoundRate) * 2) << "the device stopped asking for sound";
    output.Close();
    EXPECT_FALSE(output.IsOpen());
    // Nothing is read once Close has returned (sampled a moment later: an absence has no event).
    size_t closedAt = source.frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(source.frames, closedAt);
  }
  mixer.Detach(source);
}

}  // namespace
}  // namespace vitrine
