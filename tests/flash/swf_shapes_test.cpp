// Shapes, fills and strokes drawn by the player, checked at chosen pixels of small movies.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flash/swf/radial_pad.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"
#include "raster/image_files.h"

namespace vitrine::test {
namespace {

constexpr Color kRed = RGBColor(255, 0, 0), kBlue = RGBColor(0, 0, 255), kGreen = RGBColor(0, 255, 0),
                kWhite = RGBColor(255, 255, 255), kBlack = RGBColor(0, 0, 0);

// A 40 x 30 pixel movie of one frame showing shape 1 at depth 1.
std::vector<uint8_t> OneShape(ShapeWriter& shape, std::vector<uint8_t> before = {}, std::optional<Cx> cx = {}) {
  std::vector<uint8_t> tags = std::move(before);
  Tag(tags, shape.TagCode(), shape.DefineShape(1, 0, 800, 0, 600));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .cx = cx}));
  Tag(tags, code::ShowFrame, {});
  return MovieOf(40, 30, 1, tags);
}

TEST(SwfFill, ASolidSquareCoversItsPixelsAndHalfOfAnEdgePixel) {
  ShapeWriter s(1, {Solid(255, 0, 0)}, {});
  s.Style(0, 1, 0).Rect(200, 200, 410, 400);  // 10 .. 20.5 pixels across
  Bitmap b = DrawMovie(OneShape(s));
  EXPECT_EQ(b.GetPixel(15, 15), kRed);
  EXPECT_EQ(b.GetPixel(10, 15), kRed);
  EXPECT_EQ(b.GetPixel(9, 15), kWhite);
  EXPECT_EQ(b.GetPixel(5, 5), kWhite);
  EXPECT_TRUE(Near(b.GetPixel(20, 15), RGBColor(255, 128, 128)));
  EXPECT_EQ(b.GetPixel(21, 15), kWhite);
}

TEST(SwfFill, CurvedEdgesCoverTheCirclesArea) {
  ShapeWriter s(3, {Solid(0, 0, 0)}, {});
  s.Style(0, 1, 0).Circle(400, 300, 200);  // radius 10 pixels
  Bitmap b = DrawMovie(OneShape(s));
  double covered = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) covered += (255 - RedOf(b.GetPixel(x, y))) / 255.0;
  // Flattened within 1/4 pixel the outline lies inside the circle, never outside it.
  EXPECT_GT(covered, kPi * 9.75 * 9.75);
  EXPECT_LT(covered, kPi * 10.05 * 10.05);
  EXPECT_EQ(b.GetPixel(20, 15), kBlack);
  EXPECT_EQ(b.GetPixel(20, 3), kWhite);
  // Where the edge crosses a pixel it is partly covered (centre 10.1 pixels out).
  Color edge = b.GetPixel(29, 18);
  EXPECT_GT(RedOf(edge), 40);
  EXPECT_LT(RedOf(edge), 215);
}

TEST(SwfFill, TwoStylesMeetingAtOneEdgeLeaveNoGap) {
  ShapeWriter s(2, {Solid(255, 0, 0), Solid(0, 0, 255)}, {});
  s.Style(0, 1, 0).MoveTo(400, 0).LineTo(0, 0).LineTo(0, 600).LineTo(400, 600);
  s.Style(0, 2, 0).LineTo(800, 600).LineTo(800, 0).LineTo(400, 0);
  s.Style(1, 2, 0).LineTo(400, 600);
  Bitmap b = DrawMovie(OneShape(s));
  EXPECT_EQ(b.GetPixel(10, 15), kRed);
  EXPECT_EQ(b.GetPixel(19, 15), kRed);
  EXPECT_EQ(b.GetPixel(20, 15), kBlue);
  EXPECT_EQ(b.GetPixel(39, 29), kBlue);
}

