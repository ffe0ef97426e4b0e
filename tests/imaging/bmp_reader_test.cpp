#include "imaging/bmp_reader.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

Bitmap DecodeFixture(const std::string& name) {
  auto bytes = ReadBytes(PictureFixture(name));
  EXPECT_FALSE(bytes.empty()) << "missing fixture " << name;
  return DecodeBmp(bytes);
}

std::string DecodeError(const std::vector<uint8_t>& bytes) {
  try {
    DecodeBmp(bytes);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "no error";
}

// ---- Hand-made files: variants the writers here don't produce, and damaged files ----

TEST(BmpFixtures, TopDownRowsStayInFileOrder) {
  Bitmap b = DecodeFixture("topdown_24.bmp");
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(0, 255, 0));
  EXPECT_EQ(b.GetPixel(2, 0), RGBColor(0, 0, 255));
  EXPECT_EQ(b.GetPixel(0, 1), RGBColor(255, 255, 255));
  EXPECT_EQ(b.GetPixel(2, 1), RGBColor(10, 20, 30));
}

TEST(BmpFixtures, Rle4RunsAbsoluteRunsDeltaAndSkippedPixels) {
  Bitmap b = DecodeFixture("rle4_delta.bmp");
  const Color k0 = RGBColor(1, 2, 3), red = RGBColor(255, 0, 0), green = RGBColor(0, 255, 0),
              blue = RGBColor(0, 0, 255), yellow = RGBColor(255, 255, 0);
  // Rows top to bottom; the file stores the bottom row first. Skipped pixels take entry 0.
  const Color expected[4][6] = {
      {green, blue, green, blue, green, blue},
      {k0, k0, k0, k0, k0, yellow},  // reached by the delta
      {blue, yellow, red, k0, k0, k0},
      {red, green, red, green, k0, k0},
  };
  ASSERT_EQ(b.Width(), 6);
  ASSERT_EQ(b.Height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b.GetPixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpFixtures, Rle8RunPastRowEndIsClippedAndMissingEndCodeAccepted) {
  Bitmap b = DecodeFixture("rle8_clip.bmp");
  // Palette entry i is (r, g, b) = (2i mod 256, 255 - i, i).
  for (int x = 0; x < 5; ++x) EXPECT_EQ(b.GetPixel(x, 2), RGBColor(14, 248, 7)) << x;
  EXPECT_EQ(b.GetPixel(0, 1), RGBColor(20, 245, 10));
  EXPECT_EQ(b.GetPixel(2, 1), RGBColor(60, 225, 30));
  EXPECT_EQ(b.GetPixel(4, 1), RGBColor(80, 215, 40));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(b.GetPixel(x, 0), RGBColor(144, 55, 200)) << x;
}

TEST(BmpFixtures, OneBitUsesItsOwnPaletteAcrossByteBoundary) {
  Bitmap b = DecodeFixture("pal1_colors.bmp");
  const Color o = RGBColor(0x10, 0x20, 0x30), i = RGBColor(0xA0, 0xB0, 0xC0);
  const Color top[9] = {o, i, o, o, i, i, o, o, o};  // file row 1: 01001100 0
  const Color bottom[9] = {i, o, i, i, o, o, i, i, i};  // file row 0: 10110011 1
  for (int x = 0; x < 9; ++x) {
    EXPECT_EQ(b.GetPixel(x, 0), top[x]) << x;
    EXPECT_EQ(b.GetPixel(x, 1), bottom[x]) << x;
  }
}

TEST(BmpFixtures, BitFieldMasksAfterInfoHeaderWidenByRepeatingBits) {
  Bitmap b = DecodeFixture("bitfields565.bmp");
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(255, 0, 255));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(0x84, 0x82, 0x42));
}

