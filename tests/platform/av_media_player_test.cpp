// The media player over FFmpeg's libraries, on the headless platform's virtual clock.
#ifdef VITRINE_HAVE_LIBAV  // these builds decode media through FFmpeg's libraries
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_sound.h"
#include "backends/media/av_media_player.h"
#include "raster/bitmap.h"
#include "platform/test_media.h"

namespace vitrine::test {
namespace {

double PanelDifference(const Bitmap& panel, const std::vector<uint8_t>& rgb) {
  return MeanDifference(panel, panel.Bounds(), rgb, panel.Width(), panel.Height(), 0, 0);
}

struct PlayerRig {
  PlayerRig() { sound.SetRecording(true); }
  HeadlessEventLoop loop;
  HeadlessSoundRecorder sound{loop};
  AvMediaPlayer player{loop, NativeFileSystem(), &sound};
};

TEST(AvMediaPlayer, LengthsAndPictureSizesAreTheFilesOwn) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  const std::string tone = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=";
  const std::string pattern = "-f lavfi -i testsrc=size=64x48:rate=10:duration=2";
  const struct {
    const char* name;
    std::string args;
    int64_t length, tolerance;
    int32_t width;
  } files[] = {
      {"tone.wav", tone + "1.5 -c:a pcm_s16le", 1500, 1, 0},
      {"tone.mp3", tone + "2 -c:a libmp3lame -b:a 64k", 2000, 100, 0},  // encoder padding
      {"clip.avi", pattern + " -c:v mjpeg", 2000, 1, 64},
      {"clip.mpg", pattern + " -c:v mpeg1video -r 25", 2000, 100, 64},
      {"clip.mp4", pattern + " " + tone + "2 -c:v libx264 -preset ultrafast -c:a aac -shortest", 2000, 100, 64},
      {"clip.wmv", pattern + " " + tone + "2 -c:v wmv2 -c:a wmav2 -shortest", 2000, 150, 64},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    std::string path = dir.Make(f.name, f.args);
    ASSERT_FALSE(path.empty());
    PlayerRig rig;
    ASSERT_TRUE(rig.player.Open(path));
    EXPECT_NEAR(rig.player.LengthMs(), f.length, f.tolerance);
    EXPECT_EQ(rig.player.SourceRect(), (Rect{0, 0, f.width, f.width ? 48 : 0}));
    EXPECT_EQ(rig.player.PositionMs(), 0);
  }
}

TEST(AvMediaPlayer, PositionRunsOnTheClockWhilePlaying) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  std::string path = dir.Make("tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=8000:duration=1.5 -c:a pcm_s16le");
  ASSERT_FALSE(path.empty());
  PlayerRig rig;
  ASSERT_TRUE(rig.player.Open(path));
  rig.loop.RunUntil(100);
  rig.player.Play();
  rig.loop.RunUntil(600);
  EXPECT_EQ(rig.player.PositionMs(), 500);
  rig.player.Pause();
  rig.loop.RunUntil(900);
  EXPECT_EQ(rig.player.PositionMs(), 500);
  rig.player.Resume();
  rig.loop.RunUntil(1000);
  EXPECT_EQ(rig.player.PositionMs(), 600);
  rig.player.Seek(1400);
  rig.loop.RunUntil(1300);
  EXPECT_EQ(rig.player.PositionMs(), 1500);  // held at the end, which the show polls for
  rig.player.Stop();
  rig.player.Play();  // playing from the end starts over
  rig.loop.RunUntil(1400);
  EXPECT_EQ(rig.player.PositionMs(), 100);
  rig.player.Close();
  EXPECT_EQ(rig.player.LengthMs(), 0);
}

TEST(AvMediaPlayer, TheSoundIsTheFilesOwnAtTheTimesItPlays) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  // Already in the sound format: the samples pass through unchanged.
  std::string path = dir.Make("tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=1 -ac 2 -c:a pcm_s16le");
  ASSERT_FALSE(path.empty());
  std::vector<int16_t> source = dir.SoundMono(path, 48000);
  ASSERT_EQ(source.size(), 48000u);
  PlayerRig rig;
  ASSERT_TRUE(rig.player.Open(path));
  rig.loop.RunUntil(200);
  rig.player.Play();
  rig.loop.RunUntil(700);
  rig.player.Pause();
  rig.loop.RunUntil(800);
  rig.player.Seek(100);
  rig.player.Play();
  rig.loop.RunUntil(1000);
  std::vector<int16_t> sound = rig.sound.Take();
  ASSERT_EQ(sound.size(), 1000u * 48 * 2);
  auto left = [&](int frame) { return sound[size_t(frame) * 2]; };
  for (int f = 0; f < 200 * 48; f += 97) ASSERT_EQ(left(f), 0) << f;
  for (int f = 0; f < 500 * 48; ++f) ASSERT_EQ(left(200 * 48 + f), source[size_t(f)]) << f;
  for (int f = 700 * 48; f < 800 * 48; f += 97) ASSERT_EQ(left(f), 0) << f;
  for (int f = 0; f < 200 * 48; ++f) ASSERT_EQ(left(800 * 48 + f), source[size_t(100 * 48 + f)]) << f;  // from the seek
}

