#pragma once
// What the BMP and JPEG tests share: the committed fixtures, a scratch folder, the external
// writers and reference decoders (absent under Wine: those cases skip), and a PPM parser for
// the references' output.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine::testing {

namespace fs = std::filesystem;

inline fs::path PictureFixture(const std::string& name) {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  return fs::path(root && *root ? root : "../data") / "pictures" / name;
}

inline std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("vitrine-pictures-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

// The full path of an installed tool, or "" (the tests then skip). ImageMagick's convert is
// called by its Debian path: other programs named convert may stand earlier in PATH.
inline std::string Tool(const std::string& name) {
  for (const char* dir : {"/usr/bin/", "/usr/local/bin/"}) {
    if (name == "convert" && std::string(dir) != "/usr/bin/") continue;
    fs::path p = fs::path(dir) / name;
    if (fs::exists(p)) return p.string();
  }
  return "";
}

// Runs a shell command quietly; true when it exits with 0.
inline bool RunQuietly(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

inline std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// Binary PPM (P6) or PGM (P5) with maxval 255 into a 32-bit bitmap; an empty bitmap when the
// bytes are anything else.
inline Bitmap ParsePnm(const std::vector<uint8_t>& d) {
  size_t pos = 2;
  auto number = [&]() -> long {
    while (pos < d.size()) {
      if (d[pos] == '#') {
        while (pos < d.size() && d[pos] != '\n') ++pos;
      } else if (d[pos] == ' ' || d[pos] == '\n' || d[pos] == '\r' || d[pos] == '\t') {
        ++pos;
      } else {
        break;
      }
    }
    long v = 0;
    while (pos < d.size() && d[pos] >= '0' && d[pos] <= '9') v = v * 10 + (d[pos++] - '0');
    return v;
  };
  if (d.size() < 3 || d[0] != 'P' || (d[1] != '6' && d[1] != '5')) return {};
  bool grey = d[1] == '5';
  long w = number(), h = number(), maxval = number();
  ++pos;
  size_t channels = grey ? 1 : 3;
  if (maxval != 255 || w <= 0 || h <= 0 || d.size() < pos + size_t(w * h) * channels) return {};
  Bitmap out(int32_t(w), int32_t(h), PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = &d[pos + (size_t(y) * w + x) * channels];
      out.SetPixel(x, y, grey ? RGBColor(p[0], p[0], p[0]) : RGBColor(p[0], p[1], p[2]));
    }
  return out;
}

// Pixel-for-pixel comparison with the largest channel difference allowed; reports the first
// mismatch with its place.
inline ::testing::AssertionResult SamePixels(const Bitmap& actual, const Bitmap& expected, int tolerance = 0) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height() << ", expected "
                                         << expected.Width() << "x" << expected.Height();
  for (int32_t y = 0; y < actual.Height(); ++y)
    for (int32_t x = 0; x < actual.Width(); ++x) {
      Color a = actual.GetPixel(x, y), e = expected.GetPixel(x, y);
      for (int shift : {0, 8, 16}) {
        int diff = int((a >> shift) & 0xFF) - int((e >> shift) & 0xFF);
        if (diff > tolerance || -diff > tolerance)
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << a
                                               << ", expected 0x" << e;
      }
    }
  return ::testing::AssertionSuccess();
}

}  // namespace vitrine::testing
