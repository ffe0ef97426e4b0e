// Photos written by Debian's encoders at test time, converted as vitrine pack converts them,
// against what the formats' reference decoders (dwebp, heif-convert, djxl) make of the same files.
#include <algorithm>
#include <fstream>

#include "photo/photo.h"
#include "photo/photo_convert.h"
#include "photo/photo_encode.h"
#include "photo_test_support.h"

namespace vitrine::photo {
namespace {

using testing::MaxChannelDifference;
using testing::Scratch;

// A 64 x 48 picture with a white mark in its top-left corner, so any turn or mirror shows.
void WriteSource(const Scratch& s) {
  s.Run("convert -size 64x48 gradient:'#c03010-#1040d0' -fill white -draw 'rectangle 0,0 11,5' PNG24:src.png");
}

Photo Decode(const Scratch& s, const std::string& name) {
  std::vector<uint8_t> data = s.Read(name);
  return DecodePhoto(data, PhotoFormatOfContent(data));
}

// Sets the length of every extent in a HEIF file's item-location box to zero, so each item is
// there but holds no bytes.
void EmptyEveryItem(std::vector<uint8_t>& file) {
  static const uint8_t kIloc[] = {'i', 'l', 'o', 'c'};
  auto box = std::search(file.begin(), file.end(), std::begin(kIloc), std::end(kIloc));
  ASSERT_NE(box, file.end());
  size_t at = size_t(box - file.begin()) + 4;
  auto read = [&](int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | file.at(at++);
    return value;
  };
  int version = int(read(1));
  ASSERT_LE(version, 1);
  read(3);
  int sizes = int(read(2));
  int offsetSize = sizes >> 12 & 15, lengthSize = sizes >> 8 & 15, baseSize = sizes >> 4 & 15;
  int indexSize = version == 1 ? (sizes & 15) : 0;
  uint64_t items = read(2);
  for (uint64_t item = 0; item < items; ++item) {
    read(version == 1 ? 4 : 2);  // id, then the construction method in version 1
    read(2 + baseSize);          // data reference, base offset
    uint64_t extents = read(2);
    for (uint64_t e = 0; e < extents; ++e) {
      read(indexSize + offsetSize);
      for (int i = 0; i < lengthSize; ++i) file.at(at++) = 0;
    }
  }
}

TEST(PhotoDecoders, MatchTheReferenceDecoders) {
  REQUIRE_PROGRAM("cwebp");
  REQUIRE_PROGRAM("heif-enc");
  REQUIRE_PROGRAM("cjxl");
  Scratch s;
  WriteSource(s);
  struct Case {
    const char* file;
    const char* encode;
    const char* reference;  // decodes `file` into ref.*
    const char* refName;
    PhotoFormat format;
    int tolerance;  // the reference decoder uses the same library, but may round its colour
                    // conversion differently
  } cases[] = {
      {"a.webp", "cwebp -quiet -q 90 src.png -o a.webp", "dwebp a.webp -ppm -o ref.ppm", "ref.ppm", PhotoFormat::WebP, 0},
      {"a.heic", "heif-enc -q 90 src.png -o a.heic", "heif-convert a.heic ref.png", "ref.png", PhotoFormat::Heic, 1},
      {"a.avif", "heif-enc -A -q 90 src.png -o a.avif", "heif-convert a.avif ref.png", "ref.png", PhotoFormat::Avif, 1},
      {"a.jxl", "cjxl src.png a.jxl -d 1", "djxl a.jxl ref.ppm", "ref.ppm", PhotoFormat::JpegXl, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    s.Run(c.encode);
    s.Run(std::string("rm -f ref.png ref.ppm && ") + c.reference);
    EXPECT_EQ(PhotoFormatOfContent(s.Read(c.file)), c.format);
    Photo photo = Decode(s, c.file);
    EXPECT_FALSE(photo.hasAlpha);
    EXPECT_LE(MaxChannelDifference(photo.pixels, s.Picture(c.refName)), c.tolerance);
  }
}

// Orientation N written into the EXIF chunk of a picture stored turned the other way: the
// conversion must give back the upright picture, pixel for pixel (lossless WebP).
TEST(PhotoDecoders, WebPTurnsUprightByItsExifOrientation) {
  REQUIRE_PROGRAM("cwebp");
  REQUIRE_PROGRAM("webpmux");
  Scratch s;
  WriteSource(s);
  // How to store a picture so that orientation N shows it upright (ImageMagick's operations).
  const char* stored[9] = {"", "", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate -90", "-transverse",
                           "-rotate 90"};
  Bitmap upright = s.Picture("src.png");
  for (int orientation = 2; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    // A little-endian TIFF header and one directory with the Orientation tag (274, SHORT).
    std::vector<uint8_t> exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
                                 uint8_t(orientation), 0, 0, 0, 0, 0, 0, 0};
    std::ofstream(s.Path("exif.bin"), std::ios::binary).write(reinterpret_cast<const char*>(exif.data()), std::streamsize(exif.size()));
    s.Run(std::string("convert src.png ") + stored[orientation] + " PNG24:stored.png && cwebp -quiet -lossless -exact stored.png -o plain.webp"
          " && webpmux -set exif exif.bin plain.webp -o turned.webp");
    Photo photo = Decode(s, "turned.webp");
    ASSERT_EQ(photo.pixels.Width(), 64);
    ASSERT_EQ(photo.pixels.Height(), 48);
    EXPECT_EQ(MaxChannelDifference(photo.pixels, upright), 0);
  }
}

TEST(PhotoConversion, PhotosBecomeJpegAndTransparentOnesPng) {
  REQUIRE_PROGRAM("cwebp");
  REQUIRE_PROGRAM("heif-enc");
  Scratch s;
  WriteSource(s);
  s.Run("heif-enc -q 90 src.png -o a.heic");
  s.Run("convert -size 40x30 xc:none -fill '#20a040' -draw 'rectangle 0,0 19,29' PNG32:half.png && "
        "cwebp -quiet -lossless -exact half.png -o half.webp");

  PreparedPicture heic = PreparePicture(s.Read("a.heic"), -1, 0, 0, {});
  EXPECT_EQ(heic.pictureType, 2);
  EXPECT_EQ(heic.convertedFrom, "HEIC 64x48");
  EXPECT_EQ(heic.data[0], 0xFF);
  EXPECT_EQ(heic.data[1], 0xD8);

  PreparedPicture half = PreparePicture(s.Read("half.webp"), -1, 0, 0, {});
  EXPECT_EQ(half.pictureType, 15);
  EXPECT_EQ(half.convertedFrom, "WebP 40x30");
  // The PNG keeps the alpha: read back with ImageMagick, the right half is transparent.
  std::ofstream(s.Path("out.png"), std::ios::binary).write(reinterpret_cast<const char*>(half.data.data()), std::streamsize(half.data.size()));
  s.Run("convert out.png -format '%[pixel:p{5,5}] %[fx:p{30,5}.a]' info:probe.txt");
  std::vector<uint8_t> probe = s.Read("probe.txt");
  EXPECT_EQ(std::string(probe.begin(), probe.end()), "srgba(32,160,64,1) 0");
}

TEST(PhotoConversion, PicturesAboveTheLimitAreShrunk) {
  Scratch s;
  s.Run("convert -size 300x200 xc:'#4080c0' PNG24:big.png && convert -size 300x200 xc:'#4080c0' -quality 95 big.jpg");
  PrepareOptions limit;
  limit.maxWidth = 100;
  limit.maxHeight = 100;
  PreparedPicture png = PreparePicture(s.Read("big.png"), 15, 300, 200, limit);
  EXPECT_EQ(png.pictureType, 15);
  EXPECT_EQ(png.convertedFrom, "PNG 300x200");
  std::ofstream(s.Path("small.png"), std::ios::binary).write(reinterpret_cast<const char*>(png.data.data()), std::streamsize(png.data.size()));
  Bitmap small = s.Picture("small.png");
  EXPECT_EQ(small.Width(), 100);
  EXPECT_EQ(small.Height(), 67);
  EXPECT_EQ(small.GetPixel(50, 33), RGBColor(0x40, 0x80, 0xC0));

  PreparedPicture jpeg = PreparePicture(s.Read("big.jpg"), 2, 300, 200, limit);
  EXPECT_EQ(jpeg.pictureType, 2);
  EXPECT_EQ(jpeg.width, 100);
  EXPECT_EQ(jpeg.height, 67);
  // Within the limit, a picture is stored as it came.
  PreparedPicture kept = PreparePicture(s.Read("big.jpg"), 2, 300, 200, {});
  EXPECT_TRUE(kept.convertedFrom.empty());
  EXPECT_EQ(kept.data, s.Read("big.jpg"));
}

// Cut short or overwritten, every format fails with a reason, never a crash.
TEST(PhotoConversion, DamagedPhotosFailWithAReason) {
  REQUIRE_PROGRAM("cwebp");
  REQUIRE_PROGRAM("heif-enc");
  REQUIRE_PROGRAM("cjxl");
  Scratch s;
  WriteSource(s);
  s.Run("cwebp -quiet src.png -o a.webp && heif-enc src.png -o a.heic && heif-enc -A src.png -o a.avif && cjxl src.png a.jxl");
  for (const char* name : {"a.webp", "a.heic", "a.avif", "a.jxl"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> whole = s.Read(name);
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() * 2 / 3));
    EXPECT_THROW(PreparePicture(cut, -1, 0, 0, {}), PhotoError);
    std::vector<uint8_t> header(whole.begin(), whole.begin() + 40);
    header.resize(4000, 0xA5);
    EXPECT_THROW(PreparePicture(header, -1, 0, 0, {}), PhotoError);
  }
  // A picture item that is listed but holds no bytes is refused, not decoded from nothing.
  for (const char* name : {"a.heic", "a.avif"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> empty = s.Read(name);
    EmptyEveryItem(empty);
    EXPECT_THROW(PreparePicture(empty, -1, 0, 0, {}), PhotoError);
  }
}

}  // namespace
}  // namespace vitrine::photo
