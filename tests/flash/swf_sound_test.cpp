// The movies' sound: event sounds and stream sound, played by our Flash control through the
// headless recorder, heard at the frames' times.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/show_test_rig.h"
#include "flash/flash_form.h"
#include "flash/own_flash_control.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_sound.h"
#ifdef VITRINE_HAVE_LIBAV
#include "backends/media/av_sound_decoder.h"
#endif

namespace vitrine::test {
namespace {

constexpr uint16_t k12Fps = 0x0C00;  // a frame every 4000 output frames

std::vector<int16_t> Constant(size_t n, int16_t v) { return std::vector<int16_t>(n, v); }
std::vector<int16_t> Join(std::vector<int16_t> a, const std::vector<int16_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A movie of `frames` frames at 12 a second: tags[k] run in frame k.
std::vector<uint8_t> TimelineMovie(uint16_t frames, const std::map<int, std::vector<std::pair<uint16_t, std::vector<uint8_t>>>>& tags) {
  std::vector<uint8_t> out;
  for (int f = 0; f < frames; ++f) {
    auto it = tags.find(f);
    if (it != tags.end())
      for (auto& [code, body] : it->second) Tag(out, code, body, body.size() >= 63);
    Tag(out, code::ShowFrame, {});
  }
  return MovieOf(20, 20, frames, out, false, k12Fps);
}

struct Recording {
  std::vector<int16_t> samples;
  size_t Frames() const { return samples.size() / 2; }
  int16_t Left(size_t f) const { return samples.at(f * 2); }
  int16_t Right(size_t f) const { return samples.at(f * 2 + 1); }
  // The first and one past the last frame that sounds on either side; {0, 0} when none does.
  std::pair<size_t, size_t> Sounding() const {
    size_t first = SIZE_MAX, last = 0;
    for (size_t f = 0; f < Frames(); ++f)
      if (Left(f) != 0 || Right(f) != 0) {
        first = std::min(first, f);
        last = f + 1;
      }
    return first == SIZE_MAX ? std::pair<size_t, size_t>{0, 0} : std::pair<size_t, size_t>{first, last};
  }
  int32_t Peak(size_t from, size_t to) const {
    int32_t p = 0;
    for (size_t f = from; f < std::min(to, Frames()); ++f) p = std::max({p, std::abs(int32_t(Left(f))), std::abs(int32_t(Right(f)))});
    return p;
  }
  // Sign changes of the left side, a tone's frequency twice over per second.
  int Crossings(size_t from, size_t to) const {
    int n = 0;
    for (size_t f = from + 1; f < std::min(to, Frames()); ++f) n += (Left(f - 1) < 0) != (Left(f) < 0);
    return n;
  }
};

// Our control playing one movie from time 0, its sound laid down by the headless recorder.
struct SoundRig {
  HeadlessEventLoop loop;
  MemoryFileSystem files;
  HeadlessSoundRecorder recorder{loop};
  std::unique_ptr<OwnFlashControl> control;

  explicit SoundRig(std::vector<uint8_t> movie, swf::SoundDecoderFactory* decoders = nullptr) {
    files.Files["/tmp/sound.swf"] = std::move(movie);
    control = std::make_unique<OwnFlashControl>(loop, files, nullptr, &recorder, decoders);
    recorder.SetRecording(true);
    control->SetMovie("/tmp/sound.swf");
    control->Play();
  }
  // The control catches up once, late, at the end: the sound still lands at each frame's time.
  Recording RunUntil(uint64_t ms) {
    loop.RunUntil(ms);
    control->CurrentFrame();
    return {recorder.Take()};
  }
};

const SoundSpec kMono22k{3, 2, true, false};
const SoundSpec kMono44k{3, 3, true, false};

TEST(SwfSoundRecords, SoundInfoFieldsReadInTheirOrder) {
  auto body = StartSound(7, {.syncStop = false, .noMultiple = true, .in = 441, .out = 882, .loops = 3,
                             .envelope = {{0, 100, 200}, {441, 32768, 0}}});
  auto start = swf::ReadStartSound(body);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->id, 7);
  EXPECT_FALSE(start->info.syncStop);
  EXPECT_TRUE(start->info.syncNoMultiple);
  EXPECT_EQ(start->info.inPoint, 441u);
  EXPECT_EQ(start->info.outPoint, 882u);
  EXPECT_EQ(start->info.loopCount, 3);
  ASSERT_EQ(start->info.envelope.size(), 2u);
  EXPECT_EQ(start->info.envelope[1].pos44, 441u);
  EXPECT_EQ(start->info.envelope[1].left, 32768);
  EXPECT_EQ(start->info.envelope[0].right, 200);
  // Cut short inside the envelope: no start at all.
  body.resize(body.size() - 3);
  EXPECT_FALSE(swf::ReadStartSound(body));
}

TEST(SwfSoundRecords, StreamHeadTakesTheStreamsFormatNotThePlaybackOne) {
  // Playback says 44 kHz stereo; the stream is MP3 at 11 kHz mono with its latency seek.
  std::vector<uint8_t> body = {0x0F, 0x26, 0x80, 0x04, 0xF0, 0xFF};
  auto head = swf::ReadSoundStreamHead(body);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->format.codec, swf::SoundCodec::Mp3);
  EXPECT_EQ(head->format.RateHz(), 11025);
  EXPECT_FALSE(head->format.stereo);
  EXPECT_EQ(head->samplesPerBlock, 1152);
  EXPECT_EQ(head->latencySeek, -16);
}

TEST(SwfSoundDecode, UncompressedSoundBecomesStereoAtTheOutputRate) {
  // 8-bit unsigned stereo at 11025 Hz: left +64, right -32 steps from the middle.
  std::vector<uint8_t> eight;
  for (int i = 0; i < 1103; ++i) {
    eight.push_back(128 + 64);
    eight.push_back(128 - 32);
  }
  // The definitions point into their tags' bytes, which stay.
  auto eightTag = DefineSound(1, {3, 1, false, true}, 1103, eight);
  auto def = swf::ReadDefineSound(eightTag);
  ASSERT_TRUE(def);
  auto pcm = swf::DecodeSound(*def, kSoundRate, nullptr, SIZE_MAX);
  EXPECT_NEAR(double(pcm.size() / 2), 1103 * 48000.0 / 11025, 2);
  EXPECT_EQ(pcm[200], 64 * 256);
  EXPECT_EQ(pcm[201], -32 * 256);
  // 16-bit mono at 22050 Hz: the same on both sides; a step from +1000 to -2000 half-way.
  auto monoTag = DefineSound(2, kMono22k, 2205, Pcm16(Join(Constant(1102, 1000), Constant(1103, -2000))));
  auto mono = swf::ReadDefineSound(monoTag);
  ASSERT_TRUE(mono);
  pcm = swf::DecodeSound(*mono, kSoundRate, nullptr, SIZE_MAX);
  EXPECT_NEAR(double(pcm.size() / 2), 4800, 2);
  EXPECT_EQ(pcm[2 * 2390], 1000);
  EXPECT_EQ(pcm[2 * 2390 + 1], 1000);
  EXPECT_EQ(pcm[2 * 2410], -2000);
  EXPECT_EQ(pcm[2 * 2410 + 1], -2000);
  // A sample count beyond the data decodes the data; the limit given holds.
  auto hugeTag = DefineSound(3, kMono22k, 0xFFFFFFFFu, Pcm16(Constant(100, 5)));
  auto huge = swf::ReadDefineSound(hugeTag);
  ASSERT_TRUE(huge);
  EXPECT_NEAR(double(swf::DecodeSound(*huge, kSoundRate, nullptr, SIZE_MAX).size() / 2), 100 * 48000.0 / 22050, 2);
  EXPECT_EQ(swf::DecodeSound(*mono, kSoundRate, nullptr, 50).size(), 100u);
  // Cut short before its data: no sound.
  EXPECT_FALSE(swf::ReadDefineSound(std::vector<uint8_t>{1, 0, 0x3E, 0x10}));
}

TEST(SwfEventSound, StartsAtItsFramesTimeAndPlaysOnce) {
  auto movie = TimelineMovie(12, {{0, {{code::DefineSound, DefineSound(1, kMono22k, 2205,
                                                                       Pcm16(Join(Constant(1102, 1000), Constant(1103, -2000))))}}},
                                  {2, {{code::StartSound, StartSound(1)}}}});
  SoundRig rig(movie);
  Recording r = rig.RunUntil(1000);
  ASSERT_EQ(r.Frames(), 48000u);
  // Frame 2 shows at 2/12 s: output frame 8000.
  auto [first, last] = r.Sounding();
  EXPECT_EQ(first, 8000u);
  EXPECT_NEAR(double(last), 8000 + 4800, 2);
  EXPECT_EQ(r.Left(8000 + 100), 1000);
  EXPECT_EQ(r.Right(8000 + 2380), 1000);
  EXPECT_EQ(r.Left(8000 + 2420), -2000);
  EXPECT_EQ(r.Right(8000 + 4780), -2000);
}

TEST(SwfEventSound, LoopsInAndOutPointsAndEnvelopes) {
  // 0.05 s at 44.1 kHz: 2400 output frames.
  auto define = DefineSound(1, kMono44k, 2205, Pcm16(Constant(2205, 1000)));
  {
    SoundRig rig(TimelineMovie(12, {{0, {{code::DefineSound, define}}}, {1, {{code::StartSound, StartSound(1, {.loops = 3})}}}}));
    auto [first, last] = rig.RunUntil(1000).Sounding();
    EXPECT_EQ(first, 4000u);
    EXPECT_NEAR(double(last - first), 3 * 2400, 3);
  }
  {
    // From 10 ms to 40 ms of the sound, twice.
    SoundRig rig(TimelineMovie(12, {{0, {{code::DefineSound, define}}},
                                    {1, {{code::StartSound, StartSound(1, {.in = 441, .out = 1764, .loops = 2})}}}}));
    auto [first, last] = rig.RunUntil(1000).Sounding();
    EXPECT_EQ(first, 4000u);
    EXPECT_NEAR(double(last - first), 2 * 1440, 3);
  }
  {
    // Left silent, right from full to half over the sound.
    SoundRig rig(TimelineMovie(12, {{0, {{code::DefineSound, define}}},
                                    {1, {{code::StartSound, StartSound(1, {.envelope = {{0, 0, 32768}, {2205, 0, 16384}}})}}}}));
    Recording r = rig.RunUntil(1000);
    EXPECT_EQ(r.Peak(0, r.Frames()), 1000);
    for (size_t f = 4000; f < 6400; f += 100) EXPECT_EQ(r.Left(f), 0) << f;
    EXPECT_EQ(r.Right(4000), 1000);
    EXPECT_NEAR(r.Right(4000 + 1200), 750, 2);
  }
}

TEST(SwfEventSound, SyncStopEndsItAndNoMultipleKeepsOneInstance) {
  auto define = DefineSound(1, kMono22k, 11025, Pcm16(Constant(11025, 1000)));  // half a second
  {
    SoundRig rig(TimelineMovie(12, {{0, {{code::DefineSound, define}}},
                                    {1, {{code::StartSound, StartSound(1)}}},
                                    {3, {{code::StartSound, StartSound(1, {.syncStop = true})}}}}));
    auto [first, last] = rig.RunUntil(1000).Sounding();
    EXPECT_EQ(first, 4000u);
    EXPECT_EQ(last, 12000u);
  }
  {
    // Started again a frame later: twice as loud, unless only one may play.
    SoundRig twice(TimelineMovie(12, {{0, {{code::DefineSound, define}}},
                                      {1, {{code::StartSound, StartSound(1)}}},
                                      {2, {{code::StartSound, StartSound(1)}}}}));
    EXPECT_EQ(twice.RunUntil(1000).Peak(8000, 9000), 2000);
    SoundRig once(TimelineMovie(12, {{0, {{code::DefineSound, define}}},
                                     {1, {{code::StartSound, StartSound(1)}}},
                                     {2, {{code::StartSound, StartSound(1, {.noMultiple = true})}}}}));
    Recording r = once.RunUntil(1000);
    EXPECT_EQ(r.Peak(8000, 9000), 1000);
    EXPECT_EQ(r.Sounding().second, 4000u + 24000u);
  }
}

TEST(SwfEventSound, StopPlayAndReleaseSilenceTheMovie) {
  auto define = DefineSound(1, kMono22k, 22050, Pcm16(Constant(22050, 1000)));  // a second
  auto movie = TimelineMovie(12, {{0, {{code::DefineSound, define}, {code::StartSound, StartSound(1)}}}});
  SoundRig rig(movie);
  rig.loop.RunUntil(250);
  rig.control->StopPlay();
  EXPECT_EQ(rig.RunUntil(1000).Sounding(), (std::pair<size_t, size_t>{0, 12000}));
  SoundRig released(movie);
  released.loop.RunUntil(500);
  released.control->FreeOnRelease();
  EXPECT_EQ(released.RunUntil(1000).Sounding(), (std::pair<size_t, size_t>{0, 24000}));
  EXPECT_EQ(released.control->Sound(), nullptr);
}

TEST(SwfStreamSound, EachFramesBlockPlaysInStepWithItsFrame) {
  // 44.1 kHz at 12 frames a second: 3675 samples a block, 4000 output frames. Frame k's block
  // holds the level (k + 1) * 1000; the timeline stops at frame 5.
  std::map<int, std::vector<std::pair<uint16_t, std::vector<uint8_t>>>> tags;
  tags[0].push_back({code::SoundStreamHead2, SoundStreamHead2(kMono44k, 3675)});
  for (int k = 0; k < 6; ++k) tags[k].push_back({code::SoundStreamBlock, Pcm16(Constant(3675, int16_t((k + 1) * 1000)))});
  tags[5].push_back({code::DoAction, Actions({kActionStop})});
  SoundRig rig(TimelineMovie(12, tags));
  Recording r = rig.RunUntil(1000);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(r.Left(size_t(k) * 4000 + 100), (k + 1) * 1000) << k;
    EXPECT_EQ(r.Right(size_t(k) * 4000 + 3900), (k + 1) * 1000) << k;
  }
  // Nothing after the last block shown: the stream does not run on by itself.
  EXPECT_NEAR(double(r.Sounding().second), 24000, 4);
  EXPECT_EQ(rig.control->CurrentFrame(), 5);
}

