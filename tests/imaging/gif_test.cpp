#include <gtest/gtest.h>

#include "encoders/gif_encoder.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kGIF = 11;
const std::vector<uint8_t> kFourColours = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

GifPicture TwoByTwo() {
  GifPicture p;
  p.width = 2;
  p.height = 2;
  p.globalTable = kFourColours;
  p.indices = {0, 1, 2, 3};
  return p;
}

TEST(GIFReader, GlobalTableGivesTheColours) {
  const Bitmap image = Decode(kGIF, EncodeGif(TwoByTwo()));
  EXPECT_EQ(Pixel(image, 0, 0), 0x000000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 0, 1), 0x00FF00u);
  EXPECT_EQ(Pixel(image, 1, 1), 0x0000FFu);
}

TEST(GIFReader, LocalTableReplacesTheGlobalOne) {
  GifPicture p = TwoByTwo();
  p.localTable = {9, 9, 9, 8, 8, 8, 7, 7, 7, 6, 6, 6};
  const Bitmap image = Decode(kGIF, EncodeGif(p));
  EXPECT_EQ(Pixel(image, 0, 0), 0x090909u);
  EXPECT_EQ(Pixel(image, 1, 1), 0x060606u);
}

TEST(GIFReader, WithoutAnyTableIndicesShowAsGreySteps) {
  GifPicture p = TwoByTwo();
  p.globalTable.clear();
  const Bitmap image = Decode(kGIF, EncodeGif(p));
  EXPECT_EQ(Pixel(image, 1, 0), 0x555555u);  // index 1 of 4 steps
  EXPECT_EQ(Pixel(image, 1, 1), 0xFFFFFFu);
}

TEST(GIFReader, InterlacedRowsArePlacedInFourPasses) {
  GifPicture p;
  p.width = 1;
  p.height = 10;
  p.globalTable = std::vector<uint8_t>(16 * 3);
  for (int i = 0; i < 16; ++i) p.globalTable[size_t(i) * 3] = uint8_t(i);  // red = index
  p.minimumCodeSize = 4;
  p.interlaced = true;
  // Stored order 0, 8 | 4 | 2, 6 | 1, 3, 5, 7, 9; each row's index is its row number.
  p.indices = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  const Bitmap image = Decode(kGIF, EncodeGif(p));
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Pixel(image, 0, y), uint32_t(y) << 16) << y;
}

TEST(GIFReader, ExtensionsAreWalkedByTheirBlockLengths) {
  // A graphic control block whose delay and transparent index are 0 and ',' and a comment
  // holding ',' and ';' and zero bytes: none of them may be taken for a block start.
  GifPicture p = TwoByTwo();
  p.beforeImage = {'!', 0xF9, 4, 0x01, 0x00, 0x00, ',', 0,
                   '!', 0xFE, 6, ',', ';', 0, 0, ',', '!', 3, 'a', 'b', 'c', 0};
  const Bitmap image = Decode(kGIF, EncodeGif(p));
  ASSERT_EQ(image.Width(), 2);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF0000u);
}

TEST(GIFReader, OnlyTheFirstImageIsRead) {
  auto first = EncodeGif(TwoByTwo());
  GifPicture second = TwoByTwo();
  second.width = 5;
  auto more = EncodeGif(second);
  first.pop_back();  // trailer
  first.insert(first.end(), more.begin() + 13 + 12, more.end());  // second image descriptor onwards
  const Bitmap image = Decode(kGIF, first);
  EXPECT_EQ(image.Width(), 2);
}

TEST(GIFReader, TrailerBeforeAnyImageLeavesAnEmptyBitmap) {
  std::vector<uint8_t> file = {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
  EXPECT_TRUE(Decode(kGIF, file).Empty());
}

TEST(GIFReader, ZeroImageSizeTakesTheScreenSize) {
  auto file = EncodeGif(TwoByTwo());
  // Image descriptor width/height at 13 + 12 + 5.
  file[13 + 12 + 5] = 0;
  file[13 + 12 + 7] = 0;
  const Bitmap image = Decode(kGIF, file);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.Height(), 2);
}

