// The blend of the fading transitions and the bilinear scaler of pan and zoom.
#include <gtest/gtest.h>

#include <set>

#include "raster/blend.h"
#include "raster/canvas.h"
#include "raster/scale_bilinear.h"

namespace vitrine::test {
namespace {

Bitmap Solid(int32_t w, int32_t h, PixelFormat f, Color c) {
  Bitmap b(w, h, f);
  Canvas(b).FillRect(b.Bounds(), c);
  return b;
}

// 32 bits: (a * (256 - w) + b * w + 128) >> 8 per channel, worked out by hand. Nine pixels
// cover the vector loop and the scalar tail.
TEST(Blend, ThirtyTwoBitsGivesTheRoundedWeightedMeanOfEveryChannel) {
  const Bitmap from = Solid(9, 1, PixelFormat::Xrgb8888, RGBColor(200, 100, 0));
  const Bitmap to = Solid(9, 1, PixelFormat::Xrgb8888, RGBColor(40, 60, 255));
  Bitmap out(9, 1, PixelFormat::Xrgb8888);
  const struct {
    int32_t weight;
    Color expected;
  } cases[] = {
      {0, RGBColor(200, 100, 0)},   {64, RGBColor(160, 90, 64)},   {128, RGBColor(120, 80, 128)},
      {192, RGBColor(80, 70, 191)}, {256, RGBColor(40, 60, 255)},
  };
  for (const auto& c : cases) {
    BlendRect(out, 0, 0, from, to, from.Bounds(), c.weight);
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(out.GetPixel(x, 0), c.expected) << "weight " << c.weight << " x " << x;
  }
}

TEST(Blend, SixteenBitsKeepsBothEndsExactAndPutsAPixelAtADestinationOffset) {
  Bitmap from(11, 2, PixelFormat::Rgb565), to(11, 2, PixelFormat::Rgb565);
  for (int32_t x = 0; x < 11; ++x) {
    from.SetPixel(x, 0, RGBColor(uint8_t(x * 23), uint8_t(255 - x * 20), 90));
    to.SetPixel(x, 0, RGBColor(30, uint8_t(x * 24), uint8_t(250 - x * 9)));
  }
  Bitmap out(14, 4, PixelFormat::Rgb565);
  BlendRow(out, 3, 2, from, to, 0, 0, 11, 0);
  for (int32_t x = 0; x < 11; ++x) EXPECT_EQ(out.RawPixel(x + 3, 2), from.RawPixel(x, 0)) << x;
  BlendRow(out, 3, 2, from, to, 0, 0, 11, kBlendOne);
  for (int32_t x = 0; x < 11; ++x) EXPECT_EQ(out.RawPixel(x + 3, 2), to.RawPixel(x, 0)) << x;
  EXPECT_EQ(out.RawPixel(2, 2), 0u);  // left of the row: untouched
  EXPECT_EQ(out.RawPixel(3, 1), 0u);
}

// Half-way between 565 levels 0 and 1 of red: the dither sets exactly half of a 4 x 4 block.
TEST(Blend, SixteenBitsDithersAHalfLevelIntoHalfOfEveryBlock) {
  const Bitmap from = Solid(8, 4, PixelFormat::Rgb565, kBlack);
  Bitmap to(8, 4, PixelFormat::Rgb565);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) to.SetRawPixel(x, y, 1u << 11);  // red level 1 of 31
  Bitmap out(8, 4, PixelFormat::Rgb565);
  BlendRect(out, 0, 0, from, to, from.Bounds(), 128);
  int set = 0;
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t p = out.RawPixel(x, y);
      EXPECT_TRUE(p == 0 || p == (1u << 11)) << x << "," << y;
      set += p != 0;
    }
  EXPECT_EQ(set, 16);
}