TEST(SwfFill, NewStylesInTheRecordsStartAFreshTable) {
  // Shapes 2 and up may bring new style tables; numbers then refer to the new table.
  BitWriter w;
  w.U16(1);
  WriteRect(w, 0, 800, 0, 600);
  w.U8(1);
  WriteFill(w, Solid(255, 0, 0), 2);
  w.U8(0);
  w.UBits(1, 4);
  w.UBits(0, 4);
  auto move = [&](int x, int y, int fill1, bool newStyles) {
    w.UBits(0, 1);
    w.UBits((newStyles ? 16 : 0) | 4 | 1, 5);
    w.UBits(12, 5);
    w.SBits(x, 12);
    w.SBits(y, 12);
    if (!newStyles) w.UBits(fill1, 1);
  };
  auto line = [&](int dx, int dy) {
    w.UBits(0b11, 2);
    w.UBits(10, 4);
    w.UBits(1, 1);
    w.SBits(dx, 12);
    w.SBits(dy, 12);
  };
  move(0, 0, 1, false);
  line(400, 0), line(0, 600), line(-400, 0), line(0, -600);
  move(400, 0, 0, true);
  // The new table: one blue fill, then fill1 := 1 from it.
  w.U8(1);
  WriteFill(w, Solid(0, 0, 255), 2);
  w.U8(0);
  w.UBits(1, 4);
  w.UBits(0, 4);
  w.UBits(0, 1);
  w.UBits(4, 5);
  w.UBits(1, 1);
  line(400, 0), line(0, 600), line(-400, 0), line(0, -600);
  w.UBits(0, 6);
  std::vector<uint8_t> tags;
  Tag(tags, 22, w.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, code::ShowFrame, {});
  Bitmap b = DrawMovie(MovieOf(40, 30, 1, tags));
  EXPECT_EQ(b.GetPixel(5, 5), kRed);
  EXPECT_EQ(b.GetPixel(30, 5), kBlue);
}