TEST(BmpFixtures, DamagedFilesFailWithTheFormatMessage) {
  EXPECT_EQ(DecodeError(ReadBytes(PictureFixture("truncated_24.bmp"))), "Invalid BMP image format.");
  EXPECT_EQ(DecodeError(ReadBytes(PictureFixture("corrupt_header.bmp"))), "Invalid BMP image format.");
  EXPECT_EQ(DecodeError(ReadBytes(PictureFixture("huge_dimensions.bmp"))), "Invalid BMP image format.");
  // 138 bytes of RLE claiming 6 x 33,554,436 pixels: refused before 800 MB are allocated.
  EXPECT_EQ(DecodeError(ReadBytes(PictureFixture("rle_giant_claim.bmp"))), "Invalid BMP image format.");
  EXPECT_EQ(DecodeError({}), "Invalid BMP image format.");
  EXPECT_EQ(DecodeError({'B', 'M', 0, 0}), "Invalid BMP image format.");
}

TEST(BmpFixtures, EveryPrefixOfAFileFailsCleanlyOrDecodes) {
  auto whole = ReadBytes(PictureFixture("rle4_delta.bmp"));
  for (size_t n = 0; n < whole.size(); ++n) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + long(n));
    try {
      Bitmap b = DecodeBmp(part);
      EXPECT_EQ(b.Width(), 6);  // RLE data cut short still gives the whole picture size
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST(BmpFixtures, EmbeddedJpegIsRefusedByName) {
  auto bytes = ReadBytes(PictureFixture("topdown_24.bmp"));
  bytes[30] = 4;  // compression BI_JPEG
  EXPECT_EQ(DecodeError(bytes), "Unsupported BMP image: embedded JPEG.");
}

// ---- Files written by ImageMagick and GraphicsMagick, compared with ImageMagick's reading ----

class BmpAgainstReference : public ::testing::Test {
 protected:
  void SetUp() override {
    if (MadeByOtherPrograms("bmp/src.ppm").empty())
      FAIL() << "ImageMagick's convert was missing when the references were made";
  }

  // bmp/name.bmp decoded by us and by ImageMagick (bmp/name.ppm), every pixel compared.
  static void Check(const std::string& name) {
    const auto picture = MadeByOtherPrograms("bmp/" + name + ".bmp");
    const auto reference = MadeByOtherPrograms("bmp/" + name + ".ppm");
    ASSERT_FALSE(picture.empty() || reference.empty()) << name << " was not made";
    EXPECT_TRUE(SamePixels(DecodeBmp(ReadBytes(picture)), LoadRefImage(reference))) << name;
  }
};

TEST_F(BmpAgainstReference, TrueColourHeaders) {
  Check("info24");
  Check("core24");
  Check("v5_24");
}

TEST_F(BmpAgainstReference, PaletteDepths) {
  Check("pal8");
  Check("pal4");
  Check("pal1");
}

TEST_F(BmpAgainstReference, Rle8) { Check("rle8"); }

TEST_F(BmpAgainstReference, SixteenBitBitFields) {
  Check("rgb565");
  Check("rgb555");
}

TEST_F(BmpAgainstReference, ThirtyTwoBitWithAlphaMaskKeepsColour) { Check("argb32"); }

TEST_F(BmpAgainstReference, GraphicsMagickCorePaletteAndRle) {
  if (MadeByOtherPrograms("bmp/gm_core8.bmp").empty()) FAIL() << "GraphicsMagick was missing when the references were made";
  Check("gm_core8");
  Check("gm_rle8");
}

// The pixel data starts where the file header's offset says, also when the writer left a gap
// after the palette (the gap's bytes would otherwise show as a shifted first row).
TEST_F(BmpAgainstReference, PixelsStartAtTheHeadersOffset) {
  Check("gap8");
  const auto plain = MadeByOtherPrograms("bmp/pal8.bmp"), gap = MadeByOtherPrograms("bmp/gap8.bmp");
  EXPECT_TRUE(SamePixels(DecodeBmp(ReadBytes(gap)), LoadRefImage(MadeByOtherPrograms("bmp/pal8.ppm"))));
  EXPECT_EQ(ReadBytes(gap).size(), ReadBytes(plain).size() + 40);
}

}  // namespace
}  // namespace vitrine
