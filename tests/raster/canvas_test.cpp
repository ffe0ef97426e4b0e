#include "raster/canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <map>
#include <string>
#include <vector>

#include "raster/raster_test_util.h"

namespace vitrine::test {
namespace {


constexpr Color kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 255, 0), kBlue = RGBColor(0, 0, 255);
constexpr Color kYellow = RGBColor(255, 255, 0);
const std::map<Color, char> kLegend{{kBlack, '.'}, {kWhite, 'W'}, {kRed, 'R'}, {kGreen, 'G'}, {kBlue, 'B'},
                                    {kYellow, 'Y'}};

// A bitmap painted from rows of legend characters.
Bitmap Make(PixelFormat f, std::vector<std::string> rows) {
  Bitmap bmp(int32_t(rows[0].size()), int32_t(rows.size()), f);
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x)
      for (auto [color, c] : kLegend)
        if (c == rows[size_t(y)][size_t(x)]) bmp.SetPixel(x, y, color);
  return bmp;
}

std::string Show(const Bitmap& bmp) { return Picture(bmp, kLegend); }

// Most behaviour must be the same in both pixel formats.
class CanvasBoth : public ::testing::TestWithParam<PixelFormat> {
 protected:
  PixelFormat f = GetParam();
};

INSTANTIATE_TEST_SUITE_P(Formats, CanvasBoth, ::testing::Values(PixelFormat::Rgb565, PixelFormat::Xrgb8888));

TEST_P(CanvasBoth, FillRectClipsToTheBitmap) {
  Bitmap bmp(4, 3, f);
  Canvas c(bmp);
  c.FillRect({-2, 1, 2, 9}, kRed);
  c.FillRect({3, -5, 9, 1}, kBlue);
  c.FillRect({2, 2, 2, 3}, kWhite);  // empty
  c.FillRect({3, 2, 1, 3}, kWhite);  // inverted
  EXPECT_EQ(Show(bmp), Rows("...B", "RR..", "RR.."));
  c.FillRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, kGreen);
  EXPECT_EQ(Show(bmp), Rows("GGGG", "GGGG", "GGGG"));
}

TEST_P(CanvasBoth, BlockCopyLeavesDestWhereTheSourceRectLeavesTheSource) {
  Bitmap src = Make(f, {"RGB", "BWR"});
  Bitmap dst(5, 4, f);
  Canvas(dst).CopyRect({1, 1, 4, 3}, src, {-1, 0, 2, 2});
  EXPECT_EQ(Show(dst), Rows(".....", "..RG.", "..BW.", "....."));
}

TEST_P(CanvasBoth, BlockCopyClipsAtEveryEdgeOfTheDestination) {
  Bitmap src = Make(f, {"RGB", "BWR", "YYY"});
  Bitmap dst(2, 2, f);
  Canvas(dst).CopyRect({-1, -1, 2, 2}, src, src.Bounds());
  EXPECT_EQ(Show(dst), Rows("WR", "YY"));
  Bitmap dst2(2, 2, f);
  Canvas(dst2).Draw(1, 1, src);
  EXPECT_EQ(Show(dst2), Rows("..", ".R"));
}

TEST_P(CanvasBoth, CopyWithinOneBitmapReadsTheOriginalPixels) {
  Bitmap bmp = Make(f, {"RGBWY", "....."});
  Canvas c(bmp);
  c.CopyRect({1, 0, 5, 1}, bmp, {0, 0, 4, 1});
  EXPECT_EQ(Show(bmp), Rows("RRGBW", "....."));
  c.CopyRect({0, 1, 5, 2}, bmp, {0, 0, 5, 1});
  c.CopyRect({0, 0, 4, 1}, bmp, {1, 0, 5, 1});
  EXPECT_EQ(Show(bmp), Rows("RGBWW", "RRGBW"));
}

TEST_P(CanvasBoth, StretchEnlarges) {
  Bitmap src = Make(f, {"RG", "BW"});
  Bitmap dst(4, 4, f);
  Canvas(dst).StretchDraw({0, 0, 4, 4}, src);
  EXPECT_EQ(Show(dst), Rows("RRGG", "RRGG", "BBWW", "BBWW"));
}

TEST_P(CanvasBoth, StretchShrinksByTakingEveryNthPixel) {
  Bitmap src = Make(f, {"RGBW", "YYYY", "BWRG", "...."});
  Bitmap dst(2, 2, f);
  Canvas(dst).StretchDraw({0, 0, 2, 2}, src);
  EXPECT_EQ(Show(dst), Rows("RB", "BR"));
}