// A rectangle over the whole stage filled with one gradient.
Bitmap GradientStage(const Fill& fill) {
  ShapeWriter s(3, {fill}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  return DrawMovie(OneShape(s));
}

TEST(SwfGradient, LinearRunsFromTheFirstStopToTheLastAcrossTheSquare) {
  // The square's width (32768) mapped onto the stage's 40 pixels.
  Bitmap b = GradientStage(Gradient(0x10, Scale(800 / 32768.0, 1, 400, 0), {{0, {255, 0, 0}}, {255, {0, 0, 255}}}));
  EXPECT_TRUE(Near(b.GetPixel(0, 10), RGBColor(252, 0, 3), 3));
  EXPECT_TRUE(Near(b.GetPixel(20, 10), RGBColor(124, 0, 131), 3));
  EXPECT_TRUE(Near(b.GetPixel(39, 10), RGBColor(3, 0, 252), 3));
  EXPECT_EQ(b.GetPixel(20, 0), b.GetPixel(20, 29));
}

TEST(SwfGradient, PadReflectAndRepeatSpreadBeyondTheSquare) {
  // The square over the left half only; pixel 30 lies at 1.525 of its width.
  Mat half = Scale(400 / 32768.0, 1, 200, 0);
  std::vector<std::pair<uint8_t, Colour>> stops = {{0, {255, 0, 0}}, {255, {0, 0, 255}}};
  EXPECT_EQ(GradientStage(Gradient(0x10, half, stops, 0)).GetPixel(30, 5), kBlue);
  EXPECT_TRUE(Near(GradientStage(Gradient(0x10, half, stops, 1)).GetPixel(30, 5), RGBColor(134, 0, 121), 3));
  EXPECT_TRUE(Near(GradientStage(Gradient(0x10, half, stops, 2)).GetPixel(30, 5), RGBColor(121, 0, 134), 3));
}

TEST(SwfGradient, LinearRgbInterpolationIsLighterInTheMiddle) {
  std::vector<std::pair<uint8_t, Colour>> stops = {{0, {0, 0, 0}}, {255, {255, 255, 255}}};
  Mat m = Scale(800 / 32768.0, 1, 400, 0);
  Color plain = GradientStage(Gradient(0x10, m, stops, 0, 0)).GetPixel(20, 5);
  Color linear = GradientStage(Gradient(0x10, m, stops, 0, 1)).GetPixel(20, 5);
  EXPECT_TRUE(Near(plain, RGBColor(131, 131, 131), 3));
  // Half of the light in linear light is 74% in sRGB.
  EXPECT_TRUE(Near(linear, RGBColor(189, 189, 189), 4));
}

TEST(SwfGradient, RadialAndFocalGradientsRadiateFromTheirCentres) {
  // Radius 10 pixels (200 twips) around (20, 15.5).
  Mat m = Scale(200 / 16384.0, 200 / 16384.0, 400, 310);
  std::vector<std::pair<uint8_t, Colour>> stops = {{0, {255, 0, 0}}, {255, {0, 0, 255}}};
  Bitmap radial = GradientStage(Gradient(0x12, m, stops));
  EXPECT_TRUE(Near(radial.GetPixel(20, 15), RGBColor(246, 0, 9), 10));
  EXPECT_TRUE(Near(radial.GetPixel(25, 15), RGBColor(115, 0, 140), 3));  // 5.5 pixels out
  EXPECT_TRUE(Near(radial.GetPixel(14, 15), RGBColor(115, 0, 140), 3));
  EXPECT_EQ(radial.GetPixel(2, 2), kBlue);
  // Focal point at (25.5, 15.5), the centre of pixel (25, 15): the first stop's colour sits
  // there, and towards the near edge the colour changes faster than towards the far one.
  Bitmap focal = GradientStage(Gradient(0x13, m, stops, 0, 0, 0.55));
  EXPECT_EQ(focal.GetPixel(25, 15), kRed);
  EXPECT_TRUE(Near(focal.GetPixel(27, 15), RGBColor(142, 0, 113), 3));  // 2 of 4.5 pixels
  EXPECT_TRUE(Near(focal.GetPixel(23, 15), RGBColor(222, 0, 33), 3));   // 2 of 15.5 pixels
}

TEST(SwfGradient, RadialPadEntriesWorkedOutFourAtATimeAreThoseOfThePlainSum) {
  uint32_t seed = 1;
  auto unit = [&] {
    seed = seed * 1664525u + 1013904223u;
    return float(seed >> 8) / float(1 << 24);
  };
  std::vector<swf::RadialPad> runs = {
      {254.5f / 255.0f, 0, 0, 0},  // exactly on the last entry
      {1e30f, 0, 0, 0},            // the square overflows
      {std::nanf(""), 0, 0.01f, 0},
      {-0.5f, 0.25f, 1e-3f, -2e-3f},
  };
  for (int i = 0; i < 200; ++i)
    runs.push_back({unit() * 6 - 3, unit() * 6 - 3, unit() * 0.1f - 0.05f, unit() * 0.1f - 0.05f});
  for (const swf::RadialPad& run : runs)
    for (int32_t first : {0, 3, 1917})
      for (int32_t n : {1, 4, 7, 64}) {
        std::vector<int32_t> indices(size_t(n), -1);
        run.Indices(first, n, indices.data());
        for (int32_t i = 0; i < n; ++i)
          ASSERT_EQ(indices[size_t(i)], run.Index(first + i)) << run.x << "," << run.y << " + " << first + i;
      }
}

// A 2 x 2 bitmap: red, green over blue, white.
std::vector<uint8_t> Checker(uint16_t id) {
  return DefineBitsLossless(id, 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, false);
}

TEST(SwfBitmapFill, ClippedBitmapsRepeatTheirEdgeAndRepeatingOnesTile) {
  for (uint8_t type : {0x43, 0x42}) {
    SCOPED_TRACE(type);
    std::vector<uint8_t> before;
    Tag(before, code::DefineBitsLossless, Checker(7));
    ShapeWriter s(3, {BitmapFill(type, 7, Scale(100, 100))}, {});  // one bitmap pixel = 5 screen pixels
    s.Style(0, 1, 0).Rect(0, 0, 400, 400);
    Bitmap b = DrawMovie(OneShape(s, before));
    EXPECT_EQ(b.GetPixel(2, 2), kRed);
    EXPECT_EQ(b.GetPixel(7, 2), kGreen);
    EXPECT_EQ(b.GetPixel(2, 7), kBlue);
    EXPECT_EQ(b.GetPixel(7, 7), kWhite);
    EXPECT_EQ(b.GetPixel(12, 2), type == 0x43 ? kGreen : kRed);
    EXPECT_EQ(b.GetPixel(17, 17), kWhite);
    EXPECT_EQ(b.GetPixel(30, 5), kWhite);  // outside the shape
  }
}

TEST(SwfBitmapFill, SmoothedBitmapsBlendNeighbouringPixels) {
  std::vector<uint8_t> before;
  Tag(before, code::DefineBitsLossless, DefineBitsLossless(1 + 1, 2, 1, {0xFF000000, 0xFFFFFFFF}, false));
  ShapeWriter s(3, {BitmapFill(0x41, 2, Scale(200, 200))}, {});  // 10 screen pixels a bitmap pixel
  s.Style(0, 1, 0).Rect(0, 0, 400, 200);
  Bitmap b = DrawMovie(OneShape(s, before));
  EXPECT_EQ(b.GetPixel(2, 5), kBlack);
  EXPECT_EQ(b.GetPixel(18, 5), kWhite);
  EXPECT_TRUE(Near(b.GetPixel(9, 5), RGBColor(115, 115, 115), 2));  // 0.45 of the way across
}

TEST(SwfBitmapFill, LosslessAlphaIsPremultipliedAndBlendsOverTheBackground) {
  std::vector<uint8_t> before;
  Tag(before, code::DefineBitsLossless2, DefineBitsLossless(3, 1, 1, {0x80800000}, true));
  ShapeWriter s(3, {BitmapFill(0x41, 3, Scale(20, 20))}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  Bitmap b = DrawMovie(OneShape(s, before));
  EXPECT_TRUE(Near(b.GetPixel(3, 3), RGBColor(255, 127, 127)));
}

TEST(SwfBitmapFill, AMissingBitmapFillsNothing) {
  ShapeWriter s(3, {BitmapFill(0x41, 99, Scale(20, 20))}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  EXPECT_EQ(DrawMovie(OneShape(s)).GetPixel(3, 3), kWhite);
}

// quadrants.jpg (32 x 32: red, green over blue, white) filling a 32 x 32 pixel square.
std::vector<uint8_t> JpegMovie(uint16_t code, const std::vector<uint8_t>& body, std::vector<uint8_t> before = {}) {
  Tag(before, code, body);
  ShapeWriter s(3, {BitmapFill(0x41, 4, Scale(20, 20))}, {});
  s.Style(0, 1, 0).Rect(0, 0, 640, 640);
  return OneShape(s, before);
}

void ExpectQuadrants(const Bitmap& b) {
  EXPECT_TRUE(Near(b.GetPixel(8, 8), kRed, 8));
  EXPECT_TRUE(Near(b.GetPixel(24, 8), kGreen, 8));
  EXPECT_TRUE(Near(b.GetPixel(8, 24), kBlue, 8));
  EXPECT_TRUE(Near(b.GetPixel(24, 24), kWhite, 8));
}

TEST(SwfJpeg, Jpeg2WithAndWithoutTheStrayMarkersBeforeIt) {
  std::vector<uint8_t> jpeg = TestDataFile("pictures/quadrants.jpg");
  ASSERT_FALSE(jpeg.empty()) << "tests/data/pictures/quadrants.jpg is missing";
  std::vector<uint8_t> body = U16Body(4);
  body.insert(body.end(), jpeg.begin(), jpeg.end());
  ExpectQuadrants(DrawMovie(JpegMovie(code::DefineBitsJpeg2, body)));
  // Older movies put an end marker and a new start marker before the picture.
  std::vector<uint8_t> stray = U16Body(4);
  stray.insert(stray.end(), {0xFF, 0xD9, 0xFF, 0xD8});
  stray.insert(stray.end(), jpeg.begin(), jpeg.end());
  ExpectQuadrants(DrawMovie(JpegMovie(code::DefineBitsJpeg2, stray)));
}

TEST(SwfJpeg, Jpeg2MayCarryAPngPicture) {
  Bitmap picture(32, 32, PixelFormat::Xrgb8888);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) picture.SetPixel(x, y, y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite));
  std::vector<uint8_t> body = U16Body(4), png = EncodePng(picture);
  body.insert(body.end(), png.begin(), png.end());
  Bitmap b = DrawMovie(JpegMovie(code::DefineBitsJpeg2, body));
  EXPECT_EQ(b.GetPixel(8, 8), kRed);
  EXPECT_EQ(b.GetPixel(24, 8), kGreen);
  EXPECT_EQ(b.GetPixel(8, 24), kBlue);
  EXPECT_EQ(b.GetPixel(24, 24), kWhite);
}

TEST(SwfJpeg, Jpeg3TakesItsAlphaFromTheZlibPlane) {
  std::vector<uint8_t> jpeg = TestDataFile("pictures/quadrants.jpg");
  ASSERT_FALSE(jpeg.empty()) << "tests/data/pictures/quadrants.jpg is missing";
  std::vector<uint8_t> alpha(32 * 32, 255);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 16; ++x) alpha[y * 32 + x] = 0;  // left half transparent
  BitWriter w;
  w.U16(4);
  w.U32(uint32_t(jpeg.size()));
  w.Bytes(jpeg);
  w.Bytes(Zlib(alpha));
  Bitmap b = DrawMovie(JpegMovie(code::DefineBitsJpeg3, w.Take()));
  EXPECT_EQ(b.GetPixel(8, 8), kWhite);
  EXPECT_EQ(b.GetPixel(8, 24), kWhite);
  EXPECT_TRUE(Near(b.GetPixel(24, 8), kGreen, 8));
}

