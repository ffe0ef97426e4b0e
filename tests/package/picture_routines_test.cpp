#include "package/picture_routines.h"

#include <gtest/gtest.h>

#include <set>

#include "core/errors.h"
#include "core/random.h"

namespace vitrine::test {
namespace {

// ---- FitInside / CropToAspect ----

TEST(FitInside, ShrinksIntoTheBoxKeepingTheAspect) {
  EXPECT_EQ(FitInside(1600, 1200, 1024, 768), (PictureSize{1024, 768}));
  EXPECT_EQ(FitInside(800, 1200, 1024, 768), (PictureSize{512, 768}));
  EXPECT_EQ(FitInside(1000, 3, 400, 300), (PictureSize{400, 1}));  // R(1.2) = 1
  // Too wide, and after the width step still too high: the height decides.
  EXPECT_EQ(FitInside(2000, 1000, 1000, 300), (PictureSize{600, 300}));
}

TEST(FitInside, NeverEnlarges) {
  EXPECT_EQ(FitInside(640, 480, 1024, 768), (PictureSize{640, 480}));
  EXPECT_EQ(FitInside(1024, 768, 1024, 768), (PictureSize{1024, 768}));
}

TEST(FitInside, RoundsHalvesToEven) {
  EXPECT_EQ(FitInside(1024, 5, 512, 512), (PictureSize{512, 2}));  // 2.5 -> 2
  EXPECT_EQ(FitInside(1024, 3, 512, 512), (PictureSize{512, 2}));  // 1.5 -> 2
}

TEST(FitInside, EmptySizesComeBackUnchanged) {
  EXPECT_EQ(FitInside(0, 0, 100, 100), (PictureSize{0, 0}));
  EXPECT_EQ(FitInside(0, 50, -1, -1), (PictureSize{0, 50}));
}

TEST(CropToAspect, BranchFollowsThePicturesOwnShape) {
  EXPECT_EQ(CropToAspect(600, 800, 1024, 768), (PictureSize{600, 450}));
  EXPECT_EQ(CropToAspect(1000, 500, 1024, 768), (PictureSize{667, 500}));
  EXPECT_EQ(CropToAspect(500, 500, 1024, 768), (PictureSize{500, 375}));
  // Nearly square landscape: wider than the picture itself.
  EXPECT_EQ(CropToAspect(500, 499, 1024, 768), (PictureSize{665, 499}));
  EXPECT_EQ(CropToAspect(10, 20, 0, 0), (PictureSize{10, 20}));
}

TEST(CropInside, TheBoxShapeNeverReachesPastThePicture) {
  EXPECT_EQ(CropInside(1600, 1000, 960, 540), (PictureSize{1600, 900}));  // where CropToAspect gives 1778 x 1000
  EXPECT_EQ(CropInside(1000, 500, 1024, 768), (PictureSize{667, 500}));
  EXPECT_EQ(CropInside(1000, 1600, 1080, 1920), (PictureSize{900, 1600}));  // portrait on a portrait monitor
  EXPECT_EQ(CropInside(600, 800, 1024, 768), (PictureSize{600, 450}));
  EXPECT_EQ(CropInside(1000, 1, 4, 3), (PictureSize{1, 1}));
  EXPECT_EQ(CropInside(1, 1000, 16, 9), (PictureSize{1, 1}));
  EXPECT_EQ(CropInside(10, 20, 0, 0), (PictureSize{10, 20}));
}

// ---- GradientFill ----

uint8_t RedAt(const Bitmap& b, int x, int y) { return RedOf(b.GetPixel(x, y)); }

TEST(GradientFill, Style0BlackToWhiteOnOneColumn) {
  Bitmap b(1, 256);
  GradientFill(kBlack, kWhite, 0, b);
  // Row y is R(y * 255 / 256).
  EXPECT_EQ(b.GetPixel(0, 0), kBlack);
  EXPECT_EQ(b.GetPixel(0, 1), RGBColor(1, 1, 1));
  EXPECT_EQ(b.GetPixel(0, 100), RGBColor(100, 100, 100));  // 99.6
  EXPECT_EQ(b.GetPixel(0, 128), RGBColor(128, 128, 128));  // 127.5, tie to even
  EXPECT_EQ(b.GetPixel(0, 129), RGBColor(128, 128, 128));  // 128.496
  EXPECT_EQ(b.GetPixel(0, 255), RGBColor(254, 254, 254));  // 254.004: white is never reached
}

TEST(GradientFill, Style2RoundsTiesToEven) {
  Bitmap b(4, 2);
  GradientFill(RGBColor(0, 0, 0), RGBColor(10, 0, 0), 2, b);  // steps of 2.5
  const uint8_t expected[4] = {0, 2, 5, 8};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(RedAt(b, x, 0), expected[x]) << x;
    EXPECT_EQ(RedAt(b, x, 1), expected[x]) << x;
  }
}

TEST(GradientFill, Styles1And3RunBackwardsFromOneStepIn) {
  Bitmap rows(3, 4);
  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 1, rows);
  const uint8_t top[4] = {100, 75, 50, 25};  // t = H - y: the first colour never shows
  for (int y = 0; y < 4; ++y) EXPECT_EQ(RedAt(rows, 1, y), top[y]) << y;

