// A show whose music and videos are decoded: the video's own frames in its panel, and the
// sound of a render at the show times the show plays it.
#ifdef VITRINE_HAVE_LIBAV  // these builds decode media through FFmpeg's libraries
#include <gtest/gtest.h>

#include "apps/headless/show_render.h"
#include "platform/test_media.h"
#include "show_test_rig.h"

namespace vitrine::test {
namespace {

TEST(DecodedVideo, ThePanelShowsTheVideosOwnFramesAtTheShowTimes) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  std::string clip = dir.Make("clip.avi", "-f lavfi -i " + std::string(kChangingPicture) + " -c:v mjpeg -q:v 2");
  ASSERT_FALSE(clip.empty());
  // A 64 x 48 video on a 320 x 240 screen: its own size (mode 0), half the screen's width
  // (mode 3), and the 40 x 30 preview where every video is 300 wide and only its middle shows;
  // its own size again in a true-colour show, where only the decoders' rounding is left.
  const struct {
    int32_t sizeMode;
    bool preview;
    Rect panel;
    double tolerance;  // mean difference per channel: 16-bit screen, another scaler
    int depth;
  } cases[] = {
      {0, false, {128, 96, 192, 144}, 5.0, 16},
      {3, false, {80, 60, 240, 179}, 8.0, 16},
      {0, true, {-130, -97, 170, 127}, 8.0, 16},
      {0, false, {128, 96, 192, 144}, 2.0, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "size mode " << c.sizeMode << (c.preview ? " in preview" : "") << ", "
                                    << c.depth << " bits");
    ShowRig rig;
    rig.decodeMedia = true;
    rig.Set(122, std::to_string(c.depth));
    rig.AddItem(MediaDir::Read(clip), "clip.avi", {{52, "2"}, {53, std::to_string(c.sizeMode)}});
    auto& show = rig.Start(320, 240, c.preview);
    ASSERT_TRUE(show.Window().VideoPanelVisible());
    ASSERT_EQ(show.Window().VideoPanel(), c.panel);
    ASSERT_EQ(show.Screen().BytesPerPixel() * 8, c.depth);
    Rect panel = c.panel;
    Rect visible = panel.Intersect(show.Window().Surface().Bounds());
    for (uint64_t ms : {0, 350, 1220, 2950}) {
      SCOPED_TRACE(testing::Message() << ms << " ms");
      show.RunUntil(ms);
      Bitmap screen = show.Screen();
      int n = int(ms / 100);  // the video started with the show
      auto frame = dir.FrameRgb(clip, n, panel.Width(), panel.Height());
      auto other = dir.FrameRgb(clip, n + 1, panel.Width(), panel.Height());
      EXPECT_LT(MeanDifference(screen, visible, frame, panel.Width(), panel.Height(), panel.left, panel.top), c.tolerance);
      EXPECT_GT(MeanDifference(screen, visible, other, panel.Width(), panel.Height(), panel.left, panel.top), c.tolerance);
      // Nothing outside the panel: there the screen is the show surface as the show drew it.
      const Bitmap& surface = show.Window().Surface();
      int outside = 0;
      for (int32_t y = 0; y < screen.Height(); ++y)
        for (int32_t x = 0; x < screen.Width(); ++x)
          if (!visible.Contains(x, y)) outside += screen.GetPixel(x, y) != surface.GetPixel(x, y);
      EXPECT_EQ(outside, 0);
    }
  }
}

TEST(DecodedVideo, AFileThatCannotBePlayedLeavesTheScreenAsItWas) {
  ShowRig rig;
  rig.decodeMedia = true;
  std::string text = "not a video at all";
  rig.AddItem({text.begin(), text.end()}, "clip.avi", {{52, "2"}});
  auto& show = rig.Start(64, 48);
  show.RunUntil(5000);
  EXPECT_FALSE(rig.Form().VideoPlaying);
  EXPECT_FALSE(show.Window().VideoPanelVisible());
  EXPECT_EQ(show.Screen(), show.Window().Surface());
}

// Loudness of each 100 ms of a rendered show.mp4.
std::vector<double> RenderedLoudness(ShowRig& rig, const MediaDir& dir, int32_t seconds) {
  ShowRenderOptions options;
  options.seconds = seconds;
  options.fps = 10;
  options.videoPath = dir.Path("show.mp4");
  ShowRenderResult result = RenderShow(*rig.show, options);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.frames, seconds * 10);
  return WindowRms(dir.SoundMono(options.videoPath, 48000), 4800);
}