TEST(SwfJpeg, DefineBitsTakesTheTablesOfJpegTables) {
  // Split the file: quantisation and Huffman tables into JPEGTables, the rest into DefineBits.
  std::vector<uint8_t> jpeg = TestDataFile("pictures/quadrants.jpg");
  ASSERT_FALSE(jpeg.empty()) << "tests/data/pictures/quadrants.jpg is missing";
  std::vector<uint8_t> tables = {0xFF, 0xD8}, image = {0xFF, 0xD8};
  size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA) {
    size_t len = size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
    auto& into = (jpeg[i + 1] == 0xDB || jpeg[i + 1] == 0xC4) ? tables : image;
    into.insert(into.end(), jpeg.begin() + long(i), jpeg.begin() + long(i + 2 + len));
    i += 2 + len;
  }
  image.insert(image.end(), jpeg.begin() + long(i), jpeg.end());
  tables.insert(tables.end(), {0xFF, 0xD9});
  std::vector<uint8_t> before;
  Tag(before, code::JpegTables, tables);
  std::vector<uint8_t> body = U16Body(4);
  body.insert(body.end(), image.begin(), image.end());
  ExpectQuadrants(DrawMovie(JpegMovie(code::DefineBits, body, before)));
}

TEST(SwfStroke, LinesHaveTheirWidthAndRoundCaps) {
  ShapeWriter s(3, {}, {{80, {0, 0, 0}}});  // 4 pixels wide
  s.Style(0, 0, 1).MoveTo(200, 300).LineTo(600, 300);
  Bitmap b = DrawMovie(OneShape(s));
  EXPECT_EQ(b.GetPixel(20, 13), kBlack);
  EXPECT_EQ(b.GetPixel(20, 16), kBlack);
  EXPECT_EQ(b.GetPixel(20, 11), kWhite);
  EXPECT_EQ(b.GetPixel(20, 18), kWhite);
  EXPECT_TRUE(Near(b.GetPixel(30, 15), kBlack, 40));  // the cap beyond the end point
  // Where cap and line overlap, they unite.
  EXPECT_EQ(b.GetPixel(29, 14), kBlack);
  EXPECT_EQ(b.GetPixel(10, 15), kBlack);
  EXPECT_EQ(b.GetPixel(32, 15), kWhite);
  EXPECT_EQ(b.GetPixel(31, 12), kWhite);  // round, not square
}