TEST_P(CanvasBoth, StretchAtUnevenRatiosInBothDirections) {
  // Dest column i reads source column i * 3 / 5; dest row j reads row j * 4 / 2.
  Bitmap src = Make(f, {"RGB", "...", "YWY", "..."});
  Bitmap dst(5, 2, f);
  Canvas(dst).StretchDraw({0, 0, 5, 2}, src);
  EXPECT_EQ(Show(dst), Rows("RRGGB", "YYWWY"));
}

TEST_P(CanvasBoth, StretchSkipsPixelsThatReadOutsideTheSource) {
  Bitmap src = Make(f, {"RG"});
  Bitmap dst = Make(f, {"YYYYYY", "YYYYYY"});
  Canvas(dst).CopyRect({0, 0, 6, 2}, src, {-1, 0, 2, 2});
  EXPECT_EQ(Show(dst), Rows("YYRRGG", "YYYYYY"));
}

TEST_P(CanvasBoth, DrawThroughAnEllipseClip) {
  Bitmap src = Make(f, {"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW"});
  Bitmap dst(10, 7, f);
  Canvas c(dst);
  Region clip = Region::FromEllipse({0, 0, 8, 6});
  clip.Offset(1, 1);
  c.SelectClip(clip);
  c.Draw(1, 1, src);
  EXPECT_EQ(Show(dst), Rows("..........",
                            "...WWWW...",
                            "..WWWWWW..",
                            ".WWWWWWWW.",
                            ".WWWWWWWW.",
                            "..WWWWWW..",
                            "...WWWW..."));
  c.ClearClip();
  c.FillRect({0, 0, 1, 1}, kRed);
  EXPECT_EQ(dst.GetPixel(0, 0), kRed);
}

TEST_P(CanvasBoth, StretchThroughARegionWithHoles) {
  Bitmap src = Make(f, {"RG", "BW"});
  Bitmap dst(4, 4, f);
  Canvas c(dst);
  c.SelectClip(Region::FromRect({0, 0, 4, 4}).Subtract(Region::FromRect({1, 1, 3, 3})));
  c.StretchDraw({0, 0, 4, 4}, src);
  EXPECT_EQ(Show(dst), Rows("RRGG", "R..G", "B..W", "BBWW"));
}

TEST_P(CanvasBoth, FillRegionMeetsTheSelectedClip) {
  Bitmap bmp(6, 3, f);
  Canvas c(bmp);
  c.SelectClip(Region::FromRect({2, 0, 6, 3}));
  c.FillRegion(Region::FromRect({0, 1, 4, 3}).Union(Region::FromRect({5, 0, 9, 1})), kBlue);
  EXPECT_EQ(Show(bmp), Rows(".....B", "..BB..", "..BB.."));
}

TEST_P(CanvasBoth, DstInvertFlipsEveryColourBit) {
  Bitmap bmp = Make(f, {"RGBW."});
  Canvas c(bmp);
  c.SelectClip(Region::FromRect({0, 0, 4, 1}));
  c.PatBlt({-10, -10, 10, 10}, RasterOp::DstInvert);
  EXPECT_EQ(bmp.GetPixel(0, 0), RGBColor(0, 255, 255));
  EXPECT_EQ(bmp.GetPixel(1, 0), RGBColor(255, 0, 255));
  EXPECT_EQ(bmp.GetPixel(2, 0), kYellow);
  EXPECT_EQ(bmp.GetPixel(3, 0), kBlack);
  EXPECT_EQ(bmp.GetPixel(4, 0), kBlack);  // outside the clip
}

TEST_P(CanvasBoth, AbsurdRectanglesTouchNothingOutside) {
  Bitmap src = Make(f, {"RG", "BW"});
  Bitmap dst(3, 3, f);
  Canvas c(dst);
  c.Draw(INT32_MAX, INT32_MAX, src);
  c.Draw(INT32_MIN, INT32_MIN, src);
  c.CopyRect({INT32_MIN, 0, INT32_MIN + 2, 2}, src, {INT32_MAX - 2, 0, INT32_MAX, 2});
  c.CopyRect({0, 0, 2, 2}, src, {INT32_MIN, INT32_MIN, INT32_MIN + 2, INT32_MIN + 2});
  c.PatBlt({INT32_MAX, 0, INT32_MIN, 3}, RasterOp::DstInvert);
  EXPECT_EQ(Show(dst), Rows("...", "...", "..."));
  // The widest possible stretch puts source pixel (1, 1) over the whole bitmap.
  c.CopyRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, src, src.Bounds());
  EXPECT_EQ(Show(dst), Rows("WWW", "WWW", "WWW"));
  // Shrinking four billion source columns to three reads outside the source everywhere.
  Bitmap dst2(3, 1, f);
  Canvas(dst2).CopyRect({0, 0, 3, 1}, src, {INT32_MIN, 0, INT32_MAX, 1});
  EXPECT_EQ(Show(dst2), Rows("..."));
}

