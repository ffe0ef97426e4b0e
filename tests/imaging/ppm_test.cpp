#include <gtest/gtest.h>

#include "imaging/ppm_reader.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// Reference: netpbm scaled to maxval 255 (pamdepth rounds, as we do).
std::string NetpbmReference(const std::string& file, const std::string& out) {
  return "pamdepth 255 " + file + " | ppmtoppm > " + out;
}

TEST(PpmReader, MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite) {
  VITRINE_REQUIRE_TOOL("/usr/bin/pamdepth");
  VITRINE_REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  WriteBytes(dir / "p6.ppm", MakeTestPnm(6));
  WriteBytes(dir / "p5.pgm", MakeTestPnm(5));
  WriteBytes(dir / "p4.pbm", MakeTestPnm(4));
  WriteBytes(dir / "p6-16.ppm", MakeTestPnm(6, 65535));
  WriteBytes(dir / "p5-1000.pgm", MakeTestPnm(5, 1000));
  WriteBytes(dir / "p6-15.ppm", MakeTestPnm(6, 15));
  WriteBytes(dir / "big.ppm", MakeTestPnm(6, 255, 0, 301, 97));  // many 4096-byte buffers
  const std::string im = kImageMagick;
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"p6.ppm", ""},
      {"p5.pgm", ""},
      {"p4.pbm", ""},
      {"p6-16.ppm", ""},
      {"p5-1000.pgm", ""},
      {"p6-15.ppm", ""},
      {"big.ppm", ""},
      {"p3.ppm", "pnmtoplainpnm " + dir / "p6.ppm" + " > " + dir / "p3.ppm"},
      {"p2.pgm", "pnmtoplainpnm " + dir / "p5.pgm" + " > " + dir / "p2.pgm"},
      {"p1.pbm", "pnmtoplainpnm " + dir / "p4.pbm" + " > " + dir / "p1.pbm"},
      {"p3-16.ppm", "pnmtoplainpnm " + dir / "p6-16.ppm" + " > " + dir / "p3-16.ppm"},
      {"im-p3.ppm", im + " " + dir / "p6.ppm" + " -compress none PPM:" + dir / "im-p3.ppm"},
      {"im-p1.pbm", im + " " + dir / "p4.pbm" + " -compress none PBM:" + dir / "im-p1.pbm"},
      {"im-p5-16.pgm", im + " " + dir / "p6-16.ppm" + " -colorspace gray -depth 16 PGM:" + dir / "im-p5-16.pgm"},
      {"gm-p6.ppm", std::string(kGraphicsMagick) + " convert " + dir / "p6.ppm" + " -compress none PPM:" + dir / "gm-p6.ppm"},
  };
  int checked = 0;
  for (const auto& [name, command] : variants) {
    SCOPED_TRACE(name);
    if (!command.empty()) {
      ASSERT_TRUE(RunTool(command)) << "the writer failed";
    }
    ASSERT_TRUE(RunTool(NetpbmReference(dir / name, dir / "ref.ppm")));
    EXPECT_EQ(MaxDifference(Decode<TPPMGraphic>(ReadBytes(dir / name)), LoadReference(dir / "ref.ppm")), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 15);
}

