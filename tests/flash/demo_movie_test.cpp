// The demo's Flash movie: the file in demo/ is what the writer makes, and it moves.
#include <gtest/gtest.h>

#include <fstream>

#include "flash/demo_movie.h"
#include "flash/swf_render.h"

namespace vitrine::test {
namespace {

TEST(DemoMovie, TheFileInTheDemoIsTheWritersMovie) {
  std::vector<uint8_t> made = DemoMovie();
  // VITRINE_WRITE_DEMO_MOVIE=demo/shapes.swf writes it after a change to the movie.
  if (const char* out = std::getenv("VITRINE_WRITE_DEMO_MOVIE"))
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(made.data()), std::streamsize(made.size()));
  std::vector<uint8_t> file = TestDataFile("../../demo/shapes.swf");
  ASSERT_FALSE(file.empty()) << "demo/shapes.swf is missing";
  EXPECT_EQ(file, made) << "demo/shapes.swf is not what DemoMovie() writes";
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
