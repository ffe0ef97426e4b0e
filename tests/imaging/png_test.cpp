#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "reader_test_support.h"
#include "imaging/png_reader.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kPNG = 15;

// Hand-built files: chunks with their CRC, image data deflated in one IDAT.
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}
void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data, bool breakCrc = false) {
  PutU32(out, uint32_t(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutU32(out, uint32_t(crc32(0, typed.data(), uInt(typed.size()))) ^ (breakCrc ? 1u : 0u));
}
std::vector<uint8_t> Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t compression = 0, uint8_t interlace = 0) {
  std::vector<uint8_t> d;
  PutU32(d, w);
  PutU32(d, h);
  d.insert(d.end(), {depth, type, compression, 0, interlace});
  return d;
}
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> out(size);
  compress(out.data(), &size, raw.data(), uLong(raw.size()));
  out.resize(size);
  return out;
}
const std::vector<uint8_t> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// A 2x2 palette picture: red, green / blue, white; rows with filter 0.
std::vector<uint8_t> PalettePng(std::vector<uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255},
                                const char* extraType = nullptr, std::vector<uint8_t> extra = {}) {
  std::vector<uint8_t> file = kSignature;
  PutChunk(file, "IHDR", Ihdr(2, 2, 8, 3));
  PutChunk(file, "PLTE", palette);
  if (extraType) PutChunk(file, extraType, extra);
  PutChunk(file, "IDAT", Deflate({0, 0, 1, 0, 2, 3}));
  PutChunk(file, "IEND", {});
  return file;
}

TEST(PNGReader, HandBuiltPaletteFileDecodesWithEveryEntry) {
  const Bitmap image = Decode(kPNG, PalettePng());
  ASSERT_EQ(image.Width(), 2);
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(image, 0, 1), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 1, 1), 0xFFFFFFu);
}