TEST(PpmReader, ReadsRealSampleFiles) {
  VITRINE_REQUIRE_TOOL("/usr/bin/pamdepth");
  VITRINE_REQUIRE_CORPUS(corpus);
  ScratchDir dir;
  int checked = 0;
  for (const char* name : {"/graphicsmagick/PerlMagick/t/input_p1.pbm", "/graphicsmagick/PerlMagick/t/input_p2.pgm",
                           "/graphicsmagick/PerlMagick/t/input_p3.ppm", "/graphicsmagick/PerlMagick/t/input_p4.pbm",
                           "/graphicsmagick/PerlMagick/t/input_p5.pgm", "/graphicsmagick/PerlMagick/t/input_p6.ppm",
                           "/netpbm-free/test/testimg.ppm", "/netpbm-free/test/testgrid.pbm",
                           "/gdk-pixbuf/tests/test-images/randomly-modified/valid.1.ppm"}) {
    const std::string path = corpus + name;
    SCOPED_TRACE(name);
    ASSERT_TRUE(InCorpus(path));
    ASSERT_TRUE(RunTool(NetpbmReference(path, dir / "ref.ppm")));
    EXPECT_EQ(MaxDifference(Decode<TPPMGraphic>(ReadBytes(path)), LoadReference(dir / "ref.ppm")), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 9);
}

TEST(PpmReader, HeaderCommentsAndPlainDigitsWithoutSeparators) {
  // A comment between tokens, one cutting into the width ("1#..\n2" is 12), and P1 pixels
  // written without blanks. 1 is black in a bitmap.
  Bitmap a = Decode<TPPMGraphic>(Bytes("P1\n# size\n1#x\n2 1\n010101010101"));
  ASSERT_EQ(a.Width(), 12);
  EXPECT_EQ(a.GetPixel(0, 0), kWhite);
  EXPECT_EQ(a.GetPixel(1, 0), kBlack);
  // A plain value above maxval is clamped; maxval 1000 scales with rounding (500 -> 128).
  Bitmap b = Decode<TPPMGraphic>(Bytes("P2 3 1 1000\n0 500 4000\n"));
  EXPECT_EQ(b.GetPixel(0, 0), 0x000000u);
  EXPECT_EQ(b.GetPixel(1, 0), 0x808080u);
  EXPECT_EQ(b.GetPixel(2, 0), 0xFFFFFFu);
  // Raw 16-bit samples are big-endian: 0x0102 of 0x0204 is half.
  std::vector<uint8_t> raw = Bytes("P6 1 1 516\n");
  raw.insert(raw.end(), {0x01, 0x02, 0x02, 0x04, 0x00, 0x00});
  EXPECT_EQ(Decode<TPPMGraphic>(raw).GetPixel(0, 0), RGBColor(128, 255, 0));
}

TEST(PpmReader, ReportsDataThatEndsEarlyAsAReadError) {
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P6 2 2 255\n123456789")), "Read error!");
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P3 2 1 255\n1 2 3 4 5")), "Read error!");
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P5 2 2")), "Read error!");
  // Short by one byte past the first 4096-byte buffer.
  auto big = MakeTestPnm(6, 255, 0, 100, 20);
  big.pop_back();
  EXPECT_EQ(ErrorOf<TPPMGraphic>(big), "Read error!");
}

TEST(PpmReader, RefusesBrokenHeaders) {
  const std::string invalid = "Invalid PBM, PGM or PPM image format.";
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P7\nWIDTH 1\n")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("Q6 1 1 255\n000")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P6 1 1 0\n000")), invalid);        // maxval 0
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P6 1 1 65536\n000000")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P6 0 1 255\n")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P6 x 1 255\n")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P5 99999999999 99999999999 255\n0")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P5 30000 30000 255\n0")), invalid);
  EXPECT_EQ(ErrorOf<TPPMGraphic>(Bytes("P1 2 1 0 2")), invalid);
}

TEST(PpmReader, RefusesTheBrokenFilesOfTheCorpus) {
  const std::string invalid = "Invalid PBM, PGM or PPM image format.";
  VITRINE_REQUIRE_CORPUS(corpus);
  const std::string folder = corpus + "/gdk-pixbuf/tests/test-images/fail/";
  for (const char* name : {"invalid.1.ppm", "invalid.2.ppm", "invalid.3.ppm", "invalid.5.ppm", "invalid.6.ppm",
                           "invalid.7.ppm", "invalid.8.ppm"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(InCorpus(folder + name));
    std::string error = ErrorOf<TPPMGraphic>(ReadBytes(folder + name));
    EXPECT_TRUE(error == invalid || error == "Read error!") << error;
  }
}

}  // namespace
}  // namespace vitrine