TEST(SwfSoundBounds, HostileMoviesStayBounded) {
  // A truncated DefineSound and a start of it: silent, and the movie plays on.
  {
    SoundRig rig(TimelineMovie(4, {{0, {{code::DefineSound, {1, 0, 0x3E}}, {code::StartSound, StartSound(1)}}}}));
    EXPECT_EQ(rig.RunUntil(1000).Sounding().second, 0u);
    EXPECT_EQ(rig.control->TotalFrames(), 4);
  }
  // 65535 loops of a short sound, started 300 times in one frame: at most kMaxVoices play,
  // the mix saturates instead of wrapping, and a show that is not recorded keeps nothing
  // waiting however long it runs.
  {
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> frame0 = {
        {code::DefineSound, DefineSound(1, kMono44k, 441, Pcm16(Constant(441, 30000)))}};
    for (int i = 0; i < 300; ++i) frame0.push_back({code::StartSound, StartSound(1, {.loops = 65535})});
    std::map<int, std::vector<std::pair<uint16_t, std::vector<uint8_t>>>> tags{{0, frame0}};
    tags[0].push_back({code::SoundStreamHead2, SoundStreamHead2(kMono44k, 3675)});
    for (int k = 0; k < 12; ++k) tags[k].push_back({code::SoundStreamBlock, Pcm16(Constant(3675, 100))});
    SoundRig rig(TimelineMovie(12, tags));
    Recording r = rig.RunUntil(2000);
    EXPECT_EQ(r.Peak(0, r.Frames()), 32767);
    EXPECT_EQ(r.Left(48000 * 2 - 1), 32767);
    ASSERT_NE(rig.control->Sound(), nullptr);
    EXPECT_EQ(rig.control->Sound()->Voices(), kMaxVoices);
    rig.recorder.SetRecording(false);
    for (uint64_t t = 2000; t <= 600000; t += 40) {
      rig.loop.RunUntil(t);
      rig.control->CurrentFrame();
    }
    EXPECT_LE(rig.control->Sound()->Pending(), 2 * swf::kMaxSoundEvents);  // a loop's starts at most
    EXPECT_EQ(rig.control->Sound()->Voices(), kMaxVoices);  // 65535 loops of 10 ms outlast 10 minutes
  }
}