TEST(SwfStroke, CornersJoinRoundWithoutGaps) {
  ShapeWriter s(3, {}, {{120, {0, 0, 0}}});  // 6 pixels wide
  s.Style(0, 0, 1).MoveTo(200, 200).LineTo(600, 200).LineTo(600, 500);
  Bitmap b = DrawMovie(OneShape(s));
  for (auto [x, y] : {std::pair{30, 10}, {31, 9}, {32, 11}, {28, 8}, {30, 12}, {29, 10}})
    EXPECT_EQ(b.GetPixel(x, y), kBlack) << x << "," << y;
  EXPECT_EQ(b.GetPixel(34, 6), kWhite);  // round outside the corner, not square
  EXPECT_EQ(b.GetPixel(26, 14), kWhite);
}

TEST(SwfStroke, JoinsAreRoundOutsideLeftAndRightTurnsAndAroundAReversal) {
  // 6 pixels wide, so 3 either side of the path; each corner at pixel (30, 10).
  auto draw = [](auto path) {
    ShapeWriter s(3, {}, {{120, {0, 0, 0}}});
    path(s.Style(0, 0, 1));
    return DrawMovie(OneShape(s));
  };
  // Right, then down (a right turn on the screen): the outside of the corner is up and right.
  Bitmap right = draw([](ShapeWriter& s) { s.MoveTo(200, 200).LineTo(600, 200).LineTo(600, 500); });
  // Up, then left (a left turn): the outside is up and right again.
  Bitmap left = draw([](ShapeWriter& s) { s.MoveTo(600, 500).LineTo(600, 200).LineTo(200, 200); });
  for (const Bitmap* b : {&right, &left}) {
    EXPECT_EQ(b->GetPixel(31, 8), kBlack);  // within 2.9 pixels of the corner
    // 3.5 pixels out on the diagonal: a square corner would cover it, a round one hardly.
    EXPECT_GT(RedOf(b->GetPixel(32, 7)), 200);
    EXPECT_EQ(b->GetPixel(26, 14), kWhite);  // inside the turn, beyond the line
  }
  // Along and straight back: the end beyond the turn is a round cap.
  Bitmap back = draw([](ShapeWriter& s) { s.MoveTo(200, 200).LineTo(600, 200).LineTo(300, 200); });
  EXPECT_EQ(back.GetPixel(31, 9), kBlack);
  EXPECT_TRUE(Near(back.GetPixel(32, 9), back.GetPixel(32, 10)));  // the cap is even about the line
  EXPECT_EQ(back.GetPixel(33, 10), kWhite);
  EXPECT_GT(RedOf(back.GetPixel(32, 7)), 200);
}

