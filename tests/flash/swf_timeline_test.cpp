// The timeline: display list changes frame by frame, looping, frame actions, sprites,
// redefined ids, morphs, text and buttons.
#include <gtest/gtest.h>

#include "flash/swf/swf_file.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

constexpr Color kRed = RGBColor(255, 0, 0), kBlue = RGBColor(0, 0, 255), kWhite = RGBColor(255, 255, 255);

void Add(std::vector<uint8_t>& tags, const std::vector<uint8_t>& more) { tags.insert(tags.end(), more.begin(), more.end()); }
void Show(std::vector<uint8_t>& tags) { Tag(tags, code::ShowFrame, {}); }

TEST(SwfTimeline, ObjectsArePlacedMovedAndRemovedFrameByFrameAndTheLoopStartsAfresh) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(tags);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .matrix = Translate(400, 0), .move = true}));
  Show(tags);
  Tag(tags, code::RemoveObject2, U16Body(1));
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 3, tags));
  ASSERT_TRUE(player);
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(5, 5), kRed);
  player->Play();
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 1u);
  Bitmap moved = Draw(*player, 40, 30);
  EXPECT_EQ(moved.GetPixel(5, 5), kWhite);
  EXPECT_EQ(moved.GetPixel(25, 5), kRed);
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(25, 5), kWhite);
  EXPECT_EQ(player->ObjectCount(), 0u);
  player->Tick();  // back to the first frame
  EXPECT_EQ(player->CurrentFrame(), 0u);
  EXPECT_TRUE(player->Playing());
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(5, 5), kRed);
}

TEST(SwfTimeline, GotoBackRebuildsTheDisplayListAndStops) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Add(tags, SolidSquare(2, 0, 0, 255));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(tags);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2, .matrix = Translate(400, 0)}));
  Show(tags);
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 3, tags));
  player->GotoFrame(2);
  EXPECT_EQ(player->ObjectCount(), 2u);
  EXPECT_FALSE(player->Playing());
  player->GotoFrame(0);
  EXPECT_EQ(player->ObjectCount(), 1u);
  player->GotoFrame(99);  // clamped to the last frame
  EXPECT_EQ(player->CurrentFrame(), 2u);
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 2u);  // stopped
}

// Four empty frames, with frame actions where the test puts them.
std::unique_ptr<swf::Player> WithActions(std::vector<std::vector<uint8_t>> perFrame, std::string label = {},
                                         int labelFrame = 0) {
  std::vector<uint8_t> tags;
  for (size_t f = 0; f < 4; ++f) {
    if (!label.empty() && int(f) == labelFrame) {
      std::vector<uint8_t> body(label.begin(), label.end());
      body.push_back(0);
      Tag(tags, code::FrameLabel, body);
    }
    if (f < perFrame.size() && !perFrame[f].empty()) Tag(tags, code::DoAction, perFrame[f]);
    Show(tags);
  }
  auto player = PlayerOf(MovieOf(40, 30, 4, tags));
  player->Play();
  return player;
}

TEST(SwfActions, StopHoldsThePlayheadWherePlayResumes) {
  auto player = WithActions({{}, {}, Actions({kActionStop})});
  player->Tick();
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 2u);
  EXPECT_FALSE(player->Playing());
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 2u);
  player->Play();
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 3u);
}

TEST(SwfActions, GotoFrameAndGotoLabelJumpAndStopUnlessPlayFollows) {
  auto toFrame = WithActions({{}, Actions({ActionGotoFrame(3)})});
  toFrame->Tick();
  EXPECT_EQ(toFrame->CurrentFrame(), 3u);
  EXPECT_FALSE(toFrame->Playing());
  auto andPlay = WithActions({{}, Actions({ActionGotoFrame(0), kActionPlay})});
  andPlay->Tick();
  EXPECT_EQ(andPlay->CurrentFrame(), 0u);
  EXPECT_TRUE(andPlay->Playing());
  // Labels match without regard to case, as Flash 6 and earlier matched them.
  auto toLabel = WithActions({Actions({ActionGotoLabel("End")})}, "end", 3);
  EXPECT_EQ(toLabel->CurrentFrame(), 3u);
  auto unknown = WithActions({Actions({ActionGotoLabel("nowhere")})}, "end", 3);
  EXPECT_EQ(unknown->CurrentFrame(), 0u);
}

