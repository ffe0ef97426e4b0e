#pragma once
// Shared by the reader tests: files in and out, the reference tools (ImageMagick,
// GraphicsMagick, netpbm, libtiff's tools) run through the shell, and their PNM/PAM output
// compared pixel for pixel with a reader's bitmap. Under Wine the tools are not there and
// the cases that need them skip.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/stream.h"
#include "imaging/reader_graphic.h"
#include "raster/bitmap.h"

namespace vitrine::testing_b {

// A deterministic 37x23 colour picture as binary PPM (odd sizes catch row padding faults).
inline std::vector<uint8_t> TestPpm(int width = 37, int height = 23) {
  std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.insert(out.end(), {uint8_t(x * 7), uint8_t(y * 11), uint8_t((x * y) ^ 0x5A)});
  return out;
}

inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::filesystem::path DataDir() {
  const char* env = std::getenv("VITRINE_TEST_DATA");
  return std::filesystem::path(env ? env : "../data") / "readers-b";
}

inline std::optional<std::filesystem::path> CorpusDir() {
  const char* env = std::getenv("VITRINE_CORPUS");
  if (!env || !std::filesystem::is_directory(env)) return std::nullopt;
  return std::filesystem::path(env);
}

// Decodes bytes with a fresh reader of the given type code.
inline Bitmap Decode(int type, std::vector<uint8_t> bytes) {
  auto reader = CreateReader(type);
  MemoryStream stream(std::move(bytes));
  reader->LoadFromStream(stream);
  return reader->Image();
}

// The message a decode fails with, or "" when it succeeds.
inline std::string DecodeError(int type, std::vector<uint8_t> bytes) {
  try {
    Decode(type, std::move(bytes));
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("vitrine-readers-b-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string Quote(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Runs a shell command; true when it exits with 0.
inline bool RunShell(const std::string& command) {
#ifdef _WIN32
  (void)command;
  return false;
#else
  return std::system((command + " 2>/dev/null").c_str()) == 0;
#endif
}

inline bool HaveTool(const std::string& name) {
#ifdef _WIN32
  (void)name;
  return false;
#else
  return RunShell("command -v " + name + " >/dev/null");
#endif
}

#define VITRINE_REQUIRE_TOOL(name) \
  if (!::vitrine::testing_b::HaveTool(name)) GTEST_SKIP() << name << " is not installed here"

// A picture as a reference tool wrote it: 8-bit RGB words 0x00RRGGBB.
struct RefImage {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// Binary PGM, PPM (P5, P6) and PAM (P7, depth 1..4); wide samples scaled to 8 bits with
// rounding. Alpha samples are dropped.
inline std::optional<RefImage> ParsePnm(const std::vector<uint8_t>& bytes) {
  size_t pos = 0;
  auto skipSpace = [&] {
    while (pos < bytes.size()) {
      if (bytes[pos] == '#') {
        while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
      } else if (std::isspace(bytes[pos])) {
        ++pos;
      } else {
        break;
      }
    }
  };
  auto token = [&] {
    skipSpace();
    std::string t;
    while (pos < bytes.size() && !std::isspace(bytes[pos])) t += char(bytes[pos++]);
    return t;
  };
  const std::string magic = token();
  RefImage image;
  int depth = 0, maxval = 0;
  if (magic == "P4") {
    image.width = std::stoi(token());
    image.height = std::stoi(token());
    ++pos;
    const size_t rowBytes = (size_t(image.width) + 7) / 8;
    if (pos + rowBytes * image.height > bytes.size()) return std::nullopt;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        image.pixels.push_back((bytes[pos + y * rowBytes + x / 8] >> (7 - x % 8)) & 1 ? 0 : 0xFFFFFF);
    return image;
  }
  if (magic == "P5" || magic == "P6") {
    image.width = std::stoi(token());
    image.height = std::stoi(token());
    maxval = std::stoi(token());
    depth = magic == "P5" ? 1 : 3;
  } else if (magic == "P7") {
    for (std::string key = token(); key != "ENDHDR" && !key.empty(); key = token()) {
      if (key == "WIDTH") image.width = std::stoi(token());
      else if (key == "HEIGHT") image.height = std::stoi(token());
      else if (key == "DEPTH") depth = std::stoi(token());
      else if (key == "MAXVAL") maxval = std::stoi(token());
      else if (key == "TUPLTYPE") token();
    }
  } else {
    return std::nullopt;
  }
  ++pos;  // the single white-space byte before the samples
  const int sampleBytes = maxval > 255 ? 2 : 1;
  const size_t need = size_t(image.width) * image.height * depth * sampleBytes;
  if (depth < 1 || depth > 4 || pos + need > bytes.size()) return std::nullopt;
  auto sample = [&](size_t index) -> uint32_t {
    const uint8_t* p = bytes.data() + pos + index * sampleBytes;
    const uint32_t v = sampleBytes == 2 ? uint32_t(p[0] << 8 | p[1]) : p[0];
    return (v * 255 + uint32_t(maxval) / 2) / uint32_t(maxval);
  };
  image.pixels.resize(size_t(image.width) * image.height);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const size_t base = i * depth;
    if (depth <= 2) {
      const uint32_t g = sample(base);
      image.pixels[i] = g << 16 | g << 8 | g;
    } else {
      image.pixels[i] = sample(base) << 16 | sample(base + 1) << 8 | sample(base + 2);
    }
  }
  return image;
}

// Runs a command that writes a PNM/PAM file and reads the result.
inline std::optional<RefImage> Reference(const std::string& command, const std::filesystem::path& out) {
  if (!RunShell(command)) return std::nullopt;
  return ParsePnm(ReadFileBytes(out));
}

inline ::testing::AssertionResult SamePixels(const Bitmap& actual, const RefImage& expected, int tolerance = 0) {
  if (actual.Width() != expected.width || actual.Height() != expected.height)
    return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height() << ", expected "
                                         << expected.width << "x" << expected.height;
  int worst = 0;
  std::string where;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      const uint32_t a = actual.RawPixel(x, y) & 0xFFFFFF, e = expected.pixels[size_t(y) * expected.width + x];
      for (int shift = 0; shift <= 16; shift += 8) {
        const int d = std::abs(int((a >> shift) & 0xFF) - int((e >> shift) & 0xFF));
        if (d > worst) {
          worst = d;
          char text[96];
          std::snprintf(text, sizeof text, "(%d,%d): %06X, expected %06X", x, y, unsigned(a), unsigned(e));
          where = text;
        }
      }
    }
  if (worst > tolerance)
    return ::testing::AssertionFailure() << "differs by " << worst << " at " << where;
  return ::testing::AssertionSuccess();
}

inline uint32_t Pixel(const Bitmap& bitmap, int x, int y) { return bitmap.RawPixel(x, y) & 0xFFFFFF; }

}  // namespace vitrine::testing_b
