#pragma once
// Small media files made for a test by the ffmpeg program, in a fresh temporary folder, and
// the program's own decoding of them to compare against.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vitrine::test {

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
