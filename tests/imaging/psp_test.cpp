#include <gtest/gtest.h>

#include "encoders/psp_encoder.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kPSP = 14;

// 5x3 RGB layer: red rising left to right, green by row, blue constant.
PspLayer RgbLayer(int32_t width = 5, int32_t height = 3) {
  PspLayer layer;
  layer.width = width;
  layer.height = height;
  layer.channels.assign(3, std::vector<uint8_t>(size_t(width * height)));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      layer.channels[0][size_t(y * width + x)] = uint8_t(x * 50);
      layer.channels[1][size_t(y * width + x)] = uint8_t(y * 100);
      layer.channels[2][size_t(y * width + x)] = 0x33;
    }
  return layer;
}

PspPicture RgbPicture(int major, uint16_t compression) {
  PspPicture p;
  p.major = major;
  p.width = 5;
  p.height = 3;
  p.compression = compression;
  p.layers = {RgbLayer()};
  return p;
}

TEST(PSPReader, BothVersionsAndAllThreeCompressions) {
  for (int major : {3, 4})
    for (uint16_t compression : {0, 1, 2}) {
      SCOPED_TRACE(std::to_string(major) + "/" + std::to_string(compression));
      const Bitmap image = Decode(kPSP, EncodePsp(RgbPicture(major, compression)));
      ASSERT_EQ(image.Width(), 5);
      ASSERT_EQ(image.Height(), 3);
      EXPECT_EQ(Pixel(image, 0, 0), 0x000033u);
      EXPECT_EQ(Pixel(image, 4, 2), 0xC8C833u);
      EXPECT_EQ(Pixel(image, 2, 1), 0x646433u);
    }
}

TEST(PSPReader, PalettePictureWithPackedFourBitIndices) {
  PspPicture p;
  p.width = 3;
  p.height = 1;
  p.depth = 4;
  p.palette = {0x000000, 0x112233, 0xFF0000};
  PspLayer layer;
  layer.width = 3;
  layer.height = 1;
  layer.channels = {{0x12, 0x00}};  // indices 1, 2, 0
  p.layers = {layer};
  for (int major : {3, 4}) {
    p.major = major;
    const Bitmap image = Decode(kPSP, EncodePsp(p));
    EXPECT_EQ(Pixel(image, 0, 0), 0x112233u) << major;
    EXPECT_EQ(Pixel(image, 1, 0), 0xFF0000u) << major;
    EXPECT_EQ(Pixel(image, 2, 0), 0x000000u) << major;
  }
}

TEST(PSPReader, LayersAreBlendedBottomUpOverWhite) {
  PspPicture p = RgbPicture(3, 1);
  PspLayer top;  // 2x1 black at (3, 2), half opaque, with its right pixel fully masked out
  top.left = 3;
  top.top = 2;
  top.width = 2;
  top.height = 1;
  top.opacity = 128;
  top.channels.assign(3, std::vector<uint8_t>(2, 0));
  top.mask = {255, 0};
  PspLayer hidden = top;
  hidden.visible = false;
  hidden.opacity = 255;
  hidden.mask.clear();
  p.layers.front().width = 4;  // the bottom layer leaves the last column uncovered
  p.layers.front().channels = RgbLayer(4, 3).channels;
  p.layers.push_back(top);
  p.layers.push_back(hidden);
  const Bitmap image = Decode(kPSP, EncodePsp(p));
  EXPECT_EQ(Pixel(image, 4, 0), 0xFFFFFFu);  // canvas
  EXPECT_EQ(Pixel(image, 3, 2), 0x4B6419u);  // black at 128/255 over (150, 200, 51): 74.7, 99.6, 25.4
  EXPECT_EQ(Pixel(image, 4, 2), 0xFFFFFFu);  // masked out: the white canvas stays
}

TEST(PSPReader, VersionFourCompositeIsPreferredToTheLayers) {
  PspPicture p = RgbPicture(4, 2);
  p.composite = true;
  p.layers.front().opacity = 0;  // the layers alone would give white
  const Bitmap image = Decode(kPSP, EncodePsp(p));
  EXPECT_EQ(Pixel(image, 4, 2), 0xC8C833u);
}

TEST(PSPReader, RefusesBrokenFilesWithTheirMessages) {
  auto file = EncodePsp(RgbPicture(3, 0));
  auto other = file;
  other[0] = 'p';
  EXPECT_EQ(DecodeError(kPSP, other), "Invalid PSP image format.");
  for (uint8_t version : {2, 5}) {
    auto v = file;
    v[32] = version;
    EXPECT_EQ(DecodeError(kPSP, v), "Unsupport image format!");
  }
  auto tag = file;
  tag[36] = '#';  // "~BK" of the first block
  EXPECT_EQ(DecodeError(kPSP, tag), "Invalid PSP image format.");
  auto depth = file;
  depth[36 + 14 + 19] = 16;  // bit depth 16
  EXPECT_EQ(DecodeError(kPSP, depth), "Invalid color format.");
  auto huge = file;
  huge[36 + 14 + 3] = 0x7F;  // width 2^31-ish
  EXPECT_EQ(DecodeError(kPSP, huge), "Invalid PSP image format.");
  for (size_t cut : {size_t(40), size_t(60), file.size() - 7})
    EXPECT_NE(DecodeError(kPSP, std::vector<uint8_t>(file.begin(), file.begin() + long(cut))), "") << cut;
}

}  // namespace
}  // namespace vitrine
