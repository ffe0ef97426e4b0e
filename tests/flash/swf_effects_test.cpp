// What Flash 8 movies draw beyond shapes: the first background colour kept, later file
// versions and LZMA bodies, text fields' borders, blend modes and filters.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "flash/movie_header.h"
#include "flash/swf/swf_file.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

constexpr Color kWhite = RGBColor(255, 255, 255), kBlack = RGBColor(0, 0, 0);
constexpr uint16_t kFileAttributes = 69;

void Add(std::vector<uint8_t>& tags, const std::vector<uint8_t>& more) { tags.insert(tags.end(), more.begin(), more.end()); }
void Show(std::vector<uint8_t>& tags) { Tag(tags, code::ShowFrame, {}); }

// A square of one colour (alpha too) from (0,0) to side twips, as character id.
std::vector<uint8_t> Square(uint16_t id, Colour c, int32_t side = 400) {
  ShapeWriter s(3, {Solid(c.r, c.g, c.b, c.a)}, {});
  s.Style(0, 1, 0).Rect(0, 0, side, side);
  std::vector<uint8_t> tag;
  Tag(tag, 32, s.DefineShape(id, 0, side, 0, side));
  return tag;
}

std::vector<uint8_t> Sprite(uint16_t id, const std::vector<uint8_t>& innerTags) {
  std::vector<uint8_t> body = {uint8_t(id), uint8_t(id >> 8), 1, 0};
  body.insert(body.end(), innerTags.begin(), innerTags.end());
  Tag(body, 0, {});
  return body;
}

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
  // A length too small to be one: the stream's end decides.
  std::vector<uint8_t> unsized = movie;
  std::fill(unsized.begin() + 4, unsized.begin() + 8, 0);
  auto unsizedPlayer = PlayerOf(unsized);
  ASSERT_TRUE(unsizedPlayer);
  EXPECT_EQ(Draw(*unsizedPlayer, 40, 30).GetPixel(20, 15), RGBColor(0, 200, 0));
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

// A field 200 pixels wide at the stage's top-left, in the font, with a layout and a text.
std::vector<uint8_t> Field(uint16_t id, std::optional<uint16_t> font, uint8_t align, uint16_t leftMargin,
                           const std::string& text) {
  BitWriter e;
  e.U16(id);
  WriteRect(e, 0, 4000, 0, 2000);
  e.U8(0x80 | (font ? 0x01 : 0));  // has text, and a font
  e.U8(0x20);                      // has a layout
  if (font) {
    e.U16(*font);
    e.U16(400);  // 20 pixels
  }
  e.U8(align);
  e.U16(leftMargin);
  e.U16(0);  // right margin
  e.U16(0);  // indent
  e.U16(0);  // leading
  e.String("field");
  e.String(text);
  return e.Take();
}

// The text calls of the first frame of a 200 x 100 movie: the tags, then the field with id 2
// placed at the stage's top-left.
std::vector<RecordingText::Call> TextCalls(std::vector<uint8_t> tags) {
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2}));
  Show(tags);
  auto player = PlayerOf(MovieOf(200, 100, 1, tags));
  if (!player) return {};
  player->Play();
  RecordingText text;
  Draw(*player, 200, 100, 0, 0, {255, 255, 255, 255}, &text);
  return text.calls;
}

TEST(SwfEditText, DeviceFontsAskTheSystemForTheirFaceStyleAndPlaceLinesAsAligned) {
  struct Case {
    std::string name;
    uint8_t style, align;
    uint16_t leftMargin;
    const char* face;
    int32_t x;
  };
  // The field's text area runs from its 2-pixel gutter (plus the left margin) to 198.
  const Case cases[] = {
      {"_typewriter", 0x01, 1, 0, "Courier New", 198 - 18},       // right: "abc" ends at 198
      {"_sans", 0x02, 0, 0, "Arial", 2},                          // left
      {"_serif", 0x03, 2, 200, "Times New Roman", 12 + 84},       // centred between 12 and 198
      {"Verdana", 0x00, 3, 0, "Verdana", 2},                      // justified lines start left
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> tags;
    Tag(tags, code::DefineFont2, DeviceFont(1, c.name, c.style));
    Tag(tags, code::DefineEditText, Field(2, 1, c.align, c.leftMargin, "abc"));
    const auto calls = TextCalls(tags);
    ASSERT_FALSE(calls.empty());
    for (const auto& call : calls) {  // once for each band of the frame
      EXPECT_EQ(call.font.Name, c.face);
      EXPECT_EQ(call.font.Bold, (c.style & 1) != 0);
      EXPECT_EQ(call.font.Italic, (c.style & 2) != 0);
      EXPECT_EQ(call.font.Height, -20);
      EXPECT_EQ(call.x, c.x);
      EXPECT_EQ(call.y, 2);
      EXPECT_EQ(call.text, "abc");
    }
  }
  // Without a font, Flash Player sets a field's text in Times New Roman.
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineEditText, Field(2, std::nullopt, 0, 0, "x"));
  const auto calls = TextCalls(tags);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].font.Name, "Times New Roman");
}

