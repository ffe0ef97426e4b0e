// A Flash item in a whole headless show: the Flash window over the screen, its end, its
// close events ending the show.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/show_test_rig.h"
#include "flash/flash_form.h"
#include "flash/movie_bytes.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

// A 2-second movie (24 frames at 12 a second) on a yellow background of its own.
std::vector<uint8_t> TwoSecondMovie() {
  test::MovieOutline m;
  m.frameCount = 24;
  test::Tag(m.tags, 9, {0xFF, 0xFF, 0x00});
  return test::Movie(m, true);
}

TEST(FlashShow, TheMoviePlaysOverTheScreenUntilItLoops) {
  ShowRig rig;
  rig.AddItem(TwoSecondMovie(), "movie.swf", {{52, "1"}, {56, "-1"}});  // no colour of the item's own
  rig.AddPicture(RGBColor(0, 255, 0));
  auto& show = rig.Start(64, 48);
  ASSERT_TRUE(show.Flash().FlashWindowOpen());
  TfFlashform* form = CurrentFlashWindow();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BoundsRect, (Rect{0, 0, 64, 48}));
  EXPECT_EQ(show.Screen().GetPixel(30, 20), RGBColor(255, 255, 0));
  // Playing from 0.1 s, the movie loops at about 2.1 s; the check at 3 s sees the playhead
  // behind where it stood at 2 s.
  show.RunUntil(2900);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
  show.RunUntil(3100);
  EXPECT_EQ(rig.Form().CurrentIndex, 1);
  EXPECT_FALSE(show.Flash().FlashWindowOpen());
  EXPECT_EQ(CurrentFlashWindow(), nullptr);
}

TEST(FlashShow, TheWindowShowsTheMoviesFramesScaledAndConvertedToTheScreensFormat) {
  // ffmpeg's three-frame picture sequence (48 x 32) and a writer movie of a red square.
  ShowRig rig;
  std::vector<uint8_t> ffmpeg = TestDataFile("flash/ffmpeg_testsrc.swf");
  ASSERT_FALSE(ffmpeg.empty()) << "tests/data/flash/ffmpeg_testsrc.swf is missing";
  rig.AddItem(ffmpeg, "clip.swf", {{52, "1"}, {56, "-1"}, {65, "1"}, {69, "1"}});
  std::vector<uint8_t> tags;
  ShapeWriter square(1, {Solid(255, 0, 0)}, {});
  square.Style(0, 1, 0).Rect(200, 200, 600, 600);
  Tag(tags, 2, square.DefineShape(1, 200, 600, 200, 600));
  Tag(tags, 26, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, 1, {});
  rig.AddItem(MovieOf(40, 40, 1, tags), "square.swf", {{52, "1"}, {56, std::to_string(RGBColor(0, 0, 255))}});
  auto& show = rig.Start(96, 64);
  // Twice the movie's size: ffmpeg's test pattern starts with a white column at its left.
  Bitmap screen = show.Screen();
  EXPECT_EQ(screen.Format(), kDefaultShowPixelFormat);
  auto reference = TestDataFile("flash/ffmpeg_testsrc.rgb");
  ASSERT_EQ(reference.size(), size_t(3 * 48 * 32 * 3));
  for (auto [x, y] : {std::pair{5, 5}, {40, 20}, {80, 50}}) {
    const uint8_t* p = &reference[(size_t(y / 2) * 48 + x / 2) * 3];
    EXPECT_TRUE(Near(screen.GetPixel(x, y), RGBColor(p[0], p[1], p[2]), 12)) << x << "," << y;
  }
  show.RunUntil(2500);  // the first movie ends after its second; the square shows
  ASSERT_EQ(rig.Form().CurrentIndex, 1);
  Bitmap second = show.Screen();
  // 40 x 40 shown all in 96 x 64: 64 x 64 from x = 16, the square from 16 + 16 to 16 + 48.
  EXPECT_EQ(second.GetPixel(48, 32), RGBColor(255, 0, 0));
  EXPECT_EQ(second.GetPixel(20, 20), RGBColor(0, 0, 255));  // no colour of the movie's: the item's
  EXPECT_EQ(second.GetPixel(5, 32), RGBColor(0, 0, 255));
}