TEST(PNGReader, PaletteWithTransparencyLoadsAndKeepsTheChunk) {
  TPNGGraphic reader;
  MemoryStream stream(PalettePng({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, "tRNS", {0, 128}));
  reader.LoadFromStream(stream);
  EXPECT_EQ(Pixel(reader.Image(), 0, 0), 0xFF0000u);  // colour as stored, the bitmap has no alpha
  EXPECT_EQ(reader.Transparency, (std::vector<uint8_t>{0, 128}));
}

TEST(PNGReader, FilteredRowsAndSixteenBitSamples) {
  // 2x2 RGB 16-bit; row 0 with Sub, row 1 with Paeth.
  std::vector<uint8_t> raw = {1, 0x12, 0x34, 0x80, 0x00, 0xFF, 0xFF, 0x00, 0x10, 0x00, 0x00, 0x00, 0x01,
                              4, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  std::vector<uint8_t> file = kSignature;
  PutChunk(file, "IHDR", Ihdr(2, 2, 16, 2));
  PutChunk(file, "IDAT", Deflate(raw));
  PutChunk(file, "IEND", {});
  const Bitmap image = Decode(kPNG, file);
  EXPECT_EQ(Pixel(image, 0, 0), 0x1280FFu);
  EXPECT_EQ(Pixel(image, 1, 0), 0x1280FEu);  // (0x1244, 0x8000, 0xFF00): bytes add without carry
  EXPECT_EQ(Pixel(image, 0, 1), 0x1280FFu);  // Paeth of zeros: the byte above
  EXPECT_EQ(Pixel(image, 1, 1), 0x1280FEu);
}

TEST(PNGReader, GammaOfTheFileIsCorrectedForTheDisplay) {
  std::vector<uint8_t> file = kSignature;
  PutChunk(file, "IHDR", Ihdr(2, 1, 8, 0));
  std::vector<uint8_t> gamma;
  PutU32(gamma, 100000);  // linear samples
  PutChunk(file, "gAMA", gamma);
  PutChunk(file, "IDAT", Deflate({0, 64, 255}));
  PutChunk(file, "IEND", {});
  const Bitmap image = Decode(kPNG, file);
  EXPECT_EQ(Pixel(image, 0, 0), 0x888888u);  // 255 * (64/255)^(1/2.2) = 136.03
  EXPECT_EQ(Pixel(image, 1, 0), 0xFFFFFFu);
}

TEST(PNGReader, RefusesBrokenFilesWithTheirMessages) {
  EXPECT_EQ(DecodeError(kPNG, {1, 2, 3}), "Invalid PNG image format.");
  auto bad = PalettePng();
  bad[0] = 0x88;
  EXPECT_EQ(DecodeError(kPNG, bad), "Invalid PNG image format.");

  auto withCompression = [](uint8_t compression, uint32_t width, uint8_t depth) {
    std::vector<uint8_t> file = kSignature;
    PutChunk(file, "IHDR", Ihdr(width, 1, depth, 0, compression));
    PutChunk(file, "IDAT", Deflate({0, 0}));
    PutChunk(file, "IEND", {});
    return file;
  };
  EXPECT_EQ(DecodeError(kPNG, withCompression(1, 1, 8)), "Unsupport image format!");
  EXPECT_EQ(DecodeError(kPNG, withCompression(0, 0, 8)), "Invalid PNG image format.");
  EXPECT_EQ(DecodeError(kPNG, withCompression(0, 1, 3)), "Invalid color format.");

  EXPECT_EQ(DecodeError(kPNG, PalettePng({1, 2, 3, 4, 5})), "Load image error!");  // PLTE not a multiple of 3
  EXPECT_EQ(DecodeError(kPNG, PalettePng({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, "ZZZZ", {1})),
            "Load image error!");  // unknown critical chunk
  EXPECT_EQ(DecodeError(kPNG, PalettePng({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, "zzZz", {1})), "");

  std::vector<uint8_t> crc = kSignature;
  PutChunk(crc, "IHDR", Ihdr(2, 2, 8, 3));
  PutChunk(crc, "PLTE", {0, 0, 0}, /*breakCrc=*/true);
  EXPECT_EQ(DecodeError(kPNG, crc), "Load image error!");

  std::vector<uint8_t> zlibError = kSignature;
  PutChunk(zlibError, "IHDR", Ihdr(2, 2, 8, 0));
  PutChunk(zlibError, "IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF});
  PutChunk(zlibError, "IEND", {});
  EXPECT_EQ(DecodeError(kPNG, zlibError), "Load image error!");

  std::vector<uint8_t> shortData = kSignature;  // two rows announced, one delivered
  PutChunk(shortData, "IHDR", Ihdr(2, 2, 8, 0));
  PutChunk(shortData, "IDAT", Deflate({0, 1, 2}));
  PutChunk(shortData, "IEND", {});
  EXPECT_EQ(DecodeError(kPNG, shortData), "Load image error!");

  const auto good = PalettePng();
  for (size_t cut : {size_t(20), size_t(40), good.size() - 20})
    EXPECT_EQ(DecodeError(kPNG, std::vector<uint8_t>(good.begin(), good.begin() + cut)), "Load image error!") << cut;
}

TEST(PNGReader, ExtraImageDataIsIgnoredNotInflatedWithoutBound) {
  std::vector<uint8_t> raw(1 + 1, 0);
  raw.resize(1 << 20, 7);  // a megabyte where two bytes are expected
  std::vector<uint8_t> file = kSignature;
  PutChunk(file, "IHDR", Ihdr(1, 1, 8, 0));
  PutChunk(file, "IDAT", Deflate(raw));
  PutChunk(file, "IEND", {});
  EXPECT_EQ(Pixel(Decode(kPNG, file), 0, 0), 0u);
}

// The file's gAMA value / 100000, or 0.
double FileGamma(const std::vector<uint8_t>& file) {
  const char tag[] = "gAMA";
  auto at = std::search(file.begin(), file.end(), tag, tag + 4);
  if (file.end() - at < 8) return 0;
  return (uint32_t(at[4]) << 24 | uint32_t(at[5]) << 16 | uint32_t(at[6]) << 8 | at[7]) / 100000.0;
}

// pngtopnm leaves gamma alone (its own correction requantizes low-depth grey and skips
// palettes), so the display correction is applied to its output here by the textbook rule.
void CorrectGamma(RefImage& image, double fileGamma) {
  const double exponent = 1.0 / (fileGamma * 2.2);
  for (uint32_t& p : image.pixels) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
      out |= uint32_t(std::lround(255.0 * std::pow(((p >> shift) & 0xFF) / 255.0, exponent))) << shift;
    p = out;
  }
}

// Every PngSuite picture against pngtopnm.
TEST(PNGReader, PngSuiteMatchesTheReferenceDecoder) {
  VITRINE_REQUIRE_TOOL("pngtopnm");
  VITRINE_REQUIRE_CORPUS(corpus);
  ASSERT_TRUE(InCorpus(corpus + "/libpng1.6"));
  ScratchDir scratch;
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus + "/libpng1.6")) {
    if (entry.path().extension() != ".png") continue;
    const auto bytes = ReadBytes(entry.path());
    const auto out = scratch / "ref.pnm";
    auto expected = ReferenceFrom("pngtopnm " + Quote(entry.path()) + " > " + Quote(out), out);
    if (!expected) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const double gamma = FileGamma(bytes);
    if (gamma > 0) CorrectGamma(*expected, gamma);
    EXPECT_TRUE(SamePixels(Decode(kPNG, bytes), *expected, gamma > 0 ? 1 : 0));
    ++compared;
  }
  EXPECT_GE(compared, 50);
}


TEST(PNGReader, EveryVariantTheToolsWriteMatchesTheReference) {
  VITRINE_REQUIRE_TOOL("convert");
  VITRINE_REQUIRE_TOOL("pngtopnm");
  ScratchDir scratch;
  WriteBytes(scratch / "in.ppm", TestPpm());
  const std::string in = Quote(scratch / "in.ppm");
  const std::vector<std::string> writers = {
      "convert " + in + " PNG24:OUT",
      "convert " + in + " -interlace PNG PNG24:OUT",
      "convert " + in + " -depth 16 PNG48:OUT",
      "convert " + in + " -colors 200 PNG8:OUT",
      "convert " + in + " -alpha set -channel A -fx 'i/w' PNG32:OUT",
      "convert " + in + " -colorspace Gray -depth 8 PNG:OUT",
      "convert " + in + " -colorspace Gray -depth 16 PNG:OUT",
      "convert " + in + " -colorspace Gray -depth 4 PNG:OUT",
      "convert " + in + " -colorspace Gray -depth 2 PNG:OUT",
      "convert " + in + " -monochrome PNG:OUT",
      "convert " + in + " -colors 14 -interlace PNG PNG8:OUT",
      "gm convert " + in + " PNG:OUT",
      "pnmtopng " + in + " > OUT",
      "pnmtopng -interlace -compression 9 " + in + " > OUT",
      "pnmtopng -transparent '#000000' " + in + " > OUT",
      "ppmtopgm " + in + " | pnmtopng -interlace > OUT",
  };
  int compared = 0;
  for (const std::string& writer : writers) {
    SCOPED_TRACE(writer);
    std::string command = writer;
    const auto file = scratch / "out.png";
    command.replace(command.find("OUT"), 3, Quote(file).c_str());
    std::filesystem::remove(file);
    ASSERT_TRUE(RunTool(command)) << "the writer failed";
    const auto ref = scratch / "ref.pnm";
    const auto expected = ReferenceFrom("pngtopnm " + Quote(file) + " > " + Quote(ref), ref);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(SamePixels(Decode(kPNG, ReadBytes(file)), *expected));
    ++compared;
  }
  EXPECT_EQ(compared, 16);
}

TEST(PNGReader, CheckedInFixtureDecodes) {
  // 5x3 interlaced grey+alpha picture written by netpbm's pamtopng.
  const auto bytes = ReadBytes(DataDir() / "grey_alpha_interlaced.png");
  ASSERT_FALSE(bytes.empty());
  const Bitmap image = Decode(kPNG, bytes);
  ASSERT_EQ(image.Width(), 5);
  ASSERT_EQ(image.Height(), 3);
  EXPECT_EQ(Pixel(image, 0, 0), 0x000000u);
  EXPECT_EQ(Pixel(image, 4, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(image, 2, 1), 0x808080u);
}

}  // namespace
}  // namespace vitrine