TEST(SwfStroke, AHairlineIsOnePixelWideAtAnyScale) {
  ShapeWriter s(3, {}, {{0, {0, 0, 0}}});
  s.Style(0, 0, 1).MoveTo(200, 310).LineTo(600, 310);  // along the middle of pixel row 15
  Bitmap b = DrawMovie(OneShape(s));
  EXPECT_TRUE(Near(b.GetPixel(20, 15), kBlack, 2));
  EXPECT_EQ(b.GetPixel(20, 14), kWhite);
  EXPECT_EQ(b.GetPixel(20, 16), kWhite);
}

TEST(SwfDisplay, AClipLayerMasksTheDepthsUpToItsClipDepth) {
  std::vector<uint8_t> tags;
  ShapeWriter mask(1, {Solid(0, 0, 0)}, {});
  mask.Style(0, 1, 0).Rect(0, 0, 400, 600);
  Tag(tags, 2, mask.DefineShape(1, 0, 400, 0, 600));
  ShapeWriter blue(1, {Solid(0, 0, 255)}, {});
  blue.Style(0, 1, 0).Rect(0, 0, 800, 600);
  Tag(tags, 2, blue.DefineShape(2, 0, 800, 0, 600));
  ShapeWriter green(1, {Solid(0, 255, 0)}, {});
  green.Style(0, 1, 0).Rect(500, 200, 700, 400);
  Tag(tags, 2, green.DefineShape(3, 500, 700, 200, 400));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .clipDepth = 2}));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 3, .id = 3}));
  Tag(tags, code::ShowFrame, {});
  Bitmap b = DrawMovie(MovieOf(40, 30, 1, tags));
  EXPECT_EQ(b.GetPixel(10, 15), kBlue);
  EXPECT_EQ(b.GetPixel(30, 5), kWhite);  // masked away, and the mask itself is not drawn
  EXPECT_EQ(b.GetPixel(30, 15), kGreen);
}

