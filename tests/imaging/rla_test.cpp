#include <gtest/gtest.h>

#include "encoders/rla_encoder.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kRLA = 12;

TEST(RLAReader, RowsAreStoredBottomUpAsPlanarChannels) {
  // 3x2 RGB; top row red, green, blue; bottom row grey steps.
  const std::vector<std::vector<uint16_t>> rgb = {{255, 0, 0, 10, 20, 30}, {0, 255, 0, 10, 20, 30}, {0, 0, 255, 10, 20, 30}};
  const Bitmap image = Decode(kRLA, EncodeRla(3, 2, 8, rgb, -5, 100));
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 2, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 2, 1), 0x1E1E1Eu);
}

TEST(RLAReader, SixteenBitSamplesAreBytePlanarWithinARow) {
  const std::vector<std::vector<uint16_t>> grey = {{0x0000, 0x8000, 0xFFFF, 0x1234}};
  const Bitmap image = Decode(kRLA, EncodeRla(4, 1, 16, grey));
  EXPECT_EQ(Pixel(image, 1, 0), 0x808080u);
  EXPECT_EQ(Pixel(image, 2, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(image, 3, 0), 0x121212u);
}

TEST(RLAReader, RefusesBrokenFilesWithTheirMessages) {
  const std::vector<std::vector<uint16_t>> grey = {{1, 2, 3, 4}};
  const auto good = EncodeRla(2, 2, 8, grey);
  EXPECT_EQ(DecodeError(kRLA, std::vector<uint8_t>(good.begin(), good.begin() + 700)), "Invalid RLA image format.");
  auto inverted = good;
  inverted[9] = 5;  // active window: left 5 > right 1
  EXPECT_EQ(DecodeError(kRLA, inverted), "Invalid RLA image format.");
  auto badOffset = good;
  badOffset[740] = 0x7F;  // first row offset far past the end
  EXPECT_EQ(DecodeError(kRLA, badOffset), "Invalid RLA image format.");
  auto floats = good;
  floats[19] = 4;  // storage type float
  EXPECT_EQ(DecodeError(kRLA, floats), "Invalid color format.");
  auto wide = good;
  wide[659] = 12;  // 12-bit channels
  EXPECT_EQ(DecodeError(kRLA, wide), "Invalid color format.");
  EXPECT_EQ(DecodeError(kRLA, std::vector<uint8_t>(good.begin(), good.end() - 2)), "Invalid RLA image format.");
}

// GraphicsMagick's sample files (revision 0, channel bits 0, a matte channel) against
// GraphicsMagick, which reads their 8-bit colour channels.
TEST(RLAReader, RealFilesMatchGraphicsMagick) {
  VITRINE_REQUIRE_TOOL("gm");
  VITRINE_REQUIRE_CORPUS(corpus);
  ScratchDir scratch;
  const std::string path = corpus + "/graphicsmagick/PerlMagick/t/input_rgb.rla";
  ASSERT_TRUE(InCorpus(path));
  const auto ref = scratch / "ref.ppm";
  const auto expected = ReferenceFrom("gm convert " + Quote(path) + " -depth 8 PPM:" + Quote(ref), ref);
  ASSERT_TRUE(expected) << "GraphicsMagick failed";
  EXPECT_TRUE(SamePixels(Decode(kRLA, ReadBytes(path)), *expected));
}

TEST(RLAReader, GreySampleFileDecodes) {
  VITRINE_REQUIRE_CORPUS(corpus);
  const std::string path = corpus + "/graphicsmagick/PerlMagick/t/input_gray.rla";
  ASSERT_TRUE(InCorpus(path));
  const Bitmap image = Decode(kRLA, ReadBytes(path));
  EXPECT_EQ(image.Width(), 70);
  EXPECT_EQ(image.Height(), 46);
}

}  // namespace
}  // namespace vitrine
