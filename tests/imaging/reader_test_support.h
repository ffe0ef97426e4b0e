#pragma once
// What the reader tests share: the committed fixtures, the real pictures of the corpus, the
// pictures other programs made at build time (make-references.sh), a scratch folder, the
// reference tools for the cases that still run them (absent under Wine: those cases are
// excluded by name there, see windows_exclusions.cpp), parsers for the tools' PNM/PAM output
// and pixel comparison.
//
// A comparison with another program never passes by comparing nothing: a missing tool, a tool
// that fails, or a missing file of a fetched corpus fails the case. Only a corpus that was
// never fetched skips it, saying so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/stream.h"
#include "imaging/reader_graphic.h"
#include "raster/bitmap.h"

namespace vitrine::testing {

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The committed test data (tests/data), as CTest passes it.
inline fs::path TestData() {
  const char* env = std::getenv("VITRINE_TEST_DATA");
  return fs::path(env && *env ? env : "../data");
}
inline fs::path PictureFixture(const std::string& name) { return TestData() / "pictures" / name; }
inline fs::path DataDir() { return TestData() / "readers-b"; }

// Real pictures unpacked from Debian source packages: the folder, or nothing when not fetched.
inline std::optional<fs::path> CorpusDir() {
  const char* env = std::getenv("VITRINE_CORPUS");
  if (!env || !*env || !fs::is_directory(env)) return std::nullopt;
  return fs::path(env);
}

inline constexpr const char* kNoCorpus =
    "the corpus was not fetched (VITRINE_CORPUS is no folder): scripts/fetch-corpus.sh makes it";

// Skips the case when the corpus was never fetched; otherwise `var` is its folder as text, to
// put the corpus paths after.
#define VITRINE_REQUIRE_CORPUS(var)                                         \
  const auto var##_dir = ::vitrine::testing::CorpusDir();                  \
  if (!var##_dir) GTEST_SKIP() << ::vitrine::testing::kNoCorpus;           \
  const std::string var = var##_dir->string()

// A file or folder the fetched corpus must hold.
inline ::testing::AssertionResult InCorpus(const fs::path& path) {
  if (fs::exists(path)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path.string()
                                       << " is missing from the corpus (scripts/fetch-corpus.sh fetches it)";
}

// A picture that another program made at build time, or "" when that program was missing
// on the build machine (the case then fails: setup installs those programs).
inline fs::path MadeByOtherPrograms(const std::string& name) {
#ifdef VITRINE_IMAGING_REFERENCES
  const fs::path path = fs::path(VITRINE_IMAGING_REFERENCES) / name;
  if (fs::exists(path)) return path;
#else
  (void)name;
#endif
  return {};
}

#define VITRINE_REQUIRE_MADE(var, name)                                         \
  const ::std::filesystem::path var = ::vitrine::testing::MadeByOtherPrograms(name); \
  if (var.empty()) FAIL() << (name) << " was not made: a tool was missing at build time (see make-references.sh)"

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("vitrine-readers-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

inline std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

inline constexpr const char* kImageMagick = "/usr/bin/convert";  // the real one, not a wrapper
inline constexpr const char* kGraphicsMagick = "/usr/bin/gm";

// A tool by path or by name on PATH; never under Windows, where Linux tools cannot start (the
// cases that run them are excluded by name there).
inline bool HaveTool(const std::string& tool) {
#ifdef _WIN32
  (void)tool;
  return false;
#else
  if (tool.find('/') != std::string::npos) return fs::exists(tool);
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

// scripts/setup-debian.sh installs every reference tool with its core tier: a missing one fails.
#define VITRINE_REQUIRE_TOOL(tool)              \
  if (!::vitrine::testing::HaveTool(tool))      \
  FAIL() << (tool) << " is missing: scripts/setup-debian.sh installs it"

// Runs a shell command, its errors unshown; true when it exits with 0.
inline bool RunTool(const std::string& command) {
#ifdef _WIN32
  (void)command;
  return false;
#else
  return std::system((command + " 2>/dev/null").c_str()) == 0;
#endif
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

inline Reference LoadReference(const std::string& path) { return ParseReference(ReadBytes(path)); }

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
inline std::optional<RefImage> ReferenceFrom(const std::string& command, const fs::path& out) {
  if (!RunTool(command)) return std::nullopt;
  return ParsePnm(ReadBytes(out));
}

// A reference tool's decode that make-references.sh stored.
inline RefImage LoadRefImage(const fs::path& path) {
  auto image = ParsePnm(ReadBytes(path));
  if (!image) {
    ADD_FAILURE() << path.string() << " is not a PNM/PAM picture";
    return {};
  }
  return *image;
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

inline ::testing::AssertionResult SamePixels(const Bitmap& actual, const Bitmap& expected, int tolerance = 0) {
  RefImage image{expected.Width(), expected.Height(), {}};
  for (int32_t y = 0; y < expected.Height(); ++y)
    for (int32_t x = 0; x < expected.Width(); ++x) {
      const Color c = expected.GetPixel(x, y);
      image.pixels.push_back(uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c));
    }
  return SamePixels(actual, image, tolerance);
}

inline uint32_t Pixel(const Bitmap& bitmap, int x, int y) { return bitmap.RawPixel(x, y) & 0xFFFFFF; }

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

// A deterministic 37x23 colour picture as binary PPM (odd sizes catch row padding faults).
inline std::vector<uint8_t> TestPpm(int width = 37, int height = 23) {
  std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.insert(out.end(), {uint8_t(x * 7), uint8_t(y * 11), uint8_t((x * y) ^ 0x5A)});
  return out;
}

}  // namespace vitrine::testing
