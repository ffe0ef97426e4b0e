#include <gtest/gtest.h>

#include "imaging/sgi_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

std::vector<uint8_t> SgiHeader(uint8_t storage, uint8_t bpc, uint16_t dimension, uint16_t x, uint16_t y, uint16_t z) {
  std::vector<uint8_t> h(512, 0);
  h[0] = 0x01;
  h[1] = 0xDA;
  h[2] = storage;
  h[3] = bpc;
  auto put16 = [&](size_t at, uint16_t v) { h[at] = uint8_t(v >> 8); h[at + 1] = uint8_t(v); };
  put16(4, dimension);
  put16(6, x);
  put16(8, y);
  put16(10, z);
  return h;
}

void Put32(std::vector<uint8_t>& f, uint32_t v) {
  f.insert(f.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

// Reference: ImageMagick's decode (it ignores PIXMIN/PIXMAX, as we do).
TEST(SgiReader, MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  WriteBytes(dir / "in.ppm", MakeTestPnm(6));
  WriteBytes(dir / "in16.ppm", MakeTestPnm(6, 65535));
  WriteBytes(dir / "in.pgm", MakeTestPnm(5));
  WriteBytes(dir / "in16.pgm", MakeTestPnm(5, 65535));
  const std::string im = kImageMagick, gm = std::string(kGraphicsMagick) + " convert";
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"im.sgi", im + " " + dir / "in.ppm" + " SGI:" + dir / "im.sgi"},
      {"im16.sgi", im + " " + dir / "in16.ppm" + " -depth 16 SGI:" + dir / "im16.sgi"},
      {"imgrey.sgi", im + " " + dir / "in.pgm" + " SGI:" + dir / "imgrey.sgi"},
      {"imrgba.sgi", im + " " + dir / "in.ppm" + " -alpha set -channel A -fx 0.5 SGI:" + dir / "imrgba.sgi"},
      {"imraw.sgi", im + " " + dir / "in.ppm" + " -compress None SGI:" + dir / "imraw.sgi"},
      {"gm.sgi", gm + " " + dir / "in.ppm" + " SGI:" + dir / "gm.sgi"},
      {"nbrle.sgi", "pnmtosgi -rle " + dir / "in.ppm" + " > " + dir / "nbrle.sgi"},
      {"nbraw.sgi", "pnmtosgi -verbatim " + dir / "in.ppm" + " > " + dir / "nbraw.sgi"},
      {"nb16.sgi", "pnmtosgi " + dir / "in16.ppm" + " > " + dir / "nb16.sgi"},
      {"nbgrey16.sgi", "pnmtosgi -verbatim " + dir / "in16.pgm" + " > " + dir / "nbgrey16.sgi"},
  };
  int checked = 0;
  for (const auto& [name, command] : variants) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    ASSERT_TRUE(RunTool(im + " " + dir / name + " -alpha off -depth 8 PPM:" + dir / (name + ".ppm")));
    // ImageMagick narrows 16-bit samples as v / 257 truncated; we round (as netpbm does).
    const int tolerance = name.find("16") != std::string::npos ? 1 : 0;
    EXPECT_LE(MaxDifference(Decode<TSGIGraphic>(ReadBytes(dir / name)), LoadReference(dir / (name + ".ppm"))), tolerance);
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

// Real files: shared and unsorted RLE rows, rows without an end marker, PIXMIN 15.
TEST(SgiReader, ReadsRealSampleFiles) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  VITRINE_REQUIRE_CORPUS(corpus);
  std::vector<std::string> files = {corpus + "/imagemagick/PerlMagick/t/input.sgi",
                                    corpus + "/graphicsmagick/PerlMagick/t/input.sgi",
                                    corpus + "/libgd2/examples/noIcon.sgi"};
  const std::string kimage = corpus + "/kimageformats/autotests/read/rgb";
  ASSERT_TRUE(InCorpus(kimage));
  for (const auto& e : fs::directory_iterator(kimage))
    if (e.path().extension() != ".png") files.push_back(e.path().string());
  ScratchDir dir;
  int checked = 0;
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(InCorpus(path));
    ASSERT_TRUE(RunTool(std::string(kImageMagick) + " 'SGI:" + path + "' -alpha off -depth 8 PPM:" + dir / "ref.ppm"));
    EXPECT_EQ(MaxDifference(Decode<TSGIGraphic>(ReadBytes(path)), LoadReference(dir / "ref.ppm")), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 8);
}

TEST(SgiReader, RowsAreBottomUpAndRunsStopAtTheWidth) {
  // 2 x 2 grey RLE. Row 0 (bottom): a run of 3 of 0x50 (one too many, cut, no end marker);
  // row 1 (top): two literals 0x10 0x20, then the end marker.
  auto f = SgiHeader(1, 1, 2, 2, 2, 1);
  const uint32_t row0 = 512 + 16, row1 = row0 + 2;
  Put32(f, row0);
  Put32(f, row1);
  Put32(f, 2);
  Put32(f, 4);
  f.insert(f.end(), {0x03, 0x50, 0x82, 0x10, 0x20, 0x00});
  Bitmap got = Decode<TSGIGraphic>(f);
  ASSERT_EQ(got.Height(), 2);
  EXPECT_EQ(got.GetPixel(0, 1), 0x505050u);
  EXPECT_EQ(got.GetPixel(1, 1), 0x505050u);
  EXPECT_EQ(got.GetPixel(0, 0), 0x101010u);
  EXPECT_EQ(got.GetPixel(1, 0), 0x202020u);
}

TEST(SgiReader, TwoBytesPerSampleScaleWithRounding) {
  // 1 x 1 verbatim RGB, 16 bits: 0xFFFF, 0x0080 (128/257 rounds to 0), 0x8080 (exactly 128).
  auto f = SgiHeader(0, 2, 3, 1, 1, 3);
  f.insert(f.end(), {0xFF, 0xFF, 0x00, 0x80, 0x80, 0x80});
  EXPECT_EQ(Decode<TSGIGraphic>(f).GetPixel(0, 0), RGBColor(255, 0, 128));
}

TEST(SgiReader, RefusesBrokenFiles) {
  const std::string invalid = "Invalid sgi, bw or rgb(a) image format.";
  EXPECT_EQ(ErrorOf<TSGIGraphic>({}), invalid);
  auto wrongMagic = SgiHeader(0, 1, 2, 1, 1, 1);
  wrongMagic[1] = 0xDB;
  wrongMagic.push_back(0);
  EXPECT_EQ(ErrorOf<TSGIGraphic>(wrongMagic), invalid);
  EXPECT_EQ(ErrorOf<TSGIGraphic>(SgiHeader(0, 3, 2, 1, 1, 1)), invalid);            // 3 bytes per sample
  EXPECT_EQ(ErrorOf<TSGIGraphic>(SgiHeader(0, 1, 3, 4, 4, 3)), invalid);            // no pixel data
  EXPECT_EQ(ErrorOf<TSGIGraphic>(SgiHeader(1, 2, 3, 65535, 65535, 65535)), invalid);  // absurd size
  EXPECT_EQ(ErrorOf<TSGIGraphic>(SgiHeader(1, 1, 3, 4000, 4000, 65535)), invalid);  // tables past the end
  // A row offset pointing outside the file.
  auto f = SgiHeader(1, 1, 2, 1, 1, 1);
  Put32(f, 0x7FFFFFFF);
  Put32(f, 10);
  EXPECT_EQ(ErrorOf<TSGIGraphic>(f), invalid);
}

}  // namespace
}  // namespace vitrine
