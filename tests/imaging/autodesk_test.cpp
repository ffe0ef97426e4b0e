#include <gtest/gtest.h>

#include "encoders/autodesk_encoder.h"
#include "imaging/autodesk_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

AnimatorPicture Sample(uint16_t width, uint16_t height) {
  AnimatorPicture p;
  p.width = width;
  p.height = height;
  for (int i = 0; i < 256; ++i) {
    p.palette[3 * i] = uint8_t(i % 64);
    p.palette[3 * i + 1] = uint8_t(63 - i % 64);
    p.palette[3 * i + 2] = uint8_t(i / 4);
  }
  for (int i = 0; i < width * height; ++i) p.pixels.push_back(uint8_t(i * 37 + 5));
  return p;
}

// A 5 x 3 cel (width not a multiple of 4: rows are not padded).
TEST(AutodeskReader, ReadsIndicesTopDownThroughTheSixBitPalette) {
  Bitmap got = Decode<TAutodeskGraphic>(EncodeAnimator(Sample(5, 3)));
  ASSERT_EQ(got.Width(), 5);
  ASSERT_EQ(got.Height(), 3);
  // Pixel 0 has index 5: palette 5, 58, 1 times four.
  EXPECT_EQ(got.GetPixel(0, 0), RGBColor(20, 232, 4));
  // Pixel (1, 2) is the 11th: index 11 * 37 + 5 = 412 & 255 = 156 -> 28, 35, 39.
  EXPECT_EQ(got.GetPixel(1, 2), RGBColor(112, 140, 156));
  // Last pixel, index 14 * 37 + 5 = 523 & 255 = 11 -> 11, 52, 2.
  EXPECT_EQ(got.GetPixel(4, 2), RGBColor(44, 208, 8));
}

TEST(AutodeskReader, ReadsTheHandMadeFixture) {
  // tests/data/readers-a/tiny.cel: 3 x 2, palette entries 0..2 = black, 63/0/0, 0/63/32.
  const char* data = std::getenv("VITRINE_TEST_DATA");
  std::string path = std::string(data ? data : "../data") + "/readers-a/tiny.cel";
  if (!fs::exists(path)) path = "../data/readers-a/tiny.cel";
  Bitmap got = Decode<TAutodeskGraphic>(ReadBytes(path));
  ASSERT_EQ(got.Width(), 3);
  EXPECT_EQ(got.GetPixel(0, 0), kBlack);
  EXPECT_EQ(got.GetPixel(1, 0), RGBColor(252, 0, 0));
  EXPECT_EQ(got.GetPixel(2, 0), RGBColor(0, 252, 128));
  EXPECT_EQ(got.GetPixel(0, 1), RGBColor(0, 252, 128));
  EXPECT_EQ(got.GetPixel(2, 1), kBlack);
}

TEST(AutodeskReader, PaletteValuesAboveSixBitsAreMasked) {
  AnimatorPicture p = Sample(1, 1);
  p.pixels = {0};
  p.palette[0] = 0xFF;  // 63 after masking
  p.palette[1] = 64;    // 0
  p.palette[2] = 65;    // 1
  EXPECT_EQ(Decode<TAutodeskGraphic>(EncodeAnimator(p)).GetPixel(0, 0), RGBColor(252, 0, 4));
}

TEST(AutodeskReader, RefusesOtherVariantsAndBrokenFiles) {
  const std::string invalid = "Invalid Autodesk image format.";
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>({}), invalid);
  auto truncated = EncodeAnimator(Sample(5, 3));
  truncated.pop_back();
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(truncated), invalid);
  auto flc = EncodeAnimator(Sample(2, 2));  // Animator Pro: 0x9500 at offset 4, not 0x9119 at 0
  flc[0] = 0x40;
  flc[1] = 0x00;
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(flc), invalid);
  AnimatorPicture depth = Sample(2, 2);
  depth.bitsPerPixel = 4;
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(EncodeAnimator(depth)), invalid);
  AnimatorPicture packed = Sample(2, 2);
  packed.compression = 1;
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(EncodeAnimator(packed)), invalid);
  AnimatorPicture empty = Sample(0, 0);
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(EncodeAnimator(empty)), invalid);
  // 65535 x 65535 claimed by an 800-byte file.
  AnimatorPicture huge = Sample(1, 1);
  huge.width = huge.height = 65535;
  EXPECT_EQ(ErrorOf<TAutodeskGraphic>(EncodeAnimator(huge)), invalid);
}

}  // namespace
}  // namespace vitrine