TEST(SwfActions, NextAndPrevFrameStepOneFrameAndWaitForFrameNeverSkips) {
  std::vector<uint8_t> wait = {0x8A, 3, 0, 3, 0, 1};  // WaitForFrame 3, else skip one action
  auto player = WithActions({{}, Actions({wait, kActionNext}), {}, Actions({kActionPrev})});
  player->Tick();
  EXPECT_EQ(player->CurrentFrame(), 2u);
  EXPECT_FALSE(player->Playing());
  player->GotoFrame(3);
  EXPECT_EQ(player->CurrentFrame(), 2u);
}

TEST(SwfActions, AFrameThatJumpsToItselfDoesNotHang) {
  auto player = WithActions({{}, Actions({ActionGotoFrame(0), kActionPlay}), {}, {}});
  for (int i = 0; i < 100; ++i) player->Tick();
  EXPECT_LE(player->CurrentFrame(), 1u);
}

TEST(SwfSprite, ASpriteRunsItsOwnTimelineWhileTheMovieStands) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Add(tags, SolidSquare(2, 0, 0, 255));
  std::vector<uint8_t> inner;
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(inner);
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2, .move = true}));
  Show(inner);
  Tag(inner, 0, {});
  std::vector<uint8_t> sprite = {3, 0, 2, 0};
  sprite.insert(sprite.end(), inner.begin(), inner.end());
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Translate(100, 100)}));
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 1, tags));
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(10, 10), kRed);
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(2, 2), kWhite);
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(10, 10), kBlue);
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(10, 10), kRed);
  EXPECT_EQ(player->CurrentFrame(), 0u);
}

TEST(SwfSprite, ASpriteThatPlacesItselfStopsAtTheNestingLimit) {
  std::vector<uint8_t> tags, inner;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 5, .matrix = Translate(20, 20)}));
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 3, .id = 5, .matrix = Translate(40, 0)}));
  Show(inner);
  std::vector<uint8_t> sprite = {5, 0, 1, 0};
  sprite.insert(sprite.end(), inner.begin(), inner.end());
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 5}));
  Show(tags);
  // Two self-placements a level would be 2^24 sprites; the object budget ends it first.
  auto player = PlayerOf(MovieOf(40, 30, 1, tags));
  EXPECT_LE(player->ObjectCount(), swf::kMaxDisplayObjects);
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(3, 3), kRed);
}

// As ffmpeg's swf muxer writes a picture sequence: one shape whose bitmap fill names id 0,
// and per frame the old picture freed and a new one defined under the same id.
TEST(SwfTimeline, ABitmapFreedAndDefinedAgainShowsThroughTheSameShape) {
  std::vector<uint8_t> tags;
  ShapeWriter s(1, {BitmapFill(0x41, 0, Scale(20 * 40, 20 * 30))}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  Tag(tags, 2, s.DefineShape(1, 0, 800, 0, 600));
  for (uint32_t colour : {0xFFFF0000u, 0xFF0000FFu}) {
    Tag(tags, code::RemoveObject, {1, 0, 1, 0});
    Tag(tags, code::FreeCharacter, U16Body(0));
    std::vector<uint8_t> jpegLike = DefineBitsLossless(0, 1, 1, {colour}, false);
    Tag(tags, code::DefineBitsLossless, jpegLike);
    Tag(tags, code::PlaceObject, {1, 0, 1, 0, 0});
    Show(tags);
  }
  auto player = PlayerOf(MovieOf(40, 30, 2, tags));
  player->Play();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(20, 15), kRed);
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(20, 15), kBlue);
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(20, 15), kRed);
}