#ifdef VITRINE_HAVE_LIBAV
TEST(SwfSoundLibav, AnMp3EventSoundDecodesToItsTone) {
  std::vector<uint8_t> mp3 = TestDataFile("flash/sine440_22k.mp3");
  ASSERT_FALSE(mp3.empty()) << "tests/data/flash/sine440_22k.mp3 is missing";
  AvSoundDecoders decoders;
  auto movie = TimelineMovie(12, {{0, {{code::DefineSound, DefineSound(1, {2, 2, true, false}, 11025, mp3)}}},
                                  {1, {{code::StartSound, StartSound(1)}}}});
  SoundRig rig(movie, &decoders);
  Recording r = rig.RunUntil(1000);
  auto [first, last] = r.Sounding();
  EXPECT_GE(first, 4000u);
  EXPECT_LE(first, 4000u + 1200);  // the encoder's delay at most
  EXPECT_NEAR(double(last - 4000), 24000, 100);  // cut to its sample count
  // 440 Hz over the middle 0.3 s: 264 sign changes; ffmpeg's sine is an eighth of full scale.
  EXPECT_NEAR(r.Crossings(4000 + 4800, 4000 + 4800 + 14400), 264, 4);
  EXPECT_NEAR(r.Peak(4000 + 4800, 4000 + 19200), 4096, 400);
}