TEST(RenderedSound, MusicPlaysPausesAndResumesWhereTheShowDoesAndVideosBringTheirOwn) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  // Loud music (RMS about 11600), a quiet video sound (about 3500).
  std::string music = dir.Make("tone.wav", "-f lavfi -i aevalsrc='0.5*sin(2*PI*440*t)':s=44100:d=20 -c:a pcm_s16le");
  std::string clip = dir.Make("clip.avi", "-f lavfi -i testsrc=size=32x24:rate=10:duration=2 -f lavfi -i "
                                          "aevalsrc='0.15*sin(2*PI*660*t)':s=22050:d=2 "
                                          "-c:v mjpeg -c:a pcm_s16le -shortest");
  ASSERT_FALSE(music.empty());
  ASSERT_FALSE(clip.empty());
  ShowRig rig;
  rig.decodeMedia = true;
  rig.AddMusic("tone.wav", MediaDir::Read(music));
  rig.Set(8, "0");
  // The cycle: 0 a picture without music, 1010 one with music, 2020 the video (the music
  // pauses; its own sound plays until 4020, when the one-second check sees its end), 5020 a
  // picture with music again.
  rig.AddPicture(RGBColor(255, 0, 0), 8, 6, {{6, "0"}});
  rig.AddPicture(RGBColor(0, 255, 0));
  rig.AddItem(MediaDir::Read(clip), "clip.avi", {{52, "2"}});
  rig.AddPicture(RGBColor(0, 0, 255));
  ASSERT_NE(&rig.Start(64, 48), nullptr);
  std::vector<double> rms = RenderedLoudness(rig, dir, 6);
  ASSERT_GE(rms.size(), 59u);
  auto expect = [&](int from, int to, double low, double high, const char* what) {
    for (int w = from; w < to; ++w) {
      EXPECT_GT(rms[size_t(w)], low) << what << " at " << w * 100 << " ms";
      EXPECT_LT(rms[size_t(w)], high) << what << " at " << w * 100 << " ms";
    }
  };
  expect(0, 10, -1, 50, "silence before the music starts");
  expect(11, 20, 10000, 13000, "the music");
  expect(21, 40, 3000, 4000, "the video's own sound, the music paused");
  expect(41, 50, -1, 50, "silence after the video");
  expect(51, 59, 10000, 13000, "the music resumed");
}

TEST(RenderedSound, TracksFollowEachOtherAfterTheirEndTicksAndTheListLoops) {
  VITRINE_NEED_FFMPEG();
  MediaDir dir;
  std::string loud = dir.Make("one.wav", "-f lavfi -i aevalsrc='0.5*sin(2*PI*440*t)':s=22050:d=1.5 -c:a pcm_s16le");
  std::string soft = dir.Make("two.mp3", "-f lavfi -i aevalsrc='0.2*sin(2*PI*330*t)':s=44100:d=0.9 -c:a libmp3lame -b:a 96k");
  ASSERT_FALSE(loud.empty());
  ASSERT_FALSE(soft.empty());
  ShowRig rig;
  rig.decodeMedia = true;
  rig.AddMusic("one.wav", MediaDir::Read(loud));
  rig.AddMusic("two.mp3", MediaDir::Read(soft));
  rig.Set(8, "0");  // in order
  rig.Set(7, "2");  // two one-second ticks at a track's end before the next
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.Start(64, 48);
  // one.wav 0-1500, its end seen at 2000 and 3000; two.mp3 from 3000 (0.9 s and the encoder's
  // padding), its end seen
  // at 4000 and 5000; then one.wav again from 5000.
  std::vector<double> rms = RenderedLoudness(rig, dir, 7);
  ASSERT_GE(rms.size(), 69u);
  auto expect = [&](int from, int to, double low, double high, const char* what) {
    for (int w = from; w < to; ++w) {
      EXPECT_GT(rms[size_t(w)], low) << what << " at " << w * 100 << " ms";
      EXPECT_LT(rms[size_t(w)], high) << what << " at " << w * 100 << " ms";
    }
  };
  expect(0, 15, 10000, 13000, "the first track");
  expect(16, 30, -1, 50, "the pause after it");
  expect(31, 38, 4000, 5300, "the second track");
  expect(42, 50, -1, 50, "the pause after it");
  expect(50, 65, 10000, 13000, "the first track again");
}

}  // namespace
}  // namespace vitrine::test

#else
// The Windows builds play media through the system, not FFmpeg: these cases show as skipped.
#include <gtest/gtest.h>

#define VITRINE_NO_FFMPEG GTEST_SKIP() << "this build decodes no media itself: no FFmpeg libraries"
TEST(DecodedVideo, ThePanelShowsTheVideosOwnFramesAtTheShowTimes) { VITRINE_NO_FFMPEG; }
TEST(DecodedVideo, AFileThatCannotBePlayedLeavesTheScreenAsItWas) { VITRINE_NO_FFMPEG; }
TEST(RenderedSound, MusicPlaysPausesAndResumesWhereTheShowDoesAndVideosBringTheirOwn) { VITRINE_NO_FFMPEG; }
TEST(RenderedSound, TracksFollowEachOtherAfterTheirEndTicksAndTheListLoops) { VITRINE_NO_FFMPEG; }
#endif  // VITRINE_HAVE_LIBAV