TEST(SwfMorph, ARatioBetweenTheEndsInterpolatesEdgesAndColours) {
  // Start: red square at 0..10 pixels; end: blue square at 20..30.
  ShapeWriter start(3, {}, {}), end(3, {}, {});
  start.Style(0, 1, 0).Rect(0, 0, 200, 200);
  end.Rect(400, 0, 600, 200);
  std::vector<uint8_t> startRecords = [&] {
    ShapeWriter w(3, {Solid(0, 0, 0)}, {});
    w.Style(0, 1, 0).Rect(0, 0, 200, 200);
    return w.Records();
  }();
  std::vector<uint8_t> endRecords = [&] {
    ShapeWriter w(3, {Solid(0, 0, 0)}, {});
    w.MoveTo(400, 0).LineTo(600, 0).LineTo(600, 200).LineTo(400, 200).LineTo(400, 0);
    return w.Records();
  }();
  BitWriter w;
  w.U16(1);
  WriteRect(w, 0, 200, 0, 200);
  WriteRect(w, 400, 600, 0, 200);
  w.U32(0);
  w.U8(1);
  w.U8(0);
  WriteColour(w, {255, 0, 0}, true);
  WriteColour(w, {0, 0, 255}, true);
  w.U8(0);
  w.Bytes(startRecords);
  w.Bytes(endRecords);
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineMorphShape, w.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .ratio = 0}));
  Show(tags);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .ratio = 32768, .move = true}));
  Show(tags);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .ratio = 65535, .move = true}));
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 3, tags));
  player->Play();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(5, 5), kRed);
  player->Tick();
  Bitmap middle = Draw(*player, 40, 30);
  EXPECT_EQ(middle.GetPixel(5, 5), kWhite);
  EXPECT_TRUE(Near(middle.GetPixel(15, 5), RGBColor(127, 0, 128), 2));
  player->Tick();
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(25, 5), kBlue);
}

TEST(SwfText, StaticTextDrawsTheFontsGlyphsAtTheirHeightAndAdvance) {
  // A font of one glyph: a square of the em's left half, standing on the baseline.
  ShapeWriter glyph(1, {Solid(0, 0, 0)}, {});
  glyph.Style(0, 1, 0).Rect(0, -1024, 512, 0);
  std::vector<uint8_t> records = glyph.Records();
  std::vector<uint8_t> font = U16Body(2);
  font.insert(font.end(), {2, 0});  // the offset table: one glyph right after it
  font.insert(font.end(), records.begin(), records.end());
  BitWriter text;
  text.U16(3);
  WriteRect(text, 0, 800, 0, 600);
  WriteMatrix(text, Translate(100, 400));  // baseline at 20 pixels
  text.U8(1);                              // glyph bits
  text.U8(10);                             // advance bits
  text.U8(0x80 | 0x08 | 0x04);             // font, colour
  text.U16(2);
  WriteColour(text, {0, 0, 255}, false);
  text.U16(200);  // 10 pixels high
  text.U8(2);
  text.UBits(0, 1);
  text.SBits(300, 10);  // 15 pixels on
  text.UBits(0, 1);
  text.SBits(300, 10);
  text.Align();
  text.U8(0);
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineFont, font);
  Tag(tags, code::DefineText, text.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3}));
  Show(tags);
  Bitmap b = DrawMovie(MovieOf(40, 30, 1, tags));
  // Glyphs 5 pixels wide and 10 high at x = 5 and 20, between y = 10 and 20.
  EXPECT_EQ(b.GetPixel(7, 15), kBlue);
  EXPECT_EQ(b.GetPixel(11, 15), kWhite);
  EXPECT_EQ(b.GetPixel(22, 15), kBlue);
  EXPECT_EQ(b.GetPixel(7, 8), kWhite);
  EXPECT_EQ(b.GetPixel(7, 21), kWhite);
}

TEST(SwfButton, AButtonShowsItsUpState) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Add(tags, SolidSquare(2, 0, 0, 255));
  BitWriter b;
  b.U16(3);
  b.U8(0);
  b.U16(0);
  b.U8(0x02);  // over only
  b.U16(2);
  b.U16(2);
  WriteMatrix(b, Translate(0, 0));
  WriteCxForm(b, Cx{}, true);
  b.U8(0x01);  // up
  b.U16(1);
  b.U16(1);
  WriteMatrix(b, Translate(200, 0));
  WriteCxForm(b, Cx{}, true);
  b.U8(0);
  Tag(tags, code::DefineButton2, b.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3}));
  Show(tags);
  Bitmap shown = DrawMovie(MovieOf(40, 30, 1, tags));
  EXPECT_EQ(shown.GetPixel(15, 5), kRed);
  EXPECT_EQ(shown.GetPixel(5, 5), kWhite);
}

TEST(SwfFile, PlainAndCompressedMoviesReadAlike) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(tags);
  for (bool compressed : {false, true}) {
    auto file = swf::OpenSwf(MovieOf(40, 30, 1, tags, compressed, 0x1800));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->compressed, compressed);
    EXPECT_EQ(file->version, 10);
    EXPECT_EQ(file->xMax, 800);
    EXPECT_EQ(file->yMax, 600);
    EXPECT_EQ(file->frameRate, 0x1800);
    EXPECT_EQ(file->frameCount, 1);
    EXPECT_EQ(DrawMovie(MovieOf(40, 30, 1, tags, compressed)).GetPixel(5, 5), kRed);
  }
}

