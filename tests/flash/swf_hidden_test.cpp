// What later opaque fills cover whole is left undrawn: the rows' record of covered pixels, and
// frames that must come out pixel for pixel as when every shape is drawn whole.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/random.h"
#include "demo_movie.h"
#include "flash/swf/covered_rows.h"
#include "flash/swf_writer.h"
#include "swf_render.h"

namespace vitrine::test {
namespace {

using Stretches = std::vector<std::pair<int32_t, int32_t>>;

Stretches Open(const swf::CoveredRows& rows, int32_t y, int32_t x, int32_t count) {
  Stretches out;
  rows.ForEachOpen(y, x, count, [&](int32_t from, int32_t n) { out.push_back({from, n}); });
  return out;
}

TEST(CoveredRows, OpenStretchesAreWhatNoCoveredBlockOfEightHides) {
  swf::CoveredRows rows;
  rows.Reset(64, 4, 1003);
  EXPECT_EQ(Open(rows, 64, 10, 100), (Stretches{{10, 100}}));
  // Blocks of eight wholly inside a covered run count; the ragged ends stay open.
  rows.Cover(65, 13, 40);  // pixels 13 .. 52: blocks 16 .. 47
  EXPECT_EQ(Open(rows, 65, 0, 100), (Stretches{{0, 16}, {48, 52}}));
  EXPECT_EQ(Open(rows, 65, 20, 10), Stretches{});
  EXPECT_EQ(Open(rows, 65, 44, 10), (Stretches{{48, 6}}));
  EXPECT_EQ(Open(rows, 64, 0, 100), (Stretches{{0, 100}}));  // other rows untouched
  // Runs that join, one across many words, and one shorter than a block (covers nothing).
  rows.Cover(66, 0, 64);
  rows.Cover(66, 64, 600);
  rows.Cover(66, 700, 5);
  EXPECT_EQ(Open(rows, 66, 0, 1003), (Stretches{{664, 339}}));
  EXPECT_EQ(Open(rows, 66, 100, 400), Stretches{});
  // The row's last pixels, the width not a whole block: the last partial block is never covered.
  rows.Cover(67, 990, 13);
  EXPECT_EQ(Open(rows, 67, 980, 23), (Stretches{{980, 12}, {1000, 3}}));
  rows.Cover(67, 900, 103);
  EXPECT_EQ(Open(rows, 67, 890, 113), (Stretches{{890, 14}, {1000, 3}}));
  // Rows and pixels beyond the band are never covered, and asking of them is safe.
  rows.Cover(10, 0, 100);
  rows.Cover(68, 0, 100);
  rows.Cover(64, -50, 30);
  rows.Cover(64, 990, 50);
  EXPECT_EQ(Open(rows, 10, 0, 100), (Stretches{{0, 100}}));
  EXPECT_EQ(Open(rows, 68, 0, 100), (Stretches{{0, 100}}));
  EXPECT_EQ(Open(rows, 64, -20, 1200), (Stretches{{-20, 1200}}));
  // Reset forgets every cover.
  rows.Reset(64, 4, 1003);
  EXPECT_EQ(Open(rows, 66, 0, 1003), (Stretches{{0, 1003}}));
}

TEST(CoveredRows, RandomCoversAgreeWithAPixelMap) {
  RandomSeed(41);
  for (int trial = 0; trial < 200; ++trial) {
    const int32_t width = 1 + Random(700);
    swf::CoveredRows rows;
    rows.Reset(0, 1, width);
    std::vector<bool> block((width + 7) / 8, false);
    for (int k = 0; k < 12; ++k) {
      const int32_t x = Random(width), n = Random(width - x + 1);
      rows.Cover(0, x, n);
      for (int32_t b = (x + 7) / 8; (b + 1) * 8 <= x + n; ++b) block[size_t(b)] = true;
    }
    const int32_t x = Random(width), n = Random(width - x + 1);
    Stretches want;
    for (int32_t i = x; i < x + n; ++i) {
      if (block[size_t(i / 8)]) continue;
      if (!want.empty() && want.back().first + want.back().second == i) ++want.back().second;
      else want.push_back({i, 1});
    }
    ASSERT_EQ(Open(rows, 0, x, n), want) << "trial " << trial;
  }
}

// Shapes of every paint, opaque and translucent, turned and overlapping across many bands,
// with strokes, a clip layer, an object in a layer of its own and a text field's background.
std::vector<uint8_t> CoveringMovie() {
  std::vector<uint8_t> tags;
  RandomSeed(9);
  auto colour = [](bool opaque) {
    return Colour{uint8_t(Random(256)), uint8_t(Random(256)), uint8_t(Random(256)),
                  uint8_t(opaque ? 255 : 60 + Random(190))};
  };
  std::vector<uint32_t> pixels(16 * 16);
  for (uint32_t& p : pixels) p = 0xFF000000u | uint32_t(Random(1 << 24));
  Tag(tags, code::DefineBitsLossless, DefineBitsLossless(100, 16, 16, pixels, false));
  constexpr uint16_t kShapes = 48;
  for (uint16_t id = 1; id <= kShapes; ++id) {
    const int32_t r = 400 + Random(2600);
    const bool opaque = Random(3) != 0;
    const Mat square = Scale(r / 16384.0, r / 16384.0);
    Fill fill;
    switch (id % 7) {
      case 0: fill = Solid(uint8_t(Random(256)), uint8_t(Random(256)), uint8_t(Random(256)), opaque ? 255 : 140); break;
      case 1: fill = Gradient(0x10, square, {{0, colour(opaque)}, {128, colour(opaque)}, {255, colour(opaque)}}); break;
      case 2: fill = Gradient(0x12, square, {{0, colour(opaque)}, {255, colour(opaque)}}); break;
      case 3: fill = Gradient(0x12, Scale(r / 40000.0, r / 40000.0), {{0, colour(opaque)}, {255, colour(opaque)}}, 0x40); break;
      case 4: fill = Gradient(0x13, square, {{0, colour(opaque)}, {255, colour(opaque)}}, 0, 0, 0.6); break;
      case 5: fill = BitmapFill(0x40, 100, Scale(20, 20)); break;
      default: fill = Solid(uint8_t(Random(256)), 20, 200); break;
    }
    const bool stroke = id % 5 == 0;
    ShapeWriter s(3, {fill}, {{uint16_t(stroke ? 40 + Random(100) : 0), colour(opaque)}});
    s.Style(0, 1, stroke ? 1 : 0).Circle(0, 0, r);
    Tag(tags, 32, s.DefineShape(id, -r - 200, r + 200, -r - 200, r + 200));
  }
  Tag(tags, code::DefineEditText, BorderedField(200, 0, 3000, 0, 1200));
  for (uint16_t id = 1; id <= kShapes; ++id) {
    const double turn = RandomUnit() * 6.283, scale = 0.6 + RandomUnit();
    const Mat m{scale * std::cos(turn), scale * std::sin(turn), -scale * std::sin(turn), scale * std::cos(turn),
                Random(9000) - 500, Random(7000) - 500};
    if (id == 30) {
      Tag(tags, code::PlaceObject3, Place3(id, id, m, 3));  // multiply, in a layer of its own
    } else {
      Place p{.depth = id, .id = id, .matrix = m};
      if (id == 12) p.clipDepth = 18;  // depths 13 to 18 drawn inside shape 12
      Tag(tags, code::PlaceObject2, PlaceObject2(p));
    }
    if (id == 24) Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 500, .id = 200, .matrix = Scale(1, 1, 2000, 3000)}));
  }
  Tag(tags, code::ShowFrame, {});
  return MovieOf(400, 300, 1, tags);
}

