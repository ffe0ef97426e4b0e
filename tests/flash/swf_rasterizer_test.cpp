// The coverage sweep: outlines whose rows are crossed many times, their lines given in any
// order, against coverage counted from samples inside each pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/random.h"
#include "flash/swf/rasterizer.h"

namespace vitrine::test {
namespace {

struct Edge {
  double x0, y0, x1, y1;
};

struct Calls {
  int spans = 0, fills = 0;
};

// Coverage of every pixel of a w x h box from the sweep's spans and fills, spans taking in
// up to join untouched cells; calls counts them.
std::vector<float> Swept(swf::Rasterizer& raster, int32_t w, int32_t h, int32_t join = 0, Calls* calls = nullptr) {
  std::vector<float> got(size_t(w) * h, 0.0f);
  Calls counted;
  raster.Sweep(
      [&](int32_t y, int32_t x, int32_t count, const float* cov) {
        ++counted.spans;
        for (int32_t i = 0; i < count; ++i) got[size_t(y) * w + x + i] += cov[i];
      },
      [&](int32_t y, int32_t x, int32_t count, float c) {
        ++counted.fills;
        for (int32_t i = 0; i < count; ++i) got[size_t(y) * w + x + i] += c;
      },
      [](int32_t, int32_t, int32_t) {}, join);
  if (calls) *calls = counted;
  return got;
}

// The share of 16 x 16 samples of each pixel whose winding number is not zero.
std::vector<float> Sampled(const std::vector<Edge>& edges, int32_t w, int32_t h) {
  std::vector<float> want(size_t(w) * h, 0.0f);
  constexpr int kSamples = 16;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t sy = 0; sy < kSamples; ++sy) {
      const double py = y + (sy + 0.5) / kSamples;
      // The crossings of this sample row, with their directions, sorted along it.
      std::vector<std::pair<double, int>> cross;
      for (const Edge& e : edges) {
        if ((e.y0 <= py) == (e.y1 <= py)) continue;
        cross.push_back({e.x0 + (py - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.y1 > e.y0 ? 1 : -1});
      }
      std::sort(cross.begin(), cross.end());
      for (int32_t x = 0; x < w; ++x) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = x + (sx + 0.5) / kSamples;
          int winding = 0;
          for (const auto& [at, dir] : cross) {
            if (at > px) break;
            winding += dir;
          }
          if (winding != 0) want[size_t(y) * w + x] += 1.0f / (kSamples * kSamples);
        }
      }
    }
  }
  return want;
}

