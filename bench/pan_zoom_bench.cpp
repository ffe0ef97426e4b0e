// One pan-and-zoom frame: a 12-megapixel photo (4000 x 3000) drawn at a framing into a
// full-HD and a 4K picture place, at 16 and 32 bits per pixel, straight from the photo and
// from the copy the show keeps (reduced to at most about twice the place). The yardstick is
// the memcpy of a frame of the same size and depth, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>

#include "raster/scale_bilinear.h"
#include "transitions/pan_zoom.h"
#include "transitions/transition_rig.h"

namespace vitrine {
namespace {

const Bitmap& Photo() {
  static const Bitmap photo = MakeNewTestPicture(4000, 3000, PixelFormat::Xrgb8888);
  return photo;
}

PixelFormat FormatOf(int64_t bits) { return bits == 32 ? PixelFormat::Xrgb8888 : PixelFormat::Rgb565; }

// Arguments: width, height, bits per pixel, 1 to draw from the reduced copy.
void BM_PanZoomFrame(benchmark::State& state) {
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  const bool reduced = state.range(3) == 1;
  const Bitmap source = reduced ? ReduceForScaling(Photo(), w + w * 3 / 20 + 1, h + h * 3 / 20 + 1) : Photo();
  Bitmap dest(w, h, FormatOf(state.range(2)));
  // The photo cropped to the place's aspect, as size mode 2 shows it, zooming in to the right.
  const int64_t sh = int64_t(source.Width()) * h / w;
  const PanZoomPath path = MakePanZoomPath({0, 0, source.Width() * kFixedOne, sh * kFixedOne}, true, PanSide::Right);
  BilinearScaler scaler;
  int32_t progress = 0;
  for (auto _ : state) {
    scaler.Draw(dest, dest.Bounds(), source, path.At(progress));
    progress = (progress + 997) % 65536;
    benchmark::DoNotOptimize(dest.Bits());
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(reduced ? "reduced copy " : "12 MP photo ") + std::to_string(source.Width()) + "x" +
                 std::to_string(source.Height()));
}

void BM_FullFrameMemcpy(benchmark::State& state) {
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  Bitmap from(w, h, FormatOf(state.range(2))), to(w, h, FormatOf(state.range(2)));
  const size_t bytes = from.Stride() * size_t(h);
  for (auto _ : state) {
    std::memcpy(to.Bits(), from.Bits(), bytes);
    benchmark::DoNotOptimize(to.Bits());
    benchmark::ClobberMemory();
  }
}

void ReduceOnce(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReduceForScaling(Photo(), 2209, 1243));
}

void Sizes(benchmark::internal::Benchmark* b, bool withSource) {
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
    for (int bits : {16, 32}) {
      if (!withSource) {
        b->Args({w, h, bits});
        continue;
      }
      for (int reduced : {0, 1}) b->Args({w, h, bits, reduced});
    }
}

BENCHMARK(BM_FullFrameMemcpy)->Apply([](auto* b) { Sizes(b, false); })->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanZoomFrame)->Apply([](auto* b) { Sizes(b, true); })->Unit(benchmark::kMillisecond);
// Once a picture: the reduced copy for a full-HD place.
BENCHMARK(ReduceOnce)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vitrine

BENCHMARK_MAIN();
