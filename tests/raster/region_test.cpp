#include "raster/region.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "raster/raster_test_util.h"

namespace vitrine::test {
namespace {


TEST(RegionRect, InvertedCornersAreOrdered) {
  EXPECT_EQ(Region::FromRect({5, 9, 2, 5}), Region::FromRect({2, 5, 5, 9}));
  EXPECT_EQ(Region::FromEllipse({8, 0, 0, 6}), Region::FromEllipse({0, 0, 8, 6}));
  EXPECT_EQ(Region::FromRect({INT32_MAX, 0, INT32_MIN, 1}).Bounds(), (Rect{INT32_MIN, 0, INT32_MAX, 1}));
}

TEST(RegionRect, ZeroSizeGivesTheEmptyRegion) {
  EXPECT_TRUE(Region::FromRect({3, 3, 3, 9}).Empty());
  EXPECT_TRUE(Region::FromRect({3, 3, 9, 3}).Empty());
  EXPECT_TRUE(Region().Empty());
  EXPECT_EQ(Region().Bounds(), Rect{});
}

TEST(RegionRect, RightAndBottomEdgesAreOutside) {
  Region r = Region::FromRect({2, 1, 5, 3});
  EXPECT_EQ(r.Bounds(), (Rect{2, 1, 5, 3}));
  EXPECT_TRUE(r.Contains(2, 1));
  EXPECT_TRUE(r.Contains(4, 2));
  EXPECT_FALSE(r.Contains(5, 2));
  EXPECT_FALSE(r.Contains(4, 3));
  EXPECT_FALSE(r.Contains(1, 1));
  EXPECT_FALSE(r.Contains(2, 0));
}

TEST(RegionRect, FullInt32RangeIsRepresentable) {
  Region r = Region::FromRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_TRUE(r.Contains(0, 0));
  EXPECT_TRUE(r.Contains(INT32_MIN, INT32_MAX - 1));
  EXPECT_FALSE(r.Contains(INT32_MAX, 0));
}

TEST(RegionEllipse, LiesInsideItsBoundingBox) {
  EXPECT_EQ(Picture(Region::FromEllipse({0, 0, 8, 6}), {-1, -1, 9, 7}),
            Rows("..........",
                 "...####...",
                 "..######..",
                 ".########.",
                 ".########.",
                 "..######..",
                 "...####...",
                 ".........."));
}

TEST(RegionEllipse, OddCircleIsSymmetric) {
  EXPECT_EQ(Picture(Region::FromEllipse({10, 20, 17, 27}), {10, 20, 17, 27}),
            Rows("..###..",
                 ".#####.",
                 "#######",
                 "#######",
                 "#######",
                 ".#####.",
                 "..###.."));
}

TEST(RegionEllipse, TinyAndFlatBoxes) {
  EXPECT_EQ(Picture(Region::FromEllipse({0, 0, 1, 1}), {0, 0, 1, 1}), Rows("#"));
  EXPECT_EQ(Picture(Region::FromEllipse({0, 0, 2, 2}), {0, 0, 2, 2}), Rows("##", "##"));
  EXPECT_EQ(Picture(Region::FromEllipse({0, 0, 9, 1}), {0, 0, 9, 1}), Rows("#########"));
  EXPECT_TRUE(Region::FromEllipse({4, 4, 4, 8}).Empty());
}

TEST(RegionEllipse, AbsurdBoxStaysBounded) {
  Region r = Region::FromEllipse({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_TRUE(r.Contains(0, 0));
  EXPECT_LE(r.Bands().size(), size_t(2 * Region::kShapeLimit));
  Rect b = r.Bounds();
  EXPECT_GE(b.left, -Region::kShapeLimit);
  EXPECT_LE(b.bottom, Region::kShapeLimit);
}

// Centres on the hypotenuse (x + y = 6 at y + 0.5) fall on the right edge and stay out.
TEST(RegionPolygon, TriangleTakesPixelsWhoseCentresAreInside) {
  const std::vector<Point> triangle{{0, 0}, {6, 0}, {0, 6}};
  EXPECT_EQ(Picture(Region::FromPolygon(triangle, FillMode::Alternate), {0, 0, 7, 7}),
            Rows("#####..",
                 "####...",
                 "###....",
                 "##.....",
                 "#......",
                 ".......",
                 "......."));
}

TEST(RegionPolygon, AxisAlignedSquareEqualsTheRectangle) {
  const std::vector<Point> square{{2, 1}, {7, 1}, {7, 4}, {2, 4}};
  EXPECT_EQ(Region::FromPolygon(square, FillMode::Winding), Region::FromRect({2, 1, 7, 4}));
}

TEST(RegionPolygon, DegenerateInputsAreEmpty) {
  const std::vector<Point> two{{0, 0}, {5, 5}};
  const std::vector<Point> flat{{0, 3}, {5, 3}, {9, 3}};
  EXPECT_TRUE(Region::FromPolygon(two, FillMode::Winding).Empty());
  EXPECT_TRUE(Region::FromPolygon(flat, FillMode::Winding).Empty());
  EXPECT_TRUE(Region::FromPolygon({}, FillMode::Alternate).Empty());
}

// A five-pointed star drawn in one stroke crosses itself: its centre has winding number 2.
const std::vector<Point> kStar{{5, 0}, {8, 10}, {0, 3}, {10, 3}, {2, 10}};

TEST(RegionPolygon, WindingFillsTheCentreOfASelfOverlappingStar) {
  EXPECT_EQ(Picture(Region::FromPolygon(kStar, FillMode::Winding), {0, 0, 10, 10}),
            Rows("..........",
                 "..........",
                 "....##....",
                 ".########.",
                 "..######..",
                 "...####...",
                 "...####...",
                 "...####...",
                 "..##..##..",
                 "..#....#.."));
}

TEST(RegionPolygon, AlternateLeavesTheCentreOfTheStarOpen) {
  EXPECT_EQ(Picture(Region::FromPolygon(kStar, FillMode::Alternate), {0, 0, 10, 10}),
            Rows("..........",
                 "..........",
                 "....##....",
                 ".###..###.",
                 "..##..##..",
                 "..........",
                 "...#..#...",
                 "...####...",
                 "..##..##..",
                 "..#....#.."));
}

TEST(RegionPolygon, AbsurdCoordinatesStayBounded) {
  const std::vector<Point> huge{{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {0, INT32_MAX}};
  Region r = Region::FromPolygon(huge, FillMode::Winding);
  EXPECT_TRUE(r.Contains(0, 0));
  EXPECT_LE(r.Bands().size(), size_t(2 * Region::kShapeLimit));
}

class RegionAlgebra : public ::testing::Test {
 protected:
  Region a = Region::FromRect({0, 0, 4, 3});
  Region b = Region::FromRect({2, 1, 6, 5});
  Rect area{0, 0, 6, 5};
};

TEST_F(RegionAlgebra, Union) {
  EXPECT_EQ(Picture(a.Union(b), area), Rows("####..", "######", "######", "..####", "..####"));
}

TEST_F(RegionAlgebra, Intersection) {
  EXPECT_EQ(a.Intersect(b), Region::FromRect({2, 1, 4, 3}));
}

TEST_F(RegionAlgebra, Difference) {
  EXPECT_EQ(Picture(a.Subtract(b), area), Rows("####..", "##....", "##....", "......", "......"));
  EXPECT_EQ(Picture(b.Subtract(a), area), Rows("......", "....##", "....##", "..####", "..####"));
}

TEST_F(RegionAlgebra, Xor) {
  EXPECT_EQ(Picture(Region::Combine(a, b, CombineMode::Xor), area),
            Rows("####..", "##..##", "##..##", "..####", "..####"));
}

TEST_F(RegionAlgebra, ResultsAreCanonical) {
  // Pieces that together form a rectangle compare equal to that rectangle.
  Region left = Region::FromRect({0, 0, 3, 4}), right = Region::FromRect({3, 0, 7, 4});
  Region top = Region::FromRect({0, 0, 7, 2}), bottom = Region::FromRect({0, 2, 7, 4});
  EXPECT_EQ(left.Union(right), Region::FromRect({0, 0, 7, 4}));
  EXPECT_EQ(top.Union(bottom), Region::FromRect({0, 0, 7, 4}));
  EXPECT_EQ(left.Union(right).Subtract(top), bottom);
  EXPECT_EQ(a.Subtract(a), Region());
  EXPECT_EQ(a.Bands().size(), 1u);
  EXPECT_EQ(a.Union(b).Bands().size(), 3u);
}

TEST_F(RegionAlgebra, EmptyOperands) {
  Region none;
  EXPECT_EQ(a.Union(none), a);
  EXPECT_EQ(none.Union(a), a);
  EXPECT_EQ(a.Intersect(none), none);
  EXPECT_EQ(a.Subtract(none), a);
  EXPECT_EQ(none.Subtract(a), none);
  EXPECT_EQ(Region::Combine(none, a, CombineMode::Xor), a);
}

TEST(RegionCombine, RectangleMinusEllipseLeavesTheCorners) {
  Region frame = Region::FromRect({0, 0, 8, 6}).Subtract(Region::FromEllipse({0, 0, 8, 6}));
  EXPECT_EQ(Picture(frame, {0, 0, 8, 6}),
            Rows("##....##", "#......#", "........", "........", "#......#", "##....##"));
}

TEST(RegionOffset, MovesEveryBandAndSpan) {
  Region r = Region::FromEllipse({0, 0, 8, 6});
  Region moved = r;
  moved.Offset(-3, 7);
  EXPECT_EQ(moved.Bounds(), (Rect{-3, 7, 5, 13}));
  EXPECT_EQ(Picture(moved, {-3, 7, 5, 13}), Picture(r, {0, 0, 8, 6}));
  moved.Offset(3, -7);
  EXPECT_EQ(moved, r);
}

TEST(RegionOffset, SaturatesAtTheInt32Range) {
  Region r = Region::FromRect({0, 0, 10, 10});
  r.Offset(INT32_MAX, 0);
  EXPECT_TRUE(r.Empty());  // every span squeezed against the right end of the range
  Region s = Region::FromRect({-5, -5, 5, 5});
  s.Offset(INT32_MIN + 2, 0);
  EXPECT_EQ(s.Bounds(), (Rect{INT32_MIN, -5, INT32_MIN + 7, 5}));
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

// Random shapes combined by every mode, checked pixel by pixel against the boolean rule, and
// the result checked to be canonical (rebuilding it from its own rows changes nothing).
TEST(RegionCombineRandom, AgreesWithThePixelRule) {
  std::mt19937 rng(11);
  auto coord = [&](int lo, int hi) { return int32_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  auto shape = [&]() {
    switch (coord(0, 2)) {
      case 0: return Region::FromRect({coord(-2, 8), coord(-2, 8), coord(0, 14), coord(0, 14)});
      case 1: return Region::FromEllipse({coord(-2, 8), coord(-2, 8), coord(0, 14), coord(0, 14)});
      default: {
        std::vector<Point> pts;
        for (int k = coord(3, 6); k > 0; --k) pts.push_back({coord(-2, 14), coord(-2, 14)});
        return Region::FromPolygon(pts, coord(0, 1) ? FillMode::Winding : FillMode::Alternate);
      }
    }
  };
  const CombineMode modes[] = {CombineMode::And, CombineMode::Or, CombineMode::Diff, CombineMode::Xor};
  for (int round = 0; round < 300; ++round) {
    const Region a = shape(), b = shape();
    for (CombineMode mode : modes) {
      const Region r = Region::Combine(a, b, mode);
      Region rebuilt;
      for (int32_t y = -3; y < 16; ++y) {
        for (int32_t x = -3; x < 16; ++x) {
          const bool inA = a.Contains(x, y), inB = b.Contains(x, y);
          const bool want = mode == CombineMode::And ? inA && inB
                            : mode == CombineMode::Or ? inA || inB
                            : mode == CombineMode::Diff ? inA && !inB
                                                        : inA != inB;
          ASSERT_EQ(r.Contains(x, y), want) << round << " " << int(mode) << " at " << x << "," << y;
          if (want) rebuilt = rebuilt.Union(Region::FromRect({x, y, x + 1, y + 1}));
        }
      }
      ASSERT_EQ(r, rebuilt) << round << " " << int(mode);
    }
  }
}

TEST(RegionUnionOf, EqualsUnitingOneAtATime) {
  std::mt19937 rng(5);
  auto coord = [&](int lo, int hi) { return int32_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  for (int round = 0; round < 100; ++round) {
    std::vector<Region> parts;
    Region expected;
    for (int k = coord(0, 6); k > 0; --k) {
      const Rect box{coord(-5, 20), coord(-5, 20), coord(-5, 30), coord(-5, 30)};
      parts.push_back(k % 2 ? Region::FromEllipse(box) : Region::FromRect(box));
      expected = expected.Union(parts.back());
    }
    ASSERT_EQ(Region::UnionOf(parts), expected) << round;
  }
  const Region wide[] = {Region::FromRect({INT32_MIN, INT32_MIN, INT32_MAX, 0}), Region::FromRect({0, -5, 1, INT32_MAX})};
  EXPECT_EQ(Region::UnionOf(wide).Bounds(), (Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
}

}  // namespace
}  // namespace vitrine::test
