#pragma once
// Reader tests against files that other programs wrote: a scratch folder, the reference tools
// (skipped where they are missing, e.g. under Wine), and pixel comparison. A namespace of its
// own: other helpers of the same test executable live in vitrine::testing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/stream.h"
#include "imaging/reader_graphic.h"
#include "raster/bitmap.h"

namespace vitrine::tool_tests {

namespace fs = std::filesystem;

// Real pictures unpacked from Debian source packages, or "" when not fetched.
inline std::string Corpus() {
  const char* c = std::getenv("VITRINE_CORPUS");
  return c ? c : "";
}

inline bool HaveTool(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return fs::exists(path);
#endif
}

inline constexpr const char* kImageMagick = "/usr/bin/convert";  // the real one, not a wrapper
inline constexpr const char* kGraphicsMagick = "/usr/bin/gm";

#define VITRINE_REQUIRE_TOOL(path) \
  if (!::vitrine::tool_tests::HaveTool(path)) GTEST_SKIP() << (path) << " is not available here"

// A scratch folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("vitrine-readers-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

inline bool RunTool(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A reference decode: a P6 (maxval 255) or a P7 with depth 3 or 4. mask[i] is false where a
// P7's alpha is 0 (the colour there means nothing).
struct Reference {
  Bitmap image;
  std::vector<bool> mask;
};

inline Reference ParseReference(const std::vector<uint8_t>& bytes) {
  Reference ref;
  std::string text(bytes.begin(), bytes.end());
  size_t pos = 0;
  int width = 0, height = 0, depth = 3, maxval = 255;
  auto token = [&]() {
    while (pos < text.size() && (isspace(uint8_t(text[pos])) || text[pos] == '#')) {
      if (text[pos] == '#') while (pos < text.size() && text[pos] != '\n') ++pos;
      else ++pos;
    }
    size_t start = pos;
    while (pos < text.size() && !isspace(uint8_t(text[pos]))) ++pos;
    return text.substr(start, pos - start);
  };
  std::string magic = token();
  if (magic == "P6") {
    width = std::stoi(token());
    height = std::stoi(token());
    maxval = std::stoi(token());
    ++pos;
  } else if (magic == "P7") {
    for (std::string key = token(); key != "ENDHDR" && !key.empty(); key = token()) {
      if (key == "WIDTH") width = std::stoi(token());
      else if (key == "HEIGHT") height = std::stoi(token());
      else if (key == "DEPTH") depth = std::stoi(token());
      else if (key == "MAXVAL") maxval = std::stoi(token());
      else if (key == "TUPLTYPE") token();
    }
    ++pos;
  } else {
    ADD_FAILURE() << "reference is not P6/P7";
    return ref;
  }
  EXPECT_EQ(maxval, 255);
  ref.image.Reset(width, height, PixelFormat::Xrgb8888);
  ref.mask.assign(size_t(width) * height, true);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t at = pos + (size_t(y) * width + x) * depth;
      if (at + depth > bytes.size()) {
        ADD_FAILURE() << "reference is short";
        return ref;
      }
      const uint8_t* p = bytes.data() + at;
      uint8_t r = p[0], g = depth >= 3 ? p[1] : p[0], b = depth >= 3 ? p[2] : p[0];
      ref.image.SetPixel(x, y, RGBColor(r, g, b));
      if (depth == 4 || depth == 2) ref.mask[size_t(y) * width + x] = p[depth - 1] != 0;
    }
  return ref;
}

inline Reference LoadReference(const std::string& path) { return ParseReference(ReadFile(path)); }

// The reader's picture of a file, or the error text it raised.
template <typename Reader>
Bitmap Decode(const std::vector<uint8_t>& bytes, std::string* error = nullptr) {
  Reader reader;
  MemoryStream stream(bytes);
  try {
    reader.LoadFromStream(stream);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    else ADD_FAILURE() << "reader failed: " << e.what();
    return Bitmap();
  }
  return reader.Image();
}

template <typename Reader>
std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  std::string error = "(no error)";
  Decode<Reader>(bytes, &error);
  return error;
}

// Largest channel difference where the reference counts; sizes must agree.
inline int MaxDifference(const Bitmap& got, const Reference& ref) {
  if (got.Width() != ref.image.Width() || got.Height() != ref.image.Height()) {
    ADD_FAILURE() << "size " << got.Width() << "x" << got.Height() << ", reference " << ref.image.Width() << "x"
                  << ref.image.Height();
    return 1 << 20;
  }
  int worst = 0;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x) {
      if (!ref.mask[size_t(y) * got.Width() + x]) continue;
      Color a = got.GetPixel(x, y), b = ref.image.GetPixel(x, y);
      worst = std::max({worst, std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                        std::abs(BlueOf(a) - BlueOf(b))});
    }
  return worst;
}

// Test pictures: 37 x 23 (odd both ways), written as binary netpbm files.
inline std::vector<uint8_t> MakeTestPnm(int type, int maxval = 255, int colours = 0, int width = 37, int height = 23) {
  std::ostringstream header;
  header << 'P' << type << '\n' << width << ' ' << height << '\n';
  if (type != 4) header << maxval << '\n';
  std::string h = header.str();
  std::vector<uint8_t> out(h.begin(), h.end());
  const int samples = type == 6 ? 3 : 1;
  for (int y = 0; y < height; ++y) {
    uint8_t bits = 0;
    for (int x = 0; x < width; ++x) {
      if (type == 4) {
        bits |= uint8_t((((x * 7 + y * 3) % 5) < 2) << (7 - x % 8));
        if (x % 8 == 7 || x == width - 1) { out.push_back(bits); bits = 0; }
        continue;
      }
      for (int s = 0; s < samples; ++s) {
        uint32_t v = uint32_t((x * 977 + y * 1531 + s * 7919 + x * y * 13) % 65536);
        if (colours) v = (uint32_t((x / 3 + y / 4 * 5 + s) % colours) * 65535) / (colours - 1);
        v = v * uint32_t(maxval) / 65535;
        if (maxval > 255) out.push_back(uint8_t(v >> 8));
        out.push_back(uint8_t(v));
      }
    }
  }
  return out;
}

}  // namespace vitrine::tool_tests
