#pragma once
// Scratch files written by other programs (cwebp, heif-enc, cjxl, ImageMagick, exiv2) for the
// conversion tests, and the pixels their reference decoders make of them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "core/stream.h"
#include "package/picture_info.h"
#include "package/picture_loading.h"
#include "raster/bitmap.h"

namespace vitrine::photo::testing {

inline bool HaveProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

#define REQUIRE_PROGRAM(name) \
  if (!::vitrine::photo::testing::HaveProgram(name)) GTEST_SKIP() << name << " is not installed (scripts/setup-debian.sh)"

class Scratch {
 public:
  Scratch() {
    dir_ = std::filesystem::temp_directory_path() /
           ("vitrine-photo-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Runs a shell command in the scratch folder; its output goes to a log shown on failure.
  void Run(const std::string& command) const {
    std::string full = "cd '" + dir_.string() + "' && " + command + " >log.txt 2>&1";
    ASSERT_EQ(std::system(full.c_str()), 0) << command << "\n" << Read("log.txt").size() << " bytes of log";
  }
  std::vector<uint8_t> Read(const std::string& name) const {
    MemoryStream stream;
    LoadStreamFromFile(NativeFileSystem(), Path(name), stream);
    return std::move(stream.Bytes());
  }
  // A PNG or PPM file decoded by the player's own readers, 32 bits per pixel.
  Bitmap Picture(const std::string& name) const {
    Bitmap bitmap(0, 0, PixelFormat::Xrgb8888);
    EXPECT_TRUE(LoadPictureFromFile(Path(name), bitmap)) << name;
    return bitmap;
  }

 private:
  std::filesystem::path dir_;
};

// The largest difference of any colour channel between two pictures of one size (the top
// byte, alpha in the conversion, is left out).
inline int MaxChannelDifference(const Bitmap& a, const Bitmap& b) {
  EXPECT_EQ(a.Width(), b.Width());
  EXPECT_EQ(a.Height(), b.Height());
  int worst = 0;
  for (int32_t y = 0; y < std::min(a.Height(), b.Height()); ++y)
    for (int32_t x = 0; x < std::min(a.Width(), b.Width()); ++x) {
      uint32_t p = a.RawPixel(x, y), q = b.RawPixel(x, y);
      for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
    }
  return worst;
}

}  // namespace vitrine::photo::testing
