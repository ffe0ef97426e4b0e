// The blurred copy of a picture behind itself: covering, centred, darkened.
#include <gtest/gtest.h>

#include "package/picture_routines.h"
#include "raster/canvas.h"

namespace vitrine {
namespace {

TEST(BlurredFill, CoversTheWholeAreaWithTheDarkenedPicture) {
  Bitmap portrait(30, 60, PixelFormat::Xrgb8888);
  Canvas(portrait).FillRect(portrait.Bounds(), RGBColor(0, 255, 0));
  Bitmap screen(320, 240, PixelFormat::Xrgb8888);
  BlurredFill(portrait, screen);
  // 255 x 160 / 256 = 159 in every corner and in the middle.
  for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 239}, {319, 239}, {160, 120}})
    EXPECT_EQ(screen.GetPixel(x, y), RGBColor(0, 159, 0)) << x << "," << y;
}

TEST(BlurredFill, CutsWhatSticksOutEquallyOnBothSides) {
  // A wide picture whose outer quarters are red: covering a square keeps only its blue middle.
  Bitmap wide(400, 100, PixelFormat::Xrgb8888);
  Canvas canvas(wide);
  canvas.FillRect(wide.Bounds(), RGBColor(255, 0, 0));
  canvas.FillRect({100, 0, 300, 100}, RGBColor(0, 0, 255));
  Bitmap square(160, 160, PixelFormat::Xrgb8888);
  BlurredFill(wide, square);
  for (auto [x, y] : {std::pair{0, 0}, {159, 80}, {80, 159}})
    EXPECT_EQ(square.GetPixel(x, y), RGBColor(0, 0, 159)) << x << "," << y;
}

TEST(BlurredFill, SoftensAnEdge) {
  // Top half white, bottom half black: the copy passes through greys, never a hard step.
  Bitmap halves(64, 64, PixelFormat::Xrgb8888);
  Canvas canvas(halves);
  canvas.FillRect(halves.Bounds(), RGBColor(255, 255, 255));
  canvas.FillRect({0, 32, 64, 64}, RGBColor(0, 0, 0));
  Bitmap screen(256, 256, PixelFormat::Xrgb8888);
  BlurredFill(halves, screen);
  EXPECT_EQ(screen.GetPixel(10, 0), RGBColor(159, 159, 159));
  EXPECT_EQ(screen.GetPixel(10, 255), RGBColor(0, 0, 0));
  for (int32_t y = 1; y < 256; ++y) {
    int step = int(RedOf(screen.GetPixel(10, y - 1))) - int(RedOf(screen.GetPixel(10, y)));
    EXPECT_GE(step, 0) << y;
    EXPECT_LE(step, 8) << y;
  }
  // Nothing to draw from, or nothing to draw on: nothing happens.
  Bitmap empty;
  BlurredFill(empty, screen);
  EXPECT_EQ(screen.GetPixel(10, 0), RGBColor(159, 159, 159));
}

}  // namespace
}  // namespace vitrine
