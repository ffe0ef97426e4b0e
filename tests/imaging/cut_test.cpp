#include <gtest/gtest.h>

#include <map>

#include "core/file_system.h"
#include "encoders/cut_encoder.h"
#include "reader_test_support.h"
#include "imaging/cut_reader.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr int kCUT = 10;

// Files kept in memory, as the package or a test folder would hold them.
class MemoryFiles final : public FileSystem {
 public:
  std::map<std::string, std::vector<uint8_t>> files;

  std::unique_ptr<ReadOnlyFile> OpenRead(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    struct File final : ReadOnlyFile {
      std::vector<uint8_t> bytes;
      int64_t at = 0;
      int64_t Size() override { return int64_t(bytes.size()); }
      bool Seek(int64_t offset) override { at = offset; return true; }
      int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = std::min<int64_t>(count, int64_t(bytes.size()) - at);
        if (n <= 0) return 0;
        std::memcpy(buffer, bytes.data() + at, size_t(n));
        at += n;
        return n;
      }
    };
    auto file = std::make_unique<File>();
    file->bytes = it->second;
    return file;
  }
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool Delete(const std::string& path) override { return files.erase(path) != 0; }
  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override {
    files[path].assign(bytes.begin(), bytes.end());
    return true;
  }
  std::string TempDir() override { return "/tmp/"; }
  char Separator() const override { return '/'; }
};

// 5x2: a run of three, literals and a run across a row.
const std::vector<uint8_t> kIndices = {7, 7, 7, 1, 2, 200, 200, 200, 200, 255};

TEST(CUTReader, PictureFromTheStreamShowsInGreyLevels) {
  const Bitmap image = Decode(kCUT, EncodeCut(5, 2, kIndices));
  ASSERT_EQ(image.Width(), 5);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(Pixel(image, 0, 0), 0x070707u);
  EXPECT_EQ(Pixel(image, 4, 0), 0x020202u);
  EXPECT_EQ(Pixel(image, 0, 1), 0xC8C8C8u);
  EXPECT_EQ(Pixel(image, 4, 1), 0xFFFFFFu);
}

TEST(CUTReader, LoadFromFileTakesThePaletteBesideIt) {
  std::vector<uint32_t> palette(256, 0);
  palette[7] = 0x123456;
  palette[200] = 0xABCDEF;
  palette[255] = 0x00FF00;
  MemoryFiles files;
  files.files["/pics/Logo.cut"] = EncodeCut(5, 2, kIndices);
  files.files["/pics/Logo.pal"] = EncodeHaloPalette(palette);
  TCUTGraphic reader;
  reader.LoadFromFile("/pics/Logo.cut", files);
  EXPECT_EQ(Pixel(reader.Image(), 0, 0), 0x123456u);
  EXPECT_EQ(Pixel(reader.Image(), 0, 1), 0xABCDEFu);
  EXPECT_EQ(Pixel(reader.Image(), 4, 1), 0x00FF00u);  // entry 255 lies in the palette's second block

  // A later stream load of the same reader has no palette file.
  MemoryStream stream(EncodeCut(5, 2, kIndices));
  reader.LoadFromStream(stream);
  EXPECT_EQ(Pixel(reader.Image(), 0, 0), 0x070707u);
}

TEST(CUTReader, PaletteChannelsAreScaledByTheirMaximum) {
  MemoryFiles files;
  files.files["a.cut"] = EncodeCut(1, 1, {1});
  files.files["a.pal"] = EncodeHaloPalette({0, 0xFF8000}, 63);  // 6-bit channels
  TCUTGraphic reader;
  reader.LoadFromFile("a.cut", files);
  EXPECT_EQ(Pixel(reader.Image(), 0, 0), 0xFF7D00u);  // 128 * 63 / 255 = 31, then 31 * 255 / 63 = 125.5
}

TEST(CUTReader, WithoutAPaletteFileGreyIsUsed) {
  MemoryFiles files;
  files.files["b.cut"] = EncodeCut(1, 1, {9});
  files.files["b.pal"] = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'l'};
  TCUTGraphic reader;
  reader.LoadFromFile("b.cut", files);
  EXPECT_EQ(Pixel(reader.Image(), 0, 0), 0x090909u);
}

TEST(CUTReader, RefusesBrokenFiles) {
  EXPECT_EQ(DecodeError(kCUT, {5, 0}), "Invalid CUT image format.");
  EXPECT_EQ(DecodeError(kCUT, {0, 0, 1, 0, 0, 0}), "Invalid CUT image format.");
  EXPECT_EQ(DecodeError(kCUT, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 2, 0}), "Invalid CUT image format.");  // rows missing
  auto file = EncodeCut(5, 2, kIndices);
  file.resize(file.size() - 3);  // the last row cut short keeps what it has
  EXPECT_EQ(Pixel(Decode(kCUT, file), 0, 1), 0xC8C8C8u);
}

// 65535 x 4000 is 262 megapixels, above the picture-size cap: a 9 KB file claiming it is
// refused before a gigabyte is allocated for it.
TEST(CUTReader, RefusesGiantPicturesBeforeAllocating) {
  std::vector<uint8_t> file = {0xFF, 0xFF, 0xA0, 0x0F, 0, 0};
  file.resize(file.size() + 4000 * 2, 0);  // every row an empty packet list
  EXPECT_EQ(DecodeError(kCUT, file), "Invalid CUT image format.");
}

// ImageMagick and GraphicsMagick read CUT with its palette: our encoder's file must show
// the same pixels in both and in this reader.
TEST(CUTReader, MatchesImageMagickAndGraphicsMagick) {
  VITRINE_REQUIRE_TOOL("convert");
  VITRINE_REQUIRE_TOOL("gm");
  ScratchDir scratch;
  std::vector<uint8_t> indices(37 * 23);
  std::vector<uint32_t> palette(256);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = uint8_t((i / 5) * 3 % 256);
  for (uint32_t i = 0; i < 256; ++i) palette[i] = (i * 7 % 256) << 16 | (255 - i) << 8 | (i * 13 % 256);
  WriteBytes(scratch / "pic.cut", EncodeCut(37, 23, indices));
  WriteBytes(scratch / "pic.pal", EncodeHaloPalette(palette));
  TCUTGraphic reader;
  reader.LoadFromFile(scratch / "pic.cut");
  for (const std::string tool : {"convert", "gm convert"}) {
    SCOPED_TRACE(tool);
    const auto ref = scratch / "ref.ppm";
    const auto expected = ReferenceFrom(tool + " " + Quote(scratch / "pic.cut") + " -depth 8 PPM:" + Quote(ref), ref);
    ASSERT_TRUE(expected) << "the reference tool failed";
    EXPECT_TRUE(SamePixels(reader.Image(), *expected));
  }
}

}  // namespace
}  // namespace vitrine