TEST(GIFReader, RefusesBrokenFilesWithTheirMessages) {
  EXPECT_EQ(DecodeError(kGIF, {'P', 'N', 'G', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}), "Invalid GIF image format.");
  EXPECT_EQ(DecodeError(kGIF, {'g', 'i', 'f', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'}), "");  // case-blind
  auto truncated = EncodeGif(TwoByTwo());
  truncated.resize(13 + 12 + 4);
  EXPECT_EQ(DecodeError(kGIF, truncated), "Invalid GIF image format.");

  // Code 7 with 3-bit codes right after a clear: past the table.
  GifPicture p = TwoByTwo();
  auto file = EncodeGif(p);
  const size_t data = 13 + 12 + 10;  // minimum code size byte
  file[data + 2] = 0x3C;             // codes: clear (4), then 7
  EXPECT_EQ(DecodeError(kGIF, file), "GIF LZW: invalid opcode.");

  auto huge = EncodeGif(TwoByTwo());
  huge[13 + 12 + 5] = 0xFF;
  huge[13 + 12 + 6] = 0xFF;
  huge[13 + 12 + 7] = 0xFF;
  huge[13 + 12 + 8] = 0xFF;
  EXPECT_EQ(DecodeError(kGIF, huge), "Invalid GIF image format.");
}

// Real pictures (giflib's and gdk-pixbuf's suites) against giftopnm; files it refuses are
// left out.
TEST(GIFReader, CorpusMatchesTheReferenceDecoder) {
  VITRINE_REQUIRE_TOOL("giftopnm");
  VITRINE_REQUIRE_CORPUS(corpus);
  ScratchDir scratch;
  int compared = 0;
  for (const char* package : {"giflib", "gdk-pixbuf"}) {
    ASSERT_TRUE(InCorpus(corpus + "/" + package));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus + "/" + package)) {
      if (entry.path().extension() != ".gif") continue;
      const auto out = scratch / "ref.pnm";
      const auto expected = ReferenceFrom("giftopnm " + Quote(entry.path()) + " > " + Quote(out), out);
      if (!expected) continue;
      SCOPED_TRACE(entry.path().string());
      Bitmap image;
      try {
        image = Decode(kGIF, ReadBytes(entry.path()));
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        continue;
      }
      EXPECT_TRUE(SamePixels(image, *expected));
      ++compared;
    }
  }
  EXPECT_GE(compared, 30);
}

// Every code size from 1-bit to 8-bit pictures, interlaced or not, from three writers.
TEST(GIFReader, EveryVariantTheToolsWriteMatchesTheReference) {
  VITRINE_REQUIRE_TOOL("convert");
  VITRINE_REQUIRE_TOOL("giftopnm");
  ScratchDir scratch;
  WriteBytes(scratch / "in.ppm", TestPpm());
  const std::string in = Quote(scratch / "in.ppm");
  std::vector<std::string> writers;
  for (int colours : {2, 4, 8, 16, 32, 64, 128, 256}) {
    const std::string c = std::to_string(colours);
    writers.push_back("convert " + in + " -colors " + c + " GIF:OUT");
    writers.push_back("convert " + in + " -colors " + c + " -interlace GIF GIF:OUT");
    writers.push_back("convert " + in + " -colors " + c + " ppm:- | pamtogif > OUT");
  }
  writers.push_back("convert " + in + " -monochrome GIF:OUT");
  writers.push_back("convert " + in + " -colors 200 ppm:- | pamtogif -interlace > OUT");
  writers.push_back("gm convert " + in + " GIF:OUT");
  int compared = 0;
  for (const std::string& writer : writers) {
    SCOPED_TRACE(writer);
    std::string command = writer;
    const auto file = scratch / "out.gif";
    command.replace(command.find("OUT"), 3, Quote(file));
    std::filesystem::remove(file);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    const auto ref = scratch / "ref.pnm";
    const auto expected = ReferenceFrom("giftopnm " + Quote(file) + " > " + Quote(ref), ref);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(SamePixels(Decode(kGIF, ReadBytes(file)), *expected));
    ++compared;
  }
  EXPECT_EQ(compared, 27);
}

}  // namespace
}  // namespace vitrine
