// JPEG decoding of a 24-megapixel photo: ours (into the show's 32-bit bitmap, orientation
// and all) against plain libjpeg calls in-process and against libjpeg-turbo's own djpeg.
// The photo is compressed once at start-up from a synthetic scene with smooth gradients and
// fine texture, so its entropy is close to a camera picture's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <jpeglib.h>

#include "imaging/jpeg_reader.h"

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

std::vector<uint8_t> CompressPhoto() {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t(kWidth) * 3);
  uint32_t noise = 12345;
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = int(cinfo.next_scanline);
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      int grain = int(noise >> 28) - 8;
      double s = std::sin(x * 0.003) * std::cos(y * 0.004), t = std::sin((x + y) * 0.0011);
      auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
      row[3 * x] = clamp(128 + 100 * s + grain);
      row[3 * x + 1] = clamp(128 + 90 * t + grain);
      row[3 * x + 2] = clamp(128 - 80 * s * t + ((x / 40 + y / 40) % 2) * 30 + grain);
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

const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> photo = CompressPhoto();
  return photo;
}

const std::filesystem::path& PhotoFile() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "vitrine-jpeg-bench-24mp.jpg";
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(Photo().data()), std::streamsize(Photo().size()));
    return p;
  }();
  return path;
}

// Photo after photo into the same bitmap, as the show decodes into its picture bitmap.
void BM_DecodeJpeg_Vitrine(benchmark::State& state) {
  vitrine::Bitmap b;
  // The first decode allocates the bitmap; its page faults are BM_DecodeJpeg_VitrineFreshBitmap's.
  vitrine::DecodeJpeg(Photo(), b);
  for (auto _ : state) {
    vitrine::DecodeJpeg(Photo(), b);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetLabel("6000x4000 into a reused 32-bit bitmap");
}

// The same into a reused 16-bit (5-6-5) bitmap, the show's own format.
void BM_DecodeJpeg_VitrineInto565(benchmark::State& state) {
  vitrine::Bitmap b(0, 0, vitrine::PixelFormat::Rgb565);
  vitrine::DecodeJpeg(Photo(), b);
  for (auto _ : state) {
    vitrine::DecodeJpeg(Photo(), b);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetLabel("6000x4000 into a reused 16-bit bitmap");
}

// What loading into the show's 16-bit bitmap cost when JPEG always decoded to 32 bits: a
// fresh 32-bit decode, then a conversion pass. Kept to show what the direct 5-6-5 decode
// into a fresh bitmap (the loader's way) saves.
void BM_DecodeJpeg_Vitrine32ThenConvertTo565(benchmark::State& state) {
  for (auto _ : state) {
    vitrine::Bitmap b = vitrine::DecodeJpeg(Photo());
    b.SetFormat(vitrine::PixelFormat::Rgb565);
    benchmark::DoNotOptimize(b.Bits());
  }
}

void BM_DecodeJpeg_VitrineFresh565(benchmark::State& state) {
  for (auto _ : state) {
    vitrine::Bitmap b(0, 0, vitrine::PixelFormat::Rgb565);
    vitrine::DecodeJpeg(Photo(), b);
    benchmark::DoNotOptimize(b.Bits());
  }
}

// Each decode into a freshly allocated 96 MB bitmap: the kernel's page faults included.
void BM_DecodeJpeg_VitrineFreshBitmap(benchmark::State& state) {
  for (auto _ : state) {
    vitrine::Bitmap b = vitrine::DecodeJpeg(Photo());
    benchmark::DoNotOptimize(b.Bits());
  }
}

// What libjpeg does for djpeg's PPM output, without the file: RGB rows into one buffer.
void BM_DecodeJpeg_PlainLibjpeg(benchmark::State& state) {
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(Photo().data()), static_cast<unsigned long>(Photo().size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<uint8_t> row(size_t(cinfo.output_width) * cinfo.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(row.data());
  }
}

// libjpeg-turbo's own tool on the same file, process start-up included (a few ms).
void BM_Djpeg_Subprocess(benchmark::State& state) {
  if (!std::filesystem::exists("/usr/bin/djpeg")) {
    state.SkipWithError("djpeg is not installed");
    return;
  }
  std::string command = "/usr/bin/djpeg -outfile /dev/null '" + PhotoFile().string() + "'";
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("djpeg failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

// What the show does with the photo on a 1920x1080 screen: decoded at 3/8.
void BM_DecodeJpeg_VitrineForScreen(benchmark::State& state) {
  int scale = vitrine::ChooseJpegScale(vitrine::ReadJpegHeader(Photo()), 1920, 1080);
  for (auto _ : state) {
    vitrine::Bitmap b = vitrine::DecodeJpeg(Photo(), scale);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetLabel("scale " + std::to_string(scale) + "/8");
}

}  // namespace

BENCHMARK(BM_DecodeJpeg_Vitrine)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DecodeJpeg_VitrineInto565)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DecodeJpeg_Vitrine32ThenConvertTo565)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DecodeJpeg_VitrineFresh565)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DecodeJpeg_VitrineFreshBitmap)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DecodeJpeg_PlainLibjpeg)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_Djpeg_Subprocess)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);
BENCHMARK(BM_DecodeJpeg_VitrineForScreen)->Unit(benchmark::kMillisecond)->MinTime(3);

BENCHMARK_MAIN();
