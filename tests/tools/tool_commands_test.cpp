// `vitrine decode` and `vitrine sheet` run as a user runs them; their pictures read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/stream.h"
#include "flash/action_assembler.h"
#include "flash/swf_writer.h"
#include "imaging/png_reader.h"
#include "raster/bitmap.h"
#include "tiny_font.h"
#include "transitions/transition_rig.h"

namespace vitrine::tool {
namespace {

namespace fs = std::filesystem;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, rows top-down
  uint32_t At(int x, int y) const { return rgb[size_t(y) * width + x]; }
};

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A binary P6 with maxval 255, as the tool writes it.
std::optional<Picture> ReadPpm(const fs::path& path) {
  const std::vector<uint8_t> bytes = ReadAll(path);
  std::string text(bytes.begin(), bytes.end());
  std::istringstream header(text);
  std::string magic;
  int maxval = 0;
  Picture p;
  if (!(header >> magic >> p.width >> p.height >> maxval) || magic != "P6" || maxval != 255) return std::nullopt;
  size_t at = size_t(header.tellg()) + 1;
  if (at + size_t(p.width) * p.height * 3 != bytes.size()) return std::nullopt;
  for (size_t i = 0; i < size_t(p.width) * p.height; ++i, at += 3)
    p.rgb.push_back(uint32_t(bytes[at]) << 16 | uint32_t(bytes[at + 1]) << 8 | bytes[at + 2]);
  return p;
}

bool Near(uint32_t got, uint32_t want, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8)
    if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

class ToolCommands : public ::testing::Test {
 protected:
  ToolCommands() {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("vitrine-commands-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(dir_);
  }
  ~ToolCommands() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // Runs `vitrine ARGS`; its exit status, with what it wrote to standard error in *errors.
  int Run(const std::string& args, std::string* errors = nullptr) {
    const fs::path log = dir_ / "stderr.txt";
    const std::string command = std::string("'") + VITRINE_TOOL_PATH + "' " + args + " 2>'" + log.string() + "'";
    const int status = std::system(command.c_str());
    if (errors) {
      const auto bytes = ReadAll(log);
      errors->assign(bytes.begin(), bytes.end());
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const std::string& name) const { return "'" + (dir_ / name).string() + "'"; }

  fs::path dir_;
};

// A 3 x 2 bitmap written byte by byte: 24 bits, rows bottom-up, each padded to 12 bytes.
std::vector<uint8_t> HandMadeBmp() {
  std::vector<uint8_t> file = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                               40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                               24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  // Bottom row: blue, green, red (B, G, R bytes); then the top row: white, black, grey.
  const std::vector<uint8_t> rows = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0,
                                     255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
  file.insert(file.end(), rows.begin(), rows.end());
  return file;
}

TEST_F(ToolCommands, DecodeWritesThePicturesPixels) {
  std::ofstream(dir_ / "in.bmp", std::ios::binary).write(reinterpret_cast<const char*>(HandMadeBmp().data()), 78);
  ASSERT_EQ(Run("decode " + Path("in.bmp") + " -o " + Path("out.ppm")), 0);
  const auto ppm = ReadPpm(dir_ / "out.ppm");
  ASSERT_TRUE(ppm);
  ASSERT_EQ(ppm->width, 3);
  ASSERT_EQ(ppm->height, 2);
  EXPECT_EQ(ppm->rgb, (std::vector<uint32_t>{0xFFFFFF, 0x000000, 0x808080, 0x0000FF, 0x00FF00, 0xFF0000}));

  // A JPEG of four quadrants, by its name, to PNG: red, green, blue, white.
  const char* data = std::getenv("VITRINE_TEST_DATA");
  const fs::path jpeg = fs::path(data && *data ? data : "../data") / "pictures" / "quadrants.jpg";
  ASSERT_TRUE(fs::exists(jpeg)) << jpeg;
  ASSERT_EQ(Run("decode '" + jpeg.string() + "' -o " + Path("out.png")), 0);
  MemoryStream stream(ReadAll(dir_ / "out.png"));
  TPNGGraphic png;
  png.LoadFromStream(stream);
  const Bitmap& image = png.Image();
  ASSERT_EQ(image.Width(), 32);
  ASSERT_EQ(image.Height(), 32);
  const auto rgb = [&](int x, int y) {
    const Color c = image.GetPixel(x, y);
    return uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c);
  };
  EXPECT_TRUE(Near(rgb(8, 8), 0xFF0000, 12));
  EXPECT_TRUE(Near(rgb(24, 8), 0x00FF00, 12));
  EXPECT_TRUE(Near(rgb(8, 24), 0x0000FF, 12));
  EXPECT_TRUE(Near(rgb(24, 24), 0xFFFFFF, 12));
}

TEST_F(ToolCommands, DecodeRefusesWhatItCannotRead) {
  std::string errors;
  EXPECT_EQ(Run("decode " + Path("missing.bmp") + " -o " + Path("out.ppm"), &errors), 1);
  EXPECT_NE(errors.find("cannot read"), std::string::npos) << errors;
  std::ofstream(dir_ / "notes.txt") << "no picture";
  EXPECT_EQ(Run("decode " + Path("notes.txt") + " -o " + Path("out.ppm"), &errors), 1);
  EXPECT_NE(errors.find("has no picture type (use --type)"), std::string::npos) << errors;
  EXPECT_EQ(Run("decode " + Path("notes.txt") + " -o " + Path("out.ppm") + " --type 16", &errors), 1);
  EXPECT_NE(errors.find("--type needs a picture type code from 1 to 15, not '16'"), std::string::npos) << errors;
  std::ofstream(dir_ / "broken.bmp") << "BM broken";
  EXPECT_EQ(Run("decode " + Path("broken.bmp") + " -o " + Path("out.ppm"), &errors), 1);
  EXPECT_FALSE(fs::exists(dir_ / "out.ppm"));
}

// Six cells a row, each the label over three thumbnails (a quarter, half and three quarters
// of the transition) on the sheet's dark background.
TEST_F(ToolCommands, SheetLaysOutLabelledThumbnailsOfEachTransition) {
  ASSERT_EQ(Run("sheet -o " + Path("sheet.ppm") + " --size 64x48 --range 0-11"), 0);
  const auto sheet = ReadPpm(dir_ / "sheet.ppm");
  ASSERT_TRUE(sheet);
  const int w = 64, h = 48, gap = 4, cellW = 3 * w + 4 * gap, cellH = h + kTinyGlyphHeight + 3 * gap;
  ASSERT_EQ(sheet->width, 6 * cellW);   // 1248
  ASSERT_EQ(sheet->height, 2 * cellH);  // two rows of six
  const uint32_t background = 0x282830, label = 0xF0F0F0;
  EXPECT_EQ(sheet->At(0, 0), background);
  EXPECT_EQ(sheet->At(sheet->width - 1, sheet->height - 1), background);

  const Bitmap oldPicture = MakeOldTestPicture(w, h), newPicture = MakeNewTestPicture(w, h);
  auto rgbOf = [](const Bitmap& b, int x, int y) {
    const Color c = b.GetPixel(x, y);
    return uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c);
  };
  // The band transitions (0 to 11) draw only the two pictures, never less of the new one from
  // one thumbnail to the next; those growing from the centre or a corner (2 to 11) are still
  // under way at the first.
  for (int index = 0; index < 12; ++index) {
    SCOPED_TRACE(index);
    const int x0 = (index % 6) * cellW, y0 = (index / 6) * cellH;
    int labelPixels = 0;
    for (int y = y0 + gap; y < y0 + gap + kTinyGlyphHeight; ++y)
      for (int x = x0 + gap; x < x0 + cellW - gap; ++x) labelPixels += sheet->At(x, y) == label;
    EXPECT_GT(labelPixels, 20);
    int previous = 0;
    for (int third = 0; third < 3; ++third) {
      const int tx = x0 + gap + third * (w + gap), ty = y0 + 2 * gap + kTinyGlyphHeight;
      int fresh = 0, foreign = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t got = sheet->At(tx + x, ty + y);
          if (got == rgbOf(newPicture, x, y)) ++fresh;
          else if (got != rgbOf(oldPicture, x, y)) ++foreign;
        }
      EXPECT_EQ(foreign, 0) << "thumbnail " << third;
      EXPECT_GE(fresh, previous) << "thumbnail " << third;
      if (third == 0 && index >= 2) {
        EXPECT_LT(fresh, w * h);
      }
      previous = fresh;
    }
  }
}

