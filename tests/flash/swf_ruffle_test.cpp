// The writer's movies drawn by our player against the open Flash player Ruffle in headless
// Chromium (tests/flash/reference/render.mjs). Runs where VITRINE_FLASH_REFERENCE=1 is set and
// node, Chromium and the reference's npm packages are installed; skipped elsewhere. Outside
// the anti-aliased edges the mean difference per channel is at most 3 of 255 and no 16 x 16
// block is off by more than 24.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/stream.h"
#include "flash/demo_movie.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"
#include "imaging/png_reader.h"
#include "raster/image_files.h"

namespace vitrine::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Single(ShapeWriter& s, std::vector<uint8_t> before = {}, Place place = {.depth = 1, .id = 1}) {
  Tag(before, s.TagCode(), s.DefineShape(1, 0, 1600, 0, 1200));
  Tag(before, code::PlaceObject2, PlaceObject2(place));
  Tag(before, code::ShowFrame, {});
  return MovieOf(80, 60, 1, before);
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> ReferenceMovies() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  {
    ShapeWriter s(1, {Solid(200, 30, 40)}, {});
    s.Style(0, 1, 0).MoveTo(210, 170).LineTo(1310, 330).LineTo(700, 1050).LineTo(210, 170);
    out.push_back({"triangle", Single(s)});
  }
  {
    ShapeWriter s(3, {Solid(20, 90, 200, 255)}, {});
    s.Style(0, 1, 0).Circle(800, 600, 450);
    out.push_back({"circle", Single(s)});
  }
  {
    ShapeWriter s(2, {Solid(255, 0, 0), Solid(0, 0, 255)}, {});
    s.Style(0, 1, 0).MoveTo(800, 0).LineTo(0, 0).LineTo(0, 1200).LineTo(800, 1200);
    s.Style(0, 2, 0).LineTo(1600, 1200).LineTo(1600, 0).LineTo(800, 0);
    s.Style(1, 2, 0).LineTo(800, 1200);
    out.push_back({"two_styles", Single(s)});
  }
  std::vector<std::pair<uint8_t, Colour>> stops = {{0, {255, 220, 0}}, {128, {200, 0, 80}}, {255, {0, 40, 160}}};
  for (auto [name, type, m] : {std::tuple{"linear", 0x10, Scale(1600 / 32768.0, 1, 800, 0)},
                               {"radial", 0x12, Scale(500 / 16384.0, 500 / 16384.0, 800, 600)},
                               {"focal", 0x13, Scale(500 / 16384.0, 500 / 16384.0, 800, 600)}}) {
    ShapeWriter s(type == 0x13 ? 4 : 3, {Gradient(uint8_t(type), m, stops, 0, 0, 0.6)}, {});
    s.Style(0, 1, 0).Rect(0, 0, 1600, 1200);
    out.push_back({name, Single(s)});
  }
  {
    std::vector<uint8_t> before;
    std::vector<uint32_t> px;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) px.push_back((x + y) % 2 ? 0xFFFFFFFF : 0xFF208040);
    Tag(before, code::DefineBitsLossless, DefineBitsLossless(5, 8, 8, px, false));
    ShapeWriter s(3, {BitmapFill(0x43, 5, Scale(100, 100, 100, 100))}, {});
    s.Style(0, 1, 0).Rect(100, 100, 900, 900);
    out.push_back({"bitmap", Single(s, before)});
  }
  {
    ShapeWriter s(3, {}, {{120, {30, 30, 30}}, {0, {200, 0, 0}}});
    s.Style(0, 0, 1).MoveTo(200, 200).LineTo(1200, 200).LineTo(1200, 1000);
    s.Style(0, 0, 2).MoveTo(200, 1100).LineTo(1400, 900);
    out.push_back({"strokes", Single(s)});
  }
  {
    ShapeWriter s(1, {Solid(255, 0, 0)}, {});
    s.Style(0, 1, 0).Rect(0, 0, 1600, 1200);
    Cx cx;
    cx.mult[0] = 128;
    cx.add[1] = 100;
    cx.add[2] = 60;
    out.push_back({"colour_transform", Single(s, {}, {.depth = 1, .id = 1, .cx = cx})});
  }
  {
    // A clip layer: a circle showing a striped square through it.
    std::vector<uint8_t> tags;
    ShapeWriter mask(3, {Solid(0, 0, 0)}, {});
    mask.Style(0, 1, 0).Circle(800, 600, 500);
    Tag(tags, 32, mask.DefineShape(1, 300, 1300, 100, 1100));
    ShapeWriter stripes(3, {Solid(240, 120, 0), Solid(40, 40, 200)}, {});
    for (int i = 0; i < 8; ++i) stripes.Style(0, 1 + i % 2, 0).Rect(i * 200, 0, i * 200 + 200, 1200);
    Tag(tags, 32, stripes.DefineShape(2, 0, 1600, 0, 1200));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .clipDepth = 2}));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"clip_layer", MovieOf(80, 60, 1, tags)});
  }
  {
    // A sprite, scaled and turned, holding a square and a circle.
    std::vector<uint8_t> tags;
    ShapeWriter a(3, {Solid(0, 150, 90)}, {});
    a.Style(0, 1, 0).Rect(-300, -300, 300, 300);
    Tag(tags, 32, a.DefineShape(1, -300, 300, -300, 300));
    ShapeWriter b(3, {Solid(230, 200, 30, 180)}, {});
    b.Style(0, 1, 0).Circle(200, 200, 250);
    Tag(tags, 32, b.DefineShape(2, -50, 450, -50, 450));
    std::vector<uint8_t> inner;
    Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
    Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
    Tag(inner, code::ShowFrame, {});
    Tag(inner, 0, {});
    std::vector<uint8_t> sprite = {3, 0, 1, 0};
    sprite.insert(sprite.end(), inner.begin(), inner.end());
    Tag(tags, code::DefineSprite, sprite);
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Mat{0.9, 0.5, -0.5, 0.9, 800, 600}}));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"sprite", MovieOf(80, 60, 1, tags)});
  }
  // The demo movie at its first, middle and last frame.
  for (uint16_t frame : {0, 36, 71}) out.push_back({"demo_frame" + std::to_string(frame), DemoMovie(frame)});
  return out;
}

