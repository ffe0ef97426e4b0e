#include "imaging/jpeg_reader.h"

#include <gtest/gtest.h>

#include <string_view>

#include "core/errors.h"
#include "reader_test_support.h"

namespace vitrine {
namespace {

using namespace vitrine::testing;

constexpr Color kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 255, 0), kBlue = RGBColor(0, 0, 255),
                kWhite = RGBColor(255, 255, 255);

// An APP1 Exif segment holding IFD0 with one orientation entry, inserted after SOI.
std::vector<uint8_t> WithOrientation(const std::vector<uint8_t>& jpeg, int orientation, bool bigEndian) {
  auto u16 = [&](std::vector<uint8_t>& v, int x) {
    if (bigEndian) v.insert(v.end(), {uint8_t(x >> 8), uint8_t(x)});
    else v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
  };
  auto u32 = [&](std::vector<uint8_t>& v, uint32_t x) {
    if (bigEndian) v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
    else v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)});
  };
  std::vector<uint8_t> tiff = {uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')};
  u16(tiff, 42);
  u32(tiff, 8);
  u16(tiff, 2);  // two entries: a resolution unit before the orientation
  u16(tiff, 0x0128), u16(tiff, 3), u32(tiff, 1), u16(tiff, 2), u16(tiff, 0);
  u16(tiff, 0x0112), u16(tiff, 3), u32(tiff, 1), u16(tiff, orientation), u16(tiff, 0);
  u32(tiff, 0);
  std::vector<uint8_t> payload = {'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  size_t len = payload.size() + 2;
  std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(len >> 8), uint8_t(len)};
  out.insert(out.end(), payload.begin(), payload.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// The colour at the middle of each 16x16 quadrant of a 32x32 picture, top-left, top-right,
// bottom-left, bottom-right; a JPEG is close to, not exactly, its source.
void ExpectQuadrants(const Bitmap& b, Color tl, Color tr, Color bl, Color br) {
  ASSERT_EQ(b.Width(), 32);
  ASSERT_EQ(b.Height(), 32);
  Bitmap expected(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) expected.SetPixel(x, y, y < 16 ? (x < 16 ? tl : tr) : (x < 16 ? bl : br));
  Bitmap centres(2, 2), wanted(2, 2);
  for (int qy = 0; qy < 2; ++qy)
    for (int qx = 0; qx < 2; ++qx) {
      centres.SetPixel(qx, qy, b.GetPixel(qx * 16 + 8, qy * 16 + 8));
      wanted.SetPixel(qx, qy, expected.GetPixel(qx * 16 + 8, qy * 16 + 8));
    }
  EXPECT_TRUE(SamePixels(centres, wanted, 4));
}

std::vector<uint8_t> Quadrants() { return ReadBytes(PictureFixture("quadrants.jpg")); }

TEST(JpegOrientation, UprightFileDecodesAsStored) {
  ExpectQuadrants(DecodeJpeg(Quadrants()), kRed, kGreen, kBlue, kWhite);
}

TEST(JpegOrientation, Six_RotatesClockwise) {
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 6, false)), kBlue, kRed, kWhite, kGreen);
}

TEST(JpegOrientation, Eight_RotatesAnticlockwise) {
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 8, true)), kGreen, kWhite, kRed, kBlue);
}

TEST(JpegOrientation, MirrorsAndTransposes) {
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 2, false)), kGreen, kRed, kWhite, kBlue);
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 3, false)), kWhite, kBlue, kGreen, kRed);
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 4, false)), kBlue, kWhite, kRed, kGreen);
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 5, false)), kRed, kBlue, kGreen, kWhite);
  ExpectQuadrants(DecodeJpeg(WithOrientation(Quadrants(), 7, false)), kWhite, kGreen, kBlue, kRed);
}

TEST(JpegOrientation, NonSquarePictureSwapsItsSides) {
  Bitmap stored(3, 2);
  stored.SetPixel(0, 0, kRed);
  stored.SetPixel(2, 1, kBlue);
  Bitmap turned = ApplyOrientation(stored, 6);
  ASSERT_EQ(turned.Width(), 2);
  ASSERT_EQ(turned.Height(), 3);
  EXPECT_EQ(turned.GetPixel(1, 0), kRed);   // top-left went to top-right
  EXPECT_EQ(turned.GetPixel(0, 2), kBlue);  // bottom-right went to bottom-left
}

TEST(JpegExif, ReadsEitherByteOrderAndIgnoresMalformedData) {
  auto app1 = [](const std::vector<uint8_t>& file) {
    size_t len = size_t(file[4]) << 8 | file[5];
    return std::vector<uint8_t>(file.begin() + 6, file.begin() + 4 + long(len));
  };
  EXPECT_EQ(ExifOrientation(app1(WithOrientation(Quadrants(), 6, false))), 6);
  EXPECT_EQ(ExifOrientation(app1(WithOrientation(Quadrants(), 8, true))), 8);
  EXPECT_EQ(ExifOrientation(app1(WithOrientation(Quadrants(), 9, true))), 1);  // out of range
  auto bad = app1(WithOrientation(Quadrants(), 6, false));
  bad[10] = 0xF0;  // IFD0 offset far past the end
  EXPECT_EQ(ExifOrientation(bad), 1);
  auto cut = app1(WithOrientation(Quadrants(), 6, false));
  cut.resize(20);  // the entries are missing
  EXPECT_EQ(ExifOrientation(cut), 1);
  EXPECT_EQ(ExifOrientation({}), 1);
}

