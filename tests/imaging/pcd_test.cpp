#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/pcd_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

// Mean absolute channel difference.
double MeanDifference(const Bitmap& a, const Bitmap& b) {
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      Color p = a.GetPixel(x, y), q = b.GetPixel(x, y);
      sum += std::abs(RedOf(p) - RedOf(q)) + std::abs(GreenOf(p) - GreenOf(q)) + std::abs(BlueOf(p) - BlueOf(q));
    }
  return sum / (3.0 * a.Width() * a.Height());
}

Bitmap DecodePcd(const std::vector<uint8_t>& bytes, TPCDResolution resolution, std::string* error = nullptr) {
  TPCDGraphic reader(resolution);
  MemoryStream stream(bytes);
  try {
    reader.LoadFromStream(stream);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return Bitmap();
  }
  return reader.Image();
}

// ImageMagick's decode of a Photo CD, labelled sRGB so that it is written unconverted, holds
// the file's luma and chroma per pixel (its chroma interpolated, ours repeated per 2 x 2
// block); the published PhotoYCC formula turns that into the reference colours. Within 6
// levels on smooth pictures.
Reference YccToRgb(Reference ycc) {
  auto clamp = [](double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
  for (int y = 0; y < ycc.image.Height(); ++y)
    for (int x = 0; x < ycc.image.Width(); ++x) {
      Color p = ycc.image.GetPixel(x, y);
      double l = 1.3584 * RedOf(p), c1 = 2.2179 * (GreenOf(p) - 156.0), c2 = 1.8215 * (BlueOf(p) - 137.0);
      ycc.image.SetPixel(x, y, RGBColor(clamp(l + c2), clamp(l - 0.194 * c1 - 0.509 * c2), clamp(l + c1)));
    }
  return ycc;
}

// A smooth picture, written by ImageMagick as a Photo CD, read back at each base size.
TEST(PcdReader, AgreesWithTheReferenceDecoderAtTheThreeBaseSizes) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  ASSERT_TRUE(RunTool(std::string(kImageMagick) + " -size 768x512 gradient:'rgb(40,90,150)-rgb(170,120,60)' -depth 8 PPM:" +
                      dir / "in.ppm"));
  ASSERT_TRUE(RunTool(std::string(kImageMagick) + " " + dir / "in.ppm" + " PCD:" + dir / "out.pcd"));
  const auto file = ReadBytes(dir / "out.pcd");
  struct Size { TPCDResolution resolution; int frame, width, height; };
  for (Size s : {Size{TPCDResolution::Base16, 1, 192, 128}, Size{TPCDResolution::Base4, 2, 384, 256},
                 Size{TPCDResolution::Base, 3, 768, 512}}) {
    SCOPED_TRACE(s.width);
    ASSERT_TRUE(RunTool(std::string(kImageMagick) + " '" + dir / "out.pcd" + "[" + std::to_string(s.frame) +
                        "]' -set colorspace sRGB -depth 8 PPM:" + dir / "ref.ppm"));
    Bitmap got = DecodePcd(file, s.resolution);
    Reference ref = YccToRgb(LoadReference(dir / "ref.ppm"));
    ASSERT_EQ(got.Width(), s.width);
    ASSERT_EQ(got.Height(), s.height);
    EXPECT_LE(MaxDifference(got, ref), 6);
    EXPECT_LE(MeanDifference(got, ref.image), 1.0);
  }
}

// A portrait is stored on its side with orientation 1 and turned back upright.
TEST(PcdReader, TurnsPortraitsUpright) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  ASSERT_TRUE(RunTool(std::string(kImageMagick) + " -size 512x768 gradient:'rgb(60,60,60)-rgb(160,160,160)' -depth 8 PPM:" +
                      dir / "in.ppm"));
  ASSERT_TRUE(RunTool(std::string(kImageMagick) + " " + dir / "in.ppm" + " PCD:" + dir / "out.pcd"));
  ASSERT_TRUE(RunTool(std::string(kImageMagick) + " '" + dir / "out.pcd" + "[3]' -set colorspace sRGB -depth 8 PPM:" + dir / "ref.ppm"));
  Bitmap got = DecodePcd(ReadBytes(dir / "out.pcd"), TPCDResolution::Base);
  Reference ref = YccToRgb(LoadReference(dir / "ref.ppm"));
  ASSERT_EQ(got.Width(), 512);
  ASSERT_EQ(got.Height(), 768);
  EXPECT_LE(MaxDifference(got, ref), 6);
  // Top darker than bottom, as drawn.
  EXPECT_LT(RedOf(got.GetPixel(256, 10)), RedOf(got.GetPixel(256, 757)));
}

// A hand-built pac: Base16 of luma 100 and neutral chroma, with one 2 x 2 block whose chroma
// pushes blue up. Expected values from the PhotoYCC formula: 1.3584 * 100 = 135.84.
TEST(PcdReader, ConvertsPhotoYccWithSharedChroma) {
  std::vector<uint8_t> file(0x2000 + 192 * 128 * 3 / 2, 0);
  std::memcpy(file.data() + 0x800, "PCD_IPI", 7);
  for (int pair = 0; pair < 64; ++pair) {
    uint8_t* block = file.data() + 0x2000 + pair * 192 * 3;
    std::memset(block, 100, 2 * 192);
    std::memset(block + 2 * 192, 156, 96);
    std::memset(block + 2 * 192 + 96, 137, 96);
  }
  file[0x2000 + 2 * 192] = 166;  // C1 of the first 2 x 2 block: +10 -> blue + 22.179, green - 4.30
  Bitmap got = DecodePcd(file, TPCDResolution::Base16);
  ASSERT_EQ(got.Width(), 192);
  EXPECT_EQ(got.GetPixel(5, 5), RGBColor(136, 136, 136));
  EXPECT_EQ(got.GetPixel(1, 1), RGBColor(136, 132, 158));
  EXPECT_EQ(got.GetPixel(2, 1), RGBColor(136, 136, 136));
  EXPECT_EQ(got.GetPixel(0, 2), RGBColor(136, 136, 136));
}

TEST(PcdReader, RefusesOtherSizesAndBrokenFiles) {
  std::vector<uint8_t> file(0x2000 + 192 * 128 * 3 / 2, 0);
  std::memcpy(file.data() + 0x800, "PCD_IPI", 7);
  std::string error;
  DecodePcd(file, TPCDResolution::FourBase, &error);
  EXPECT_EQ(error, "Unsupport image format!");
  DecodePcd(file, TPCDResolution::SixteenBase, &error);
  EXPECT_EQ(error, "Unsupport image format!");
  DecodePcd(file, TPCDResolution::Base4, &error);  // ends before Base4
  EXPECT_EQ(error, "Invalid PCD image format.");
  file[0x800] = 'X';
  DecodePcd(file, TPCDResolution::Base16, &error);
  EXPECT_EQ(error, "Invalid PCD image format.");
  DecodePcd({}, TPCDResolution::Base, &error);
  EXPECT_EQ(error, "Invalid PCD image format.");
}

}  // namespace
}  // namespace vitrine
