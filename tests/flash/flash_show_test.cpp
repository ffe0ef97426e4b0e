// A Flash item in a whole headless show: the Flash window over the screen, its end, its
// close events ending the show.
#include <gtest/gtest.h>

#include "app/show_test_rig.h"
#include "flash/flash_form.h"
#include "flash/movie_bytes.h"

namespace vitrine::test {
namespace {

// A 2-second movie (24 frames at 12 a second) on a yellow background of its own.
std::vector<uint8_t> TwoSecondMovie() {
  test::MovieSpec m;
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
