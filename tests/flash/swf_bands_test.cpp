// Frames drawn in bands of rows, by one thread or several.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/random.h"
#include "flash/swf_writer.h"
#include "swf_render.h"

namespace vitrine::test {
namespace {

constexpr Color kWhite = RGBColor(255, 255, 255);

// A frame that crosses many bands: overlapping translucent gradients and strokes, a clip
// layer and shapes reaching past every side.
std::vector<uint8_t> BusyMovie() {
  std::vector<uint8_t> tags;
  RandomSeed(3);
  auto colour = [] {
    return Colour{uint8_t(Random(256)), uint8_t(Random(256)), uint8_t(Random(256)), uint8_t(120 + Random(136))};
  };
  for (uint16_t id = 1; id <= 40; ++id) {
    int32_t r = 200 + Random(3000);
    std::vector<Fill> fills;
    if (id % 3 == 0) fills.push_back(Solid(200, 40, 40, 180));
    else fills.push_back(Gradient(id % 3 == 1 ? 0x10 : 0x12, Scale(r / 16384.0, r / 16384.0), {{0, colour()}, {128, colour()}, {255, colour()}}));
    ShapeWriter s(3, fills, {{uint16_t(id % 4 == 0 ? 60 : 0), colour()}});
    s.Style(0, 1, id % 4 == 0 ? 1 : 0).Circle(0, 0, r);
    Tag(tags, 32, s.DefineShape(id, -r - 60, r + 60, -r - 60, r + 60));
  }
  for (uint16_t id = 1; id <= 40; ++id) {
    Place p{.depth = id, .id = id, .matrix = Mat{1.3, 0.4, -0.4, 1.3, Random(12000) - 500, Random(9000) - 500}};
    if (id == 20) p.clipDepth = 30;  // depths 21 to 30 drawn inside shape 20
    Tag(tags, 26, PlaceObject2(p));
  }
  Tag(tags, 1, {});
  return MovieOf(550, 400, 1, tags);
}

TEST(SwfBands, OneTwoAndThreeThreadsDrawTheSamePixels) {
  auto player = PlayerOf(BusyMovie());
  ASSERT_TRUE(player);
  const swf::SwfFile& f = player->GetMovie().File();
  swf::Matrix view = swf::ViewMatrix({f.xMin, f.xMax, f.yMin, f.yMax}, 700, 450, 0, 0);
  std::vector<Bitmap> frames;
  swf::Renderer renderer;
  // After the first frame, threads take the bands costliest first, out of their order.
  for (int threads : {1, 2, 3, 1}) {
    renderer.SetThreads(threads);
    EXPECT_EQ(renderer.Threads(), threads);
    Bitmap out(700, 450, PixelFormat::Xrgb8888);
    renderer.Render(*player, out, view, {255, 255, 255, 255});
    frames.push_back(std::move(out));
  }
  int differing = 0, drawn = 0;
  for (int32_t y = 0; y < 450; ++y)
    for (int32_t x = 0; x < 700; ++x) {
      Color first = frames[0].GetPixel(x, y);
      drawn += first != kWhite;
      for (size_t i = 1; i < frames.size(); ++i) differing += frames[i].GetPixel(x, y) != first;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(drawn, 700 * 450 / 4);  // the movie does draw across the frame
}

TEST(SwfBands, AShapeAcrossBandEdgesLeavesNoSeam) {
  // A square from row 10 to row 190 and a thin translucent one over it: every row between
  // takes the same colour, band edges (every 64 rows) included.
  ShapeWriter s(3, {Solid(0, 0, 255)}, {});
  s.Style(0, 1, 0).Rect(200, 200, 3800, 3800);
  ShapeWriter t(3, {Solid(255, 0, 0, 128)}, {});
  t.Style(0, 1, 0).Rect(1000, 100, 1200, 3900);
  std::vector<uint8_t> tags;
  Tag(tags, 32, s.DefineShape(1, 200, 3800, 200, 3800));
  Tag(tags, 32, t.DefineShape(2, 1000, 1200, 100, 3900));
  Tag(tags, 26, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, 26, PlaceObject2({.depth = 2, .id = 2}));
  Tag(tags, 1, {});
  auto player = PlayerOf(MovieOf(200, 200, 1, tags));
  ASSERT_TRUE(player);
  for (int threads : {1, 2}) {
    swf::Renderer renderer;
    renderer.SetThreads(threads);
    Bitmap out(200, 200, PixelFormat::Xrgb8888);
    renderer.Render(*player, out, swf::ViewMatrix({0, 4000, 0, 4000}, 200, 200, 0, 0), {255, 255, 255, 255});
    for (int32_t y = 10; y < 190; ++y) {
      ASSERT_EQ(out.GetPixel(100, y), RGBColor(0, 0, 255)) << y;
      ASSERT_EQ(out.GetPixel(55, y), RGBColor(128, 0, 127)) << y;
    }
    EXPECT_EQ(out.GetPixel(100, 9), kWhite);
    EXPECT_EQ(out.GetPixel(100, 190), kWhite);
  }
}

TEST(SwfBands, OneShapeInTwoPlacesAndMovedIsDrawnWhereItStandsInEveryFrame) {
  // A 40 x 120 pixel bar across two band edges, placed twice; in the second frame one copy
  // moves and the other turns a quarter round.
  ShapeWriter s(3, {Solid(0, 0, 255)}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 2400);
  std::vector<uint8_t> tags;
  Tag(tags, 32, s.DefineShape(1, 0, 800, 0, 2400));
  Tag(tags, 26, PlaceObject2({.depth = 1, .id = 1, .matrix = Translate(200, 200)}));
  Tag(tags, 26, PlaceObject2({.depth = 2, .id = 1, .matrix = Translate(2000, 1000)}));
  Tag(tags, 1, {});
  Tag(tags, 26, PlaceObject2({.depth = 1, .matrix = Translate(1000, 200), .move = true}));
  Tag(tags, 26, PlaceObject2({.depth = 2, .matrix = Mat{0, 1, -1, 0, 4000, 3600}, .move = true}));
  Tag(tags, 1, {});
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    auto p = PlayerOf(MovieOf(200, 200, 2, tags));
    ASSERT_TRUE(p);
    p->Play();
    swf::Renderer renderer;
    renderer.SetThreads(threads);
    const swf::Matrix view = swf::ViewMatrix({0, 4000, 0, 4000}, 200, 200, 0, 0);
    Bitmap out(200, 200, PixelFormat::Xrgb8888);
    renderer.Render(*p, out, view, {255, 255, 255, 255});
    // Columns 10 .. 49 from row 10 to 129, and columns 100 .. 139 from row 50 to 169.
    for (auto [x, y, blue] : {std::tuple{30, 12, true}, {30, 127, true}, {30, 131, false}, {55, 60, false},
                              {120, 52, true}, {120, 167, true}, {120, 48, false}, {145, 100, false}})
      EXPECT_EQ(out.GetPixel(x, y) == RGBColor(0, 0, 255), blue) << x << "," << y;
    p->Tick();
    renderer.Render(*p, out, view, {255, 255, 255, 255});
    // Columns 50 .. 89 from row 10 to 129; the turned one from column 80 to 199, rows 180 .. 199
    // (its far side below the frame).
    for (auto [x, y, blue] : {std::tuple{30, 60, false}, {52, 12, true}, {87, 127, true}, {70, 132, false},
                              {120, 100, false}, {120, 185, true}, {195, 195, true}, {77, 190, false}})
      EXPECT_EQ(out.GetPixel(x, y) == RGBColor(0, 0, 255), blue) << x << "," << y;
  }
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

TEST(SwfBands, ShapesLeftOutOfABandStillCountAgainstItsBudget) {
  // Thirty copies of a shape of 200000 edges, all below the frame, then a square on it: each
  // band looks at more edges than its budget allows before it gets to the square, so the
  // square is left out rather than the frame taking as long as the edges would.
  ShapeWriter big(3, {Solid(0, 0, 0)}, {});
  big.Style(0, 1, 0).MoveTo(0, 0);
  for (int i = 1; i <= 200000; ++i) big.LineTo((i % 2) * 400, i % 7);
  ShapeWriter square(3, {Solid(255, 0, 0)}, {});
  square.Style(0, 1, 0).Rect(0, 0, 2000, 2000);
  std::vector<uint8_t> tags;
  Tag(tags, 32, big.DefineShape(1, 0, 400, 0, 7));
  Tag(tags, 32, square.DefineShape(2, 0, 2000, 0, 2000));
  for (uint16_t depth = 1; depth <= 30; ++depth)
    Tag(tags, 26, PlaceObject2({.depth = depth, .id = 1, .matrix = Translate(0, 100000)}));
  Tag(tags, 26, PlaceObject2({.depth = 31, .id = 2}));
  Tag(tags, 1, {});
  auto player = PlayerOf(MovieOf(100, 100, 1, tags));
  ASSERT_TRUE(player);
  Bitmap out = Draw(*player, 100, 100);
  EXPECT_EQ(out.GetPixel(50, 50), kWhite);
}

}  // namespace
}  // namespace vitrine::test