TEST(JpegScale, SmallestScaleThatStillCoversTheBox) {
  // 6000x4000 into 1024x768: 2/8 gives 1500x1000; 1/8 (750 wide) would be too small.
  EXPECT_EQ(ChooseJpegScale({6000, 4000, 1}, 1024, 768), 2);
  // Stored sideways (orientation 6): upright it is 4000x6000; 2/8 is 1000 wide, too narrow.
  EXPECT_EQ(ChooseJpegScale({6000, 4000, 6}, 1024, 768), 3);
  EXPECT_EQ(ChooseJpegScale({640, 480, 1}, 1024, 768), 8);   // never below full size when small
  EXPECT_EQ(ChooseJpegScale({1601, 1200, 1}, 800, 600), 4);  // 801x600 covers 800x600
  EXPECT_EQ(ChooseJpegScale({1601, 1200, 1}, 0, 600), 8);    // nonsense box: full size
}

TEST(JpegErrors, NotAJpegAndDamagedFilesThrowClearTexts) {
  std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  try {
    DecodeJpeg(text);
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string_view(e.what()), "Invalid JPEG image format. Not a JPEG file: starts with 0x68 0x65");
  }
  EXPECT_THROW(DecodeJpeg({}), EInvalidGraphic);
  // Every prefix of a real file: an error or a (partly grey) picture, never a crash.
  auto whole = Quadrants();
  for (size_t n = 0; n < whole.size(); n += 7) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + long(n));
    try {
      Bitmap b = DecodeJpeg(part);
      EXPECT_EQ(b.Width(), 32);
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST(JpegErrors, AbsurdFrameSizeIsRefusedBeforeDecoding) {
  auto bytes = Quadrants();
  // Patch the SOF0 frame size to 60000 x 60000.
  for (size_t i = 0; i + 8 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = bytes[i + 7] = 0xEA;
      bytes[i + 6] = bytes[i + 8] = 0x60;
      break;
    }
  EXPECT_THROW(DecodeJpeg(bytes), EInvalidGraphic);
  EXPECT_EQ(ReadJpegHeader(bytes).width, 60000);
}

// ---- Files written by cjpeg / ImageMagick, compared with djpeg's and ImageMagick's output ----

// name.jpg against djpeg's decode name<suffix>.ppm, both made by make-references.sh.
::testing::AssertionResult MatchesReference(const std::string& name, int scaleNum = 8, int tolerance = 0,
                                            const std::string& suffix = "") {
  const auto picture = MadeByOtherPrograms("jpeg/" + name + ".jpg");
  const auto reference = MadeByOtherPrograms("jpeg/" + name + suffix + ".ppm");
  if (picture.empty() || reference.empty()) return ::testing::AssertionFailure() << name << " was not made";
  return SamePixels(DecodeJpeg(ReadBytes(picture), scaleNum), LoadRefImage(reference), tolerance) << " " << name;
}

class JpegAgainstReference : public ::testing::Test {
 protected:
  void SetUp() override {
    if (MadeByOtherPrograms("jpeg/src.ppm").empty())
      FAIL() << "cjpeg, djpeg or ImageMagick's convert was missing when the references were made";
  }
};

TEST_F(JpegAgainstReference, ChromaSubsamplings) {
  EXPECT_TRUE(MatchesReference("q90"));  // 4:2:0
  EXPECT_TRUE(MatchesReference("h2v1"));
  EXPECT_TRUE(MatchesReference("h1v1"));
}

TEST_F(JpegAgainstReference, ProgressiveGreyAndRestartMarkers) {
  EXPECT_TRUE(MatchesReference("progressive"));
  EXPECT_TRUE(MatchesReference("grey"));
  EXPECT_TRUE(MatchesReference("restart"));
}

TEST_F(JpegAgainstReference, ReducedScales) {
  EXPECT_TRUE(MatchesReference("q85", 4, 0, "_scale4"));
  EXPECT_TRUE(MatchesReference("q85", 3, 0, "_scale3"));
  EXPECT_TRUE(MatchesReference("q85", 1, 0, "_scale1"));
}

TEST_F(JpegAgainstReference, AdobeCmykMatchesImageMagick) {
  // ImageMagick's arithmetic is in 16 bits and ours in 8: a step of rounding either way.
  EXPECT_TRUE(MatchesReference("cmyk", 8, 1));
}

// Into a 16-bit bitmap libjpeg writes 5-6-5 itself: the same pixels as a 32-bit decode
// packed afterwards, for colour, grey and CMYK files, at full and reduced scale.
TEST_F(JpegAgainstReference, SixteenBitBitmapGetsTheSamePixelsPacked) {
  for (const char* name : {"q90", "grey", "cmyk", "progressive"})
    for (int scale : {8, 3}) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(scale) + "/8");
      const auto bytes = ReadBytes(MadeByOtherPrograms(std::string("jpeg/") + name + ".jpg"));
      Bitmap wide = DecodeJpeg(bytes, scale);
      wide.SetFormat(PixelFormat::Rgb565);
      Bitmap packed(0, 0, PixelFormat::Rgb565);
      DecodeJpeg(bytes, packed, scale);
      EXPECT_EQ(packed.Format(), PixelFormat::Rgb565);
      EXPECT_TRUE(packed == wide);
    }
}

// A reused 32-bit bitmap keeps its fourth bytes 0, as every bitmap does (libjpeg writes 0xFF).
TEST_F(JpegAgainstReference, ReusedBitmapKeepsPadBytesClear) {
  Bitmap b(37, 23, PixelFormat::Xrgb8888);
  DecodeJpeg(ReadBytes(MadeByOtherPrograms("jpeg/q90.jpg")), b);
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) ASSERT_EQ(b.RawPixel(x, y) >> 24, 0u) << x << "," << y;
}

}  // namespace
}  // namespace vitrine
