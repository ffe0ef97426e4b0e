// The transitions after the first 161, which run on elapsed time, and the pan-and-zoom
// path; and the first 161, which keep their names and indices.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "transitions/catalogue.h"
#include "transitions/dispatch.h"
#include "transitions/pan_zoom.h"
#include "transitions/timed_fade.h"
#include "transitions/transition_rig.h"

namespace vitrine::test {
namespace {

// The 161 names in index order, as packages made for the original player number them.
const char* const kClassicNames =
    "Band down large|Band down small|Band from center large|Band from center small|"
    "Band from left-bottom large|Band from left-bottom small|Band from left-top large|"
    "Band from left-top small|Band from right-bottom large|Band from right-bottom small|"
    "Band from right-top large|Band from right-top small|Band left large|Band left samll|"
    "Band right large|Band right small|Band to center large|Band to center small|Band up large|"
    "Band up small|Block from center|Block to center|Center(Diffuse)|Center(Envelop)|Checkerboard down|"
    "Checkerboard down rebound|Checkerboard left|Checkerboard left rebound|Checkerboard right|"
    "Checkerboard right rebound|Checkerboard up|Checkerboard up rebound|Circle left-bottom|"
    "Circle left-top|Circle right-bottom|Circle right-top|Circle(Center)|Circle(Random)|"
    "Cross wipe from center|Cross wipe to center|Diamond from center|Diamond to center|"
    "Ellipse from center|Ellipse to center|Ellipse(Random)|Fan wipe|Fan wipe(Anticlockwise)|"
    "Increase show|Line down|Line down rebound|Line left|Line left rebound|Line right|Line right rebound|"
    "Line up|Line up rebound|Lines(Horizontal)|Lines(Vertical)|Mosaic|Move down|Move down 1|Move down 2|"
    "Move down 3|Move down 4|Move down 5|Move from bottom left|Move from bottom right|Move from top left|"
    "Move from top right|Move left|Move left 1|Move left 2|Move left 3|Move left 4|Move left 5|"
    "Move left right|Move right|Move right 1|Move right 2|Move right 3|Move right 4|Move right 5|Move up|"
    "Move up 1|Move up 2|Move up 3|Move up 4|Move up 5|Move up down|Multi-Box from center|"
    "Multi-Box to center|Multi-Wipe from bottom-left|Multi-Wipe from bottom-right|"
    "Multi-Wipe from left-top|Multi-Wipe from right-top|Rain down|Rain left|Rain right|Rain up|"
    "Random crossLines|Roll down|Roll left|Roll right|Roll up|Scan down|Scan left|Scan right|"
    "Scan to center(Horizontal)|Scan to center(Vertical) |Scan to edge(Horizontal)|"
    "Scan to edge(Vertical)|Scan up|Show from bottom-left|Show from bottom-right|Show from top-left|"
    "Show from top-right|Show left-right|Show up-dwon|Shutter(Horizontal)|Shutter(Vertical)|"
    "Stretch from bottom|Stretch from bottom-left|Stretch from bottom-right|Stretch from center|"
    "Stretch from left|Stretch from right|Stretch from top|Stretch from top-left|Stretch from top-right|"
    "Sweep down|Sweep left|Sweep right|Sweep up|Tow bar move down|Tow bar move up|Tow bar wipe down|"
    "Tow bar wipe up|Two bar move left|Two bar move right|Two bar wipe left|Two bar wipe right|"
    "Wedge wipe down|Wedge wipe left|Wedge wipe right|Wedge wipe up|Window blind down|Window blind left|"
    "Window blind right|Window blind up|Wipe from left-bottom|Wipe from left-top|"
    "Wipe from left-top/right-bottom|Wipe from right-bottom|Wipe from right-top|"
    "Wipe from right-top/left-bottom|Wipe to left-top/right-bottom|Wipe to right-top/left-bottom|"
    "Zig-zag down|Zig-zag left|Zig-zag right|Zig-zag up";

TEST(TimedCatalogue, TheFirst161KeepTheirNamesAndIndices) {
  std::vector<std::string> names;
  std::stringstream in(kClassicNames);
  for (std::string name; std::getline(in, name, '|');) names.push_back(name);
  ASSERT_EQ(names.size(), 161u);
  ASSERT_EQ(kClassicTransitionCount, 161);
  for (int i = 0; i < kClassicTransitionCount; ++i) EXPECT_EQ(TransitionCatalogue()[size_t(i)].name, names[size_t(i)]) << i;
  EXPECT_STREQ(TransitionCatalogue()[kCrossFade].name, "Cross fade");
  EXPECT_STREQ(TransitionCatalogue()[kFadeThroughBlack].name, "Fade through black");
  EXPECT_STREQ(TransitionCatalogue()[kSlideInEased].name, "Slide in eased");
  EXPECT_EQ(kCrossFade, 161);
}

// A 7 x 1 area at speed 1 fades for 10 * (7 / 1 + 1) = 80 ms.
struct FadeRig {
  FadeRig(PixelFormat format = PixelFormat::Xrgb8888)
      : rig(Uniform(RGBColor(200, 100, 0), format), Uniform(RGBColor(40, 60, 255), format), 0, 0,
            TransitionScope::WholeScreen, {format, format}) {}
  static Bitmap Uniform(Color c, PixelFormat format) {
    Bitmap b(7, 1, format);
    for (int32_t x = 0; x < 7; ++x) b.SetPixel(x, 0, c);
    return b;
  }
  Color At(int32_t x) const { return rig.Surface().GetPixel(x, 0); }
  TransitionRig rig;
};

TEST(TimedTransitions, CrossFadeShowsTheWeightedMeanForTheTime) {
  FadeRig f;
  f.rig.Start(kCrossFade, 1);
  EXPECT_FALSE(f.rig.Step());
  EXPECT_FALSE(f.rig.Step());  // 20 of 80 ms: a quarter
  for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(f.At(x), RGBColor(160, 90, 64)) << x;
  EXPECT_FALSE(f.rig.Step());
  EXPECT_FALSE(f.rig.Step());  // half-way
  EXPECT_EQ(f.At(3), RGBColor(120, 80, 128));
  EXPECT_TRUE(f.rig.Run(10));
  EXPECT_EQ(f.rig.Frames(), 8);
  EXPECT_TRUE(f.rig.AreaShowsNew());
}

TEST(TimedTransitions, FadeThroughBlackDarkensTheOldPictureThenLightensTheNew) {
  FadeRig f;
  f.rig.Start(kFadeThroughBlack, 1);
  f.rig.Step();
  f.rig.Step();  // a quarter: the old one at half brightness
  EXPECT_EQ(f.At(0), RGBColor(100, 50, 0));
  f.rig.Step();
  f.rig.Step();
  f.rig.Step();
  f.rig.Step();  // three quarters: the new one at half brightness
  EXPECT_EQ(f.At(6), RGBColor(20, 30, 128));
}

// The same fade with ticks every 33 ms and every 10 ms: it ends at the first tick past 80 ms
// either way, and a late tick draws the frame for its own time.
TEST(TimedTransitions, LastAsLongAtAnyFrameRate) {
  for (int index : {int(kCrossFade), int(kFadeThroughBlack), int(kSlideInEased)}) {
    for (uint64_t tick : {10u, 33u}) {
      FadeRig f;
      f.rig.Start(index, 1);
      MemoryTransitionHost& host = f.rig.Host();
      uint64_t ended = 0;
      for (int frame = 0; frame < 100 && !ended; ++frame) {
        host.nowMs += tick;
        if (StepTransition(host, host.transitionIndex)) ended = host.nowMs;
      }
      EXPECT_EQ(ended, tick == 10 ? 80u : 99u) << index;
      EXPECT_TRUE(f.rig.AreaShowsNew()) << index;
    }
  }
  FadeRig late;
  late.rig.Start(kCrossFade, 1);
  late.rig.Host().nowMs = 40;  // the first tick comes half-way through
  EXPECT_FALSE(StepTransition(late.rig.Host(), kCrossFade));
  EXPECT_EQ(late.At(2), RGBColor(120, 80, 128));
}

TEST(TimedTransitions, DurationFollowsTheCatalogueSpeedRule) {
  EXPECT_EQ(TimedDurationMs(1920, 25), 770);  // 1920 div 25 = 76, 77 frames
  EXPECT_EQ(TimedDurationMs(640, 50), 130);
  EXPECT_EQ(TimedDurationMs(100, 0), 1010);  // a speed below 1 counts as 1
}

TEST(TimedTransitions, EasingStartsAndEndsSlowly) {
  EXPECT_EQ(EaseInOut(0), 0);
  EXPECT_EQ(EaseInOut(kProgressOne / 2), kProgressOne / 2);
  EXPECT_EQ(EaseInOut(kProgressOne), kProgressOne);
  EXPECT_EQ(EaseInOut(kProgressOne / 4), kProgressOne / 16);  // 4 * (1/4)^3
  EXPECT_LT(EaseInOut(kProgressOne / 10), kProgressOne / 100);
}

// A picture place 1150 x 575 pixels: the closest framing is 1000 x 500.
constexpr int64_t P = kFixedOne;
const FixedRect kWhole{0, 0, 1150 * P, 575 * P};

TEST(PanZoom, ZoomingInGoesFromTheWholePictureToTheClosestFramingAgainstTheSide) {
  const PanZoomPath path = MakePanZoomPath(kWhole, true, PanSide::Right);
  const FixedRect start = path.At(0), end = path.At(kProgressOne);
  EXPECT_EQ(start.left, 0);
  EXPECT_EQ(start.width, 1150 * P);
  EXPECT_EQ(end.width, 1000 * P);
  EXPECT_EQ(end.height, 500 * P);
  EXPECT_EQ(end.left, 150 * P);        // against the right edge
  EXPECT_EQ(end.top, 37 * P + P / 2);  // centred across
}

TEST(PanZoom, ZoomingOutStartsAgainstTheOppositeSideAndEndsOnTheWholePicture) {
  const PanZoomPath path = MakePanZoomPath(kWhole, false, PanSide::Top);
  const FixedRect start = path.At(0), end = path.At(kProgressOne);
  EXPECT_EQ(start.top, 75 * P);  // against the bottom edge: the view drifts up
  EXPECT_EQ(start.left, 75 * P);
  EXPECT_EQ(start.width, 1000 * P);
  EXPECT_EQ(end.left, 0);
  EXPECT_EQ(end.top, 0);
  EXPECT_EQ(end.width, 1150 * P);
  EXPECT_EQ(end.height, 575 * P);
}

TEST(PanZoom, EveryFramingStaysInsideThePictureAndZoomsAtMostFifteenPercent) {
  for (bool zoomIn : {true, false})
    for (PanSide side : {PanSide::Left, PanSide::Right, PanSide::Top, PanSide::Bottom}) {
      const PanZoomPath path = MakePanZoomPath(kWhole, zoomIn, side);
      int64_t lastWidth = path.At(0).width;
      for (int32_t p = 0; p <= kProgressOne; p += 1024) {
        const FixedRect r = path.At(p);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.left + r.width, kWhole.width);
        EXPECT_LE(r.top + r.height, kWhole.height);
        EXPECT_GE(r.width, 1000 * P);
        EXPECT_GE(r.height, 500 * P);
        // The zoom moves one way only.
        if (zoomIn) EXPECT_LE(r.width, lastWidth);
        else EXPECT_GE(r.width, lastWidth);
        lastWidth = r.width;
      }
    }
}

}  // namespace
}  // namespace vitrine::test
