// The show with the cross fade and with pan and zoom: a fade shows both pictures mixed
// half-way through, a standing picture drifts only when pan and zoom is on, and "every
// transition" takes in the new ones only for a package that asks for it.
#include <gtest/gtest.h>

#include "package/picture_info.h"
#include "show_test_rig.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {

// Pictures centred on black, standing 1 s, each brought in by the cross fade at speed 25:
// on a 96 x 64 show that is 10 * (96 div 25 + 1) = 40 ms.
void PlainShow(ShowRig& rig) {
  rig.Set(40, "1");  // each transition over the whole screen, from the old one
  rig.Set(3, "0");   // centred
  rig.Set(4, "0");  // in order
  rig.Set(5, "0");  // standing 1 s
}
PackageRecord Fading(PackageRecord more = {}) {
  PackageRecord r{{36, "161;"}, {34, "0"}, {35, "25"}, {46, "0;"}, {60, "0"}, {47, "0"}, {7, "0"}, {17, "0"}};
  r.insert(r.end(), more.begin(), more.end());
  return r;
}

TEST(ShowTimedEffects, HalfWayThroughACrossFadeTheScreenMixesBothPictures) {
  ShowRig rig;
  PlainShow(rig);
  rig.AddPicture(RGBColor(248, 0, 0), 96, 64, Fading());
  rig.AddPicture(RGBColor(0, 0, 248), 96, 64, Fading());
  HeadlessShow& show = rig.Start(96, 64);
  ASSERT_TRUE(rig.started);
  // The first fade (from black) ends at 40 ms; the second picture comes 1 s later and fades
  // in over 40 ms.
  show.RunUntil(1000);
  EXPECT_EQ(rig.ScreenAt(48, 32), RGBColor(255, 0, 0));  // the first stands
  show.RunUntil(1060);
  const Color mid = rig.ScreenAt(48, 32);
  EXPECT_GT(RedOf(mid), 90);
  EXPECT_LT(RedOf(mid), 160);
  EXPECT_GT(BlueOf(mid), 90);
  EXPECT_LT(BlueOf(mid), 160);
  show.RunUntil(1200);
  EXPECT_EQ(rig.ScreenAt(48, 32), RGBColor(0, 0, 255));
}

// A picture of vertical stripes, so that any drift or zoom changes pixels.
std::vector<uint8_t> Stripes() {
  Bitmap b(64, 48, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) b.SetPixel(x, y, (x / 3) % 2 ? RGBColor(250, 250, 250) : RGBColor(20, 40, 200));
  return EncodeBmp(b);
}

Bitmap ScreenAt(HeadlessShow& show, uint64_t ms) {
  show.RunUntil(ms);
  return show.Screen();
}

TEST(ShowTimedEffects, AStandingPictureDriftsOnlyWithPanAndZoom) {
  for (const char* panZoom : {"1", "0"}) {
    SCOPED_TRACE(panZoom);
    ShowRig rig;
    PlainShow(rig);
    rig.AddItem(Stripes(), "stripes.bmp", Fading({{100, panZoom}}));
    HeadlessShow& show = rig.Start(96, 64);
    ASSERT_TRUE(rig.started);
    const Bitmap early = ScreenAt(show, 300), late = ScreenAt(show, 800);
    if (panZoom[0] == '1') EXPECT_FALSE(early == late);
    else EXPECT_TRUE(early == late);
    // Drifting or not, the picture stands complete once its fade is over: what the players
    // report to those who wait for it.
    EXPECT_TRUE(show.Form().ItemStandsComplete());
    EXPECT_EQ(show.Form().ShowTimer().Enabled(), panZoom[0] == '1');
    // The black around the picture's place stays black either way.
    EXPECT_EQ(late.GetPixel(2, 2), kBlack);
    EXPECT_EQ(late.GetPixel(93, 61), kBlack);
  }
}

// Filling a wider screen (size mode 2), a 4:3 picture moves within itself. Its last four
// columns are green: they never take more of the screen than their own width brought to the
// screen's scale, as they would if the framing reached past the picture's edge, where the
// scaler repeats the edge.
TEST(ShowTimedEffects, APanningFramingKeepsWithinThePicture) {
  Bitmap picture(64, 48, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x)
      picture.SetPixel(x, y, x >= 60 ? RGBColor(0, 255, 0) : (x / 3) % 2 ? RGBColor(250, 250, 250) : RGBColor(20, 40, 200));
  for (uint32_t seed = 1; seed <= 4; ++seed) {  // zooming in or out, towards either side
    SCOPED_TRACE(seed);
    ShowRig rig;
    PlainShow(rig);
    rig.Set(41, "2");  // filling the screen, cut to its shape
    rig.seed = seed;
    rig.AddItem(EncodeBmp(picture), "wide.bmp", Fading({{100, "1"}}));
    HeadlessShow& show = rig.Start(96, 54);
    ASSERT_TRUE(rig.started);
    // 4 of 64 columns at 96 / 64: 6, and one more for the blend at their edge.
    for (uint64_t ms : {60, 300, 600, 950}) {
      const Bitmap screen = ScreenAt(show, ms);
      int green = 0;
      for (int32_t x = 0; x < 96; ++x) {
        const Color c = screen.GetPixel(x, 27);
        green += GreenOf(c) > 200 && RedOf(c) < 60 && BlueOf(c) < 60;
      }
      EXPECT_LE(green, 7) << "at " << ms << " ms";
    }
  }
}

TEST(ShowTimedEffects, TheProjectDefaultTurnsPanAndZoomOnForPicturesWithoutTheirOwn) {
  ShowRig rig;
  PlainShow(rig);
  rig.Set(100, "1");
  rig.AddItem(Stripes(), "stripes.bmp", Fading());
  HeadlessShow& show = rig.Start(96, 64);
  ASSERT_TRUE(rig.started);
  const Bitmap early = ScreenAt(show, 300);
  EXPECT_FALSE(early == ScreenAt(show, 800));
}

TEST(ShowTimedEffects, EveryTransitionTakesInTheNewOnesOnlyWhenThePackageAsksForIt) {
  for (const char* extended : {"0", "1"}) {
    ShowRig rig;
    PlainShow(rig);
    rig.Set(101, extended);
    rig.AddPicture(RGBColor(10, 20, 30), 8, 6, {{36, AllTransitionsList()}});  // "every transition", the default
    rig.AddPicture(RGBColor(10, 20, 30), 8, 6, {{36, "5;161;"}});
    rig.Start(96, 64);
    ASSERT_TRUE(rig.started);
    EXPECT_EQ(rig.Form().ItemTransitions[0].Count(), extended[0] == '1' ? 164 : 161);
    EXPECT_EQ(rig.Form().ItemTransitions[1].Count(), 2);
  }
}

}  // namespace
}  // namespace vitrine::test
