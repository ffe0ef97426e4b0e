#pragma once
// Small media files made for a test by the ffmpeg program, in a fresh temporary folder, and
// the program's own decoding of them to compare against.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine::test {

// Three seconds at 10 frames a second, 64 x 48, each frame far from the one before it.
inline constexpr const char* kChangingPicture =
    "nullsrc=size=64x48:rate=10:duration=3,format=yuv444p,"
    "geq=lum='128+90*sin(N+X/9)':cb='128+60*sin(0.7*N+Y/7)':cr='128+60*cos(1.3*N)'";

// Mean absolute difference per channel between the pixels of `area` in `picture` and RGB
// bytes of a width × height frame whose pixel (0, 0) lies at (left, top) of the picture.
inline double MeanDifference(const Bitmap& picture, const Rect& area, const std::vector<uint8_t>& rgb, int32_t width,
                             int32_t height, int32_t left, int32_t top) {
  if (rgb.size() != size_t(width) * height * 3 || area.Width() <= 0 || area.Height() <= 0) return 255;
  double sum = 0;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x) {
      int32_t fx = x - left, fy = y - top;
      if (fx < 0 || fy < 0 || fx >= width || fy >= height) return 255;
      Color c = picture.GetPixel(x, y);
      const uint8_t* p = &rgb[(size_t(fy) * width + fx) * 3];
      sum += std::abs(RedOf(c) - p[0]) + std::abs(GreenOf(c) - p[1]) + std::abs(BlueOf(c) - p[2]);
    }
  return sum / (3.0 * area.Width() * area.Height());
}

// Root mean square of each `window` samples.
inline std::vector<double> WindowRms(const std::vector<int16_t>& samples, size_t window) {
  std::vector<double> rms;
  for (size_t i = 0; i + window <= samples.size(); i += window) {
    double sum = 0;
    for (size_t k = i; k < i + window; ++k) sum += double(samples[k]) * samples[k];
    rms.push_back(std::sqrt(sum / double(window)));
  }
  return rms;
}

inline bool HaveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

class MediaDir {
 public:
  MediaDir() {
    char pattern[] = "/tmp/vitrine-media-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made) dir_ = made;
  }
  ~MediaDir() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (std::filesystem::path(dir_) / name).string(); }

  // Runs ffmpeg with `args` writing `name`; the path, or empty when it failed.
  std::string Make(const std::string& name, const std::string& args) const {
    std::string path = Path(name);
    std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " -map_metadata -1 -fflags +bitexact '" + path + "'";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
  }

  static std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The program's decoding of frame `n` of a video, scaled bilinearly to width × height, as
  // RGB bytes.
  std::vector<uint8_t> FrameRgb(const std::string& video, int n, int width, int height) const {
    std::string out = Path("frame.rgb");
    std::string cmd = "ffmpeg -nostdin -loglevel error -y -i '" + video + "' -vf 'select=eq(n\\," + std::to_string(n) +
                      "),scale=" + std::to_string(width) + ":" + std::to_string(height) +
                      ":flags=bilinear' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + out + "'";
    if (std::system(cmd.c_str()) != 0) return {};
    return Read(out);
  }

  // The sound track of a media file as the program decodes it: 16-bit mono at `rate`.
  std::vector<int16_t> SoundMono(const std::string& media, int rate) const {
    std::string out = Path("sound.raw");
    std::string cmd = "ffmpeg -nostdin -loglevel error -y -i '" + media + "' -ac 1 -ar " + std::to_string(rate) +
                      " -f s16le '" + out + "'";
    if (std::system(cmd.c_str()) != 0) return {};
    auto bytes = Read(out);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
  }

 private:
  std::string dir_;
};

#define VITRINE_NEED_FFMPEG() \
  if (!HaveFfmpeg()) GTEST_SKIP() << "the ffmpeg program makes this test's media"

}  // namespace vitrine::test