// ffmpeg's picture sequence, shown at twice its size in a show of the given colour depth.
Bitmap TestPatternScreen(const char* depth) {
  ShowRig rig;
  std::vector<uint8_t> ffmpeg = TestDataFile("flash/ffmpeg_testsrc.swf");
  rig.AddItem(ffmpeg, "clip.swf", {{52, "1"}, {56, "-1"}, {65, "1"}, {69, "1"}});
  rig.Set(122, depth);
  return rig.Start(96, 64).Screen();
}

TEST(FlashShow, At32BitsTheMoviesFrameIsDrawnInFullWithinRoundingOfThe16BitOne) {
  ASSERT_FALSE(TestDataFile("flash/ffmpeg_testsrc.swf").empty()) << "tests/data/flash/ffmpeg_testsrc.swf is missing";
  const Bitmap wide = TestPatternScreen("32"), narrow = TestPatternScreen("16");
  ASSERT_EQ(wide.Format(), PixelFormat::Xrgb8888);
  ASSERT_EQ(narrow.Format(), PixelFormat::Rgb565);
  int32_t beyond16 = 0;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 96; ++x) {
      const Color w = wide.GetPixel(x, y), n = narrow.GetPixel(x, y);
      // 5-6-5 keeps the top 5, 6 and 5 bits of the same frame.
      ASSERT_LT(std::abs(RedOf(w) - RedOf(n)), 8) << x << "," << y;
      ASSERT_LT(std::abs(GreenOf(w) - GreenOf(n)), 4) << x << "," << y;
      ASSERT_LT(std::abs(BlueOf(w) - BlueOf(n)), 8) << x << "," << y;
      if (UnpackPixel(PixelFormat::Rgb565, PackPixel(PixelFormat::Rgb565, w)) != w) ++beyond16;
    }
  EXPECT_GT(beyond16, 96 * 64 / 4);  // the movie's own levels, not 5-6-5's
  auto reference = TestDataFile("flash/ffmpeg_testsrc.rgb");
  ASSERT_EQ(reference.size(), size_t(3 * 48 * 32 * 3));
  for (auto [x, y] : {std::pair{5, 5}, {40, 20}, {80, 50}}) {
    const uint8_t* p = &reference[(size_t(y / 2) * 48 + x / 2) * 3];
    EXPECT_TRUE(Near(wide.GetPixel(x, y), RGBColor(p[0], p[1], p[2]), 6)) << x << "," << y;
  }
}

TEST(FlashShow, AKeyInTheFlashWindowEndsTheShow) {
  ShowRig rig;
  rig.AddItem(TwoSecondMovie(), "movie.swf", {{52, "1"}, {56, std::to_string(RGBColor(0, 0, 255))}});
  auto& show = rig.Start(64, 48);
  EXPECT_EQ(show.Screen().GetPixel(1, 1), RGBColor(255, 255, 0));  // the movie's own colour wins
  show.RunUntil(500);
  ASSERT_NE(CurrentFlashWindow(), nullptr);
  CurrentFlashWindow()->FormKeyDown(kVkEscape);
  show.RunUntil(600);
  EXPECT_TRUE(show.Ended());
}

TEST(FlashShow, PreviewPlaysInsideTheShowArea) {
  ShowRig rig;
  rig.AddItem(TwoSecondMovie(), "movie.swf", {{52, "1"}, {56, "-1"}});
  auto& show = rig.Start(64, 48, true);
  TfFlashform* form = CurrentFlashWindow();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->InPanel);
  EXPECT_EQ(form->BoundsRect, (Rect{0, 0, 40, 30}));
  Bitmap screen = show.Screen();
  EXPECT_EQ(screen.Width(), 40);
  EXPECT_EQ(screen.GetPixel(39, 29), RGBColor(255, 255, 0));
}

}  // namespace
}  // namespace vitrine::test