  Bitmap cols(4, 2);
  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 3, cols);
  const uint8_t left[4] = {100, 75, 50, 25};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(RedAt(cols, x, 1), left[x]) << x;
}

TEST(GradientFill, Style4OnWidthFiveUsesHalfWidthTwoAndAHalf) {
  Bitmap b(5, 3);
  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 4, b);
  // Steps i = 0, 1, 2 with colour R(i * 100 / 2.5): 0, 40, 80, from the outside in.
  const uint8_t expected[5] = {0, 40, 80, 40, 0};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(RedAt(b, x, y), expected[x]) << x << "," << y;

  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 5, b);
  const uint8_t reversed[5] = {80, 40, 0, 40, 80};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(RedAt(b, x, 1), reversed[x]) << x;
}

TEST(GradientFill, Styles6And7UseIntegerHalfHeight) {
  Bitmap b(2, 5);
  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 7, b);  // N = 5 div 2 = 2
  const uint8_t expected[5] = {100, 50, 0, 50, 100};
  for (int y = 0; y < 5; ++y) EXPECT_EQ(RedAt(b, 0, y), expected[y]) << y;
  GradientFill(RGBColor(0, 0, 0), RGBColor(100, 0, 0), 6, b);
  const uint8_t rising[5] = {0, 50, 100, 50, 0};
  for (int y = 0; y < 5; ++y) EXPECT_EQ(RedAt(b, 1, y), rising[y]) << y;
}

TEST(GradientFill, Style8NestsRectanglesScaledToTheShorterSide) {
  Bitmap b(6, 4);
  GradientFill(RGBColor(0, 0, 0), RGBColor(90, 0, 0), 8, b);
  // L = 6, three steps; a = i, b = R(i * 4 / 6) = 0, 1, 1, 2; colours 90, 60, 30, 0.
  const uint8_t expected[4][6] = {
      {90, 90, 90, 90, 90, 90},
      {90, 60, 30, 30, 60, 90},
      {90, 60, 30, 30, 60, 90},
      {90, 90, 90, 90, 90, 90},
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(RedAt(b, x, y), expected[y][x]) << x << "," << y;
}

TEST(GradientFill, Style9OnATallBitmapScalesTheSides) {
  Bitmap b(3, 7);
  GradientFill(RGBColor(0, 0, 0), RGBColor(60, 0, 0), 9, b);
  // L = 7 (H), three steps; b = i, a = R(i * 3 / 7) = 0, 0, 1, 1; colours 0, 20, 40, 60.
  const uint8_t column0[7] = {0, 20, 20, 20, 20, 20, 0};
  const uint8_t column1[7] = {0, 20, 40, 60, 40, 20, 0};
  for (int y = 0; y < 7; ++y) {
    EXPECT_EQ(RedAt(b, 0, y), column0[y]) << y;
    EXPECT_EQ(RedAt(b, 1, y), column1[y]) << y;
    EXPECT_EQ(RedAt(b, 2, y), column0[y]) << y;
  }
}

TEST(GradientFill, EllipseStylesStartFromTheirBackgroundColour) {
  const Color c1 = RGBColor(200, 0, 0), c2 = RGBColor(0, 0, 200);
  Bitmap b(41, 31);  // L = 41, twenty steps of 10 per channel
  GradientFill(c1, c2, 10, b);
  EXPECT_EQ(b.GetPixel(0, 0), c2);  // corner outside every ellipse
  // The middle gets one of the last steps, within a step or two of the first colour.
  EXPECT_GE(RedOf(b.GetPixel(20, 15)), 180);
  EXPECT_LE(BlueOf(b.GetPixel(20, 15)), 20);
  GradientFill(c1, c2, 11, b);
  EXPECT_EQ(b.GetPixel(40, 30), c1);
  EXPECT_GE(BlueOf(b.GetPixel(20, 15)), 180);
}

TEST(GradientFill, DegenerateSizesAndUnknownStylesPaintNothingOrTheFirstColour) {
  Bitmap empty(0, 10);
  for (int style = 0; style < 12; ++style) GradientFill(kBlack, kWhite, style, empty);
  Bitmap line(4, 1);  // half-height styles have N = 0 here
  GradientFill(RGBColor(7, 8, 9), kWhite, 6, line);
  EXPECT_EQ(line.GetPixel(3, 0), RGBColor(7, 8, 9));
  Bitmap dot(1, 1);  // L div 2 = 0
  GradientFill(RGBColor(7, 8, 9), kWhite, 9, dot);
  EXPECT_EQ(dot.GetPixel(0, 0), RGBColor(7, 8, 9));
  Bitmap untouched(3, 3);
  GradientFill(kWhite, kWhite, 12, untouched);
  GradientFill(kWhite, kWhite, -1, untouched);
  EXPECT_EQ(untouched.GetPixel(1, 1), kBlack);
}

TEST(GradientFill, ChannelsAreIndependent) {
  Bitmap b(1, 2);
  GradientFill(RGBColor(10, 200, 30), RGBColor(20, 100, 230), 0, b);  // N = 2
  EXPECT_EQ(b.GetPixel(0, 1), RGBColor(15, 150, 130));
}

// ---- PickRandomFromList ----

TEST(PickRandomFromList, TextWithoutSemicolonGivesZero) {
  EXPECT_EQ(PickRandomFromList("5"), 0);
  EXPECT_EQ(PickRandomFromList(""), 0);
}

TEST(PickRandomFromList, PiecesBeforeEachSemicolonAreTheChoices) {
  EXPECT_EQ(PickRandomFromList("7;"), 7);
  EXPECT_EQ(PickRandomFromList(" 3;"), 3);
  EXPECT_EQ(PickRandomFromList("4;9"), 4);  // the piece after the last ";" is dropped
  RandomSeed(42);
  std::set<int32_t> seen;
  for (int i = 0; i < 200; ++i) seen.insert(PickRandomFromList("0; 1; 2;"));
  EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2}));
}

