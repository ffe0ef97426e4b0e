#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/pcx_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

// A 128-byte header (version 5, run-length) and body.
std::vector<uint8_t> Pcx(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes, uint16_t bytesPerLine,
                         std::vector<uint8_t> body, uint8_t first = 10) {
  // Made at its full size: appending to a vector of exactly 128 bytes trips GCC 12's
  // -Warray-bounds inside std::vector.
  std::vector<uint8_t> h(128 + body.size(), 0);
  h[0] = first;
  h[1] = 5;
  h[2] = 1;
  h[3] = bits;
  h[8] = uint8_t(width - 1);
  h[9] = uint8_t((width - 1) >> 8);
  h[10] = uint8_t(height - 1);
  h[11] = uint8_t((height - 1) >> 8);
  h[65] = planes;
  h[66] = uint8_t(bytesPerLine);
  h[67] = uint8_t(bytesPerLine >> 8);
  std::copy(body.begin(), body.end(), h.begin() + 128);
  return h;
}

TEST(PcxReader, MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  VITRINE_REQUIRE_TOOL("/usr/bin/pcxtoppm");
  ScratchDir dir;
  WriteBytes(dir / "in.ppm", MakeTestPnm(6));
  WriteBytes(dir / "pal.ppm", MakeTestPnm(6, 255, 200));
  WriteBytes(dir / "pal16.ppm", MakeTestPnm(6, 255, 16));
  WriteBytes(dir / "in.pbm", MakeTestPnm(4));
  const std::string im = kImageMagick, gm = std::string(kGraphicsMagick) + " convert";
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"im24.pcx", im + " " + dir / "in.ppm" + " PCX:" + dir / "im24.pcx"},
      {"im8.pcx", im + " " + dir / "pal.ppm" + " -type Palette PCX:" + dir / "im8.pcx"},
      {"immono.pcx", im + " " + dir / "in.pbm" + " PCX:" + dir / "immono.pcx"},
      {"gm24.pcx", gm + " " + dir / "in.ppm" + " PCX:" + dir / "gm24.pcx"},
      {"gm8.pcx", gm + " " + dir / "pal.ppm" + " -type Palette PCX:" + dir / "gm8.pcx"},
      {"nb24.pcx", "ppmtopcx " + dir / "in.ppm" + " > " + dir / "nb24.pcx"},
      {"nb8.pcx", "ppmtopcx -8bit " + dir / "pal.ppm" + " > " + dir / "nb8.pcx"},
      {"nb16.pcx", "ppmtopcx " + dir / "pal16.ppm" + " > " + dir / "nb16.pcx"},
      {"nbpacked.pcx", "ppmtopcx -packed " + dir / "pal16.ppm" + " > " + dir / "nbpacked.pcx"},
      {"nbmono.pcx", "ppmtopcx " + dir / "in.pbm" + " > " + dir / "nbmono.pcx"},
  };
  int checked = 0;
  for (const auto& [name, command] : variants) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    ASSERT_TRUE(RunTool("pcxtoppm " + dir / name + " > " + dir / (name + ".ppm")));
    EXPECT_EQ(MaxDifference(Decode<TPCXGraphic>(ReadBytes(dir / name)), LoadReference(dir / (name + ".ppm"))), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

TEST(PcxReader, ReadsRealSampleFiles) {
  VITRINE_REQUIRE_TOOL("/usr/bin/pcxtoppm");
  VITRINE_REQUIRE_CORPUS(corpus);
  std::vector<std::string> all = {"/imagemagick/PerlMagick/t/input.pcx", "/graphicsmagick/PerlMagick/t/input.pcx",
                                  "/libsdl2-image/test/sample.pcx"};
  const std::string kimage = corpus + "/kimageformats/autotests/read/pcx";
  ASSERT_TRUE(InCorpus(kimage));
  for (const auto& e : fs::directory_iterator(kimage))
    if (e.path().extension() == ".pcx") all.push_back(e.path().string().substr(corpus.size()));
  ScratchDir dir;
  int checked = 0;
  for (const std::string& name : all) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(InCorpus(corpus + name));
    ASSERT_TRUE(RunTool("pcxtoppm " + corpus + name + " > " + dir / "ref.ppm"));
    EXPECT_EQ(MaxDifference(Decode<TPCXGraphic>(ReadBytes(corpus + name)), LoadReference(dir / "ref.ppm")), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

TEST(PcxReader, RunsCrossRowsAndPaddingBeyondTheWidthIsIgnored) {
  // 3 x 2, 8 bits, bytes per line 4 (one padding byte). A run of 6 covers row 0 and two bytes
  // of row 1; a zero-length run emits nothing. Grey palette: no VGA palette at the end.
  auto file = Pcx(3, 2, 8, 1, 4, {0xC6, 0x11, 0xC0, 0x99, 0x22, 0x33});
  Bitmap got = Decode<TPCXGraphic>(file);
  ASSERT_EQ(got.Width(), 3);
  ASSERT_EQ(got.Height(), 2);
  EXPECT_EQ(got.GetPixel(2, 0), 0x111111u);
  EXPECT_EQ(got.GetPixel(0, 1), 0x111111u);  // byte 4 is row 1's first: 0x11, padding was byte 3
  EXPECT_EQ(got.GetPixel(1, 1), 0x111111u);
  EXPECT_EQ(got.GetPixel(2, 1), 0x222222u);
}

TEST(PcxReader, SixteenColourPlanesAndTheVgaPalette) {
  // 4 x 1, 1 bit x 4 planes: pixel x takes bit k from plane k. Planes 0b1000, 0b1100, 0b0010,
  // 0b0001 give indices 3, 2, 4, 8. Empty header palette: the default EGA colours.
  auto ega = Pcx(4, 1, 1, 4, 2, {0x80, 0, 0xC1, 0xC0, 0, 0x20, 0, 0x10, 0});  // C1 C0: a literal 0xC0
  Bitmap a = Decode<TPCXGraphic>(ega);
  EXPECT_EQ(a.GetPixel(0, 0), RGBColor(0x00, 0xAA, 0xAA));
  EXPECT_EQ(a.GetPixel(1, 0), RGBColor(0x00, 0xAA, 0x00));
  EXPECT_EQ(a.GetPixel(2, 0), RGBColor(0xAA, 0x00, 0x00));
  EXPECT_EQ(a.GetPixel(3, 0), RGBColor(0x55, 0x55, 0x55));

  // 8 bits, one plane, with the 0x0C marker and palette at the end.
  std::vector<uint8_t> body = {0x01, 0x02};
  body.push_back(0x0C);
  for (int i = 0; i < 256; ++i) body.insert(body.end(), {uint8_t(i), uint8_t(255 - i), 7});
  Bitmap b = Decode<TPCXGraphic>(Pcx(2, 1, 8, 1, 2, body));
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(1, 254, 7));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(2, 253, 7));
}

TEST(PcxReader, RefusesBrokenFiles) {
  const std::string invalid = "Invalid PCX or SCR image format.";
  EXPECT_EQ(ErrorOf<TPCXGraphic>({}), invalid);
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(2, 1, 8, 1, 2, {1, 2}, 0x0B)), invalid);  // first byte not 10
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(2, 1, 8, 1, 2, {1})), invalid);           // data ends early
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(2, 1, 8, 1, 2, {0xC5})), invalid);        // run without its byte
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(9, 1, 8, 1, 8, std::vector<uint8_t>(8))), invalid);  // line shorter than width
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(65535, 65535, 8, 1, 65535, {0xFF, 0})), invalid);
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(30000, 30000, 8, 4, 30000, {0xFF, 0})), invalid);
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(2, 1, 8, 2, 2, {1, 2, 3, 4})), "Invalid color format.");
  EXPECT_EQ(ErrorOf<TPCXGraphic>(Pcx(2, 1, 16, 1, 4, {1, 2, 3, 4})), "Invalid color format.");
}

}  // namespace
}  // namespace vitrine
