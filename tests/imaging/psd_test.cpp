#include <gtest/gtest.h>
#include <zlib.h>

#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kPSD = 13;

// A hand-made file: header, colour mode data, no resources or layers, merged image.
std::vector<uint8_t> Psd(uint16_t channels, uint32_t width, uint32_t height, uint16_t depth, uint16_t mode,
                         const std::vector<uint8_t>& modeData, uint16_t compression, const std::vector<uint8_t>& image) {
  std::vector<uint8_t> out = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
  auto u16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)}); };
  auto u32 = [&](uint32_t v) { u16(v >> 16); u16(v & 0xFFFF); };
  u16(channels);
  u32(height);
  u32(width);
  u16(depth);
  u16(mode);
  u32(uint32_t(modeData.size()));
  out.insert(out.end(), modeData.begin(), modeData.end());
  u32(0);
  u32(0);
  u16(compression);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

TEST(PSDReader, RawRgbPlanesAndExtraChannelIgnored) {
  // 2x1, four channels: R, G, B planes and an alpha plane.
  const Bitmap image = Decode(kPSD, Psd(4, 2, 1, 8, 3, {}, 0, {10, 20, 30, 40, 50, 60, 0, 0}));
  EXPECT_EQ(Pixel(image, 0, 0), 0x0A1E32u);
  EXPECT_EQ(Pixel(image, 1, 0), 0x14283Cu);
}

TEST(PSDReader, PackBitsRowsWithTheirCountTable) {
  // 3x2 grey: row 0 = run of three 7s (FE 07), row 1 = literal 1 2 3 (02 01 02 03).
  const Bitmap image = Decode(kPSD, Psd(1, 3, 2, 8, 1, {}, 1, {0, 2, 0, 4, 0xFE, 7, 2, 1, 2, 3}));
  EXPECT_EQ(Pixel(image, 2, 0), 0x070707u);
  EXPECT_EQ(Pixel(image, 2, 1), 0x030303u);
}

TEST(PSDReader, IndexedUsesThePlanarPalette) {
  std::vector<uint8_t> palette(768, 0);
  palette[1] = 0xAA;        // red of entry 1
  palette[256 + 1] = 0xBB;  // green
  palette[512 + 1] = 0xCC;  // blue
  const Bitmap image = Decode(kPSD, Psd(1, 2, 1, 8, 2, palette, 0, {0, 1}));
  EXPECT_EQ(Pixel(image, 0, 0), 0x000000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xAABBCCu);
}

TEST(PSDReader, BitmapModeOneIsBlack) {
  const Bitmap image = Decode(kPSD, Psd(1, 10, 1, 1, 0, {}, 0, {0x80, 0x40}));
  EXPECT_EQ(Pixel(image, 0, 0), 0x000000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(image, 9, 0), 0x000000u);
}

TEST(PSDReader, CmykIsStoredInverted) {
  // Stored 255 = no ink: C'=255 M'=0 Y'=255 K'=255 is pure magenta ink.
  const Bitmap image = Decode(kPSD, Psd(4, 1, 1, 8, 4, {}, 0, {255, 0, 255, 255}));
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF00FFu);
}

TEST(PSDReader, ZipWithPredictionOfSixteenBitSamples) {
  // 2x1 grey 16-bit: 0x1000 then +0x7000 = 0x8000.
  const std::vector<uint8_t> raw = {0x10, 0x00, 0x70, 0x00};
  uLongf size = compressBound(4);
  std::vector<uint8_t> packed(size);
  compress(packed.data(), &size, raw.data(), 4);
  packed.resize(size);
  const Bitmap image = Decode(kPSD, Psd(1, 2, 1, 16, 1, {}, 3, packed));
  EXPECT_EQ(Pixel(image, 0, 0), 0x101010u);
  EXPECT_EQ(Pixel(image, 1, 0), 0x808080u);
}

TEST(PSDReader, RefusesBrokenFilesWithTheirMessages) {
  const std::string invalid = "Invalid PSD or PDD image format.";
  EXPECT_EQ(DecodeError(kPSD, {'8', 'B', 'P', 'X'}), invalid);
  EXPECT_EQ(DecodeError(kPSD, Psd(3, 2, 1, 8, 3, {}, 0, {1, 2, 3})), invalid);          // planes cut short
  EXPECT_EQ(DecodeError(kPSD, Psd(3, 2, 1, 8, 3, {}, 5, {})), invalid);                 // compression 5
  EXPECT_EQ(DecodeError(kPSD, Psd(1, 2, 1, 32, 1, {}, 0, std::vector<uint8_t>(8))), invalid);  // float samples
  EXPECT_EQ(DecodeError(kPSD, Psd(1, 30000, 30000, 8, 1, {}, 1, std::vector<uint8_t>(60000))), invalid);
  EXPECT_EQ(DecodeError(kPSD, Psd(1, 2, 1, 8, 2, {1, 2, 3}, 0, {0, 0})), invalid);      // indexed without palette
}


