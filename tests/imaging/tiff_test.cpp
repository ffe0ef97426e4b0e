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
  ScratchDir scratch;
  WriteBytes(scratch / "in.ppm", TestPpm());
  WriteBytes(scratch / "in16.ppm", TestPpm(37, 23, true));
  const std::string in = Quote(scratch / "in.ppm"), in16 = Quote(scratch / "in16.ppm");
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
      {"convert " + in + " TIFF:- | tiffcp -t -w 32 -l 32 -c lzw - OUT", 0},
      {"convert " + in + " TIFF:- | tiffcp -c zip:p2 -r 3 - OUT", 0},
  };
  int compared = 0;
  for (const auto& [writer, tolerance] : writers) {
    std::string command = writer;
    const auto file = scratch / "out.tif";
    command.replace(command.find("OUT"), 3, Quote(file));
    std::filesystem::remove(file);
    if (!RunTool(command)) continue;  // tiffcp may be missing
    SCOPED_TRACE(writer);
    const auto ref = scratch / "ref.ppm";
    const auto expected = ReferenceFrom("convert " + Quote(file) + " -alpha off -depth 8 PPM:" + Quote(ref), ref);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(SamePixels(Decode(kTIFF, ReadBytes(file)), *expected, tolerance));
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

}  // namespace
}  // namespace vitrine
