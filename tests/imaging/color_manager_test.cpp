#include <gtest/gtest.h>

#include <array>

#include "core/errors.h"
#include "imaging/byte_swap.h"
#include "imaging/color_manager.h"

namespace vitrine {
namespace {

// The scan-line word of target pixel x.
uint32_t Word(const std::vector<uint8_t>& row, int x) {
  return uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x + 2]) << 16 |
         uint32_t(row[4 * x + 3]) << 24;
}

TEST(ColorManager, RefusesLayoutsItCannotConvert) {
  struct Case { TColorScheme scheme; int bits, samples; };
  for (Case c : {Case{TColorScheme::Indexed, 16, 1}, Case{TColorScheme::RGB, 4, 3}, Case{TColorScheme::RGB, 8, 2},
                 Case{TColorScheme::RGBA, 8, 3}, Case{TColorScheme::GrayAlpha, 1, 2}, Case{TColorScheme::YCbCr, 16, 3},
                 Case{TColorScheme::None, 8, 1}, Case{TColorScheme::CMYK, 8, 3}}) {
    TColorManager m;
    m.SourceScheme = c.scheme;
    m.SourceBitsPerSample = c.bits;
    m.SourceSamplesPerPixel = c.samples;
    EXPECT_THROW(m.SetupConversion(), EColorConversionError);
  }
  TColorManager m;
  m.TargetSamplesPerPixel = 3;
  try {
    m.SetupConversion();
    ADD_FAILURE();
  } catch (const EColorConversionError& e) {
    EXPECT_STREQ(e.what(), "Error!");
  }
  // Planar rows need one plane per sample.
  TColorManager planar;
  planar.SetupConversion();
  std::array<const uint8_t*, 2> two{};
  std::vector<uint8_t> out(4);
  EXPECT_THROW(planar.ConvertRow(two, out.data(), 1), EColorConversionError);
}

TEST(ColorManager, ConvertsEachSchemeToTheScanLine) {
  struct Case {
    TColorScheme scheme;
    int bits, samples;
    std::vector<uint8_t> in;
    uint32_t expected;  // 0x00RRGGBB
  };
  const std::vector<Case> cases = {
      {TColorScheme::RGB, 8, 3, {0x11, 0x22, 0x33}, 0x112233},
      {TColorScheme::RGB, 8, 4, {0x11, 0x22, 0x33, 0x99}, 0x112233},
      {TColorScheme::BGRA, 8, 4, {0x11, 0x22, 0x33, 0x44}, 0x332211},
      {TColorScheme::RGB, 16, 3, {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x81}, 0xFF8001},
      {TColorScheme::Gray, 8, 1, {0x7F}, 0x7F7F7F},
      {TColorScheme::Gray, 4, 1, {0x50}, 0x555555},  // first nibble 5 of 15
      {TColorScheme::Gray, 2, 1, {0x80}, 0xAAAAAA},  // first two bits 2 of 3
      {TColorScheme::GrayAlpha, 8, 2, {0x40, 0x00}, 0x404040},
      {TColorScheme::CMYK, 8, 4, {0, 255, 0, 0}, 0xFF00FF},
      {TColorScheme::CMYK, 8, 4, {0, 0, 0, 128}, 0x7F7F7F},
      {TColorScheme::YCbCr, 8, 3, {128, 128, 128}, 0x808080},
      {TColorScheme::YCbCr, 8, 3, {76, 85, 255}, 0xFE0000},  // JFIF red
      {TColorScheme::PhotoYCC, 8, 3, {100, 156, 137}, 0x888888},
      {TColorScheme::CIELab, 8, 3, {255, 128, 128}, 0xFFFFFF},
      {TColorScheme::CIELab, 8, 3, {0, 128, 128}, 0x000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.scheme) << "/" << c.bits);
    TColorManager m;
    m.SourceScheme = c.scheme;
    m.SourceBitsPerSample = c.bits;
    m.SourceSamplesPerPixel = c.samples;
    m.SetupConversion();
    std::vector<uint8_t> out(4, 0xEE);
    m.ConvertRow(c.in.data(), out.data(), 1);
    EXPECT_EQ(Word(out, 0), c.expected);
  }
}

