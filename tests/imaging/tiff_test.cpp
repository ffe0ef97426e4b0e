#include <gtest/gtest.h>

#include "reader_test_support.h"
#include "imaging/tiff_reader.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kTIFF = 5;

TEST(TIFFReader, CheckedInFixtureDecodes) {
  if (!TTIFFGraphic::Available()) GTEST_SKIP() << "built without libtiff";
  // 3x2 RGB, LZW, two strips, written by ImageMagick from the pixels below.
  const Bitmap image = Decode(kTIFF, ReadBytes(DataDir() / "rgb_lzw_strips.tif"));
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(image, 2, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 0, 1), 0x102030u);
  EXPECT_EQ(Pixel(image, 2, 1), 0xFFFFFFu);
}

TEST(TIFFReader, RefusesWhatIsNotATiff) {
  if (!TTIFFGraphic::Available()) {
    EXPECT_NE(DecodeError(kTIFF, {'I', 'I', 42, 0}), "");
    return;
  }
  EXPECT_EQ(DecodeError(kTIFF, {1, 2, 3}), "Invalid TIFF image format.");
  EXPECT_EQ(DecodeError(kTIFF, {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0}), "Invalid TIFF image format.");
  auto cut = ReadBytes(DataDir() / "rgb_lzw_strips.tif");
  cut.resize(cut.size() / 2);
  EXPECT_NE(DecodeError(kTIFF, cut), "");
}

std::vector<uint8_t> TestPpm(int width = 37, int height = 23, bool wide = false) {
  std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n" + (wide ? "65535" : "255") + "\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (uint8_t v : {uint8_t(x * 7), uint8_t(y * 11), uint8_t((x * y) ^ 0x5A)}) {
        out.push_back(v);
        if (wide) out.push_back(uint8_t(v * 3));
      }
  return out;
}

// Strips, tiles, LZW, deflate, PackBits, palette, grey, 16-bit: every one against
// ImageMagick's reading of the same file.
TEST(TIFFReader, EveryVariantTheToolsWriteMatchesTheReference) {
  if (!TTIFFGraphic::Available()) GTEST_SKIP() << "built without libtiff";
  VITRINE_REQUIRE_TOOL("convert");
  VITRINE_REQUIRE_TOOL("tiffcp");
  ScratchDir scratch;
  WriteBytes(scratch / "in.ppm", TestPpm());
  WriteBytes(scratch / "in16.ppm", TestPpm(37, 23, true));
  const std::string in = Quote(scratch / "in.ppm"), in16 = Quote(scratch / "in16.ppm"), tmp = Quote(scratch / "tmp.tif");
  const std::vector<std::pair<std::string, int>> writers = {
      {"convert " + in + " -compress None TIFF:OUT", 0},
      {"convert " + in + " -compress LZW TIFF:OUT", 0},
      {"convert " + in + " -compress Zip TIFF:OUT", 0},
      {"convert " + in + " -compress RLE TIFF:OUT", 0},
      {"convert " + in + " -define tiff:tile-geometry=16x16 -compress LZW TIFF:OUT", 0},
      {"convert " + in + " -define tiff:rows-per-strip=5 TIFF:OUT", 0},
      {"convert " + in + " -colors 50 -type Palette TIFF:OUT", 1},  // 16-bit colour map narrowed
      {"convert " + in + " -colorspace Gray TIFF:OUT", 0},
      {"convert " + in + " -monochrome -compress Group4 TIFF:OUT", 0},
      {"convert " + in16 + " -depth 16 TIFF:OUT", 1},
      {"convert " + in16 + " -depth 16 -compress Zip -define tiff:predictor=2 TIFF:OUT", 1},
      {"convert " + in + " -alpha set -channel A -evaluate set 100% +channel TIFF:OUT", 0},
      // tiffcp reads no standard input: it rewrites a file ImageMagick wrote.
      {"convert " + in + " TIFF:" + tmp + " && tiffcp -t -w 32 -l 32 -c lzw " + tmp + " OUT", 0},
      {"convert " + in + " TIFF:" + tmp + " && tiffcp -c zip:p2 -r 3 " + tmp + " OUT", 0},
  };
  int compared = 0;
  for (const auto& [writer, tolerance] : writers) {
    SCOPED_TRACE(writer);
    std::string command = writer;
    const auto file = scratch / "out.tif";
    command.replace(command.find("OUT"), 3, Quote(file));
    std::filesystem::remove(file);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    const auto ref = scratch / "ref.ppm";
    const auto expected = ReferenceFrom("convert " + Quote(file) + " -alpha off -depth 8 PPM:" + Quote(ref), ref);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(SamePixels(Decode(kTIFF, ReadBytes(file)), *expected, tolerance));
    ++compared;
  }
  EXPECT_EQ(compared, 14);
}