// A square of the backdrop colour and over it one placed with the blend mode, on grey.
Color Blended(uint8_t mode, Colour top) {
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {128, 128, 128});
  Add(tags, Square(1, {200, 100, 50}));
  Add(tags, Square(2, top));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, code::PlaceObject3, Place3(2, 2, Translate(0, 0), mode));
  Show(tags);
  return DrawMovie(MovieOf(30, 30, 1, tags)).GetPixel(10, 10);
}

TEST(SwfBlend, EachModeMixesTheObjectWithWhatLiesBelow) {
  const Colour s{100, 150, 250};
  struct Case {
    uint8_t mode;
    Color expected;
  } cases[] = {
      {0, RGBColor(100, 150, 250)},  {1, RGBColor(100, 150, 250)},  {2, RGBColor(100, 150, 250)},
      {3, RGBColor(78, 59, 49)},     {4, RGBColor(222, 191, 251)},  {5, RGBColor(200, 150, 250)},
      {6, RGBColor(100, 100, 50)},   {7, RGBColor(100, 50, 200)},   {8, RGBColor(255, 250, 255)},
      {9, RGBColor(100, 0, 0)},      {10, RGBColor(55, 155, 205)},  {11, RGBColor(200, 100, 50)},
      {12, RGBColor(200, 100, 50)},  {13, RGBColor(188, 118, 98)},  {14, RGBColor(157, 127, 247)},
  };
  for (const Case& c : cases) EXPECT_TRUE(Near(Blended(c.mode, s), c.expected)) << "mode " << int(c.mode);
  // A translucent object mixes only its share.
  EXPECT_TRUE(Near(Blended(3, {100, 150, 250, 128}), RGBColor(139, 79, 50)));
}

TEST(SwfBlend, ALayerTakesItsAlphaWholeAndLetsAlphaAndEraseCutIntoIt) {
  // Two overlapping opaque squares in a sprite at half alpha: as a layer the overlap shows
  // the top square at half strength only; without a layer the bottom one shows through.
  std::vector<uint8_t> tags;
  Add(tags, Square(1, {255, 0, 0}));
  Add(tags, Square(2, {0, 0, 255}));
  Add(tags, Square(3, {0, 0, 0, 255}, 200));
  std::vector<uint8_t> inner;
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2, .matrix = Translate(200, 0)}));
  // Erase takes the top left 10 x 10 pixels out of the red square.
  Tag(inner, code::PlaceObject3, Place3(3, 3, Translate(0, 0), 12));
  Show(inner);
  Tag(tags, code::DefineSprite, Sprite(4, inner));
  Cx half;
  half.mult[3] = 128;
  Tag(tags, code::PlaceObject3, Place3(1, 4, Translate(0, 0), 2, {}, half));
  Tag(tags, code::PlaceObject3, Place3(2, 4, Translate(0, 400), std::nullopt, {}, half));
  Show(tags);
  Bitmap b = DrawMovie(MovieOf(40, 60, 1, tags));
  EXPECT_TRUE(Near(b.GetPixel(15, 15), RGBColor(127, 127, 255)));  // the top square alone, half over white
  EXPECT_TRUE(Near(b.GetPixel(5, 15), RGBColor(255, 127, 127)));   // red alone
  EXPECT_EQ(b.GetPixel(5, 5), kWhite);                             // erased
  // Not a layer: blue over red, each at half; erase draws nothing on the stage.
  EXPECT_TRUE(Near(b.GetPixel(15, 35), RGBColor(128, 64, 191)));
  EXPECT_TRUE(Near(b.GetPixel(5, 25), RGBColor(255, 127, 127)));
}

// A 20 x 20 pixel square of colour c at (20, 20) on a 60 x 60 white stage with the filters.
Bitmap Filtered(Colour c, const std::vector<uint8_t>& filters) {
  std::vector<uint8_t> tags;
  Add(tags, Square(1, c));
  Tag(tags, code::PlaceObject3, Place3(1, 1, Translate(400, 400), std::nullopt, filters));
  Show(tags);
  return DrawMovie(MovieOf(60, 60, 1, tags));
}

