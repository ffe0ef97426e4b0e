#include "package/picture_loading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/errors.h"

namespace vitrine::test {
namespace {

std::string Fixture(const std::string& name) {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  return (std::filesystem::path(root && *root ? root : "../data") / "pictures" / name).string();
}

MemoryStream FixtureStream(const std::string& name) {
  std::ifstream in(Fixture(name), std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_FALSE(bytes.empty()) << "missing fixture " << name;
  return MemoryStream(std::move(bytes));
}

// A bitmap with something recognisable in it, to see that it was left alone.
Bitmap Marked() {
  Bitmap b(2, 3, PixelFormat::Rgb565);
  b.SetPixel(1, 2, kWhite);
  return b;
}

TEST(LoadPictureFromStream, CodeWithoutReaderReturnsFalseAndLeavesTheBitmap) {
  for (int32_t code : {-1, 0, 16}) {
    MemoryStream stream = FixtureStream("topdown_24.bmp");
    Bitmap b = Marked();
    EXPECT_FALSE(LoadPictureFromStream(stream, b, code)) << code;
    EXPECT_TRUE(b == Marked()) << code;
  }
}

TEST(LoadPictureFromStream, BitmapTakesThePicturesSizeAndKeepsItsFormat) {
  MemoryStream stream = FixtureStream("topdown_24.bmp");
  Bitmap b = Marked();
  ASSERT_TRUE(LoadPictureFromStream(stream, b, 1));
  EXPECT_EQ(b.Format(), PixelFormat::Rgb565);
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(b.GetPixel(2, 0), RGBColor(0, 0, 255));
}

TEST(LoadPictureFromStream, StreamPositionedInsideALargerBuffer) {
  MemoryStream inner = FixtureStream("topdown_24.bmp");
  MemoryStream stream;
  stream.Write("junk", 4);
  stream.Write(inner.Bytes().data(), inner.Bytes().size());
  stream.Seek(4, SeekOrigin::Begin);
  Bitmap b;
  ASSERT_TRUE(LoadPictureFromStream(stream, b, 1));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(0, 255, 0));
}

TEST(LoadPictureFromStream, JpegFullSizeAndReducedForABox) {
  Bitmap full;
  MemoryStream stream = FixtureStream("quadrants.jpg");
  ASSERT_TRUE(LoadPictureFromStream(stream, full, 2));
  EXPECT_EQ(full.Width(), 32);
  MemoryStream again = FixtureStream("quadrants.jpg");
  Bitmap small;
  ASSERT_TRUE(LoadPictureFromStream(again, small, 2, 8, 7));
  EXPECT_EQ(small.Width(), 8);  // 2/8 of 32 covers 8 x 7
  EXPECT_EQ(small.Height(), 8);
  EXPECT_GT(RedOf(small.GetPixel(1, 1)), 200);
  EXPECT_LT(GreenOf(small.GetPixel(1, 1)), 50);
}

TEST(LoadPictureFromStream, ReaderCodesCopyTheReadersPicture) {
  std::string ppm = "P6\n2 1\n255\n";
  ppm += std::string{char(10), char(20), char(30), char(200), char(100), char(50)};
  MemoryStream stream(std::vector<uint8_t>(ppm.begin(), ppm.end()));
  Bitmap b;
  ASSERT_TRUE(LoadPictureFromStream(stream, b, 9));
  ASSERT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Format(), PixelFormat::Xrgb8888);
  EXPECT_EQ(b.GetPixel(0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(b.GetPixel(1, 0), RGBColor(200, 100, 50));
}

TEST(LoadPictureFromStream, DamagedPictureRaisesAndLeavesTheBitmap) {
  for (int32_t code : {1, 2, 9, 15}) {
    MemoryStream stream = FixtureStream("truncated_24.bmp");
    if (code == 1) stream = FixtureStream("corrupt_header.bmp");
    if (code != 1) stream.Bytes()[0] = 'x';
    Bitmap b = Marked();
    EXPECT_THROW(LoadPictureFromStream(stream, b, code), Error) << code;
    EXPECT_TRUE(b == Marked()) << code;
  }
}

TEST(LoadPictureFromFile, ChoosesTheReaderByTheFileName) {
  Bitmap b;
  ASSERT_TRUE(LoadPictureFromFile(Fixture("pal1_colors.bmp"), b));
  EXPECT_EQ(b.Width(), 9);
  Bitmap untouched = Marked();
  EXPECT_FALSE(LoadPictureFromFile(Fixture("README.md"), untouched));
  EXPECT_TRUE(untouched == Marked());
}

TEST(LoadPictureFromFile, MissingFileRaisesWithItsName) {
  Bitmap b;
  std::string name = Fixture("no_such_picture.jpg");
  try {
    LoadPictureFromFile(name, b);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + name);
  }
}

}  // namespace
}  // namespace vitrine::test
