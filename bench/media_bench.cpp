// Video decoding and show rendering.
//
// DecodeScaleFrame: one 1920x1080 H.264 frame decoded and scaled into a 960x540 panel by the
// show's player; FfmpegProgramDecodeScale: the ffmpeg program doing the same work (decode,
// bilinear scale to 960x540, 16-bit pixels, one thread) for the whole clip in one run, per
// frame. RenderDemo: `vitrine render` of the demo (build/demo/vitrine-demo.pkg, or
// VITRINE_DEMO_PACKAGE) for 20 seconds at 960x540 and 10 frames a second, show.mp4 included;
// its counter says how many seconds of show one second of wall time renders.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "apps/headless/show_render.h"
#include "core/file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/media/av_media_player.h"

namespace {

constexpr int kClipFrames = 50;  // 2 s at 25 fps

const std::string& Clip() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "vitrine-bench-1080p.mp4").string();
    if (!std::filesystem::exists(p)) {
      std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=2 "
                        "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" + p + "'";
      if (std::system(cmd.c_str()) != 0) return std::string();
    }
    return p;
  }();
  return path;
}

void DecodeScaleFrame(benchmark::State& state) {
  if (Clip().empty()) {
    state.SkipWithError("the ffmpeg program is needed to make the 1080p clip");
    return;
  }
  vitrine::HeadlessEventLoop loop;
  vitrine::AvMediaPlayer player(loop, vitrine::NativeFileSystem(), nullptr);
  if (!player.Open(Clip())) {
    state.SkipWithError("cannot open the clip");
    return;
  }
  player.SetDisplayRect({0, 0, 960, 540});
  vitrine::Bitmap panel(960, 540, vitrine::kDefaultShowPixelFormat);
  player.Play();
  uint64_t t = 0;
  int frame = 0;
  for (auto _ : state) {
    if (++frame == kClipFrames) {
      state.PauseTiming();
      player.Seek(0);
      player.DrawVideoFrame(panel);
      frame = 0;
      state.ResumeTiming();
    }
    t += 40;
    loop.RunUntil(t);
    benchmark::DoNotOptimize(player.DrawVideoFrame(panel));
  }
}
BENCHMARK(DecodeScaleFrame)->Unit(benchmark::kMillisecond);

void FfmpegProgramDecodeScale(benchmark::State& state) {
  if (Clip().empty() || std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
    state.SkipWithError("the ffmpeg program is not installed");
    return;
  }
  // -benchmark reports the program's own processor time, which the counter shows per frame
  // beside the wall time (the processor time of this process says nothing about a child).
  std::string report = (std::filesystem::temp_directory_path() / "vitrine-bench-ffmpeg.txt").string();
  std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel info -benchmark -threads 1 -i '" + Clip() +
                    "' -filter_threads 1 -vf scale=960:540:flags=bilinear -pix_fmt rgb565le -f rawvideo -y /dev/null > '" +
                    report + "' 2>&1";
  double cpuSeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("the ffmpeg program failed");
      return;
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count() / kClipFrames);
    std::ifstream in(report);
    std::string word;
    while (in >> word)
      if (word.rfind("utime=", 0) == 0) cpuSeconds += std::atof(word.c_str() + 6);
  }
  state.counters["cpu_ms_per_frame"] = cpuSeconds * 1000 / kClipFrames / double(state.iterations());
  std::filesystem::remove(report);
}
BENCHMARK(FfmpegProgramDecodeScale)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void RenderDemo(benchmark::State& state) {
  const char* env = std::getenv("VITRINE_DEMO_PACKAGE");
  std::string package = env ? env : "build/demo/vitrine-demo.pkg";
  if (!std::filesystem::exists(package)) {
    state.SkipWithError("no demo package (bash demo/build-demo.sh build/native/bin/vitrine build/demo)");
    return;
  }
  std::string out = (std::filesystem::temp_directory_path() / "vitrine-bench-show.mp4").string();
  constexpr int kSeconds = 20;
  for (auto _ : state) {
    vitrine::HeadlessShowOptions options;
    options.packagePath = package;
    options.width = 960;
    options.height = 540;
    vitrine::HeadlessShow show(options);
    if (!show.Start()) {
      state.SkipWithError("the demo did not start");
      return;
    }
    vitrine::ShowRenderOptions render;
    render.seconds = kSeconds;
    render.fps = 10;
    render.videoPath = out;
    auto result = vitrine::RenderShow(show, render);
    if (!result.error.empty()) {
      state.SkipWithError(result.error.c_str());
      return;
    }
  }
  state.counters["show_s_per_wall_s"] =
      benchmark::Counter(double(kSeconds) * double(state.iterations()), benchmark::Counter::kIsRate);
  std::filesystem::remove(out);
}
BENCHMARK(RenderDemo)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
