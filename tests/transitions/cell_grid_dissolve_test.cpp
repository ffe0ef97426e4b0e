// Multi-box, multi-wipe and the dissolve: they draw only what changed, so each frame's
// screen is checked against what composing every frame in full would show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cell_motion_rig.h"
#include "core/random.h"
#include "raster/region.h"
#include "rig_frames.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {


bool ShowsOld(const TransitionRig& rig, int32_t x, int32_t y) { return SourceAt(rig, x, y).x < 0; }

TEST(MultiBox, FromCenterGrowsEveryBoxByOnePixelAFrame) {
  auto rig = IndexedRig(40, 40);  // half boxes of 3 x 3, centres at 3, 9, 15, ...
  rig.Start(kMultiBoxFromCenter, 25);
  EXPECT_TRUE(StepAndDiff(rig).changed.Empty());
  rig.Step();  // half size 1
  EXPECT_FALSE(ShowsOld(rig, 2, 2));
  EXPECT_FALSE(ShowsOld(rig, 3, 3));
  EXPECT_TRUE(ShowsOld(rig, 4, 4));
  EXPECT_TRUE(ShowsOld(rig, 1, 2));
  EXPECT_FALSE(ShowsOld(rig, 38, 38));
  rig.Step();  // half size 2
  EXPECT_FALSE(ShowsOld(rig, 1, 1));
  EXPECT_FALSE(ShowsOld(rig, 4, 4));
  EXPECT_TRUE(ShowsOld(rig, 5, 5));
  EXPECT_TRUE(ShowsOld(rig, 0, 0));
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(MultiBox, ToCenterOnATallPictureKeepsTheOldPictureExactlyInTheOverlappingBoxes) {
  // 20 x 100: half boxes of 2 x 6 but a slope of 5, so the boxes of one column overlap.
  auto rig = IndexedRig(20, 100);
  rig.Start(kMultiBoxToCenter, 25);
  rig.Step();  // half size 2 x 10: the boxes cover everything
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_TRUE(ShowsOld(rig, x, y)) << x << "," << y;
  EXPECT_FALSE(rig.Step());  // half size 1 x 5: old in columns 4i+1, 4i+2 and rows 12j+1..12j+10
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const bool inBox = (x % 4 == 1 || x % 4 == 2) && y % 12 >= 1 && y % 12 <= 10;
      ASSERT_EQ(ShowsOld(rig, x, y), inBox) << x << "," << y;
    }
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_TRUE(rig.OutsideUntouched());
}

// What drawing each frame through a clip shows by frame k: the union of the triangles of frames 0..k, one per
// cell, cut to the area.
Region WipeReference(int32_t w, int32_t h, int32_t frames, bool right, bool bottom) {
  const int32_t cw = (w + 10) / 10, ch = (h + 10) / 10;
  const float slope = static_cast<float>(static_cast<long double>(h) / w);
  Region all;
  for (int32_t p = 0; p < frames; ++p) {
    const int32_t q = static_cast<int32_t>(std::nearbyintl(static_cast<long double>(p) * slope));
    for (int32_t i = 0; i < 10; ++i)
      for (int32_t j = 0; j < 10; ++j) {
        const int32_t x0 = i * cw + (right ? cw : 0), y0 = j * ch + (bottom ? ch : 0);
        const Point points[3] = {{x0, y0}, {right ? x0 - p : x0 + p, y0}, {x0, bottom ? y0 - q : y0 + q}};
        all = all.Union(Region::FromPolygon(points, FillMode::Winding));
      }
  }
  return all.Intersect(Region::FromRect({0, 0, w, h}));
}

