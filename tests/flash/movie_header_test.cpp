#include "flash/movie_header.h"

#include <gtest/gtest.h>

#include "flash/movie_bytes.h"
#include "flash/own_flash_control.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"

namespace vitrine {
namespace {

using test::Movie;
using test::MovieOutline;
using test::Tag;

MovieOutline RedMovie() {
  MovieOutline m;
  m.xMin = -20;  // a negative field checks the sign extension
  m.xMax = 11000;
  m.yMax = 8000;
  m.frameRate = 0x1880;  // 24.5
  m.frameCount = 180;
  Tag(m.tags, 69, {0, 0, 0, 0});  // FileAttributes first, as newer movies have it
  Tag(m.tags, 9, {0xFF, 0x20, 0x00});
  Tag(m.tags, 1, {});
  Tag(m.tags, 0, {});
  return m;
}

TEST(MovieHeader, ReadsPlainAndCompressedAlike) {
  for (bool compressed : {false, true}) {
    auto header = ReadMovieHeader(Movie(RedMovie(), compressed));
    ASSERT_TRUE(header) << compressed;
    EXPECT_EQ(header->compressed, compressed);
    EXPECT_EQ(header->version, 10);
    EXPECT_EQ(header->xMin, -20);
    EXPECT_EQ(header->xMax, 11000);
    EXPECT_EQ(header->yMin, 0);
    EXPECT_EQ(header->yMax, 8000);
    EXPECT_EQ(header->frameRate, 0x1880);
    EXPECT_EQ(header->frameCount, 180);
    ASSERT_TRUE(header->background);
    EXPECT_EQ(*header->background, 0x000020FFu);  // red FF, green 20, as a Windows colour
  }
}

TEST(MovieHeader, BackgroundOnlyBeforeTheFirstFrameAndAfterLongTags) {
  MovieOutline late;
  Tag(late.tags, 1, {});
  Tag(late.tags, 9, {1, 2, 3});
  auto header = ReadMovieHeader(Movie(late, false));
  ASSERT_TRUE(header);
  EXPECT_FALSE(header->background);

  MovieOutline afterLong;
  Tag(afterLong.tags, 77, std::vector<uint8_t>(100, 'x'));
  Tag(afterLong.tags, 9, {1, 2, 3}, true);
  header = ReadMovieHeader(Movie(afterLong, true));
  ASSERT_TRUE(header);
  ASSERT_TRUE(header->background);
  EXPECT_EQ(*header->background, 0x00030201u);
}

TEST(MovieHeader, RejectsWhatIsNoMovieOrIsCutShort) {
  std::vector<uint8_t> good = Movie(MovieOutline{}, false);
  EXPECT_FALSE(ReadMovieHeader({}));
  std::vector<uint8_t> wrong = good;
  wrong[0] = 'Z';
  EXPECT_FALSE(ReadMovieHeader(wrong));
  // The frame count is the last field needed: one byte short of it fails.
  size_t countEnd = 8 + 9 + 4;
  EXPECT_TRUE(ReadMovieHeader(std::span(good).first(countEnd)));
  EXPECT_FALSE(ReadMovieHeader(std::span(good).first(countEnd - 1)));

  std::vector<uint8_t> packed = Movie(MovieOutline{}, true);
  packed[9] ^= 0xFF;  // zlib header check fails
  EXPECT_FALSE(ReadMovieHeader(packed));
  // A compressed stream cut short still gives the header when its first bytes came through.
  std::vector<uint8_t> cut = Movie(RedMovie(), true);
  EXPECT_TRUE(ReadMovieHeader(std::span(cut).first(cut.size() - 4)));
  // A tag claiming more bytes than there are ends the search quietly.
  MovieOutline huge;
  Tag(huge.tags, 77, {1, 2}, true);
  std::vector<uint8_t> bytes = Movie(huge, false);
  bytes[8 + 13 + 2] = 0xFF;  // the long length's low byte
  bytes[8 + 13 + 5] = 0x7F;  // and its high byte
  auto header = ReadMovieHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_FALSE(header->background);
}

class OwnControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MovieOutline m;
    m.frameRate = 0x0C00;  // 12 frames a second
    m.frameCount = 30;
    Tag(m.tags, 9, {0xFF, 0, 0});
    files.Files["/tmp/vdn.swf"] = Movie(m, true);
  }
  HeadlessEventLoop loop;
  MemoryFileSystem files;
};

TEST_F(OwnControlTest, PlayheadRunsAtTheFrameRateAndLoopsAtTheEnd) {
  OwnFlashControl control(loop, files);
  control.SetMovie("/tmp/vdn.swf");
  EXPECT_EQ(control.TotalFrames(), 30);
  EXPECT_FALSE(control.Playing());
  control.GotoFrame(2);
  control.Play();
  loop.RunUntil(1000);
  EXPECT_EQ(control.CurrentFrame(), 14);
  EXPECT_TRUE(control.Playing());
  control.StopPlay();
  loop.RunUntil(1500);
  EXPECT_EQ(control.CurrentFrame(), 14);
  control.Play();
  // One frame every 1/12 s from 14 at 1.5 s: the last frame (29) at 2.75 s, frame 0 again
  // at 2.83 s, frame 8 at 3.5 s.
  loop.RunUntil(3500);
  EXPECT_EQ(control.CurrentFrame(), 8);
  EXPECT_TRUE(control.Playing());
}

TEST_F(OwnControlTest, AMovieItCannotReadHasNoFramesAndNeverPlays) {
  files.Files["/tmp/bad.swf"] = {'C', 'W', 'S', 9, 1, 2, 3, 4, 5};
  OwnFlashControl control(loop, files);
  for (const char* path : {"/tmp/bad.swf", "/tmp/missing.swf"}) {
    control.SetMovie(path);
    control.GotoFrame(5);
    control.Play();
    loop.RunUntil(loop.NowMs() + 2000);
    EXPECT_EQ(control.TotalFrames(), 0);
    EXPECT_FALSE(control.Playing());
    EXPECT_EQ(control.CurrentFrame(), 0);
  }
}

TEST_F(OwnControlTest, TheMoviesColourWinsOverTheBackgroundProperty) {
  OwnFlashControl control(loop, files);
  control.SetBounds(2, 1, 3, 2);
  control.SetMovie("/tmp/vdn.swf");
  control.SetBackgroundColor(0x0000FF00);  // 0x00RRGGBB: green
  Bitmap screen(6, 4);
  control.Paint(screen);
  EXPECT_EQ(screen.GetPixel(2, 1), RGBColor(255, 0, 0));
  EXPECT_EQ(screen.GetPixel(4, 2), RGBColor(255, 0, 0));
  EXPECT_EQ(screen.GetPixel(5, 2), kBlack);
  EXPECT_EQ(screen.GetPixel(2, 3), kBlack);
  // A movie without a colour of its own stands on the property's, else on white.
  MovieOutline plain;
  files.Files["/tmp/plain.swf"] = Movie(plain, false);
  control.SetMovie("/tmp/plain.swf");
  control.Paint(screen);
  EXPECT_EQ(screen.GetPixel(3, 2), RGBColor(0, 255, 0));
  OwnFlashControl fresh(loop, files);
  fresh.SetBounds(0, 0, 6, 4);
  fresh.SetMovie("/tmp/plain.swf");
  fresh.Paint(screen);
  EXPECT_EQ(screen.GetPixel(0, 0), kWhite);
}

}  // namespace
}  // namespace vitrine