// A button (a 10-pixel square at 20,20) whose press, release and key "a" trace, in a movie
// of three frames.
std::vector<uint8_t> ButtonMovie() {
  using namespace vitrine::test;
  auto trace = [](const std::string& text) { return Asm().Push({text}).Trace().Bytes(); };
  std::vector<uint8_t> tags = SolidSquare(1, 255, 0, 0);
  BitWriter w;
  w.U16(2);
  w.U8(0);
  BitWriter part;
  part.U8(1 | 8);  // up and hit
  part.U16(1);
  part.U16(1);
  WriteMatrix(part, Translate(0, 0));
  part.U8(0);
  part.U8(0);
  std::vector<uint8_t> parts = part.Take();
  w.U16(uint16_t(parts.size() + 2));
  w.Bytes(parts);
  const std::vector<std::pair<uint16_t, std::vector<uint8_t>>> actions = {
      {1 << 2, trace("press")}, {1 << 3, trace("release")}, {uint16_t('a' << 9), trace("key a")}};
  for (size_t i = 0; i < actions.size(); ++i) {
    w.U16(i + 1 == actions.size() ? 0 : uint16_t(actions[i].second.size() + 4));
    w.U16(actions[i].first);
    w.Bytes(actions[i].second);
  }
  Tag(tags, code::DefineButton2, w.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2, .matrix = Translate(400, 400)}));
  for (int f = 0; f < 3; ++f) Tag(tags, code::ShowFrame, {});
  std::vector<uint8_t> movie = MovieOf(100, 100, 3, tags);
  movie[3] = 8;
  return movie;
}

TEST_F(ToolCommands, SwfFeedsTheMouseAndKeysGivenAfterTheirFrames) {
  const auto movie = ButtonMovie();
  std::ofstream(dir_ / "button.swf", std::ios::binary)
      .write(reinterpret_cast<const char*>(movie.data()), std::streamsize(movie.size()));
  const fs::path out = dir_ / "out.txt";
  // The press misses at first (outside the square), then lands; the key after the release.
  ASSERT_EQ(Run("swf " + Path("button.swf") + " --frames 3 --trace --mouse 1:50,50:down --mouse 1:50,50:up" +
                " --mouse 2:25,25:down --key 3:a --mouse 2:25,25:up --key 2:65:up >" + Path("out.txt")),
            0);
  const auto bytes = ReadAll(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "press\nrelease\nkey a\n");
  std::string errors;
  EXPECT_EQ(Run("swf " + Path("button.swf") + " --frames 3 --mouse 1:25", &errors), 1);
  EXPECT_EQ(errors, "vitrine swf: --mouse takes FRAME:X,Y[:down|up], not 1:25\n");
}

}  // namespace
}  // namespace vitrine::tool