TEST(SwfDisplay, ColourTransformsMultiplyAndAdd) {
  ShapeWriter s(1, {Solid(255, 0, 0)}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  Cx cx;
  cx.mult[0] = 128;
  cx.add[1] = 100;
  EXPECT_TRUE(Near(DrawMovie(OneShape(s, {}, cx)).GetPixel(5, 5), RGBColor(128, 100, 0), 1));
  Cx half;
  half.mult[3] = 128;  // half transparent over white
  EXPECT_TRUE(Near(DrawMovie(OneShape(s, {}, half)).GetPixel(5, 5), RGBColor(255, 127, 127), 2));
}

TEST(SwfView, ScaleAndAlignModesPlaceTheStageInTheWindow) {
  // A 40 x 30 movie, red inside, on a green background, in an 80 x 30 window.
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {0, 255, 0});
  ShapeWriter s(1, {Solid(255, 0, 0)}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  Tag(tags, 2, s.DefineShape(1, 0, 800, 0, 600));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, code::ShowFrame, {});
  auto player = PlayerOf(MovieOf(40, 30, 1, tags));
  ASSERT_TRUE(player);
  Bitmap showAll = Draw(*player, 80, 30, 0, 0);  // centred: 20 .. 60
  EXPECT_EQ(showAll.GetPixel(19, 15), kGreen);
  EXPECT_EQ(showAll.GetPixel(20, 15), kRed);
  EXPECT_EQ(showAll.GetPixel(60, 15), kGreen);
  Bitmap left = Draw(*player, 80, 30, 0, 1);
  EXPECT_EQ(left.GetPixel(0, 15), kRed);
  EXPECT_EQ(left.GetPixel(40, 15), kGreen);
  Bitmap right = Draw(*player, 80, 30, 0, 2);
  EXPECT_EQ(right.GetPixel(39, 15), kGreen);
  EXPECT_EQ(right.GetPixel(79, 15), kRed);
  Bitmap exact = Draw(*player, 80, 30, 2, 0);
  EXPECT_EQ(exact.GetPixel(0, 0), kRed);
  EXPECT_EQ(exact.GetPixel(79, 29), kRed);
  Bitmap noScale = Draw(*player, 80, 60, 3, 4 | 1);  // top left, one pixel a pixel
  EXPECT_EQ(noScale.GetPixel(39, 29), kRed);
  EXPECT_EQ(noScale.GetPixel(40, 29), kGreen);
  EXPECT_EQ(noScale.GetPixel(39, 30), kGreen);
  Bitmap noBorder = Draw(*player, 80, 30, 1, 0);  // scaled to 80 x 60, cut top and bottom
  EXPECT_EQ(noBorder.GetPixel(0, 0), kRed);
  EXPECT_EQ(noBorder.GetPixel(79, 29), kRed);
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

TEST(SwfBudget, AHostileStrokeStopsAtTheFramesBudget) {
  // 20000 zig-zag edges of the widest line there is, scaled up a hundredfold: every disc and
  // segment would cross the whole frame.
  ShapeWriter s(3, {}, {{65535, {0, 0, 0}}});
  s.Style(0, 0, 1).MoveTo(0, 0);
  for (int i = 1; i <= 20000; ++i) s.LineTo((i % 2) * 8000, i % 3 * 10);
  std::vector<uint8_t> tags;
  Tag(tags, 32, s.DefineShape(1, 0, 8000, 0, 8000));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .matrix = Scale(100, 100)}));
  Tag(tags, code::ShowFrame, {});
  auto player = PlayerOf(MovieOf(400, 400, 1, tags));
  ASSERT_TRUE(player);
  Bitmap out(400, 400, PixelFormat::Xrgb8888);
  swf::Renderer renderer;
  renderer.Render(*player, out, swf::ViewMatrix({0, 8000, 0, 8000}, 400, 400, 0, 0), {});
  EXPECT_LE(renderer.RasterWork(), swf::kMaxRasterWork + (uint64_t(1) << 20));
  EXPECT_EQ(out.GetPixel(200, 200), kBlack);  // what was drawn before the budget ran out
}

}  // namespace
}  // namespace vitrine::test
