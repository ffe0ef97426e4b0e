// The show's own costs on a 1920x1080 screen: how long a 50-item show takes from start to its
// first transition frame, and what one selection step (load, decode, fit, compose) costs in
// time and memory for a 24-megapixel photo.
//
// Memory is counted below malloc, so that the JPEG decoder's own buffers count as well as
// everything that operator new hands out: this binary interposes malloc and its siblings on
// glibc's and keeps the bytes in use (by malloc_usable_size) and their high-water mark.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "package/memory_file_system.h"
#include "package/package_writer.h"
#include "apps/headless/headless_show.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<int64_t> gInUse{0}, gPeak{0};

void Count(void* p) {
  if (!p) return;
  int64_t now = gInUse.fetch_add(int64_t(malloc_usable_size(p)), std::memory_order_relaxed) + int64_t(malloc_usable_size(p));
  int64_t peak = gPeak.load(std::memory_order_relaxed);
  while (now > peak && !gPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
}
void Uncount(void* p) {
  if (p) gInUse.fetch_sub(int64_t(malloc_usable_size(p)), std::memory_order_relaxed);
}

}  // namespace

extern "C" {
void* malloc(size_t n) noexcept {
  void* p = __libc_malloc(n);
  Count(p);
  return p;
}
void* calloc(size_t n, size_t size) noexcept {
  void* p = __libc_calloc(n, size);
  Count(p);
  return p;
}
void* realloc(void* old, size_t n) noexcept {
  Uncount(old);
  void* p = __libc_realloc(old, n);
  // A failed realloc leaves the old block in place.
  Count(p ? p : (n ? old : nullptr));
  return p;
}
void free(void* p) noexcept {
  Uncount(p);
  __libc_free(p);
}
void* memalign(size_t alignment, size_t n) noexcept {
  void* p = __libc_memalign(alignment, n);
  Count(p);
  return p;
}
void* aligned_alloc(size_t alignment, size_t n) noexcept { return memalign(alignment, n); }
int posix_memalign(void** out, size_t alignment, size_t n) noexcept {
  void* p = memalign(alignment, n);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
void* valloc(size_t n) noexcept { return memalign(4096, n); }
void* pvalloc(size_t n) noexcept { return memalign(4096, (n + 4095) & ~size_t(4095)); }
}

namespace {

using namespace vitrine;

constexpr int32_t kScreenWidth = 1920, kScreenHeight = 1080;
constexpr const char* kPackagePath = "/saver/bench.scr";

// A photo-like scene: smooth gradients under fine grain, so it compresses about as a camera
// picture does.
std::vector<uint8_t> CompressScene(int width, int height, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t(width) * 3);
  uint32_t noise = 12345;
  auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
  while (cinfo.next_scanline < cinfo.image_height) {
    double y = cinfo.next_scanline * 4000.0 / height;
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      int grain = int(noise >> 28) - 8;
      double fx = x * 6000.0 / width;
      double s = std::sin(fx * 0.003) * std::cos(y * 0.004), t = std::sin((fx + y) * 0.0011);
      row[3 * x] = clamp(128 + 100 * s + grain);
      row[3 * x + 1] = clamp(128 + 90 * t + grain);
      row[3 * x + 2] = clamp(128 - 80 * s * t + grain);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

// A package of `count` copies of one JPEG, each on a plain background without texts, brought
// in by "Circle(Center)", in order, scaled to fit the screen.
std::vector<uint8_t> PackageOf(const std::vector<uint8_t>& jpeg, int count) {
  PackageContent content;
  content.ProjectRecord = {{30, "Bench.scr"}, {4, "0"}, {3, "0"}, {5, "0"}, {40, "1"}, {41, "1"}};
  for (int i = 0; i < count; ++i) {
    content.PictureRecords.push_back({{1, std::to_string(i)},
                                      {2, "photo" + std::to_string(i) + ".jpg"},
                                      {3, std::to_string(jpeg.size())},
                                      {45, "2"},
                                      {36, "36;"},
                                      {34, "0"},
                                      {7, "0"},
                                      {17, "0"},
                                      {46, "0;"},
                                      {60, "0"},
                                      {47, "4210752"}});
    content.ItemData.push_back(jpeg);
  }
  return BuildPackage(content, 0);
}

HeadlessShowOptions ShowOptions(MemoryFileSystem& files, const Bitmap& desktop) {
  HeadlessShowOptions options;
  options.packagePath = kPackagePath;
  options.width = kScreenWidth;
  options.height = kScreenHeight;
  options.files = &files;
  options.desktop = desktop;
  options.seed = 1;
  return options;
}

// (a) Start-up of a 50-item show: the create handler (package index, 50 records, settings,
// desktop snapshot), the first selection (decode, fit, compose) and the first frame of its
// transition on screen. The photos are 1600x1200, a typical size for a show.
void BM_StartToFirstFrame50Items(benchmark::State& state) {
  MemoryFileSystem files;
  files.Files[kPackagePath] = PackageOf(CompressScene(1600, 1200, 88), 50);
  const Bitmap desktop = MakeSampleDesktop(kScreenWidth, kScreenHeight);
  for (auto _ : state) {
    state.PauseTiming();
    auto show = std::make_unique<HeadlessShow>(ShowOptions(files, desktop));
    state.ResumeTiming();
    if (!show->Start()) {
      state.SkipWithError("the show did not start");
      return;
    }
    show->Window().TakeDirty();  // the black first screen is not a transition frame
    uint64_t now = 0;
    while (show->Window().TakeDirty().Width() <= 0) {
      if (now > 1000) {
        state.SkipWithError("no transition frame within a second of show time");
        return;
      }
      show->RunUntil(++now);
    }
    state.PauseTiming();
    show.reset();
    state.ResumeTiming();
  }
  state.SetLabel("50 items of 1600x1200 JPEG, 1920x1080");
}
BENCHMARK(BM_StartToFirstFrame50Items)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// (b) One selection step for a 6000x4000 JPEG on a 1920x1080 show in size mode 1: the
// item's bytes from the package, the decode, the fit, the background and the composed
// whole screen of a TransitionScope 1 show. Peak is the most memory in use at once during
// the step beyond what was in use before it; the show's own long-lived bitmaps are already
// allocated by the first selection in Start().
void BM_SelectionStep24MegapixelJpeg(benchmark::State& state) {
  MemoryFileSystem files;
  files.Files[kPackagePath] = PackageOf(CompressScene(6000, 4000, 90), 1);
  const Bitmap desktop = MakeSampleDesktop(kScreenWidth, kScreenHeight);
  HeadlessShow show(ShowOptions(files, desktop));
  if (!show.Start()) {
    state.SkipWithError("the show did not start");
    return;
  }
  const int64_t decoded = int64_t(6000) * 4000 * 4;
  int64_t worst = 0;
  for (auto _ : state) {
    int64_t before = gInUse.load();
    gPeak.store(before);
    show.Form().SelectNextItem();
    worst = std::max(worst, gPeak.load() - before);
  }
  if (show.Form().PictureBitmap().Width() != 1620 || show.Form().PictureBitmap().Height() != 1080)
    state.SkipWithError("the photo was not fitted to 1620x1080");
  state.counters["peak_MB"] = double(worst) / 1e6;
  state.counters["peak_per_decoded"] = double(worst) / double(decoded);
  state.SetLabel("6000x4000 JPEG (" + std::to_string(files.Files[kPackagePath].size() / 1000) +
                 " kB); decoded it would be 96 MB");
}
BENCHMARK(BM_SelectionStep24MegapixelJpeg)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