TEST(AvMediaPlayer, ThePictureIsTheFrameDueAtThePosition) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  std::string path = dir.Make("clip.avi", "-f lavfi -i " + std::string(kChangingPicture) + " -c:v mjpeg -q:v 2");
  ASSERT_FALSE(path.empty());
  PlayerRig rig;
  ASSERT_TRUE(rig.player.Open(path));
  rig.player.Play();
  // Same size: only the colour conversion differs. Twice the size: the scalers differ a
  // little more. Both far below the difference between neighbouring frames (checked too).
  const struct {
    int32_t width, height;
    double tolerance;
  } sizes[] = {{64, 48, 3.0}, {128, 96, 6.0}};
  for (uint64_t ms : {0, 450, 1230, 2990, 320}) {  // the last goes back
    rig.loop.RunUntil(ms > rig.loop.NowMs() ? ms : rig.loop.NowMs());
    if (ms < rig.loop.NowMs()) rig.player.Seek(int64_t(ms));
    for (const auto& s : sizes) {
      SCOPED_TRACE(testing::Message() << ms << " ms at " << s.width << "x" << s.height);
      rig.player.SetDisplayRect({0, 0, s.width, s.height});
      Bitmap panel(s.width, s.height, PixelFormat::Xrgb8888);
      ASSERT_TRUE(rig.player.DrawVideoFrame(panel));
      int n = int(ms / 100);
      EXPECT_LT(PanelDifference(panel, dir.FrameRgb(path, n, s.width, s.height)), s.tolerance);
      EXPECT_GT(PanelDifference(panel, dir.FrameRgb(path, n == 0 ? 5 : n - 1, s.width, s.height)), s.tolerance);
    }
  }
}

TEST(AvMediaPlayer, DamagedAndWrongKindsOfFileEndCleanly) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  std::string avi = dir.Make("clip.avi", "-f lavfi -i testsrc=size=64x48:rate=10:duration=2 -c:v mjpeg");
  ASSERT_FALSE(avi.empty());
  std::vector<uint8_t> good = MediaDir::Read(avi);
  auto write = [&](const std::string& name, std::vector<uint8_t> bytes) {
    std::string path = dir.Path(name);
    EXPECT_TRUE(NativeFileSystem().WriteFile(path, bytes));
    return path;
  };
  std::vector<uint8_t> flipped = good;
  for (size_t i = 400; i < flipped.size(); i += 53) flipped[i] ^= 0x5A;
  std::vector<uint8_t> noise(4096);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 2654435761u >> 13);
  std::string text = "This is not a video.\r\n";
  // A MIDI file: no decoder in the libraries for it.
  std::vector<uint8_t> midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 12,
                               0, 0x90, 60, 100, 96, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool opens;  // false: must fail to open; true: may open and must then play to its end
  } cases[] = {
      {"half.avi", {good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2)}, true},
      {"flipped.avi", flipped, true},
      {"header.avi", {good.begin(), good.begin() + 300}, true},
      {"noise.avi", noise, false},
      {"text.avi", {text.begin(), text.end()}, false},
      {"empty.wav", {}, false},
      {"tune.mid", midi, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerRig rig;
    std::string path = write(c.name, c.bytes);
    bool opened = rig.player.Open(path);
    if (!c.opens) {
      EXPECT_FALSE(opened);
      EXPECT_EQ(rig.player.LengthMs(), 0);
      continue;
    }
    if (!opened) continue;
    rig.player.SetDisplayRect({0, 0, 64, 48});
    rig.player.Play();
    Bitmap panel(64, 48, kDefaultShowPixelFormat);
    for (uint64_t t = 0; t <= 3000; t += 100) {
      rig.loop.RunUntil(t);
      rig.player.DrawVideoFrame(panel);
    }
    EXPECT_EQ(rig.player.PositionMs(), rig.player.LengthMs());  // the show sees the end
    rig.sound.Take();
  }
  PlayerRig rig;
  EXPECT_FALSE(rig.player.Open(dir.Path("missing.avi")));
}

}  // namespace
}  // namespace vitrine::test

#else
// The Windows builds play media through the system, not FFmpeg: these cases show as skipped.
#include <gtest/gtest.h>

#define VITRINE_NO_FFMPEG GTEST_SKIP() << "this build has no FFmpeg media player"
TEST(AvMediaPlayer, LengthsAndPictureSizesAreTheFilesOwn) { VITRINE_NO_FFMPEG; }
TEST(AvMediaPlayer, PositionRunsOnTheClockWhilePlaying) { VITRINE_NO_FFMPEG; }
TEST(AvMediaPlayer, TheSoundIsTheFilesOwnAtTheTimesItPlays) { VITRINE_NO_FFMPEG; }
TEST(AvMediaPlayer, ThePictureIsTheFrameDueAtThePosition) { VITRINE_NO_FFMPEG; }
TEST(AvMediaPlayer, DamagedAndWrongKindsOfFileEndCleanly) { VITRINE_NO_FFMPEG; }
#endif  // VITRINE_HAVE_LIBAV