// Raw pixels of the two formats, so every bit of each raster operation is seen.
TEST(CanvasRasterOps, Rgb565) {
  const std::pair<RasterOp, uint32_t> cases[] = {
      {RasterOp::SrcCopy, 0x00FF},   {RasterOp::SrcAnd, 0x000F},     {RasterOp::SrcPaint, 0x0FFF},
      {RasterOp::SrcInvert, 0x0FF0}, {RasterOp::NotSrcCopy, 0xFF00}, {RasterOp::DstInvert, 0xF0F0}};
  for (auto [op, expected] : cases) {
    Bitmap src(1, 1, PixelFormat::Rgb565), dst(1, 1, PixelFormat::Rgb565);
    src.SetRawPixel(0, 0, 0x00FF);
    dst.SetRawPixel(0, 0, 0x0F0F);
    Canvas(dst).CopyRect({0, 0, 1, 1}, src, {0, 0, 1, 1}, op);
    EXPECT_EQ(dst.RawPixel(0, 0), expected) << int(op);
  }
}

TEST(CanvasRasterOps, Xrgb8888KeepsTheUnusedByteZero) {
  const std::pair<RasterOp, uint32_t> cases[] = {
      {RasterOp::SrcCopy, 0x0000FFFF},   {RasterOp::SrcAnd, 0x00000F0F},     {RasterOp::SrcPaint, 0x000FFFFF},
      {RasterOp::SrcInvert, 0x000FF0F0}, {RasterOp::NotSrcCopy, 0x00FF0000}, {RasterOp::DstInvert, 0x00F0F0F0}};
  for (auto [op, expected] : cases) {
    Bitmap src(1, 1, PixelFormat::Xrgb8888), dst(1, 1, PixelFormat::Xrgb8888);
    src.SetRawPixel(0, 0, 0x0000FFFF);
    dst.SetRawPixel(0, 0, 0x000F0F0F);
    Canvas(dst).CopyRect({0, 0, 1, 1}, src, {0, 0, 1, 1}, op);
    EXPECT_EQ(dst.RawPixel(0, 0), expected) << int(op);
  }
}

TEST(CanvasFormats, Rgb565WidensWithItsHighBitsRepeated) {
  Bitmap src(4, 1, PixelFormat::Rgb565), dst(4, 1, PixelFormat::Xrgb8888);
  const uint32_t in[] = {0xF800, 0x07E0, 0x001F, 0x8410};
  for (int32_t x = 0; x < 4; ++x) src.SetRawPixel(x, 0, in[x]);
  Canvas(dst).Draw(0, 0, src);
  EXPECT_EQ(dst.RawPixel(0, 0), 0x00FF0000u);
  EXPECT_EQ(dst.RawPixel(1, 0), 0x0000FF00u);
  EXPECT_EQ(dst.RawPixel(2, 0), 0x000000FFu);
  EXPECT_EQ(dst.RawPixel(3, 0), 0x00848284u);
}

TEST(CanvasFormats, Xrgb8888NarrowsByTruncation) {
  Bitmap src(2, 1, PixelFormat::Xrgb8888), dst(4, 1, PixelFormat::Rgb565);
  src.SetRawPixel(0, 0, 0x00FF8040);
  src.SetRawPixel(1, 0, 0x00070307);
  Canvas(dst).StretchDraw({0, 0, 4, 1}, src);
  EXPECT_EQ(dst.RawPixel(0, 0), 0xFC08u);
  EXPECT_EQ(dst.RawPixel(1, 0), 0xFC08u);
  EXPECT_EQ(dst.RawPixel(2, 0), 0x0000u);
  EXPECT_EQ(dst.RawPixel(3, 0), 0x0000u);
}

TEST_P(CanvasBoth, LinesExcludeTheirEndPoint) {
  Bitmap bmp(5, 5, f);
  Canvas c(bmp);
  c.Line({0, 0}, {4, 0}, kRed);
  c.Line({4, 1}, {0, 1}, kGreen);
  c.Line({4, 4}, {4, 1}, kBlue);
  c.Line({0, 2}, {3, 4}, kYellow);
  c.Line({2, 2}, {2, 2}, kWhite);  // zero length paints nothing
  EXPECT_EQ(Show(bmp), Rows("RRRR.", ".GGGG", "Y...B", ".YY.B", "....B"));
}

