// Frame times of every transition at 16 and 32 bits per pixel, on a full-HD show (and a 4K one
// at 16 bits), speed 25, next to a plain full-frame memcpy of the same size and depth. Each
// transition runs a few times from the same seed; a frame's time is the processor time of its
// fastest run (so other load on the machine counts as little as possible), and the counters
// give the slowest and the median frame, also as multiples of the frame copy measured in the
// same run (slowest_x_copy, median_x_copy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#if defined(__linux__)
#include <time.h>
#endif

#include "core/random.h"
#include "transitions/catalogue.h"
#include "transitions/frame_times.h"
#include "transitions/transition_rig.h"

namespace vitrine {
namespace {

constexpr int32_t kSpeed = 25;
constexpr int kRuns = 3;

// Milliseconds of this thread's processor time where the system keeps it, else wall time.
double NowMs() {
#if defined(__linux__)
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
#else
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

PixelFormat FormatOfBits(int64_t bits) { return bits == 32 ? PixelFormat::Xrgb8888 : PixelFormat::Rgb565; }

struct Pictures {
  Bitmap oldPicture, newPicture;
};

const Pictures& PicturesOf(int32_t w, int32_t h, PixelFormat format) {
  static std::map<std::tuple<int32_t, int32_t, PixelFormat>, Pictures> cache;
  auto it = cache.find({w, h, format});
  if (it == cache.end())
    it = cache.emplace(std::tuple{w, h, format},
                       Pictures{MakeOldTestPicture(w, h, format), MakeNewTestPicture(w, h, format)})
             .first;
  return it->second;
}

// The yardstick: the fastest of a few memcpys of a whole frame of this size and depth, timed
// as the frames are, once per run of the program.
double FrameCopyMs(int32_t w, int32_t h, PixelFormat format) {
  static std::map<std::tuple<int32_t, int32_t, PixelFormat>, double> cache;
  auto it = cache.find({w, h, format});
  if (it != cache.end()) return it->second;
  Bitmap from(w, h, format), to(w, h, format);
  const size_t bytes = from.Stride() * size_t(h);
  double best = 1e9;
  for (int i = 0; i < 30; ++i) {
    const double t0 = NowMs();
    std::memcpy(to.Bits(), from.Bits(), bytes);
    benchmark::DoNotOptimize(to.Bits());
    benchmark::ClobberMemory();
    best = std::min(best, NowMs() - t0);
  }
  return cache[{w, h, format}] = std::max(best, 1e-6);
}

// Runs the transition kRuns times on rigs from makeRig, each frame timed, and reports the
// frames, the slowest and the median frame time.
template <typename MakeRig>
void TimeWholeScreenRuns(benchmark::State& state, int32_t index, MakeRig makeRig) {
  FrameTimes times;
  for (auto _ : state) {
    for (int run = 0; run < kRuns; ++run) {
      TransitionRig rig = makeRig();
      RandomSeed(uint64_t(index) + 1);
      rig.Start(index, kSpeed);
      bool ended = false;
      while (!ended && rig.Frames() < 100000) {
        const double t0 = NowMs();
        ended = rig.Step();
        times.Record(size_t(rig.Frames() - 1), NowMs() - t0);
      }
    }
    state.SetIterationTime(times.TotalMs() / 1000.0);
  }
  state.counters["frames"] = double(times.Frames());
  state.counters["slowest_ms"] = times.SlowestMs();
  state.counters["median_ms"] = times.MedianMs();
}

// Args: transition index (-1: none), width, height, bits per pixel.
void BM_Transition(benchmark::State& state) {
  const int32_t index = int32_t(state.range(0)), w = int32_t(state.range(1)), h = int32_t(state.range(2));
  const PixelFormat format = FormatOfBits(state.range(3));
  const Pictures& pictures = PicturesOf(w, h, format);
  // The whole show scope: the area is the screen, as the show runs by default.
  TimeWholeScreenRuns(state, index, [&] {
    return TransitionRig(pictures.oldPicture, pictures.newPicture, 0, 0, TransitionScope::WholeScreen,
                         {format, format});
  });
  const double copyMs = FrameCopyMs(w, h, format);
  state.counters["copy_ms"] = copyMs;
  state.counters["slowest_x_copy"] = state.counters["slowest_ms"] / copyMs;
  state.counters["median_x_copy"] = state.counters["median_ms"] / copyMs;
  state.SetLabel((index < 0 ? std::string("none") : std::string(TransitionCatalogue()[size_t(index)].name)) +
                 (state.range(3) == 32 ? ", 32 bits" : ", 16 bits"));
}

void BM_FullFrameMemcpy(benchmark::State& state) {
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  const PixelFormat format = state.range(2) == 32 ? PixelFormat::Xrgb8888 : PixelFormat::Rgb565;
  Bitmap from(w, h, format), to(w, h, format);
  const size_t bytes = from.Stride() * size_t(h);
  for (auto _ : state) {
    std::memcpy(to.Bits(), from.Bits(), bytes);
    benchmark::DoNotOptimize(to.Bits());
    benchmark::ClobberMemory();
  }
  state.counters["ms"] = benchmark::Counter(double(state.iterations()) / 1000.0,
                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_FullFrameMemcpy)
    ->Args({1920, 1080, 16})->Args({3840, 2160, 16})->Args({1920, 1080, 32})->Args({3840, 2160, 32})
    ->Unit(benchmark::kMillisecond);

void TransitionArgs(benchmark::internal::Benchmark* b) {
  for (const auto& [w, h, bits] : {std::tuple{1920, 1080, 16}, std::tuple{1920, 1080, 32}, std::tuple{3840, 2160, 16}})
    for (int index = -1; index < kTransitionCount; ++index) b->Args({index, w, h, bits});
}

BENCHMARK(BM_Transition)->Apply(TransitionArgs)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vitrine

BENCHMARK_MAIN();
