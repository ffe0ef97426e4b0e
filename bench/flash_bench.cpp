// Frames of a 550 x 400 movie of 200 moving shapes (solid, translucent, gradient-filled and
// stroked circles) drawn by our own Flash control at 1920 x 1080 into the show's 16-bit
// surface, against the movie's frame interval at 30 frames a second (33 ms; goal 3.3 ms).
#include <benchmark/benchmark.h>

#include "flash/own_flash_control.h"
#include "flash/swf_writer.h"
#include "package/memory_file_system.h"
#include "platform/headless/headless_event_loop.h"

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

}  // namespace
}  // namespace vitrine
BENCHMARK_MAIN();
