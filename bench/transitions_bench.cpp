// Frame times of every transition on a full-HD and a 4K show at 16 bits per pixel, speed 25,
// and of the timed ones at 16 and 32 bits, next to a plain full-frame memcpy of the same
// surface. Each transition runs a few times
// from the same seed; a frame's time is the processor time of its fastest run (so other load
// on the machine counts as little as possible), and the counters give the slowest and the
// median frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>

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

struct Pictures {
  Bitmap oldPicture, newPicture;
};

const Pictures& PicturesOf(int32_t w, int32_t h) {
  static std::map<std::pair<int32_t, int32_t>, Pictures> cache;
  auto it = cache.find({w, h});
  if (it == cache.end())
    it = cache.emplace(std::pair{w, h}, Pictures{MakeOldTestPicture(w, h), MakeNewTestPicture(w, h)}).first;
  return it->second;
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

void BM_Transition(benchmark::State& state) {
  const int32_t index = int32_t(state.range(0)), w = int32_t(state.range(1)), h = int32_t(state.range(2));
  const Pictures& pictures = PicturesOf(w, h);
  // The whole show scope: the area is the screen, as the show runs by default.
  TimeWholeScreenRuns(state, index, [&] {
    return TransitionRig(pictures.oldPicture, pictures.newPicture, 0, 0, TransitionScope::WholeScreen);
  });
  state.SetLabel(index < 0 ? "none" : TransitionCatalogue()[size_t(index)].name);
}

// The timed transitions (cross fade, fade through black, eased slide) at 16 and 32 bits per
// pixel: the yardstick is the memcpy of a frame of the same depth.
void BM_TimedTransition(benchmark::State& state) {
  const int32_t index = int32_t(state.range(0)), w = int32_t(state.range(1)), h = int32_t(state.range(2));
  const PixelFormat format = state.range(3) == 32 ? PixelFormat::Xrgb8888 : PixelFormat::Rgb565;
  const Bitmap oldPicture = MakeOldTestPicture(w, h, format), newPicture = MakeNewTestPicture(w, h, format);
  TimeWholeScreenRuns(state, index, [&] {
    return TransitionRig(oldPicture, newPicture, 0, 0, TransitionScope::WholeScreen, {format, format});
  });
  state.SetLabel(std::string(TransitionCatalogue()[size_t(index)].name) + (state.range(3) == 32 ? ", 32 bits" : ", 16 bits"));
}

void TimedArgs(benchmark::internal::Benchmark* b) {
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
    for (int bits : {16, 32})
      for (int index = kClassicTransitionCount; index < kTransitionCount; ++index) b->Args({index, w, h, bits});
}

BENCHMARK(BM_TimedTransition)->Apply(TimedArgs)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
    for (int index = -1; index < kTransitionCount; ++index) b->Args({index, w, h});
}

BENCHMARK(BM_Transition)->Apply(TransitionArgs)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vitrine

BENCHMARK_MAIN();