TEST(PickRandomFromList, ChosenPieceThatIsNotANumberRaisesTheConversionError) {
  try {
    PickRandomFromList("a;");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'a' is not a valid integer value");
  }
  EXPECT_THROW(PickRandomFromList(";"), EConvertError);
}

// ---- TileBitmap ----

TEST(TileBitmap, RepeatsFromTheOriginAndClipsTheLastRowAndColumn) {
  Bitmap tile(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile.SetPixel(x, y, RGBColor(uint8_t(10 * x), uint8_t(10 * y), 1));
  Bitmap dest(7, 5, PixelFormat::Xrgb8888);
  TileBitmap(dest, tile);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(dest.GetPixel(x, y), RGBColor(uint8_t(10 * (x % 3)), uint8_t(10 * (y % 2)), 1)) << x << "," << y;
}

TEST(TileBitmap, EmptyTileDoesNothing) {
  Bitmap dest(4, 4);
  dest.SetPixel(1, 1, kWhite);
  TileBitmap(dest, Bitmap(0, 3));
  EXPECT_EQ(dest.GetPixel(1, 1), kWhite);
  EXPECT_EQ(dest.GetPixel(0, 0), kBlack);
}

// ---- BlendTransparent ----

TEST(BlendTransparent, KeyColouredPixelsTakeWhatLiesBeneath) {
  const Color key = RGBColor(255, 0, 255), a = RGBColor(10, 20, 30), b = RGBColor(200, 100, 50);
  for (PixelFormat format : {PixelFormat::Xrgb8888, PixelFormat::Rgb565}) {
    Bitmap picture(3, 2, format);
    // key a key / b key key
    picture.SetPixel(0, 0, key), picture.SetPixel(1, 0, a), picture.SetPixel(2, 0, key);
    picture.SetPixel(0, 1, b), picture.SetPixel(1, 1, key), picture.SetPixel(2, 1, key);
    Bitmap screen(10, 10, format);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) screen.SetPixel(x, y, RGBColor(uint8_t(x * 24), uint8_t(y * 24), 96));
    const Bitmap before = screen;
    Canvas canvas(screen);
    BlendTransparent(picture, canvas, 4, 5);
    auto under = [&](int x, int y) { return screen.GetPixel(4 + x, 5 + y); };
    EXPECT_EQ(picture.GetPixel(0, 0), under(0, 0));
    EXPECT_EQ(picture.GetPixel(1, 0), UnpackPixel(format, PackPixel(format, a)));
    EXPECT_EQ(picture.GetPixel(2, 0), under(2, 0));
    EXPECT_EQ(picture.GetPixel(0, 1), UnpackPixel(format, PackPixel(format, b)));
    EXPECT_EQ(picture.GetPixel(1, 1), under(1, 1));
    EXPECT_EQ(picture.GetPixel(2, 1), under(2, 1));
    EXPECT_TRUE(screen == before);  // the destination is only read
  }
}

}  // namespace
}  // namespace vitrine::test
