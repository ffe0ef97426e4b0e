// The demo's Flash movie: the file in demo/ is what the writer makes, and it moves.
#include <gtest/gtest.h>

#include <fstream>

#include "flash/demo_movie.h"
#include "flash/swf_render.h"

namespace vitrine::test {
namespace {

// VITRINE_WRITE_DEMO_MOVIES=demo writes the movies there after a change to one of them.
void ExpectTheDemoHolds(const std::string& name, const std::vector<uint8_t>& made) {
  if (const char* dir = std::getenv("VITRINE_WRITE_DEMO_MOVIES"))
    std::ofstream(std::string(dir) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(made.data()), std::streamsize(made.size()));
  std::vector<uint8_t> file = TestDataFile("../../demo/" + name);
  ASSERT_FALSE(file.empty()) << "demo/" << name << " is missing";
  EXPECT_EQ(file, made) << "demo/" << name << " is not what the writer makes";
}

TEST(DemoMovie, TheFilesInTheDemoAreTheWritersMovies) {
  ExpectTheDemoHolds("shapes.swf", DemoMovie());
  ExpectTheDemoHolds("snow.swf", SnowMovie());
  ExpectTheDemoHolds("effects.swf", EffectsMovie());
}

// Bright pixels: flakes over the dark sky.
size_t FlakePixels(const Bitmap& frame) {
  size_t n = 0;
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x) n += (frame.GetPixel(x, y) & 0xFF) > 150;
  return n;
}

TEST(DemoMovie, TheScriptMakesSnowThatFalls) {
  auto player = PlayerOf(SnowMovie());
  ASSERT_TRUE(player);
  player->Play();
  Bitmap first = Draw(*player, 480, 360);
  // Sixty flakes of 5 to 17 pixels across: far more bright pixels than one flake has.
  EXPECT_GT(FlakePixels(first), 400u);
  for (int i = 0; i < 12; ++i) player->Tick();
  Bitmap later = Draw(*player, 480, 360);
  EXPECT_GT(FlakePixels(later), 400u);
  size_t changed = 0;
  for (int y = 0; y < 360; y += 2)
    for (int x = 0; x < 480; x += 2) changed += first.GetPixel(x, y) != later.GetPixel(x, y);
  EXPECT_GT(changed, 300u);
  // The timeline is one frame; the flakes move by their own scripts.
  EXPECT_EQ(player->CurrentFrame(), 0u);
}

TEST(DemoMovie, ShapesMoveAndTheBitmapShows) {
  auto player = PlayerOf(DemoMovie());
  ASSERT_TRUE(player);
  EXPECT_EQ(player->FrameCount(), 72u);
  player->Play();
  Bitmap first = Draw(*player, 480, 360);
  for (int i = 0; i < 18; ++i) player->Tick();
  Bitmap quarter = Draw(*player, 480, 360);
  // The bitmap's top-left corner (its ring pattern, framed) at 20 + 2 pixels.
  EXPECT_NE(first.GetPixel(40, 40), RGBColor(20, 28, 64));
  // The ball swings from the middle towards the right.
  EXPECT_EQ(first.GetPixel(400, 110), RGBColor(20, 28, 64));
  EXPECT_NE(quarter.GetPixel(410, 110), RGBColor(20, 28, 64));
  size_t changed = 0;
  for (int y = 0; y < 360; y += 4)
    for (int x = 0; x < 480; x += 4) changed += first.GetPixel(x, y) != quarter.GetPixel(x, y);
  EXPECT_GT(changed, 1000u);
}

}  // namespace
}  // namespace vitrine::test