// Pixels where our frame changes from one pixel to the next: anti-aliased edges, left out.
bool AtEdge(const Bitmap& b, int x, int y) {
  Color c = b.GetPixel(x, y);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      int nx = std::clamp(x + dx, 0, b.Width() - 1), ny = std::clamp(y + dy, 0, b.Height() - 1);
      Color n = b.GetPixel(nx, ny);
      if (std::abs(RedOf(c) - RedOf(n)) > 16 || std::abs(GreenOf(c) - GreenOf(n)) > 16 ||
          std::abs(BlueOf(c) - BlueOf(n)) > 16)
        return true;
    }
  return false;
}

TEST(SwfRuffle, WriterMoviesMatchTheReferencePlayer) {
  const char* on = std::getenv("VITRINE_FLASH_REFERENCE");
  if (!on || std::string(on) != "1") GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  if (!fs::exists("reference/node_modules/@ruffle-rs/ruffle") || !fs::exists("/usr/bin/chromium"))
    GTEST_SKIP() << "the reference player is not installed (scripts/setup-debian.sh)";
  fs::path dir = fs::temp_directory_path() / ("vitrine-ruffle-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + std::to_string(std::rand()));
  fs::create_directories(dir);
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies)
    std::ofstream(dir / (name + ".swf"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::string command = "node reference/render.mjs '" + dir.string() + "' > '" + (dir / "render.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "see " << (dir / "render.log");
  bool keep = false;
  for (auto& [name, bytes] : movies) {
    SCOPED_TRACE(name);
    std::ifstream in(dir / (name + ".ruffle.png"), std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(png.empty());
    MemoryStream stream(png);
    TPNGGraphic reference;
    reference.LoadFromStream(stream);
    const Bitmap& theirs = reference.Image();
    auto player = PlayerOf(bytes);
    ASSERT_TRUE(player);
    Bitmap ours = Draw(*player, theirs.Width(), theirs.Height());
    double total = 0, worst = 0;
    int counted = 0;
    for (int by = 0; by < ours.Height(); by += 16)
      for (int bx = 0; bx < ours.Width(); bx += 16) {
        double block = 0;
        int n = 0;
        for (int y = by; y < std::min(by + 16, ours.Height()); ++y)
          for (int x = bx; x < std::min(bx + 16, ours.Width()); ++x) {
            if (AtEdge(ours, x, y)) continue;
            Color a = ours.GetPixel(x, y), b = theirs.GetPixel(x, y);
            double e = (std::abs(RedOf(a) - RedOf(b)) + std::abs(GreenOf(a) - GreenOf(b)) +
                        std::abs(BlueOf(a) - BlueOf(b))) / 3.0;
            block += e;
            total += e;
            ++n;
          }
        if (n) worst = std::max(worst, block / n);
        counted += n;
      }
    double mean = counted ? total / counted : 0;
    std::printf("ruffle %-16s mean %.3f, worst block %.3f (%d pixels compared)\n", name.c_str(), mean, worst, counted);
    EXPECT_LE(mean, 3.0);
    EXPECT_LE(worst, 24.0);
    if (mean > 3.0 || worst > 24.0) {
      keep = true;
      WriteImageFile((dir / (name + ".ours.png")).string(), ours);
    }
  }
  // A failing comparison leaves both frames behind to look at.
  if (keep) std::printf("frames kept in %s\n", dir.string().c_str());
  else fs::remove_all(dir);
}

}  // namespace
}  // namespace vitrine::test