TEST(MultiWipe, EachFrameShowsTheUnionOfAllTrianglesSoFar) {
  struct Case {
    int index;
    bool right, bottom;
  };
  for (const Case c : {Case{kMultiWipeFromLeftTop, false, false}, Case{kMultiWipeFromRightTop, true, false}, Case{kMultiWipeFromBottomLeft, false, true}, Case{kMultiWipeFromBottomRight, true, true}}) {
    const int32_t w = 23, h = 17;  // cells of 3 x 2, reaching past the area
    auto rig = IndexedRig(w, h);
    rig.Start(c.index, 25);
    for (int32_t frame = 1; frame <= 6; ++frame) {  // 2 * 3 drawing frames
      ASSERT_FALSE(rig.Step());
      const Region expected = WipeReference(w, h, frame, c.right, c.bottom);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          ASSERT_EQ(!ShowsOld(rig, x, y), expected.Contains(x, y))
              << "index " << c.index << " frame " << frame << " at " << x << "," << y;
    }
    EXPECT_TRUE(rig.Step());
    EXPECT_TRUE(rig.AreaShowsNew());
    EXPECT_TRUE(rig.OutsideUntouched());
  }
}

TEST(Dissolve, ScattersNewDotsForSixPhasesThenRestsAndEndsOnThe43rdFrame) {
  RandomSeed(3);
  auto rig = IndexedRig(60, 40);
  rig.Start(kIncreaseShow, 25);
  EXPECT_EQ(rig.Host().frameInterval, 1);
  int shownBefore = 0;
  for (int frame = 1; frame <= 42; ++frame) {
    const FrameResult f = StepAndDiff(rig);
    ASSERT_FALSE(f.finished) << frame;
    int shown = 0;
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 60; ++x)
        if (!ShowsOld(rig, x, y)) {
          ASSERT_EQ(SourceAt(rig, x, y).x, x);  // dots land where they belong
          ++shown;
        }
    if (frame % 7 == 0) EXPECT_EQ(shown, shownBefore) << frame;  // the step to the next offset
    else if (frame < 7) EXPECT_GT(shown, shownBefore) << frame;
    else EXPECT_GE(shown, shownBefore) << frame;  // late passes may find their dots shown
    shownBefore = shown;
  }
  EXPECT_LT(shownBefore, 60 * 40);
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_TRUE(rig.OutsideUntouched());
}

TEST(Dissolve, FirstPassStartsAtTheTopLeftLatticePoint) {
  RandomSeed(11);
  auto rig = IndexedRig(30, 30);
  rig.Start(kIncreaseShow, 25);
  rig.Step();
  // Row 0 gets dots in the first column pass (x = 0, dot at 0..5); later passes start lower.
  int inRow0 = 0;
  for (int32_t x = 0; x < 6; ++x) inRow0 += !ShowsOld(rig, x, 0);
  EXPECT_GE(inRow0, 1);
}

// The dissolve's dots as the plain walk makes them, one roll at a time: a draw of
// Random(6^11) gives eleven digits, lowest first, and a pass leaves the rest of its last
// draw unused. A pass rolls its column steps first; then every column walks one band of 16
// rows (a dot at its x plus a roll, then a step of a roll) before any walks the next.
class PlainDie {
 public:
  int32_t Roll() {
    if (left_ == 0) {
      pool_ = uint32_t(Random(362797056));
      left_ = 11;
    }
    --left_;
    const int32_t digit = int32_t(pool_ % 6);
    pool_ /= 6;
    return digit;
  }

 private:
  uint32_t pool_ = 0;
  int left_ = 0;
};

std::vector<Point> PlainDissolvePass(int32_t firstX, int32_t firstY, int32_t w, int32_t h) {
  PlainDie die;
  std::vector<int32_t> columns, rows;
  for (int32_t x = firstX; x < w; x += die.Roll()) columns.push_back(x);
  rows.assign(columns.size(), firstY);
  std::vector<Point> dots;
  for (int32_t top = 0; top < h; top += 16)
    for (size_t c = 0; c < columns.size(); ++c)
      while (rows[c] < std::min(top + 16, h)) {
        dots.push_back({columns[c] + die.Roll(), rows[c]});
        rows[c] += die.Roll();
      }
  return dots;
}

