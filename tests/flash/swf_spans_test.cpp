// The renderer's span loops: every vector version against the plain loop, the plain sums
// against values worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/random.h"
#include "flash/swf/spans.h"
#include "raster/geometry.h"

namespace vitrine::test {
namespace {

TEST(SwfSpans, ColoursOverWhiteAtCoverageWorkedOutByHand) {
  for (const swf::SpanCompositor& version : swf::SpanCompositors()) {
    SCOPED_TRACE(version.name);
    // Half-transparent red (premultiplied 0x80800000) and opaque blue, whole, over white; then
    // opaque green at a coverage of 0.5 (128 of 255) over black and over white.
    std::vector<uint32_t> row(11, 0xFFFFFF);
    std::vector<uint32_t> src(11, 0x80800000);
    src[1] = 0xFF0000FF;
    swf::CompositeSpan(row.data(), src.data(), false, nullptr, 11);
    version.over(row.data(), src.data(), false, nullptr, 0);
    EXPECT_EQ(row[0], 0xFF7F7Fu);  // 128 + 127 red; 255 * 127 / 255 green and blue
    EXPECT_EQ(row[1], 0x0000FFu);
    EXPECT_EQ(row[10], 0xFF7F7Fu);
    std::vector<uint32_t> black(9, 0x000000), white(9, 0xFFFFFF);
    std::vector<float> half(9, 0.5f);
    uint32_t green = 0xFF00FF00;
    version.over(black.data(), &green, true, half.data(), 9);
    version.over(white.data(), &green, true, half.data(), 9);
    for (int i = 0; i < 9; ++i) {
      EXPECT_EQ(black[i], 0x008000u) << i;
      EXPECT_EQ(white[i], 0x7FFF7Fu) << i;
    }
  }
}

TEST(SwfSpans, EveryVersionLaysTheSamePixelsAsThePlainLoop) {
  const auto versions = swf::SpanCompositors();
  ASSERT_STREQ(versions.back().name, "plain");
  RandomSeed(11);
  for (int trial = 0; trial < 300; ++trial) {
    const int32_t count = Random(41);
    std::vector<uint32_t> dst(count), src(count);
    std::vector<float> cov(count);
    for (int32_t i = 0; i < count; ++i) {
      dst[i] = uint32_t(Random(1 << 24));
      // Premultiplied: no channel above alpha; some opaque, some clear, some between.
      uint32_t a = Random(4) == 0 ? 255 : Random(4) == 0 ? 0 : uint32_t(Random(256));
      src[i] = a << 24 | uint32_t(Random(int32_t(a) + 1)) << 16 | uint32_t(Random(int32_t(a) + 1)) << 8 |
               uint32_t(Random(int32_t(a) + 1));
      cov[i] = Random(5) == 0 ? 1.0f : Random(5) == 0 ? 0.0f : float(RandomUnit());
    }
    const bool oneColour = trial % 3 == 0;
    const float* coverage = trial % 4 == 1 ? nullptr : cov.data();
    std::vector<uint32_t> want = dst;
    versions.back().over(want.data(), src.data(), oneColour, coverage, count);
    for (const swf::SpanCompositor& version : versions) {
      std::vector<uint32_t> got = dst;
      version.over(got.data(), src.data(), oneColour, coverage, count);
      ASSERT_EQ(got, want) << version.name << ", trial " << trial;
    }
  }
}

TEST(SwfSpans, EveryVersionFillsExactlyTheRunWithTheColour) {
  for (const swf::SpanCompositor& version : swf::SpanCompositors()) {
    for (int32_t count : {0, 1, 7, 8, 9, 15, 16, 17, 31, 40, 1000}) {
      // Two pixels either side of the run keep what they had.
      std::vector<uint32_t> row(size_t(count) + 4, 0x123456);
      version.fill(row.data() + 2, 0xABCDEF, count);
      for (int32_t i = 0; i < count + 4; ++i)
        ASSERT_EQ(row[size_t(i)], i >= 2 && i < count + 2 ? 0xABCDEFu : 0x123456u) << version.name << " " << count << " " << i;
    }
  }
}

TEST(SwfSpans, EveryVersionDrawsGradientRunsAsThePlainLoops) {
  const auto versions = swf::SpanCompositors();
  // A table whose entries all differ, translucent and opaque, so a wrong entry shows.
  std::vector<uint32_t> lut(256);
  for (uint32_t i = 0; i < 256; ++i) lut[i] = (i % 2 ? 255u : i) << 24 | (i / 2) << 16 | (i / 3) << 8 | (i / 5);
  RandomSeed(17);
  for (int trial = 0; trial < 300; ++trial) {
    const int32_t count = Random(200), first = Random(300);
    std::vector<uint32_t> dst(count);
    std::vector<float> cov(count);
    for (int32_t i = 0; i < count; ++i) {
      dst[i] = uint32_t(Random(1 << 24));
      cov[i] = Random(3) == 0 ? 1.0f : float(RandomUnit());
    }
    const float* coverage = trial % 3 == 1 ? nullptr : cov.data();
    // Runs from well before the square to well past it, steep and shallow, and radial runs
    // from inside the circle to beyond it.
    const double gx = (RandomUnit() - 0.5) * 60000, dgx = (RandomUnit() - 0.5) * (trial % 2 ? 2000 : 50);
    const swf::RadialPad radial{float(RandomUnit() * 2 - 1), float(RandomUnit() * 2 - 1),
                                float((RandomUnit() - 0.5) * 0.1), float((RandomUnit() - 0.5) * 0.1)};
    // The pixels drawn are first .. first+count-1 of a linear run planned whole.
    const swf::LinearPadRun plan = swf::PlanLinearPad(gx, dgx, 0, first + count);
    std::vector<uint32_t> wantLinear = dst, wantRadial = dst;
    versions.back().linearPad(wantLinear.data(), lut.data(), plan, first, coverage, count);
    versions.back().radialPad(wantRadial.data(), lut.data(), radial, first, coverage, count);
    // The plain loop against the sums done by hand here, a pixel at a time: the radial
    // entries exactly, the linear ones from the run's fixed-point plan, which stays within
    // one entry of the exact sum.
    for (int32_t i = 0; i < count; ++i) {
      uint32_t k = coverage ? uint32_t(cov[i] * 255 + 0.5f) : 255;
      double t = std::clamp((gx + dgx * (first + i) + 16384) / 32768, 0.0, 1.0);
      ASSERT_LE(std::abs(plan.Entry(first + i) - int32_t(t * 255 + 0.5)), 1) << trial << " " << i;
      ASSERT_EQ(wantLinear[i], swf::Over(lut[plan.Entry(first + i)], k, dst[i])) << trial << " " << i;
      ASSERT_EQ(wantRadial[i], swf::Over(lut[radial.Index(first + i)], k, dst[i])) << trial << " " << i;
    }
    // Every version gives the same, and so does the run drawn in two parts.
    const int32_t cut = Random(count + 1);
    const float* rest = coverage ? coverage + cut : nullptr;
    for (const swf::SpanCompositor& version : versions) {
      std::vector<uint32_t> linear = dst, round = dst;
      version.linearPad(linear.data(), lut.data(), plan, first, coverage, count);
      version.radialPad(round.data(), lut.data(), radial, first, coverage, count);
      ASSERT_EQ(linear, wantLinear) << version.name << ", trial " << trial;
      ASSERT_EQ(round, wantRadial) << version.name << ", trial " << trial;
      linear = round = dst;
      version.linearPad(linear.data(), lut.data(), plan, first, coverage, cut);
      version.linearPad(linear.data() + cut, lut.data(), plan, first + cut, rest, count - cut);
      version.radialPad(round.data(), lut.data(), radial, first, coverage, cut);
      version.radialPad(round.data() + cut, lut.data(), radial, first + cut, rest, count - cut);
      ASSERT_EQ(linear, wantLinear) << version.name << " in two parts at " << cut << ", trial " << trial;
      ASSERT_EQ(round, wantRadial) << version.name << " in two parts at " << cut << ", trial " << trial;
    }
  }
}

TEST(SwfSpans, LinearPadEntriesAcrossTheSquareAndBeyond) {
  // From 4 steps before the square's left side to 4 beyond its right, 16384 / 16 a step.
  std::vector<int32_t> got(41);
  swf::LinearPadIndices(-20480, 1024, 0, 41, got.data());
  EXPECT_EQ(got[0], 0);
  EXPECT_EQ(got[4], 0);    // the left side
  EXPECT_EQ(got[5], 8);    // 255 / 32 + 0.5
  EXPECT_EQ(got[20], 128);  // the middle: 127.5 rounds up
  EXPECT_EQ(got[36], 255);  // the right side
  EXPECT_EQ(got[40], 255);
  // Pieces of a run give what the whole run gives.
  std::vector<int32_t> piece(13);
  swf::LinearPadIndices(-20480, 1024, 17, 13, piece.data());
  EXPECT_EQ(piece, std::vector<int32_t>(got.begin() + 17, got.begin() + 30));
  // Positions that are not numbers take the first entry; endless ones are not numbers
  // either once their steps are added.
  std::vector<int32_t> odd(7, -1);
  swf::LinearPadIndices(std::numeric_limits<double>::quiet_NaN(), 1, 0, 7, odd.data());
  EXPECT_EQ(odd, std::vector<int32_t>(7, 0));
  swf::LinearPadIndices(0, std::numeric_limits<double>::infinity(), 0, 7, odd.data());
  EXPECT_EQ(odd[0], 0);  // 0 times endless is not a number
  EXPECT_EQ(odd[6], 0);  // endless is no place on the square
}

TEST(SwfSpans, LinearPadEntriesStayWithinOneOfThePlainSumAlongLongRuns) {
  RandomSeed(5);
  int32_t off = 0, pixels = 0;
  for (int trial = 0; trial < 400; ++trial) {
    // Shallow and steep runs, and runs of a gradient much narrower than a pixel.
    double gx = (RandomUnit() - 0.5) * 80000, dgx = (RandomUnit() - 0.5) * (trial % 4 == 3 ? 4e9 : 900);
    int32_t first = Random(50), count = Random(4000);
    std::vector<int32_t> got(count);
    swf::LinearPadIndices(gx, dgx, first, count, got.data());
    for (int32_t i = 0; i < count; ++i, ++pixels) {
      double t = std::clamp((gx + dgx * (first + i) + 16384) / 32768, 0.0, 1.0);
      const int32_t exact = int32_t(t * 255 + 0.5);
      ASSERT_LE(std::abs(got[i] - exact), 1) << "trial " << trial << ", pixel " << i;
      off += got[i] != exact;
    }
  }
  // Off by one only where the sum all but meets a whole entry.
  EXPECT_LT(off, pixels / 1000);
}

}  // namespace
}  // namespace vitrine::test
