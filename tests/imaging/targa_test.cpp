#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "imaging/targa_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

// An 18-byte header followed by body.
std::vector<uint8_t> Tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor,
                         std::vector<uint8_t> body, uint8_t mapType = 0, uint16_t mapFirst = 0, uint16_t mapLength = 0,
                         uint8_t mapBits = 0, std::string id = "") {
  const uint8_t header[18] = {uint8_t(id.size()), mapType, type, uint8_t(mapFirst), uint8_t(mapFirst >> 8),
                              uint8_t(mapLength), uint8_t(mapLength >> 8), mapBits, 0, 0, 0, 0,
                              uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), depth, descriptor};
  // Made at its full size: appending to a vector of exactly 18 bytes trips GCC 12's
  // -Warray-bounds inside std::vector.
  std::vector<uint8_t> h(sizeof header + id.size() + body.size());
  auto at = std::copy(std::begin(header), std::end(header), h.begin());
  at = std::copy(id.begin(), id.end(), at);
  std::copy(body.begin(), body.end(), at);
  return h;
}

// Files written by ImageMagick, GraphicsMagick and netpbm, against the netpbm decoder.
TEST(TargaReader, MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  VITRINE_REQUIRE_TOOL("/usr/bin/tgatoppm");
  ScratchDir dir;
  WriteBytes(dir / "in.ppm", MakeTestPnm(6));
  WriteBytes(dir / "pal.ppm", MakeTestPnm(6, 255, 200));
  WriteBytes(dir / "in.pgm", MakeTestPnm(5));
  const std::string im = kImageMagick;
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"im-raw.tga", im + " " + dir / "in.ppm" + " -orient TopLeft TGA:" + dir / "im-raw.tga"},
      {"im-rle.tga", im + " " + dir / "in.ppm" + " -orient TopLeft -compress RLE TGA:" + dir / "im-rle.tga"},
      {"im-map.tga", im + " " + dir / "pal.ppm" + " -type Palette -orient TopLeft TGA:" + dir / "im-map.tga"},
      {"im-maprle.tga", im + " " + dir / "pal.ppm" + " -type Palette -compress RLE -orient TopLeft TGA:" + dir / "im-maprle.tga"},
      {"im-grey.tga", im + " " + dir / "in.pgm" + " -orient TopLeft TGA:" + dir / "im-grey.tga"},
      {"im.icb", im + " " + dir / "in.ppm" + " -orient TopLeft ICB:" + dir / "im.icb"},
      {"im.vda", im + " " + dir / "in.ppm" + " -orient TopLeft VDA:" + dir / "im.vda"},
      {"pam-rle.tga", "pamtotga " + dir / "in.ppm" + " > " + dir / "pam-rle.tga"},
      {"pam-raw.tga", "pamtotga -norle " + dir / "in.ppm" + " > " + dir / "pam-raw.tga"},
      {"pam-map.tga", "pamtotga -cmap " + dir / "pal.ppm" + " > " + dir / "pam-map.tga"},
      {"pam-maprle.tga", "pamtotga -cmap -norle " + dir / "pal.ppm" + " > " + dir / "pam-maprle.tga"},
      {"pam-mono.tga", "pamtotga -mono " + dir / "in.pgm" + " > " + dir / "pam-mono.tga"},
      {"gm.tga", std::string(kGraphicsMagick) + " convert " + dir / "in.ppm" + " TGA:" + dir / "gm.tga"},
      {"gm-rle.tga", std::string(kGraphicsMagick) + " convert " + dir / "in.ppm" + " -compress RLE TGA:" + dir / "gm-rle.tga"},
  };
  int checked = 0;
  for (const auto& [name, command] : variants) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    ASSERT_TRUE(RunTool("tgatoppm " + dir / name + " > " + dir / (name + ".ppm")));
    Bitmap got = Decode<TTargaGraphic>(ReadBytes(dir / name));
    EXPECT_EQ(MaxDifference(got, LoadReference(dir / (name + ".ppm"))), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 14);
}

// gdk-pixbuf's reference set: four origins of each kind, with the pictures they should give.
TEST(TargaReader, MatchesReferencePicturesForAllOriginsAndKinds) {
  VITRINE_REQUIRE_TOOL(kImageMagick);
  VITRINE_REQUIRE_CORPUS(corpus);
  const std::string folder = corpus + "/gdk-pixbuf/tests/test-images/reftests/tga";
  ASSERT_TRUE(InCorpus(folder));
  ScratchDir dir;
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".tga") continue;
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::string ref = entry.path().string();
    ref += ".ref.png";
    ASSERT_TRUE(RunTool(std::string(kImageMagick) + " " + ref + " -depth 8 PAM:" + dir / "ref.pam"));
    Bitmap got = Decode<TTargaGraphic>(ReadBytes(entry.path().string()));
    // 5-bit channels: the reference widens by bit copying, we scale; they may differ by one.
    const int tolerance = name.find("-16bpp-") != std::string::npos && name.find("gray") == std::string::npos ? 1 : 0;
    EXPECT_LE(MaxDifference(got, LoadReference(dir / "ref.pam")), tolerance);
    ++checked;
  }
  EXPECT_EQ(checked, 44);
}