TEST(SwfFilters, AColourMatrixMapsEveryChannel) {
  // Red and blue swapped, green halved, 40 added to blue.
  const float swap[20] = {0, 0, 1, 0, 0, 0, 0.5f, 0, 0, 0, 1, 0, 0, 0, 40, 0, 0, 0, 1, 0};
  Bitmap b = Filtered({200, 100, 10}, FilterList({ColourMatrixFilter(swap)}));
  EXPECT_TRUE(Near(b.GetPixel(30, 30), RGBColor(10, 50, 240)));
  EXPECT_EQ(b.GetPixel(10, 10), kWhite);
  // An alpha added by the matrix shows in the object's bounds, not over the whole stage.
  const float opaque[20] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 191};
  Bitmap lifted = Filtered({200, 100, 10, 64}, FilterList({ColourMatrixFilter(opaque)}));
  EXPECT_TRUE(Near(lifted.GetPixel(30, 30), RGBColor(200, 100, 10), 4));
  EXPECT_EQ(lifted.GetPixel(10, 10), kWhite);
}

TEST(SwfFilters, ABlurSpreadsTheObjectWithoutLosingIt) {
  Bitmap sharp = Filtered({0, 0, 0}, {});
  Bitmap b = Filtered({0, 0, 0}, FilterList({BlurFilter(8, 8, 2)}));
  EXPECT_EQ(b.GetPixel(30, 30), kBlack);  // the middle stays
  int edge = GreenOf(b.GetPixel(19, 30)), outside = GreenOf(b.GetPixel(16, 30));
  EXPECT_GT(edge, 40);
  EXPECT_LT(edge, 215);
  EXPECT_GT(outside, edge);
  EXPECT_LT(outside, 255);
  EXPECT_EQ(b.GetPixel(5, 30), kWhite);
  EXPECT_EQ(GreenOf(b.GetPixel(19, 30)), GreenOf(b.GetPixel(40, 30)));  // symmetric
  // The ink along a row through the middle is the same as before.
  int64_t before = 0, after = 0;
  for (int32_t x = 0; x < 60; ++x) {
    before += 255 - GreenOf(sharp.GetPixel(x, 30));
    after += 255 - GreenOf(b.GetPixel(x, 30));
  }
  EXPECT_NEAR(double(after), double(before), before * 0.03);
}

TEST(SwfFilters, DropShadowsAndGlowsFallOutsideInsideOrAlone) {
  const Colour blue{0, 0, 255, 255}, red{255, 0, 0, 255};
  // A hard shadow 5 pixels to the right (angle 0): beside the square, not above it.
  Bitmap outer = Filtered({0, 200, 0}, FilterList({ShadowFilter(false, blue, 1, 0, 5, 1, false, false)}));
  EXPECT_EQ(outer.GetPixel(30, 30), RGBColor(0, 200, 0));
  EXPECT_EQ(outer.GetPixel(42, 30), RGBColor(0, 0, 255));
  EXPECT_EQ(outer.GetPixel(46, 30), kWhite);
  EXPECT_EQ(outer.GetPixel(30, 42), kWhite);
  // Knocked out: the shadow alone, with the square's place left empty.
  Bitmap knockout = Filtered({0, 200, 0}, FilterList({ShadowFilter(false, blue, 1, 0, 5, 1, false, true)}));
  EXPECT_EQ(knockout.GetPixel(30, 30), kWhite);
  EXPECT_EQ(knockout.GetPixel(42, 30), RGBColor(0, 0, 255));
  // Inner: inside the square along its left edge, where the moved square leaves it.
  Bitmap inner = Filtered({0, 200, 0}, FilterList({ShadowFilter(false, blue, 1, 0, 5, 1, true, false)}));
  EXPECT_EQ(inner.GetPixel(22, 30), RGBColor(0, 0, 255));
  EXPECT_EQ(inner.GetPixel(30, 30), RGBColor(0, 200, 0));
  EXPECT_EQ(inner.GetPixel(17, 30), kWhite);
  // A glow all round, fading outwards; at half alpha it is half as strong.
  Bitmap glow = Filtered({0, 0, 0}, FilterList({ShadowFilter(true, red, 8, 0, 0, 1, false, false)}));
  Color near = glow.GetPixel(19, 30), far = glow.GetPixel(15, 30);
  EXPECT_EQ(RedOf(near), 255);
  EXPECT_LT(GreenOf(near), GreenOf(far));
  EXPECT_EQ(glow.GetPixel(30, 30), kBlack);
  EXPECT_EQ(GreenOf(glow.GetPixel(30, 19)), GreenOf(near));
  Bitmap halfGlow = Filtered({0, 0, 0}, FilterList({ShadowFilter(true, {255, 0, 0, 128}, 8, 0, 0, 1, false, false)}));
  EXPECT_NEAR(255 - GreenOf(halfGlow.GetPixel(19, 30)), (255 - GreenOf(near)) / 2.0, 3);
  // Filters in a row: a shadow of the colour-mapped square.
  const float toRed[20] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  Bitmap both = Filtered({0, 200, 0}, FilterList({ColourMatrixFilter(toRed), ShadowFilter(false, blue, 1, 0, 5, 1, false, false)}));
  EXPECT_EQ(both.GetPixel(30, 30), RGBColor(200, 0, 0));
  EXPECT_EQ(both.GetPixel(42, 30), RGBColor(0, 0, 255));
}

