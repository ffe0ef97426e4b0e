// The screen of a small show at chosen moments, compared pixel for pixel with frames recorded
// in tests/data/golden. After a deliberate change to what the show draws, record them again
// with VITRINE_UPDATE_GOLDEN=1 and look at the new pictures before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "package/picture_loading.h"
#include "show_test_rig.h"

namespace vitrine::test {
namespace {

std::filesystem::path GoldenDir() {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  return std::filesystem::path(root && *root ? root : "../data") / "golden";
}

bool Updating() {
  const char* v = std::getenv("VITRINE_UPDATE_GOLDEN");
  return v && *v && std::string(v) != "0";
}

// Patterns that show where each part of a picture lands: no two neighbouring areas share a
// colour, and the edges are marked, so a shift, a flip or a wrong scale changes pixels.
Bitmap Bands(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  const Color colours[] = {RGBColor(230, 40, 40), RGBColor(250, 200, 30), RGBColor(40, 170, 60), RGBColor(30, 90, 220)};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, x == y ? RGBColor(255, 255, 255) : colours[(y * 4) / h]);
  return b;
}

Bitmap Checker(int32_t w, int32_t h, int32_t cell) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, ((x / cell + y / cell) % 2) ? RGBColor(20, 20, 20) : RGBColor(240, 240, 200));
  Canvas(b).FillRect({0, 0, w, 2}, RGBColor(255, 0, 255));
  return b;
}

Bitmap Quadrants(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  Canvas c(b);
  c.FillRect({0, 0, w / 2, h / 2}, RGBColor(200, 30, 30));
  c.FillRect({w / 2, 0, w, h / 2}, RGBColor(30, 200, 30));
  c.FillRect({0, h / 2, w / 2, h}, RGBColor(30, 30, 200));
  c.FillRect({w / 2, h / 2, w, h}, RGBColor(220, 220, 40));
  c.FillRect({w / 2 - 3, 0, w / 2 + 3, h}, RGBColor(255, 255, 255));
  return b;
}

// Three pictures, each with one fixed transition and its own background; no texts, whose
// glyphs depend on the fonts a machine has.
ShowRig& BuildShow(ShowRig& rig) {
  auto fixedTransition = [](const char* index) -> PackageRecord {
    return {{36, index}, {34, "0"}, {35, "20"}};
  };
  PackageRecord first = fixedTransition("36;");  // Circle(Center), over a red-to-blue gradient
  first.insert(first.end(), {{46, "2;"}, {50, "0;"}, {59, "0"}, {48, std::to_string(RGBColor(200, 0, 0))},
                             {49, std::to_string(RGBColor(0, 0, 160))}});
  rig.AddItem(EncodeBmp(Bands(40, 30)), "bands.bmp", first);

  PackageRecord second = fixedTransition("145;");  // Window blind down, over dark green
  second.insert(second.end(), {{45, "15"}, {46, "0;"}, {47, std::to_string(RGBColor(0, 80, 40))}});
  rig.AddItem(EncodePng(Checker(48, 32, 6)), "checker.png", second);

  PackageRecord third = fixedTransition("100;");  // Roll down, over a diagonal gradient
  third.insert(third.end(), {{46, "2;"}, {50, "5;"}, {59, "0"}, {48, std::to_string(RGBColor(255, 255, 255))},
                             {49, std::to_string(RGBColor(90, 0, 120))}});
  rig.AddItem(EncodeBmp(Quadrants(144, 48)), "quadrants.bmp", third);  // shrunk to 96 x 32

  rig.Set(40, "1");  // each transition runs over the whole screen, from the old one
  return rig;
}

struct Difference {
  int64_t pixels = 0;
  int32_t x = -1, y = -1;
  Color expected = 0, actual = 0;
};

Difference Compare(const Bitmap& expected, const Bitmap& actual) {
  Difference d;
  for (int32_t y = 0; y < actual.Height(); ++y)
    for (int32_t x = 0; x < actual.Width(); ++x)
      if (expected.GetPixel(x, y) != actual.GetPixel(x, y)) {
        if (d.pixels++ == 0) d = {1, x, y, expected.GetPixel(x, y), actual.GetPixel(x, y)};
      }
  return d;
}

TEST(GoldenFrames, TheShowDrawsTheRecordedFramesDuringAndAfterEachTransition) {
  ShowRig rig;
  HeadlessShow& show = BuildShow(rig).Start(96, 64);
  ASSERT_TRUE(rig.started);

  // Show time in ms: the black screen before the first tick, each transition part-way and
  // each picture standing complete. The transitions run 0-180, 1180-1810 and 2810-3040 ms;
  // the last frame is the first transition again, now over the third picture's screen.
  const struct {
    uint64_t ms;
    const char* name;
  } frames[] = {
      {0, "show-0000-black.png"},     {90, "show-0090-circle.png"},   {600, "show-0600-bands.png"},
      {1480, "show-1480-blind.png"},  {2400, "show-2400-checker.png"}, {2920, "show-2920-roll.png"},
      {3500, "show-3500-quadrants.png"}, {4130, "show-4130-circle-again.png"},
  };
  for (const auto& frame : frames) {
    SCOPED_TRACE(frame.name);
    show.RunUntil(frame.ms);
    Bitmap screen = show.Screen();
    ASSERT_EQ(screen.Width(), 96);
    ASSERT_EQ(screen.Height(), 64);
    std::filesystem::path golden = GoldenDir() / frame.name;
    if (Updating()) {
      std::filesystem::create_directories(GoldenDir());
      ASSERT_TRUE(WriteImageFile(golden.string(), screen));
      continue;
    }
    Bitmap expected;
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden << " is missing; VITRINE_UPDATE_GOLDEN=1 records it";
    ASSERT_TRUE(LoadPictureFromFile(golden.string(), expected));
    ASSERT_EQ(expected.Width(), 96);
    ASSERT_EQ(expected.Height(), 64);
    Difference d = Compare(expected, screen);
    if (d.pixels != 0) {
      std::filesystem::path actual = std::filesystem::temp_directory_path() / (std::string("actual-") + frame.name);
      WriteImageFile(actual.string(), screen);
      ADD_FAILURE() << d.pixels << " pixels differ, the first at (" << d.x << ", " << d.y << "): expected 0x"
                    << std::hex << d.expected << ", drawn 0x" << d.actual << std::dec << "; the frame drawn is in "
                    << actual;
    }
  }
}

}  // namespace
}  // namespace vitrine::test