bool SameState(const RandomState& a, const RandomState& b) {
  return std::equal(std::begin(a.words), std::end(a.words), std::begin(b.words));
}

// Every frame against the plain walk: which pixels show the new picture, and where the
// generator stands afterwards, so that what follows the transition draws the same numbers.
void ExpectPlainDissolve(TransitionRig& rig, const std::string& label) {
  rig.Start(kIncreaseShow, 25);
  const Rect area = rig.Area(), visible = rig.VisibleArea();
  const int32_t w = area.Width(), h = area.Height();
  const RandomState start = RandomSaveState();
  std::vector<std::vector<bool>> shownAfter;
  std::vector<RandomState> stateAfter;
  std::vector<bool> shown(size_t(w) * h, false);
  for (int32_t position = 0; position < 6; ++position) {
    for (int32_t phase = 0; phase < 6; ++phase) {
      for (const Point dot : PlainDissolvePass(position, phase, w, h))
        if (dot.x < w) shown[size_t(dot.y) * w + dot.x] = true;
      shownAfter.push_back(shown);
      stateAfter.push_back(RandomSaveState());
    }
    shownAfter.push_back(shown);  // the frame that moves on to the next offset
    stateAfter.push_back(RandomSaveState());
  }
  RandomRestoreState(start);
  for (size_t frame = 0; frame < shownAfter.size(); ++frame) {
    ASSERT_FALSE(rig.Step()) << label << " frame " << frame + 1;
    for (int32_t y = visible.top; y < visible.bottom; ++y)
      for (int32_t x = visible.left; x < visible.right; ++x)
        ASSERT_EQ(rig.ShowsNew(x, y), shownAfter[frame][size_t(y) * w + x])
            << label << " frame " << frame + 1 << " at " << x << "," << y;
    ASSERT_TRUE(SameState(RandomSaveState(), stateAfter[frame])) << label << " frame " << frame + 1;
  }
  EXPECT_TRUE(rig.Step()) << label;
  EXPECT_TRUE(rig.AreaShowsNew()) << label;
  EXPECT_TRUE(rig.OutsideUntouched()) << label;
}

TEST(Dissolve, DrawsTheDotsOfThePlainWalkInEveryPixelFormatAndClip) {
  struct Case {
    const char* label;
    int32_t w, h, originX, originY;
    RigFormats formats;
  };
  constexpr RigFormats k16{PixelFormat::Rgb565, PixelFormat::Rgb565};
  constexpr RigFormats k32{PixelFormat::Xrgb8888, PixelFormat::Xrgb8888};
  constexpr RigFormats kConvert{PixelFormat::Xrgb8888, PixelFormat::Rgb565};
  const Case cases[] = {
      {"16-bit", 97, 83, 2, 3, k16},
      // Cut off at the left and the top: the dots there must not land anywhere.
      {"16-bit, partly off the surface", 301, 199, -13, -7, k16},
      {"32-bit", 61, 50, 5, 1, k32},
      {"converted", 45, 37, 0, 0, kConvert},
      // One band, and a last band of a single row.
      {"short", 40, 17, 1, 1, k16},
  };
  uint64_t seed = 21;
  for (const Case& c : cases) {
    RandomSeed(seed++);
    TransitionRig rig(MakeOldTestPicture(c.w, c.h), MakeNewTestPicture(c.w, c.h), c.originX, c.originY,
                      TransitionScope::Picture, c.formats);
    ExpectPlainDissolve(rig, c.label);
  }
}

TEST(Dissolve, AFrameOfTheFullScreenDrawsThePlainWalksDots) {
  // Enough dots that a pass runs through many blocks of digits.
  RandomSeed(5);
  TransitionRig rig(MakeOldTestPicture(640, 360), MakeNewTestPicture(640, 360), 0, 0);
  ExpectPlainDissolve(rig, "640x360");
}

}  // namespace
}  // namespace vitrine::test