TEST(ColorManager, IndexedRowsUsePaletteAndPackedBits) {
  TColorManager m;
  m.SourceScheme = TColorScheme::Indexed;
  m.SourceBitsPerSample = 1;
  m.SourceSamplesPerPixel = 1;
  const uint8_t entries[] = {1, 2, 3, 4, 5, 6};  // RGB order
  m.CreateColorPalette(entries, TColorScheme::RGB, 2);
  m.SetupConversion();
  const uint8_t bits[] = {0b01000000, 0b10000000};  // 9 pixels: 0 1 0 0 0 0 0 0 1
  std::vector<uint8_t> out(9 * 4);
  m.ConvertRow(bits, out.data(), 9);
  EXPECT_EQ(Word(out, 0), 0x010203u);
  EXPECT_EQ(Word(out, 1), 0x040506u);
  EXPECT_EQ(Word(out, 8), 0x040506u);
  // BGR entries and an index past the palette (black).
  m.CreateColorPalette(entries, TColorScheme::BGR, 5);  // only two whole entries exist
  m.SourceBitsPerSample = 8;
  m.SetupConversion();
  const uint8_t indices[] = {0, 7};
  m.ConvertRow(indices, out.data(), 2);
  EXPECT_EQ(Word(out, 0), 0x030201u);
  EXPECT_EQ(Word(out, 1), 0u);

  m.CreateGrayscalePalette(2);
  EXPECT_EQ(m.Palette, (std::vector<uint32_t>{0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF}));
}

TEST(ColorManager, PlanarRowsAndLittleEndianWords) {
  TColorManager m;
  m.SourceBitsPerSample = 16;
  m.SourceBigEndian = false;
  m.SetupConversion();
  const uint8_t r[] = {0xFF, 0xFF, 0x00, 0x00}, g[] = {0x00, 0x00, 0x80, 0x80}, b[] = {0x00, 0x80, 0xFF, 0xFF};
  std::array<const uint8_t*, 3> planes = {r, g, b};
  std::vector<uint8_t> out(8);
  m.ConvertRow(planes, out.data(), 2);
  EXPECT_EQ(Word(out, 0), 0xFF0080u);
  EXPECT_EQ(Word(out, 1), 0x0080FFu);
}

TEST(ColorManager, GammaPairCorrectsColourChannels) {
  TColorManager m;
  m.FileGamma = 1.0;
  m.DisplayGamma = 2.0;  // exponent 1/2
  m.SetupConversion();
  const uint8_t in[] = {64, 0, 255};
  std::vector<uint8_t> out(4);
  m.ConvertRow(in, out.data(), 1);
  EXPECT_EQ(Word(out, 0), 0x8000FFu);  // 255 * sqrt(64/255) = 127.75
  TColorManager neutral;
  neutral.FileGamma = 1 / 2.2;
  neutral.DisplayGamma = 2.2;
  neutral.SetupConversion();
  neutral.ConvertRow(in, out.data(), 1);
  EXPECT_EQ(Word(out, 0), 0x4000FFu);
}

TEST(ByteSwap, SwapsValuesAndArrays) {
  EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
  uint16_t shorts[] = {0x0102, 0xA0B0};
  SwapShortArray(shorts, 2);
  EXPECT_EQ(shorts[0], 0x0201);
  EXPECT_EQ(shorts[1], 0xB0A0);
  uint32_t longs[] = {0x01020304u, 0xFF000000u};
  SwapLongArray(longs, 2);
  EXPECT_EQ(longs[0], 0x04030201u);
  EXPECT_EQ(longs[1], 0x000000FFu);
}

}  // namespace
}  // namespace vitrine