// A slow fade from black to white at 16 bits: truncated, red and blue pass through 32 levels
// and the picture bands; dithered, the mean of a 4 x 4 block takes far more steps.
TEST(Blend, ASixteenBitFadeShowsMoreThanSixtyFourGreysOnAverage) {
  const Bitmap black = Solid(16, 4, PixelFormat::Rgb565, kBlack);
  const Bitmap white = Solid(16, 4, PixelFormat::Rgb565, kWhite);
  Bitmap out(16, 4, PixelFormat::Rgb565);
  std::set<int32_t> greys;
  for (int32_t weight = 0; weight <= kBlendOne; ++weight) {
    BlendRect(out, 0, 0, black, white, black.Bounds(), weight);
    int32_t red = 0;  // sum over a 4 x 4 block of the red level, 0..31 each
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 4; x < 8; ++x) red += int32_t(out.RawPixel(x, y) >> 11);
    greys.insert(red);
  }
  EXPECT_GT(greys.size(), 64u);
}

TEST(BilinearScaler, TheWholePictureAtItsOwnSizeComesOutUnchanged) {
  Bitmap picture(13, 5, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 13; ++x) picture.SetPixel(x, y, RGBColor(uint8_t(x * 19), uint8_t(y * 50), uint8_t(x * y)));
  Bitmap out(13, 5, PixelFormat::Xrgb8888);
  BilinearScaler scaler;
  scaler.Draw(out, out.Bounds(), picture, {0, 0, 13 * kFixedOne, 5 * kFixedOne});
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 13; ++x) EXPECT_EQ(out.GetPixel(x, y), picture.GetPixel(x, y)) << x << "," << y;
}

// Moved by half a pixel, each pixel is the mean of two neighbours.
TEST(BilinearScaler, AFramingHalfAPixelOnMixesNeighboursEvenly) {
  Bitmap picture(6, 2, PixelFormat::Xrgb8888);
  const uint8_t values[6] = {0, 100, 50, 255, 10, 30};
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 6; ++x) picture.SetPixel(x, y, RGBColor(values[x], 0, uint8_t(255 - values[x])));
  Bitmap out(5, 2, PixelFormat::Xrgb8888);
  BilinearScaler scaler;
  scaler.Draw(out, out.Bounds(), picture, {kFixedOne / 2, 0, 5 * kFixedOne, 2 * kFixedOne});
  const uint8_t expected[5] = {50, 75, 153, 133, 20};  // (a + b + 1) / 2, rounded up at .5
  for (int32_t x = 0; x < 5; ++x) {
    EXPECT_EQ(RedOf(out.GetPixel(x, 0)), expected[x]) << x;
    EXPECT_EQ(RedOf(out.GetPixel(x, 1)), expected[x]) << x;
  }
}

TEST(BilinearScaler, DrawsOnlyTheVisiblePartOfATargetThatLeavesTheBitmap) {
  const Bitmap picture = Solid(4, 4, PixelFormat::Xrgb8888, RGBColor(10, 200, 30));
  Bitmap out = Solid(6, 6, PixelFormat::Rgb565, kWhite);
  BilinearScaler scaler;
  scaler.Draw(out, {-3, 4, 5, 12}, picture, {0, 0, 4 * kFixedOne, 4 * kFixedOne});
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) {
      const Color c = out.GetPixel(x, y);
      if (x < 5 && y >= 4) {
        EXPECT_GE(GreenOf(c), 195) << x << "," << y;
        EXPECT_LE(RedOf(c), 20) << x << "," << y;
      } else {
        EXPECT_EQ(c, kWhite) << x << "," << y;
      }
    }
}

TEST(BilinearScaler, ReducesALargePictureByHalvesToNoMoreThanTwiceTheTarget) {
  Bitmap picture(400, 300, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 400; ++x) picture.SetPixel(x, y, (x + y) % 2 ? RGBColor(100, 0, 200) : RGBColor(50, 255, 0));
  const Bitmap reduced = ReduceForScaling(picture, 90, 60);
  EXPECT_EQ(reduced.Width(), 100);
  EXPECT_EQ(reduced.Height(), 75);
  EXPECT_EQ(reduced.GetPixel(50, 30), RGBColor(75, 128, 100));  // the checkerboard averaged, rounded
  EXPECT_EQ(ReduceForScaling(picture, 210, 100).Width(), 400);  // already less than twice as wide
}

}  // namespace
}  // namespace vitrine::test