TEST(SwfFile, ACompressedBodyInflatesWhateverLengthTheHeaderClaims) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(tags);
  for (uint32_t claimed : {20u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> movie = MovieOf(40, 30, 1, tags, true);
    for (int i = 0; i < 4; ++i) movie[4 + i] = uint8_t(claimed >> (8 * i));
    EXPECT_EQ(DrawMovie(movie).GetPixel(5, 5), kRed) << claimed;
  }
}

TEST(SwfFile, CutHeadersAndOtherFilesFailToOpen) {
  std::vector<uint8_t> movie = MovieOf(40, 30, 1, {});
  std::string why;
  // A plain body behind an LZMA signature is no LZMA stream.
  std::vector<uint8_t> lzma = movie;
  lzma[0] = 'Z';
  EXPECT_FALSE(swf::OpenSwf(lzma, &why));
  EXPECT_EQ(why, "the compressed body does not inflate");
  EXPECT_FALSE(swf::OpenSwf(std::span(movie).first(10), &why));
  EXPECT_EQ(why, "the movie header is cut short");
  EXPECT_FALSE(swf::OpenSwf(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0}, &why));
}

TEST(SwfFile, ATagRunningPastTheEndEndsTheWalk) {
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {1, 2, 3});
  tags.insert(tags.end(), {0x7F, 0x02, 0xFF, 0xFF, 0, 0, 1, 2});  // claims 65535 bytes
  swf::TagWalker walker(tags);
  swf::Tag t;
  ASSERT_TRUE(walker.Next(t));
  EXPECT_EQ(t.code, code::SetBackgroundColor);
  EXPECT_FALSE(walker.Next(t));
  EXPECT_FALSE(walker.Next(t));
}

TEST(SwfFile, DamagedShapesAndTagsDrawWhatIsWhole) {
  // A shape cut in the middle of its records is not defined; the rest of the movie plays.
  ShapeWriter s(1, {Solid(255, 0, 0)}, {});
  s.Style(0, 1, 0).Rect(0, 0, 800, 600);
  std::vector<uint8_t> shape = s.DefineShape(1, 0, 800, 0, 600);
  shape.resize(shape.size() - 3);
  std::vector<uint8_t> tags;
  Tag(tags, 2, shape);
  Add(tags, SolidSquare(2, 0, 0, 255));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
  Tag(tags, code::PlaceObject2, {0x06});  // cut short
  Show(tags);
  Bitmap b = DrawMovie(MovieOf(40, 30, 1, tags));
  EXPECT_EQ(b.GetPixel(5, 5), kBlue);
  EXPECT_EQ(b.GetPixel(30, 20), kWhite);
}

TEST(SwfEditText, TextFieldsAreDrawnLineByLine) {
  BitWriter e;
  e.U16(1);
  WriteRect(e, 0, 600, 0, 400);
  e.U8(0x80 | 0x04 | 0x01);  // text, colour, font
  e.U8(0x02);                // HTML
  e.U16(9);                  // a font the movie never defines
  e.U16(240);                // 12 pixels
  WriteColour(e, {200, 0, 0}, true);
  e.String("field");
  e.String("<p>Hello &amp; welcome</p><p>Line <b>two</b></p>");
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineEditText, e.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .matrix = Translate(100, 60)}));
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 1, tags));
  RecordingText text;
  Bitmap b = Draw(*player, 40, 30, 0, 0, {255, 255, 255, 255}, &text);
  ASSERT_EQ(text.calls.size(), 2u);
  EXPECT_EQ(text.calls[0].text, "Hello & welcome");
  EXPECT_EQ(text.calls[1].text, "Line two");
  EXPECT_EQ(text.calls[0].font.Height, -12);
  EXPECT_EQ(text.calls[0].font.Colour, RGBColor(200, 0, 0));
  // Inside the field's 2-pixel gutter, one measured line apart.
  EXPECT_EQ(text.calls[0].x, 7);
  EXPECT_EQ(text.calls[0].y, 5);
  EXPECT_EQ(text.calls[1].y, 17);
  EXPECT_EQ(b.GetPixel(7, 5), RGBColor(200, 0, 0));
  // Without a text renderer the field draws nothing.
  EXPECT_EQ(Draw(*player, 40, 30).GetPixel(7, 5), kWhite);
}