TEST(SwfRasterizer, RowsCrossedManyTimesCoverWhatTheirSamplesCover) {
  constexpr int32_t w = 96, h = 64;
  swf::Rasterizer raster;
  RandomSeed(31);
  for (int trial = 0; trial < 40; ++trial) {
    // Stars with 3 to 9 points (rows cross them up to 18 times), a ring drawn as two
    // circles wound against each other, and separate boxes in one outline.
    std::vector<Edge> edges;
    auto polygon = [&](const std::vector<std::pair<double, double>>& p) {
      for (size_t i = 0; i < p.size(); ++i) {
        const auto& [ax, ay] = p[i];
        const auto& [bx, by] = p[(i + 1) % p.size()];
        edges.push_back({ax, ay, bx, by});
      }
    };
    // Everything lies inside the box and winds the same way (the ring's hole aside), and the
    // ring and the boxes keep clear of the star: coverage by area counts a pixel's share
    // twice where two parts of an outline overlap in it, which samples do not.
    const int points = 3 + trial % 7;
    const double cx = 24 + RandomUnit() * 8, cy = 28 + RandomUnit() * 8, turn = RandomUnit();
    std::vector<std::pair<double, double>> star;
    for (int k = 0; k < 2 * points; ++k) {
      const double a = 3.14159265358979 * (k + turn) / points, r = k % 2 ? 5 + RandomUnit() * 5 : 16 + RandomUnit() * 8;
      star.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    polygon(star);
    if (trial % 3 == 0) {
      std::vector<std::pair<double, double>> outer, inner;
      for (int k = 0; k < 24; ++k) {
        const double a = 2 * 3.14159265358979 * k / 24;
        outer.push_back({76 + 18 * std::cos(a), 32 + 18 * std::sin(a)});
        inner.push_back({76 + 8 * std::cos(-a), 32 + 8 * std::sin(-a)});
      }
      polygon(outer);
      polygon(inner);
    }
    if (trial % 3 == 1) {
      for (double left : {59.5, 71.25, 83.75})
        polygon({{left, 10.5}, {left + 9.5, 10.5}, {left + 9.5, 50.25}, {left, 50.25}});
    }
    // Lines given in any order, so that a row's edges are met left to right, right to
    // left and from the middle out.
    for (size_t i = edges.size(); i > 1; --i) std::swap(edges[i - 1], edges[size_t(Random(int32_t(i)))]);
    // Every other trial with spans taking in short untouched stretches: the same coverage.
    const int32_t join = trial % 2 ? 8 : 0;
    raster.Begin({0, 0, w, h});
    for (const Edge& e : edges) raster.Line(e.x0, e.y0, e.x1, e.y1);
    const std::vector<float> got = Swept(raster, w, h, join), want = Sampled(edges, w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        ASSERT_NEAR(got[size_t(y) * w + x], std::min(want[size_t(y) * w + x], 1.0f), 0.07f)
            << "trial " << trial << ", pixel " << x << "," << y;
    // The sweep leaves no cell behind: an outline of nothing covers nothing.
    raster.Begin({0, 0, w, h});
    const std::vector<float> after = Swept(raster, w, h);
    ASSERT_EQ(*std::max_element(after.begin(), after.end()), 0.0f) << "trial " << trial;
  }
}

TEST(SwfRasterizer, SpansTakeInShortUntouchedStretchesAtTheCoverageStandingThere) {
  // A square frame 4 pixels thick: each row through its sides crosses an outer edge, two
  // covered cells, an inner edge, the hole, and the same again on the right.
  constexpr int32_t w = 48;
  const std::vector<Edge> edges = {
      {10.5, 10.5, 40.5, 10.5}, {40.5, 10.5, 40.5, 40.5}, {40.5, 40.5, 10.5, 40.5}, {10.5, 40.5, 10.5, 10.5},
      {14.5, 14.5, 14.5, 36.5}, {14.5, 36.5, 36.5, 36.5}, {36.5, 36.5, 36.5, 14.5}, {36.5, 14.5, 14.5, 14.5}};
  swf::Rasterizer raster;
  auto sweep = [&](int32_t y, int32_t join, Calls& calls) {
    raster.Begin({0, y, w, y + 1});
    for (const Edge& e : edges) raster.Line(e.x0, e.y0, e.x1, e.y1);
    return Swept(raster, w, y + 1, join, &calls);
  };
  for (int32_t y = 16; y < 35; ++y) {
    Calls apart, joined, wide;
    const std::vector<float> cut = sweep(y, 0, apart);
    EXPECT_EQ(apart.spans, 4) << "row " << y;
    EXPECT_EQ(apart.fills, 2) << "row " << y;
    // Two cells between the edges on either side: each side one span, the hole's zero left out.
    const std::vector<float> whole = sweep(y, 2, joined);
    EXPECT_EQ(joined.spans, 2) << "row " << y;
    EXPECT_EQ(joined.fills, 0) << "row " << y;
    EXPECT_EQ(whole, cut) << "row " << y;
    // Joining as far as 24 cells would bridge the hole (22 cells) too, but it is the widest
    // untouched stretch of the row and stays a stretch of its own.
    EXPECT_EQ(sweep(y, 24, wide), cut) << "row " << y;
    EXPECT_EQ(wide.spans, 2) << "row " << y;
  }
}

}  // namespace
}  // namespace vitrine::test