// ImageMagick's PSD variants against ImageMagick's own reading of them.
TEST(PSDReader, EveryVariantImageMagickWritesMatchesItsReading) {
  VITRINE_REQUIRE_TOOL("convert");
  ScratchDir scratch;
  WriteBytes(scratch / "in.ppm", TestPpm());
  const std::string in = Quote(scratch / "in.ppm");
  const std::vector<std::pair<std::string, int>> writers = {
      {"convert " + in + " PSD:OUT", 0},
      {"convert " + in + " -compress RLE PSD:OUT", 0},
      {"convert " + in + " -depth 16 PSD:OUT", 0},
      {"convert " + in + " -depth 16 -compress RLE PSD:OUT", 0},
      {"convert " + in + " -colorspace Gray PSD:OUT", 0},
      // ImageMagick reads its own transparent merged image un-matted (doubled at 50%), so
      // this one is held against the source pixels instead (-1 below).
      {"convert " + in + " -alpha set -channel A -evaluate set 50% +channel PSD:OUT", -1},
      {"convert " + in + " -colorspace CMYK PSD:OUT", 1},
      {"convert " + in + " -colorspace CMYK -compress RLE PSD:OUT", 1},
  };
  int compared = 0;
  for (const auto& [writer, tolerance] : writers) {
    SCOPED_TRACE(writer);
    std::string command = writer;
    const auto file = scratch / "out.psd";
    command.replace(command.find("OUT"), 3, Quote(file));
    std::filesystem::remove(file);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    const auto ref = scratch / "ref.ppm";
    const auto expected = tolerance < 0 ? ParsePnm(TestPpm())
                                        : ReferenceFrom("convert " + Quote(file) + "'[0]' -alpha off -depth 8 PPM:" + Quote(ref), ref);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(SamePixels(Decode(kPSD, ReadBytes(file)), *expected, std::max(tolerance, 0)));
    ++compared;
  }
  EXPECT_EQ(compared, 8);
}

// kimageformats' real files (Photoshop, GIMP, Affinity) that ImageMagick reads.
TEST(PSDReader, RealFilesMatchImageMagick) {
  VITRINE_REQUIRE_TOOL("convert");
  VITRINE_REQUIRE_CORPUS(corpus);
  ASSERT_TRUE(InCorpus(corpus + "/kimageformats"));
  ScratchDir scratch;
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus + "/kimageformats")) {
    const auto ext = entry.path().extension();
    if (ext != ".psd" && ext != ".pdd" && ext != ".psb") continue;
    const auto bytes = ReadBytes(entry.path());
    // Colour modes this reader shows its own way: Lab and multichannel.
    if (bytes.size() < 26 || bytes[25] == 7 || bytes[25] == 9) continue;
    std::string ours;
    Bitmap image;
    try {
      image = Decode(kPSD, bytes);
    } catch (const std::exception& e) {
      ours = e.what();
    }
    // Photoshop stores the merged colour of a transparent picture matted against white, which
    // is what this reader shows; ImageMagick un-mattes it, so its reading goes back on white
    // (except CMYK, where it then loses the black channel).
    const std::string matte = bytes[25] == 4 ? "" : "-background white -alpha remove ";
    const auto ref = scratch / "ref.ppm";
    SCOPED_TRACE(entry.path().filename().string());
    const auto expected =
        ReferenceFrom("convert " + Quote(entry.path()) + "'[0]' " + matte + "-alpha off -depth 8 PPM:" + Quote(ref), ref);
    if (!expected) continue;  // files ImageMagick cannot read; the count below keeps the rest
    if (bytes[23] == 32) {  // float samples are refused, not guessed at
      EXPECT_EQ(ours, "Invalid PSD or PDD image format.");
      continue;
    }
    ASSERT_EQ(ours, "");
    EXPECT_TRUE(SamePixels(image, *expected, 1));
    ++compared;
  }
  EXPECT_GE(compared, 8);
}

}  // namespace
}  // namespace vitrine
