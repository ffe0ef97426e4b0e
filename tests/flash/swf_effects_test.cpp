// What Flash 8 and later movies bring: the first background colour kept, later file
// versions and LZMA bodies, text fields' borders.
#include <gtest/gtest.h>

#include "flash/movie_header.h"
#include "flash/swf/swf_file.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

constexpr Color kWhite = RGBColor(255, 255, 255), kBlack = RGBColor(0, 0, 0);
constexpr uint16_t kFileAttributes = 69;

void Show(std::vector<uint8_t>& tags) { Tag(tags, code::ShowFrame, {}); }

TEST(SwfBackground, TheFirstColourAMovieSetsStays) {
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {0, 200, 0});
  Tag(tags, code::SetBackgroundColor, {200, 0, 0});
  Show(tags);
  Tag(tags, code::SetBackgroundColor, {0, 0, 200});
  Show(tags);
  auto player = PlayerOf(MovieOf(20, 20, 2, tags));
  ASSERT_TRUE(player);
  player->Play();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Draw(*player, 20, 20).GetPixel(5, 5), RGBColor(0, 200, 0)) << i;
    player->Tick();
  }
}

TEST(SwfFile, LaterVersionsPlayUnlessTheyAreActionScript3) {
  auto versioned = [](uint8_t version, std::optional<uint32_t> attributes) {
    std::vector<uint8_t> tags;
    if (attributes) Tag(tags, kFileAttributes, {uint8_t(*attributes), 0, 0, 0});
    Tag(tags, code::SetBackgroundColor, {0, 0, 200});
    Show(tags);
    std::vector<uint8_t> movie = MovieOf(20, 20, 1, tags);
    movie[3] = version;
    return movie;
  };
  std::string why;
  for (uint8_t version : {11, 13, 32})
    for (std::optional<uint32_t> attributes : {std::optional<uint32_t>{}, std::optional<uint32_t>{0x01}}) {
      auto player = PlayerOf(versioned(version, attributes));
      ASSERT_TRUE(player) << int(version);
      EXPECT_EQ(Draw(*player, 20, 20).GetPixel(3, 3), RGBColor(0, 0, 200));
    }
  EXPECT_FALSE(swf::OpenSwf(versioned(11, 0x08), &why));
  EXPECT_EQ(why, "a movie version this player does not play");
  // Up to Flash 10 the flag changes nothing: such movies opened before and still do.
  EXPECT_TRUE(swf::OpenSwf(versioned(10, 0x08)));
  EXPECT_FALSE(swf::OpenSwf(versioned(0, {}), &why));
}

TEST(SwfFile, LzmaMoviesAreReadWhileCutHeadersAreRefused) {
  std::vector<uint8_t> movie = TestDataFile("flash/lzma_green_v13.swf");
  ASSERT_GT(movie.size(), 17u);
  swf::MovieInfo info = swf::DescribeMovie(movie);
  EXPECT_TRUE(info.playable) << info.why;
  EXPECT_TRUE(info.compressed);
  EXPECT_EQ(info.version, 13);
  EXPECT_EQ(info.widthTwips, 800);
  auto player = PlayerOf(movie);
  ASSERT_TRUE(player);
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(20, 15), RGBColor(0, 200, 0));
  auto header = ReadMovieHeader(movie);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->yMax, 600);
  EXPECT_EQ(header->background, RGBColor(0, 200, 0));

  std::string why;
  EXPECT_FALSE(swf::OpenSwf(TestDataFile("flash/lzma_green_v13_as3.swf"), &why));
  EXPECT_EQ(why, "a movie version this player does not play");
  EXPECT_FALSE(swf::OpenSwf(std::span(movie).first(16), &why));
  EXPECT_EQ(why, "the movie header is cut short");
  // A stream cut after its first bytes gives no header; damage never reads astray.
  EXPECT_FALSE(swf::OpenSwf(std::span(movie).first(19), &why));
  for (size_t at = 17; at < movie.size(); ++at) {
    std::vector<uint8_t> damaged = movie;
    damaged[at] ^= 0xA5;
    (void)swf::DescribeMovie(damaged);
  }
}

TEST(SwfEditText, ABorderedFieldDrawsItsFrameAndBackgroundEvenWhenEmpty) {
  BitWriter e;
  e.U16(1);
  WriteRect(e, 0, 400, 0, 200);  // 20 x 10 pixels
  e.U8(0);
  e.U8(0x08);  // border
  e.String("field");
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {0, 0, 200});
  Tag(tags, code::DefineEditText, e.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .matrix = Translate(100, 100)}));
  Show(tags);
  Bitmap b = DrawMovie(MovieOf(40, 30, 1, tags));
  for (auto [x, y] : {std::pair{5, 5}, {24, 5}, {5, 14}, {24, 14}, {15, 5}, {5, 10}}) EXPECT_EQ(b.GetPixel(x, y), kBlack) << x << "," << y;
  for (auto [x, y] : {std::pair{6, 6}, {23, 13}, {15, 10}}) EXPECT_EQ(b.GetPixel(x, y), kWhite) << x << "," << y;
  for (auto [x, y] : {std::pair{4, 5}, {25, 10}, {15, 15}}) EXPECT_EQ(b.GetPixel(x, y), RGBColor(0, 0, 200)) << x << "," << y;
}

}  // namespace
}  // namespace vitrine::test
