// Frames of a 550 x 400 movie of 200 moving shapes (solid, translucent, gradient-filled and
// stroked circles) drawn by our own Flash control at 1920 x 1080 into the show's 16-bit
// surface, against the movie's frame interval at 30 frames a second (33 ms; goal 3.3 ms).
// In the same run, where Chromium and the reference's npm packages are installed, the open
// Flash player Ruffle draws the same movie at the same size (tests/flash/reference/frame_time.mjs):
// each of its iterations is one interval between the page's animation frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "flash/own_flash_control.h"
#include "flash/swf_writer.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"

namespace vitrine {
namespace {

using namespace test;

std::vector<uint8_t> TwoHundredShapes() {
  std::vector<uint8_t> tags;
  Tag(tags, 9, {20, 30, 60});
  uint32_t seed = 7;
  auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (uint16_t id = 1; id <= 200; ++id) {
    int32_t r = 200 + int32_t(next(1000));  // 10 to 60 pixels
    Colour c{uint8_t(next(256)), uint8_t(next(256)), uint8_t(next(256)), uint8_t(id % 3 ? 255 : 160)};
    std::vector<Fill> fills;
    std::vector<LineSpec> lines;
    if (id % 4 == 0)
      fills.push_back(Gradient(0x12, Scale(r / 16384.0, r / 16384.0), {{0, {255, 255, 255}}, {255, c}}));
    else
      fills.push_back(Solid(c.r, c.g, c.b, c.a));
    if (id % 4 == 1) lines.push_back({40, {0, 0, 0}});
    ShapeWriter s(3, fills, lines);
    s.Style(0, 1, lines.empty() ? 0 : 1).Circle(0, 0, r);
    Tag(tags, 32, s.DefineShape(id, -r, r, -r, r));
  }
  for (int frame = 0; frame < 30; ++frame) {
    for (uint16_t id = 1; id <= 200; ++id) {
      int32_t x = int32_t((id * 977 + frame * 40 * (id % 5 + 1)) % 11000);
      int32_t y = int32_t((id * 613 + frame * 25 * (id % 3 + 1)) % 8000);
      if (frame == 0) Tag(tags, 26, PlaceObject2({.depth = id, .id = id, .matrix = Translate(x, y)}));
      else Tag(tags, 26, PlaceObject2({.depth = id, .matrix = Translate(x, y), .move = true}));
    }
    Tag(tags, 1, {});
  }
  return MovieOf(550, 400, 30, tags, true, 30 << 8);
}

void FlashFrame1920x1080(benchmark::State& state) {
  HeadlessEventLoop loop;
  MemoryFileSystem files;
  files.Files["/tmp/bench.swf"] = TwoHundredShapes();
  OwnFlashControl control(loop, files);
  control.SetBounds(0, 0, 1920, 1080);
  control.SetMovie("/tmp/bench.swf");
  control.Play();
  Bitmap screen(1920, 1080, kShowPixelFormat);
  uint64_t now = 0;
  for (auto _ : state) {
    now += 34;  // one frame on at 30 a second
    loop.RunUntil(now);
    control.Paint(screen);
    benchmark::DoNotOptimize(screen.Bits());
  }
}
BENCHMARK(FlashFrame1920x1080)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Ruffle's frame intervals over five seconds, measured once and handed out one an iteration.
const std::vector<double>& RuffleIntervals(std::string* why) {
  static std::vector<double> intervals;
  static std::string failure;
  static bool measured = false;
  if (!measured) {
    measured = true;
    namespace fs = std::filesystem;
    fs::path reference = fs::path(VITRINE_SOURCE_DIR) / "tests/flash/reference";
    if (!fs::exists("/usr/bin/chromium") || !fs::exists(reference / "node_modules/@ruffle-rs/ruffle")) {
      failure = "Chromium or the reference's npm packages are not installed";
    } else {
      fs::path movie = fs::temp_directory_path() / "vitrine-bench-200-shapes.swf";
      std::vector<uint8_t> bytes = TwoHundredShapes();
      std::ofstream(movie, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
      std::string command = "node '" + (reference / "frame_time.mjs").string() + "' '" + movie.string() + "' 1920 1080 5 2>/dev/null";
      std::string out;
      if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        if (pclose(pipe) != 0) out.clear();
      }
      std::istringstream values(out);
      for (double v; values >> v;) intervals.push_back(v);
      if (intervals.empty()) failure = "the reference player did not run";
      fs::remove(movie);
    }
  }
  *why = failure;
  return intervals;
}

void RuffleFrame1920x1080(benchmark::State& state) {
  std::string why;
  const std::vector<double>& intervals = RuffleIntervals(&why);
  if (intervals.empty()) {
    state.SkipWithError(why.c_str());
    return;
  }
  size_t i = 0;
  for (auto _ : state) state.SetIterationTime(intervals[i++ % intervals.size()] / 1000.0);
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  state.counters["median_ms"] = sorted[sorted.size() / 2];
  state.SetLabel(std::to_string(intervals.size()) + " frames of Ruffle in headless Chromium");
}
BENCHMARK(RuffleFrame1920x1080)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);

}  // namespace
}  // namespace vitrine
BENCHMARK_MAIN();