TEST(SwfEditText, AFieldUsingOutlinesDrawsTheMoviesOwnGlyphs) {
  // DefineFont2 with one glyph, 'A': the em's left half from the ascent to the baseline,
  // advancing a whole em; ascent 1024, descent 0.
  ShapeWriter glyph(1, {Solid(0, 0, 0)}, {});
  glyph.Style(0, 1, 0).Rect(0, -1024, 512, 0);
  std::vector<uint8_t> records = glyph.Records();
  BitWriter f;
  f.U16(2);
  f.U8(0x80);  // layout, narrow offsets and codes
  f.U8(0);
  f.U8(1);
  f.U8('F');
  f.U16(1);
  f.U16(4);                          // glyph 0 after the offset table and the code table offset
  f.U16(uint16_t(4 + records.size()));  // code table
  f.Bytes(records);
  f.U8('A');
  f.U16(1024);
  f.U16(0);
  f.U16(0);
  f.U16(1024);
  f.U16(0);  // no kerning
  BitWriter e;
  e.U16(1);
  WriteRect(e, 0, 800, 0, 600);
  e.U8(0x80 | 0x04 | 0x01);  // text, colour, font
  e.U8(0x01);                // outlines
  e.U16(2);
  e.U16(200);  // 10 pixels
  WriteColour(e, {0, 128, 0}, true);
  e.String("");
  e.String("AA");
  std::vector<uint8_t> tags;
  Tag(tags, 48, f.Take());
  Tag(tags, code::DefineEditText, e.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  Show(tags);
  auto player = PlayerOf(MovieOf(40, 30, 1, tags));
  RecordingText text;
  Bitmap b = Draw(*player, 40, 30, 0, 0, {255, 255, 255, 255}, &text);
  EXPECT_TRUE(text.calls.empty());
  // From the 2-pixel gutter: glyphs 5 wide, 10 apart, 10 high from y = 2.
  EXPECT_EQ(b.GetPixel(4, 6), RGBColor(0, 128, 0));
  EXPECT_EQ(b.GetPixel(8, 6), kWhite);
  EXPECT_EQ(b.GetPixel(14, 6), RGBColor(0, 128, 0));
  EXPECT_EQ(b.GetPixel(4, 13), kWhite);
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

TEST(SwfDescribe, AMovieIsDescribedWithItsScriptsThatDoNotRun) {
  std::vector<uint8_t> tags;
  Tag(tags, code::DoAction, Actions({kActionStop}));
  Show(tags);
  Show(tags);
  swf::MovieInfo plain = swf::DescribeMovie(MovieOf(550, 400, 0, tags, true, 0x1E00));
  EXPECT_TRUE(plain.playable);
  EXPECT_EQ(plain.version, 10);
  EXPECT_TRUE(plain.compressed);
  EXPECT_EQ(plain.widthTwips, 11000);
  EXPECT_EQ(plain.heightTwips, 8000);
  EXPECT_EQ(plain.frameRate, 30.0);
  EXPECT_EQ(plain.frameCount, 2);  // counted from the ShowFrame tags where the header says 0
  EXPECT_FALSE(plain.holdsScripts);
  // Flash 4's arithmetic and ActionScript 2's method calls run now.
  std::vector<uint8_t> adds = tags;
  Tag(adds, code::DoAction, {0x0A, 0x96, 2, 0, 8, 0, 0x52, 0});
  EXPECT_FALSE(swf::DescribeMovie(MovieOf(550, 400, 3, adds)).holdsScripts);
  // An action no Flash player defines is reported, behind a record the machine knows.
  Tag(tags, code::DoAction, {0x96, 2, 0, 8, 0, 0x2E, 0});
  EXPECT_TRUE(swf::DescribeMovie(MovieOf(550, 400, 3, tags)).holdsScripts);
  std::vector<uint8_t> lzma = MovieOf(10, 10, 1, {});
  lzma[0] = 'Z';
  swf::MovieInfo refused = swf::DescribeMovie(lzma);
  EXPECT_FALSE(refused.playable);
  EXPECT_EQ(refused.why, "the compressed body does not inflate");
}

}  // namespace
}  // namespace vitrine::test