TEST(SwfFilters, BevelsGradientGlowsAndConvolutionsWorkOnTheObjectsEdges) {
  const Colour white{255, 255, 255, 255}, navy{0, 0, 80, 255};
  // A hard inner bevel lit from the left: highlight on the left edge, shadow on the right.
  Bitmap bevel = Filtered({0, 200, 0}, FilterList({EdgeFilter(3, {{0, white}, {0, navy}}, 1, 0, 2, 1, true, false, false)}));
  EXPECT_EQ(bevel.GetPixel(20, 30), kWhite);
  EXPECT_EQ(bevel.GetPixel(39, 30), RGBColor(0, 0, 80));
  EXPECT_EQ(bevel.GetPixel(30, 30), RGBColor(0, 200, 0));
  EXPECT_EQ(bevel.GetPixel(42, 30), kWhite);  // the stage: nothing outside
  // A gradient glow moved 5 pixels right takes its colour from the gradient's end.
  Bitmap glow = Filtered({0, 200, 0}, FilterList({EdgeFilter(4, {{0, {0, 0, 0, 0}}, {255, {0, 0, 255, 255}}}, 1, 0, 5, 1,
                                                             false, false, false)}));
  EXPECT_EQ(glow.GetPixel(42, 30), RGBColor(0, 0, 255));
  EXPECT_EQ(glow.GetPixel(30, 30), RGBColor(0, 200, 0));
  EXPECT_EQ(glow.GetPixel(46, 30), kWhite);
  // A kernel that takes each pixel's left neighbour moves the object one pixel right; the
  // bias adds to every channel.
  Bitmap moved = Filtered({100, 50, 10}, FilterList({ConvolutionFilter(3, 3, 1, 0, {0, 0, 0, 1, 0, 0, 0, 0, 0}, false, false)}));
  EXPECT_EQ(moved.GetPixel(20, 30), kWhite);
  EXPECT_EQ(moved.GetPixel(40, 30), RGBColor(100, 50, 10));
  Bitmap biased = Filtered({100, 50, 10}, FilterList({ConvolutionFilter(1, 1, 2, 40, {2}, true, true)}));
  EXPECT_TRUE(Near(biased.GetPixel(30, 30), RGBColor(140, 90, 50)));
  EXPECT_EQ(biased.GetPixel(10, 10), kWhite);
}

TEST(SwfFilters, AnObjectAcrossTheRendersBandsBlursAndShadowsAsOne) {
  // A 40 x 40 pixel square from row 44 to row 84 of a 160-pixel stage, over the rows where
  // one band of the frame ends and the next begins: blurred, and with a shadow 10 pixels down.
  std::vector<uint8_t> tags;
  Add(tags, Square(1, {0, 0, 0}, 800));
  Tag(tags, code::PlaceObject3, Place3(1, 1, Translate(800, 880), std::nullopt, FilterList({BlurFilter(16, 16, 2)})));
  Tag(tags, code::PlaceObject3,
      Place3(2, 1, Translate(2000, 880), std::nullopt,
             FilterList({ShadowFilter(false, {0, 0, 255, 255}, 1, kPi / 2, 10, 1, false, false)})));
  Show(tags);
  Bitmap b = DrawMovie(MovieOf(160, 160, 1, tags));
  // The blur is the same above the square as below it, and reaches over the band's edge.
  for (int d : {2, 6, 10}) EXPECT_EQ(b.GetPixel(60, 44 - d), b.GetPixel(60, 83 + d)) << d;
  EXPECT_LT(GreenOf(b.GetPixel(60, 36)), 250);
  // The shadow shows below the square in the next band.
  EXPECT_EQ(b.GetPixel(120, 88), RGBColor(0, 0, 255));
  EXPECT_EQ(b.GetPixel(120, 95), kWhite);
  EXPECT_EQ(b.GetPixel(120, 60), kBlack);
}

}  // namespace
}  // namespace vitrine::test
