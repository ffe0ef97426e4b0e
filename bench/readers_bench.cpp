// Picture decoding against the reference tools on the same 4000x3000 picture: PNG (default
// compression), GIF and Targa written once by ImageMagick at start-up. The tools run as
// processes writing to /dev/null. Every case is timed by the processor time it uses (ours:
// this process; a tool: its child process, user plus system), so that other work on a
// shared machine does not decide the comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <time.h>

#include "core/stream.h"
#include "imaging/reader_graphic.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 4000, kHeight = 3000;
fs::path g_dir;
bool g_ready = false;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// A smooth, photo-like picture with fine noise, so that neither format gets it for free.
void WriteSourcePicture(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
  std::vector<uint8_t> row(size_t(kWidth) * 3);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int n = int((noise >> 16) & 7) - 4;
      const double fx = x / double(kWidth), fy = y / double(kHeight);
      row[size_t(x) * 3] = uint8_t(std::clamp(int(127 + 120 * std::sin(6 * fx + 2 * fy)) + n, 0, 255));
      row[size_t(x) * 3 + 1] = uint8_t(std::clamp(int(127 + 120 * std::cos(5 * fy - 3 * fx)) + n, 0, 255));
      row[size_t(x) * 3 + 2] = uint8_t(std::clamp(int(255 * fx * fy) + n, 0, 255));
    }
    out.write(reinterpret_cast<const char*>(row.data()), std::streamsize(row.size()));
  }
}

bool Prepare() {
  g_dir = fs::temp_directory_path() / "vitrine-readers-bench";
  fs::create_directories(g_dir);
  const fs::path source = g_dir / "picture.ppm";
  if (!fs::exists(g_dir / "picture.tga")) {
    WriteSourcePicture(source);
    const std::string in = "'" + source.string() + "'";
    if (!Shell("convert " + in + " PNG24:'" + (g_dir / "picture.png").string() + "'") ||
        !Shell("convert " + in + " -colors 256 GIF:'" + (g_dir / "picture.gif").string() + "'") ||
        !Shell("convert " + in + " -orient TopLeft TGA:'" + (g_dir / "picture.tga").string() + "'"))
      return false;
  }
  return true;
}

double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

double ChildSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& v) { return double(v.tv_sec) + v.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Decode(benchmark::State& state, int type, const char* file) {
  if (!g_ready) {
    state.SkipWithError("ImageMagick's convert is needed to write the pictures");
    return;
  }
  vitrine::MemoryStream stream(ReadAll(g_dir / file));
  auto reader = vitrine::CreateReader(type);
  for (auto _ : state) {
    const double start = ProcessSeconds();
    stream.Seek(0, vitrine::SeekOrigin::Begin);
    reader->LoadFromStream(stream);
    benchmark::DoNotOptimize(reader->Image().Bits());
    state.SetIterationTime(ProcessSeconds() - start);
  }
}

// command holds FILE where the picture's path goes; the output goes to /dev/null.
void Tool(benchmark::State& state, std::string command, const char* file) {
  command.replace(command.find("FILE"), 4, "'" + (g_dir / file).string() + "'");
  const std::string line = command + " > /dev/null";
  if (!g_ready || !Shell(line)) {
    state.SkipWithError("tool or picture missing");
    return;
  }
  for (auto _ : state) {
    const double start = ChildSeconds();
    Shell(line);  // the shell's own few milliseconds are counted against the tool
    state.SetIterationTime(ChildSeconds() - start);
  }
}

void Vitrine_PNG(benchmark::State& s) { Decode(s, 15, "picture.png"); }
void Vitrine_GIF(benchmark::State& s) { Decode(s, 11, "picture.gif"); }
void Vitrine_Targa(benchmark::State& s) { Decode(s, 6, "picture.tga"); }
void Tool_pngtopnm(benchmark::State& s) { Tool(s, "pngtopnm FILE", "picture.png"); }
void Tool_giftopnm(benchmark::State& s) { Tool(s, "giftopnm FILE", "picture.gif"); }
void Tool_gm_PNG(benchmark::State& s) { Tool(s, "gm convert FILE ppm:-", "picture.png"); }
void Tool_gm_GIF(benchmark::State& s) { Tool(s, "gm convert FILE ppm:-", "picture.gif"); }
void Tool_gm_Targa(benchmark::State& s) { Tool(s, "gm convert FILE ppm:-", "picture.tga"); }

}  // namespace

#define VITRINE_READER_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0)
VITRINE_READER_BENCH(Vitrine_PNG);
VITRINE_READER_BENCH(Tool_pngtopnm);
VITRINE_READER_BENCH(Tool_gm_PNG);
VITRINE_READER_BENCH(Vitrine_GIF);
VITRINE_READER_BENCH(Tool_giftopnm);
VITRINE_READER_BENCH(Tool_gm_GIF);
VITRINE_READER_BENCH(Vitrine_Targa);
VITRINE_READER_BENCH(Tool_gm_Targa);

int main(int argc, char** argv) {
  g_ready = Prepare();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