TEST_P(CanvasBoth, ShallowAndSteepLinesStepOnePixelPerMajorStep) {
  Bitmap bmp(6, 6, f);
  Canvas c(bmp);
  c.Line({0, 0}, {4, 2}, kRed);    // exact halves at x = 1 and 3 stay on the start's row
  c.Line({5, 0}, {3, 5}, kGreen);  // steep, leaning left
  EXPECT_EQ(Show(bmp), Rows("RR...G", "..RR.G", "....G.", "....G.", "...G..", "......"));
}

TEST_P(CanvasBoth, LinesFromFarOutsideCostOnlyTheirVisiblePixels) {
  Bitmap bmp(4, 4, f);
  Canvas c(bmp);
  c.Line({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, kRed);
  c.Line({INT32_MAX, 3}, {INT32_MIN, 3}, kGreen);
  c.Line({3, INT32_MIN}, {3, 2}, kBlue);
  c.Line({-1000000000, 1000000003}, {1000000003, -1000000000}, kYellow);
  EXPECT_EQ(Show(bmp), Rows("R..Y", ".RYB", ".YR.", "YGGG"));
}

TEST_P(CanvasBoth, LinesAreClipped) {
  Bitmap bmp(4, 2, f);
  Canvas c(bmp);
  c.SelectClip(Region::FromRect({1, 0, 3, 2}));
  c.Line({0, 0}, {4, 0}, kRed);
  c.Line({0, 1}, {4, 2}, kRed);
  EXPECT_EQ(Show(bmp), Rows(".RR.", ".RR."));
}

TEST_P(CanvasBoth, RectangleOutlineAndBrush) {
  Bitmap bmp(6, 5, f);
  Canvas c(bmp);
  c.Rectangle({0, 0, 5, 4}, kRed, kGreen);
  EXPECT_EQ(Show(bmp), Rows("RRRRR.", "RGGGR.", "RGGGR.", "RRRRR.", "......"));
  c.Rectangle({1, 1, 6, 5}, kBlue, std::nullopt);
  EXPECT_EQ(Show(bmp), Rows("RRRRR.", "RBBBBB", "RBGGRB", "RBRRRB", ".BBBBB"));
  c.Rectangle({3, 5, 2, 2}, kYellow, kWhite);  // corners swapped; one pixel wide: all outline
  EXPECT_EQ(Show(bmp), Rows("RRRRR.", "RBBBBB", "RBYGRB", "RBYRRB", ".BYBBB"));
}

TEST_P(CanvasBoth, EllipseOutlineIsTheRingOfTheRegion) {
  Bitmap bmp(8, 6, f);
  Canvas c(bmp);
  c.Ellipse({0, 0, 8, 6}, kRed, kGreen);
  EXPECT_EQ(Show(bmp), Rows("..RRRR..", ".RGGGGR.", "RGGGGGGR", "RGGGGGGR", ".RGGGGR.", "..RRRR.."));
  Bitmap hollow(8, 6, f);
  Canvas(hollow).Ellipse({0, 0, 8, 6}, kBlue, std::nullopt);
  EXPECT_EQ(Show(hollow), Rows("..BBBB..", ".B....B.", "B......B", "B......B", ".B....B.", "..BBBB.."));
}

TEST_P(CanvasBoth, PolygonFillThenOutline) {
  Bitmap bmp(7, 7, f);
  const std::vector<Point> triangle{{0, 0}, {6, 0}, {0, 6}};
  Canvas(bmp).Polygon(triangle, kRed, kGreen);
  EXPECT_EQ(Show(bmp), Rows("RRRRRRR", "RGGG.R.", "RGG.R..", "RG.R...", "R.R....", "RR.....", "R......"));
}

TEST_P(CanvasBoth, MaskMakesATransparentBlit) {
  // The five raster operations of a key-colour blend, as the picture routines run them.
  Bitmap picture = Make(f, {"YRY", "RRY"});
  Bitmap dest = Make(f, {"BBBBB", "GGGGG"});
  Bitmap mask = MakeMask(picture, kYellow);
  EXPECT_EQ(Show(mask), Rows("W.W", "..W"));
  Bitmap under(3, 2, f);
  Canvas(under).CopyRect({0, 0, 3, 2}, dest, {1, 0, 4, 2});
  Canvas(under).CopyRect({0, 0, 3, 2}, mask, mask.Bounds(), RasterOp::SrcAnd);
  Canvas(mask).PatBlt(mask.Bounds(), RasterOp::DstInvert);
  Canvas(picture).CopyRect(picture.Bounds(), mask, mask.Bounds(), RasterOp::SrcAnd);
  Canvas(picture).CopyRect(picture.Bounds(), under, under.Bounds(), RasterOp::SrcInvert);
  Canvas(dest).Draw(1, 0, picture);
  EXPECT_EQ(Show(dest), Rows("BBRBB", "GRRGG"));
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

TEST(CanvasFill, LongRunsFromOddPixelsInRgb565) {
  Bitmap bmp(45, 2, PixelFormat::Rgb565);
  Canvas(bmp).FillRect({3, 1, 40, 2}, kRed);
  EXPECT_EQ(bmp.GetPixel(2, 1), kBlack);
  EXPECT_EQ(bmp.GetPixel(3, 1), kRed);
  EXPECT_EQ(bmp.GetPixel(39, 1), kRed);
  EXPECT_EQ(bmp.GetPixel(40, 1), kBlack);
  EXPECT_EQ(bmp.GetPixel(20, 0), kBlack);
}

// Random rectangles, many of them reaching outside both bitmaps, against a direct per-pixel
// reading of the copy rule: dest pixel (x, y) takes source pixel
// (srcLeft + (x - left) * srcW / destW, srcTop + (y - top) * srcH / destH) when that lies in
// the source and (x, y) lies in the clip.
TEST(CanvasCopyRandom, MatchesThePerPixelRule) {
  std::mt19937 rng(7);
  auto coord = [&](int lo, int hi) { return int32_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  const RasterOp ops[] = {RasterOp::SrcCopy, RasterOp::SrcAnd, RasterOp::SrcPaint, RasterOp::SrcInvert,
                          RasterOp::NotSrcCopy};
  for (int round = 0; round < 400; ++round) {
    const PixelFormat df = round % 2 ? PixelFormat::Rgb565 : PixelFormat::Xrgb8888;
    const PixelFormat sf = round % 3 ? PixelFormat::Rgb565 : PixelFormat::Xrgb8888;
    Bitmap src(coord(1, 9), coord(1, 9), sf), dst(coord(1, 12), coord(1, 12), df);
    for (int32_t y = 0; y < src.Height(); ++y)
      for (int32_t x = 0; x < src.Width(); ++x) src.SetRawPixel(x, y, rng() & (sf == PixelFormat::Rgb565 ? 0xFFFF : 0xFFFFFF));
    for (int32_t y = 0; y < dst.Height(); ++y)
      for (int32_t x = 0; x < dst.Width(); ++x) dst.SetRawPixel(x, y, rng() & (df == PixelFormat::Rgb565 ? 0xFFFF : 0xFFFFFF));
    const Rect d{coord(-6, 10), coord(-6, 10), coord(-6, 18), coord(-6, 18)};
    Rect s{coord(-4, 8), coord(-4, 8), 0, 0};
    if (round % 2) s.right = s.left + d.Width(), s.bottom = s.top + d.Height();  // same size
    else s.right = coord(-4, 14), s.bottom = coord(-4, 14);
    const RasterOp op = ops[round % 5];
    std::optional<Region> clip;
    if (round % 4 == 0) clip = Region::FromEllipse({coord(-3, 6), coord(-3, 6), coord(0, 14), coord(0, 14)});

    Bitmap expected = dst;
    if (!d.Empty() && !s.Empty()) {
      for (int32_t y = std::max(d.top, 0); y < std::min(d.bottom, dst.Height()); ++y) {
        for (int32_t x = std::max(d.left, 0); x < std::min(d.right, dst.Width()); ++x) {
          const int32_t sx = s.left + (x - d.left) * s.Width() / d.Width();
          const int32_t sy = s.top + (y - d.top) * s.Height() / d.Height();
          if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
          if (clip && !clip->Contains(x, y)) continue;
          const uint32_t mask = df == PixelFormat::Rgb565 ? 0xFFFF : 0xFFFFFF;
          const uint32_t sp = PackPixel(df, UnpackPixel(sf, src.RawPixel(sx, sy))), dp = expected.RawPixel(x, y);
          uint32_t out = sp;
          if (op == RasterOp::SrcAnd) out = dp & sp;
          if (op == RasterOp::SrcPaint) out = dp | sp;
          if (op == RasterOp::SrcInvert) out = dp ^ sp;
          if (op == RasterOp::NotSrcCopy) out = ~sp & mask;
          expected.SetRawPixel(x, y, out);
        }
      }
    }
    Canvas c(dst);
    if (clip) c.SelectClip(*clip);
    c.CopyRect(d, src, s, op);
    ASSERT_TRUE(dst == expected) << "round " << round;
  }
}

}  // namespace
}  // namespace vitrine::test