TEST(SwfSoundLibav, FfmpegsMp3StreamSoundPlaysWithItsFrames) {
  std::vector<uint8_t> swf = TestDataFile("flash/ffmpeg_sine_stream.swf");
  ASSERT_FALSE(swf.empty()) << "tests/data/flash/ffmpeg_sine_stream.swf is missing";
  AvSoundDecoders decoders;
  SoundRig stopped(swf, &decoders);
  stopped.loop.RunUntil(300);
  stopped.control->StopPlay();
  Recording cut = stopped.RunUntil(600);
  EXPECT_GT(cut.Peak(9600, 14000), 3000);
  EXPECT_EQ(cut.Peak(14400, cut.Frames()), 0);
  SoundRig rig(swf, &decoders);
  Recording r = rig.RunUntil(900);
  EXPECT_LT(r.Sounding().first, 2400u);
  // 880 Hz from 0.2 s to 0.8 s: 1056 sign changes, without gaps between the blocks.
  EXPECT_NEAR(r.Crossings(9600, 38400), 1056, 8);
  for (size_t at = 9600; at < 38400; at += 960) EXPECT_GT(r.Peak(at, at + 960), 3000) << at;
}
#else
// The Windows builds carry no FFmpeg libraries: these cases show as skipped there.
TEST(SwfSoundLibav, AnMp3EventSoundDecodesToItsTone) { GTEST_SKIP() << "this build decodes no MP3: no FFmpeg libraries"; }
TEST(SwfSoundLibav, FfmpegsMp3StreamSoundPlaysWithItsFrames) {
  GTEST_SKIP() << "this build decodes no MP3: no FFmpeg libraries";
}
#endif

TEST(FlashShowSound, ASoundingMovieIsHeardInTheShowsRecording) {
  ShowRig rig;
  auto movie = TimelineMovie(24, {{0, {{code::DefineSound, DefineSound(1, kMono22k, 22050, Pcm16(Constant(22050, 1234)))}}},
                                  {1, {{code::StartSound, StartSound(1)}}}});
  rig.AddItem(movie, "movie.swf", {{52, "1"}, {56, "-1"}});
  rig.AddPicture(RGBColor(0, 255, 0));
  auto& show = rig.Start(64, 48);
  ASSERT_TRUE(show.Flash().FlashWindowOpen());
  show.Sound().SetRecording(true);
  show.Sound().Take();
  show.RunUntil(1500);
  show.Screen();
  Recording r{show.Sound().Take()};
  EXPECT_EQ(r.Peak(0, r.Frames()), 1234);
  EXPECT_GT(r.Sounding().second - r.Sounding().first, 40000u);
}

}  // namespace
}  // namespace vitrine::test