// ---- Files tiffcp/tiffset and ImageMagick made at build time, against ImageMagick's reading ----

class TIFFAgainstReference : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TTIFFGraphic::Available()) GTEST_SKIP() << "built without libtiff";
    if (MadeByOtherPrograms("tiff/stored.tif").empty())
      FAIL() << "ImageMagick, tiffcp or tiffset was missing when the references were made";
  }
  static Bitmap DecodeMade(const std::string& name) {
    const auto path = MadeByOtherPrograms("tiff/" + name + ".tif");
    if (path.empty()) ADD_FAILURE() << name << " was not made";
    return Decode(kTIFF, ReadBytes(path));
  }
  static RefImage ReferenceOf(const std::string& name) { return LoadRefImage(MadeByOtherPrograms("tiff/" + name + ".ppm")); }
};

// All eight orientations stand up as ImageMagick's -auto-orient shows them; 5 to 8 turn the
// stored 88 x 590 picture into 590 x 88.
TEST_F(TIFFAgainstReference, EveryOrientationStandsUpright) {
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE("orientation " + std::to_string(o));
    const Bitmap got = DecodeMade("orientation" + std::to_string(o));
    EXPECT_EQ(got.Width(), o >= 5 ? 590 : 88);
    EXPECT_EQ(got.Height(), o >= 5 ? 88 : 590);
    EXPECT_TRUE(SamePixels(got, ReferenceOf("orientation" + std::to_string(o))));
  }
}

// 12-bit grey is scaled to 8 bits with rounding, as 16-bit grey is: both give back the 8-bit
// picture they were written from. ImageMagick's own reading of the 12-bit file rounds down
// on the way (one level).
TEST_F(TIFFAgainstReference, TwelveBitGreyIsScaledLikeSixteenBit) {
  const RefImage written = LoadRefImage(MadeByOtherPrograms("tiff/grey.pgm"));
  EXPECT_TRUE(SamePixels(DecodeMade("grey12"), written));
  EXPECT_TRUE(SamePixels(DecodeMade("grey12_tiled"), written));
  EXPECT_TRUE(SamePixels(DecodeMade("grey16"), written));
  EXPECT_TRUE(SamePixels(DecodeMade("grey12"), ReferenceOf("grey12"), 1));
  EXPECT_TRUE(SamePixels(DecodeMade("grey16"), ReferenceOf("grey16")));
}

// CIE L*a*b* relative to the file's white point (ImageMagick writes D65's) in sRGB, as
// ImageMagick shows it; libtiff's own conversion differs by up to 50 levels on the saturated
// picture. Tolerances: 16 bits, 6 levels, met only in near-black channels of saturated
// colours, where the sRGB curve is steepest (the mean difference is half a level); 8 bits,
// 5 levels, as ImageMagick reads 8-bit a* and b* a unit off.
TEST_F(TIFFAgainstReference, LabMatchesImageMagick) {
  EXPECT_TRUE(SamePixels(DecodeMade("lab16"), ReferenceOf("lab16"), 6));
  EXPECT_TRUE(SamePixels(DecodeMade("lab16_tiled"), DecodeMade("lab16")));  // 16x16 tiles, LZW
  EXPECT_TRUE(SamePixels(DecodeMade("lab8"), ReferenceOf("lab8"), 5));
}

// Without a white point tag L*a*b* is relative to D50; adapted to sRGB's D65 white, greys
// stay grey (unadapted, D50 white comes out yellow: 255, 250, 225).
TEST_F(TIFFAgainstReference, LabWithoutWhitePointIsD50) {
  const Bitmap d50 = DecodeMade("labgrey_d50");
  EXPECT_TRUE(SamePixels(d50, ReferenceOf("labgrey"), 1));
  for (int32_t y = 0; y < d50.Height(); y += 5) {
    const Color c = d50.GetPixel(18, y);
    EXPECT_LE(std::abs(RedOf(c) - BlueOf(c)), 1) << "row " << y;
    EXPECT_LE(std::abs(GreenOf(c) - BlueOf(c)), 1) << "row " << y;
  }
}

}  // namespace
}  // namespace vitrine
