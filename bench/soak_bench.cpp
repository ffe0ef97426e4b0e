// A long show's memory: the demo package (build/demo/vitrine-demo.pkg, or VITRINE_DEMO_PACKAGE)
// plays on the headless platform for 24 hours of show time (VITRINE_SOAK_HOURS to change it)
// at 960x540 (VITRINE_SOAK_SIZE=WxH to change it), nothing recorded, the screen looked at twice a second as a player would present
// it. Every show hour the process's resident size (/proc/self/statm) and the heap in use
// (mallinfo2) are printed as a curve; the counters give their growth from the first hour to
// the last, which stays under a megabyte when nothing accumulates after the first cycle.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apps/headless/headless_show.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / kMiB;
}

double HeapInUseMiB() {
  struct mallinfo2 info = mallinfo2();
  return double(info.uordblks + info.hblkhd) / kMiB;
}

void SoakDemo(benchmark::State& state) {
  const char* env = std::getenv("VITRINE_DEMO_PACKAGE");
  std::string package = env ? env : "build/demo/vitrine-demo.pkg";
  if (!std::filesystem::exists(package)) {
    state.SkipWithError("no demo package (bash demo/build-demo.sh build/native/bin/vitrine build/demo)");
    return;
  }
  const char* hoursText = std::getenv("VITRINE_SOAK_HOURS");
  const int hours = hoursText ? std::max(1, std::atoi(hoursText)) : 24;
  int width = 960, height = 540;
  if (const char* size = std::getenv("VITRINE_SOAK_SIZE")) std::sscanf(size, "%dx%d", &width, &height);
  if (width < 1 || height < 1) {
    state.SkipWithError("VITRINE_SOAK_SIZE must look like 960x540");
    return;
  }
  constexpr uint64_t kHourMs = 3600 * 1000;
  constexpr uint64_t kLookMs = 500;
  std::vector<double> rss, heap;
  // The show's temporary files (the desktop snapshot) in a folder of this run's own, so that
  // shows running beside it cannot change them under it.
  struct Folder {
    char path[32] = "/tmp/vitrine-soak-XXXXXX";
    bool made = mkdtemp(path) != nullptr;
    ~Folder() {
      std::error_code ec;
      if (made) std::filesystem::remove_all(path, ec);
    }
  } folder;
  if (!folder.made) {
    state.SkipWithError("cannot make a temporary folder");
    return;
  }
  setenv("TMPDIR", folder.path, 1);
  for (auto _ : state) {
    vitrine::HeadlessShowOptions options;
    options.packagePath = package;
    options.width = width;
    options.height = height;
    vitrine::HeadlessShow show(options);
    if (!show.Start()) {
      state.SkipWithError("the demo did not start");
      return;
    }
    std::printf("show hour   resident MiB   heap in use MiB   items shown\n");
    std::printf("%9d   %12.2f   %15.2f   %11d\n", 0, ResidentMiB(), HeapInUseMiB(), 0);
    int32_t lastIndex = show.Form().CurrentIndex;
    long long itemsShown = 0;
    for (int hour = 1; hour <= hours && !show.Ended(); ++hour) {
      for (uint64_t t = uint64_t(hour - 1) * kHourMs + kLookMs; t <= uint64_t(hour) * kHourMs; t += kLookMs) {
        show.RunUntil(t);
        if (show.Ended()) break;
        benchmark::DoNotOptimize(show.Screen());
        // A new item each time the index moves (the cycle has no two equal neighbours).
        if (show.Form().CurrentIndex != lastIndex) ++itemsShown;
        lastIndex = show.Form().CurrentIndex;
      }
      rss.push_back(ResidentMiB());
      heap.push_back(HeapInUseMiB());
      std::printf("%9d   %12.2f   %15.2f   %11lld\n", hour, rss.back(), heap.back(), itemsShown);
      std::fflush(stdout);
    }
    if (show.Ended()) {
      state.SkipWithError("the demo ended by itself");
      return;
    }
    for (const auto& message : show.Services().messages) std::printf("message box: %s\n", message.c_str());
    state.counters["items_shown"] = double(itemsShown);
  }
  state.counters["show_hours"] = double(rss.size());
  state.counters["rss_growth_MiB"] = rss.back() - rss.front();
  state.counters["heap_growth_MiB"] = heap.back() - heap.front();
}
BENCHMARK(SoakDemo)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