// The frame drawn with and without skipping what is covered, by one thread and by two.
void ExpectTheSameFrames(const swf::Player& player, int32_t width, int32_t height, TextRenderer* text,
                         bool someSkipped) {
  const swf::SwfFile& f = player.GetMovie().File();
  const swf::Matrix view = swf::ViewMatrix({f.xMin, f.xMax, f.yMin, f.yMax}, width, height, 0, 0);
  auto draw = [&](bool skip, int threads, uint64_t* skipped) {
    swf::Renderer renderer(text);
    renderer.SetThreads(threads);
    renderer.SetSkipHidden(skip);
    Bitmap out(width, height, PixelFormat::Xrgb8888);
    renderer.Render(player, out, view, player.Background().value_or(swf::Rgba{255, 255, 255, 255}));
    if (skipped) *skipped = renderer.SkippedPixels();
    return out;
  };
  uint64_t none = 1, skipped = 0;
  const Bitmap whole = draw(false, 1, &none);
  EXPECT_EQ(none, 0u);
  for (int threads : {1, 2}) {
    const Bitmap frame = draw(true, threads, &skipped);
    if (someSkipped) {
      EXPECT_GT(skipped, uint64_t(width) * height / 4) << threads << " threads";
    }
    int differing = 0;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        if (frame.GetPixel(x, y) != whole.GetPixel(x, y) && differing++ < 5)
          ADD_FAILURE() << "pixel " << x << "," << y << " with " << threads << " threads";
      }
    EXPECT_EQ(differing, 0) << threads << " threads";
  }
}

TEST(SwfHidden, LeavingOutWhatOpaqueFillsCoverChangesNoPixel) {
  auto player = PlayerOf(CoveringMovie());
  ASSERT_TRUE(player);
  // Odd sizes, so that bands and the covered blocks end part way.
  ExpectTheSameFrames(*player, 1001, 757, nullptr, true);
  ExpectTheSameFrames(*player, 397, 203, nullptr, true);
}

TEST(SwfHidden, BlendModesFiltersAndDeviceTextStillLieOverWhatWasDrawnBefore) {
  // Layers and the system's text read or draw on the surface between held shapes.
  auto player = PlayerOf(EffectsMovie(30));
  ASSERT_TRUE(player);
  player->Play();
  for (int i = 0; i < 30; ++i) player->Tick();
  RecordingText text;
  ExpectTheSameFrames(*player, 640, 480, &text, false);
}

}  // namespace
}  // namespace vitrine::test
