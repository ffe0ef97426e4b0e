// Full-frame drawing at the show's pixel format, each next to a plain memcpy of the same
// bytes so the ratio can be read from one run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "raster/canvas.h"

namespace vitrine {
namespace {

Bitmap Noise(int32_t w, int32_t h) {
  Bitmap bmp(w, h, kDefaultShowPixelFormat);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = bmp.Row(y);
    for (size_t i = 0; i < size_t(w) * bmp.BytesPerPixel(); ++i) {
      seed = seed * 1103515245u + 12345u;
      row[i] = uint8_t(seed >> 24);
    }
  }
  return bmp;
}

int32_t W(const benchmark::State& s) { return int32_t(s.range(0)); }
int32_t H(const benchmark::State& s) { return int32_t(s.range(1)); }

void Count(benchmark::State& state, const Bitmap& frame) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.Stride()) * frame.Height());
}

void BM_Memcpy(benchmark::State& state) {
  Bitmap src = Noise(W(state), H(state)), dst(W(state), H(state), kDefaultShowPixelFormat);
  const size_t bytes = src.Stride() * size_t(src.Height());
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), bytes);
    benchmark::ClobberMemory();
  }
  Count(state, src);
}

void BM_BlockCopy(benchmark::State& state) {
  Bitmap src = Noise(W(state), H(state)), dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    canvas.Draw(0, 0, src);
    benchmark::ClobberMemory();
  }
  Count(state, src);
}

// A 32 bpp picture drawn onto the 16 bpp frame and back: the row converters.
void BM_ConvertCopy(benchmark::State& state) {
  Bitmap wide(W(state), H(state), PixelFormat::Xrgb8888), narrow(W(state), H(state), PixelFormat::Rgb565);
  Canvas(wide).Draw(0, 0, Noise(W(state), H(state)));
  const bool toWide = state.range(2) != 0;
  Canvas canvas(toWide ? wide : narrow);
  for (auto _ : state) {
    canvas.Draw(0, 0, toWide ? narrow : wide);
    benchmark::ClobberMemory();
  }
  Count(state, narrow);
}

// A two-thirds picture enlarged to the frame, and a frame and a half shrunk to it.
void BM_StretchUp(benchmark::State& state) {
  Bitmap src = Noise(W(state) * 2 / 3, H(state) * 2 / 3), dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    canvas.StretchDraw(dst.Bounds(), src);
    benchmark::ClobberMemory();
  }
  Count(state, dst);
}

void BM_StretchDown(benchmark::State& state) {
  Bitmap src = Noise(W(state) * 3 / 2, H(state) * 3 / 2), dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    canvas.StretchDraw(dst.Bounds(), src);
    benchmark::ClobberMemory();
  }
  Count(state, dst);
}

// One frame of an ellipse reveal: the whole picture drawn through the inscribed ellipse.
void BM_DrawThroughEllipse(benchmark::State& state) {
  Bitmap src = Noise(W(state), H(state)), dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  canvas.SelectClip(Region::FromEllipse(dst.Bounds()));
  for (auto _ : state) {
    canvas.Draw(0, 0, src);
    benchmark::ClobberMemory();
  }
  Count(state, src);
}

void BM_BuildEllipseAndDraw(benchmark::State& state) {
  Bitmap src = Noise(W(state), H(state)), dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    Region ellipse = Region::FromEllipse(dst.Bounds());
    canvas.SelectClip(ellipse);
    canvas.Draw(0, 0, src);
    canvas.ClearClip();
    benchmark::ClobberMemory();
  }
  Count(state, src);
}

void BM_BuildEllipse(benchmark::State& state) {
  const Rect frame{0, 0, W(state), H(state)};
  for (auto _ : state) benchmark::DoNotOptimize(Region::FromEllipse(frame));
}

// A wedge-wipe-like polygon intersected with the frame, as the sweeps build each frame.
void BM_BuildPolygonRegion(benchmark::State& state) {
  const int32_t w = W(state), h = H(state);
  const Point wedge[] = {{w, h / 4}, {w, 0}, {0, 0}, {0, h}, {w, h}, {w, h * 3 / 4}, {w / 2, h / 2}};
  const Region frame = Region::FromRect({0, 0, w, h});
  for (auto _ : state) benchmark::DoNotOptimize(Region::FromPolygon(wedge, FillMode::Winding).Intersect(frame));
}

// A multi-wipe frame: 100 triangles, one per cell of a 10 x 10 grid, united one at a time
// (range 2 = 0) or in one pass.
void BM_UniteCellTriangles(benchmark::State& state) {
  const int32_t w = W(state), h = H(state), cw = (w + 10) / 10, ch = (h + 10) / 10;
  const int32_t p = cw * 3 / 2, q = p * h / w;
  std::vector<Region> parts;
  for (auto _ : state) {
    parts.clear();
    for (int32_t j = 0; j < 10; ++j)
      for (int32_t i = 0; i < 10; ++i) {
        const Point tri[] = {{i * cw, j * ch}, {i * cw + p, j * ch}, {i * cw, j * ch + q}};
        parts.push_back(Region::FromPolygon(tri, FillMode::Alternate));
      }
    Region all;
    if (state.range(2)) {
      all = Region::UnionOf(parts);
    } else {
      for (const Region& part : parts) all = all.Union(part);
    }
    benchmark::DoNotOptimize(all);
  }
}

void BM_FillRect(benchmark::State& state) {
  Bitmap dst(W(state), H(state), kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    canvas.FillRect(dst.Bounds(), RGBColor(10, 20, 30));
    benchmark::ClobberMemory();
  }
  Count(state, dst);
}

// The elliptic background gradient: one outlined, filled ellipse per step from the outside in.
void BM_NestedEllipses(benchmark::State& state) {
  const int32_t w = W(state), h = H(state);
  Bitmap dst(w, h, kDefaultShowPixelFormat);
  Canvas canvas(dst);
  for (auto _ : state) {
    for (int32_t i = 0; i <= w / 2; ++i) {
      const int32_t b = int32_t(int64_t(i) * h / w);
      const Color c = RGBColor(uint8_t(i), 0, 0);
      canvas.Ellipse({i, b, w - i, h - b}, c, c);
    }
    benchmark::ClobberMemory();
  }
}

#define VITRINE_SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy) VITRINE_SIZES;
BENCHMARK(BM_BlockCopy) VITRINE_SIZES;
BENCHMARK(BM_ConvertCopy)
    ->Args({1920, 1080, 0})->Args({1920, 1080, 1})->Args({3840, 2160, 0})->Args({3840, 2160, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StretchUp) VITRINE_SIZES;
BENCHMARK(BM_StretchDown) VITRINE_SIZES;
BENCHMARK(BM_DrawThroughEllipse) VITRINE_SIZES;
BENCHMARK(BM_BuildEllipseAndDraw) VITRINE_SIZES;
BENCHMARK(BM_BuildEllipse) VITRINE_SIZES;
BENCHMARK(BM_BuildPolygonRegion) VITRINE_SIZES;
BENCHMARK(BM_UniteCellTriangles)
    ->Args({1920, 1080, 0})->Args({1920, 1080, 1})->Args({3840, 2160, 0})->Args({3840, 2160, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillRect) VITRINE_SIZES;
BENCHMARK(BM_NestedEllipses)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vitrine

BENCHMARK_MAIN();