TEST(TargaReader, ReadsRealSampleFilesLikeGraphicsMagick) {
  VITRINE_REQUIRE_TOOL(kGraphicsMagick);
  VITRINE_REQUIRE_CORPUS(corpus);
  const std::string folder = corpus + "/graphicsmagick/PerlMagick/t/";
  ScratchDir dir;
  for (const char* name : {"input_16.tga", "input_16rle.tga", "input_24.tga", "input_24rle.tga", "input_32.tga",
                           "input_32rle.tga", "input_8_BW.tga", "input_8_BW_rle.tga", "input_8_CC.tga",
                           "input_8_CC_rle.tga", "input_mono.tga"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(InCorpus(folder + name));
    ASSERT_TRUE(RunTool(std::string(kGraphicsMagick) + " convert " + folder + name + " -depth 8 PPM:" + dir / "ref.ppm"));
    TTargaGraphic reader;
    MemoryStream stream(ReadBytes(folder + name));
    reader.LoadFromStream(stream);
    EXPECT_LE(MaxDifference(reader.Image(), LoadReference(dir / "ref.ppm")), std::string(name).find("16") != std::string::npos ? 1 : 0);
    if (std::string(name) == "input_8_BW_rle.tga") {
      EXPECT_EQ(reader.ImageID.size(), 26u);
    }
  }
}

TEST(TargaReader, DecodesRunsThatCrossRowsAndCutsRunsPastTheImage) {
  // 3 x 2 grey, bottom-up: one run of 4 (crosses into the second row), then a literal packet
  // claiming 4 pixels of which only 2 fit.
  auto file = Tga(11, 3, 2, 8, 0, {0x83, 0x40, 0x03, 0x10, 0x20, 0x30, 0x50});
  Bitmap got = Decode<TTargaGraphic>(file);
  ASSERT_EQ(got.Width(), 3);
  // File row 0 (40 40 40) is the bottom row; file row 1 is 40 10 20.
  EXPECT_EQ(got.GetPixel(0, 1), 0x404040u);
  EXPECT_EQ(got.GetPixel(2, 1), 0x404040u);
  EXPECT_EQ(got.GetPixel(0, 0), 0x404040u);
  EXPECT_EQ(got.GetPixel(1, 0), 0x101010u);
  EXPECT_EQ(got.GetPixel(2, 0), 0x202020u);
}

TEST(TargaReader, ColourMapsOfEveryEntrySizeAndTheFirstIndexOffset) {
  // Indices 5 and 6 into a map that starts at 5: a 24-bit and a 16-bit map.
  auto map24 = Tga(1, 2, 1, 8, 0x20, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 5, 6}, 1, 5, 2, 24);
  Bitmap a = Decode<TTargaGraphic>(map24);
  EXPECT_EQ(a.GetPixel(0, 0), RGBColor(0x03, 0x02, 0x01));
  EXPECT_EQ(a.GetPixel(1, 0), RGBColor(0x06, 0x05, 0x04));
  // 0x7C00 is full red, 0x001F full blue; index 4 lies below the map and is black.
  auto map16 = Tga(1, 3, 1, 8, 0x20, {0x00, 0x7C, 0x1F, 0x00, 5, 6, 4}, 1, 5, 2, 16);
  Bitmap b = Decode<TTargaGraphic>(map16);
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(0, 0, 255));
  EXPECT_EQ(b.GetPixel(2, 0), kBlack);
  // 32-bit entries B, G, R, A; and a right-to-left origin mirrors the row.
  auto map32 = Tga(1, 2, 1, 8, 0x30, {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0xFF, 0, 1}, 1, 0, 2, 32);
  Bitmap c = Decode<TTargaGraphic>(map32);
  EXPECT_EQ(c.GetPixel(0, 0), RGBColor(0x60, 0x50, 0x40));
  EXPECT_EQ(c.GetPixel(1, 0), RGBColor(0x30, 0x20, 0x10));
}

TEST(TargaReader, RefusesBrokenFilesWithItsFormatName) {
  const std::string invalid = "Invalid Targa image format.";
  EXPECT_EQ(ErrorOf<TTargaGraphic>({}), invalid);
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(0, 1, 1, 8, 0, {0})), invalid);        // no image data
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(32, 1, 1, 8, 0, {0})), invalid);       // obsolete Huffman type
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(1, 1, 1, 8, 0, {0})), invalid);        // mapped without a map
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(2, 1, 1, 12, 0, {0, 0})), invalid);    // odd depth
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(2, 0, 5, 24, 0, {})), invalid);        // empty
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(2, 4, 4, 24, 0, std::vector<uint8_t>(47))), invalid);  // one byte short
  // 65535 x 65535 at 32 bits from a few bytes: refused before anything is allocated.
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(10, 65535, 65535, 32, 0, {0xFF, 1, 2, 3, 4})), invalid);
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(10, 16000, 16000, 32, 0, {0xFF, 1, 2, 3, 4})), invalid);
  // A run-length image that ends early.
  EXPECT_EQ(ErrorOf<TTargaGraphic>(Tga(11, 4, 4, 8, 0, {0x87, 9})), invalid);
}

TEST(TargaReader, SurvivesTheFuzzFilesOfTheCorpus) {
  VITRINE_REQUIRE_CORPUS(corpus);
  const std::string folder = corpus + "/gdk-pixbuf/tests/test-images/";
  for (const char* name : {"fail/DoS.tga", "fail/androstanRezeptor.tga", "fail/colormap-image-without-colormap.tga",
                           "fail/empty-file.tga", "fail/overflow.tga", "reftests/colormap-too-small.tga",
                           "reftests/rle-too-many-pixels.tga", "reftests/rle-too-many-pixels-2.tga",
                           "randomly-modified/valid.1.tga", "randomly-modified/valid.2.tga"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(InCorpus(folder + name));
    std::string error;
    Bitmap got = Decode<TTargaGraphic>(ReadBytes(folder + name), &error);
    if (!error.empty()) {
      EXPECT_EQ(error, "Invalid Targa image format.");
    }
    if (std::string(name).starts_with("fail/")) {
      EXPECT_FALSE(error.empty());
    }
    if (std::string(name).starts_with("reftests/")) {
      EXPECT_TRUE(error.empty()) << error;
    }
  }
}

}  // namespace
}  // namespace vitrine
