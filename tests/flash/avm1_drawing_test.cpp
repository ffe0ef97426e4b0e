// Scripts that draw with a clip's drawing methods and measure clips: the drawn pixels, and the
// bounds, hit tests and points they read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/action_assembler.h"
#include "flash/swf/drawing.h"
#include "flash/swf/player.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

using Lines = std::vector<std::string>;

// target.method(args) with its result left on the stack.
Asm& Call(Asm& a, const std::string& target, const std::string& method, std::vector<Pushed> args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) a.Push({*it});
  a.Push({int(args.size()), target}).GetVariable().Push({method}).CallMethod();
  return a;
}
// target.method with one argument already on the stack, its result left there.
Asm& CallOne(Asm& a, const std::string& target, const std::string& method) {
  a.Push({1, target}).GetVariable().Push({method}).CallMethod();
  return a;
}
// The same, its result dropped.
Asm& Do(Asm& a, const std::string& target, const std::string& method, std::vector<Pushed> args) {
  return Call(a, target, method, std::move(args)).Pop();
}
Asm& SetProp(Asm& a, const std::string& target, const std::string& name, Pushed value) {
  a.Push({target}).GetVariable().Push({name, value}).SetMember();
  return a;
}
// A closed or open polygon through the points (pixels), starting with a moveTo.
Asm& Poly(Asm& a, const std::string& target, std::vector<std::pair<int, int>> points) {
  Do(a, target, "moveTo", {points[0].first, points[0].second});
  for (size_t i = 1; i < points.size(); ++i) Do(a, target, "lineTo", {points[i].first, points[i].second});
  return a;
}

struct Run {
  std::unique_ptr<swf::Player> player;
  Lines traced;
};

// A 200 x 100 movie whose first frame runs the script.
std::unique_ptr<Run> Play(Asm& a) {
  std::vector<uint8_t> tags;
  Tag(tags, code::DoAction, a.Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = std::make_unique<Run>();
  swf::PlayerOptions options;
  Lines* lines = &run->traced;
  options.onTrace = [lines](const std::string& s) { lines->push_back(s); };
  run->player = std::make_unique<swf::Player>(swf::Movie::Load(MovieOf(200, 100, 1, tags)), options);
  return run;
}

Bitmap Frame(const Run& run) { return Draw(*run.player, 200, 100); }

TEST(Avm1Drawing, FillsAndLinesLieInTheOrderDrawn) {
  Asm a;
  // An open square: endFill closes it to its start.
  Do(a, "_root", "beginFill", {0xFF0000});
  Poly(a, "_root", {{20, 20}, {80, 20}, {80, 80}, {20, 80}});
  Do(a, "_root", "endFill", {});
  // A blue line, then a green fill drawn over part of it.
  Do(a, "_root", "lineStyle", {4, 0x0000FF, 100});
  Poly(a, "_root", {{100, 10}, {190, 10}});
  Do(a, "_root", "lineStyle", {});
  Do(a, "_root", "beginFill", {0x00FF00, 100});
  Poly(a, "_root", {{170, 0}, {190, 0}, {190, 30}, {170, 30}});
  Do(a, "_root", "endFill", {});
  // Half-transparent black over white.
  Do(a, "_root", "beginFill", {0x000000, 50});
  Poly(a, "_root", {{100, 60}, {140, 60}, {140, 90}, {100, 90}, {100, 60}});
  Do(a, "_root", "endFill", {});
  auto run = Play(a);
  Bitmap f = Frame(*run);
  EXPECT_TRUE(Near(f.GetPixel(50, 50), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(78, 78), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(10, 50), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(50, 85), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(140, 10), RGBColor(0, 0, 255)));
  EXPECT_TRUE(Near(f.GetPixel(140, 9), RGBColor(0, 0, 255)));
  EXPECT_TRUE(Near(f.GetPixel(140, 15), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(180, 10), RGBColor(0, 255, 0)));  // the later fill covers the line
  EXPECT_TRUE(Near(f.GetPixel(120, 75), RGBColor(127, 127, 127), 3));
  EXPECT_TRUE(Near(f.GetPixel(150, 75), RGBColor(255, 255, 255)));
}

TEST(Avm1Drawing, CurvesBendTowardsTheirControlPoint) {
  Asm a;
  // A half-disc-like bulge: the curve from (20,50) to (180,50) pulled up to (100,-30) peaks at
  // y = 10, the quadratic's midpoint.
  Do(a, "_root", "beginFill", {0x000000});
  Do(a, "_root", "moveTo", {20, 50});
  Do(a, "_root", "curveTo", {100, -30, 180, 50});
  Do(a, "_root", "endFill", {});
  auto run = Play(a);
  Bitmap f = Frame(*run);
  EXPECT_TRUE(Near(f.GetPixel(100, 13), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(100, 7), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(30, 30), RGBColor(255, 255, 255)));  // outside the curve, inside its box
  EXPECT_TRUE(Near(f.GetPixel(100, 60), RGBColor(255, 255, 255)));
}

TEST(Avm1Drawing, AClipsDrawingTakesItsTransformAndLiesUnderItsChildren) {
  Asm a;
  Do(a, "_root", "createEmptyMovieClip", {"c", 1});
  Do(a, "c", "beginFill", {0x000000});
  Poly(a, "c", {{0, 0}, {20, 0}, {20, 20}, {0, 20}});
  Do(a, "c", "endFill", {});
  Do(a, "c", "createEmptyMovieClip", {"d", 1});
  Do(a, "c.d", "beginFill", {0xFF0000});
  Poly(a, "c.d", {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  Do(a, "c.d", "endFill", {});
  SetProp(a, "c", "_x", 100);
  SetProp(a, "c", "_y", 10);
  SetProp(a, "c", "_xscale", 200);
  // A copy takes the drawing along.
  Do(a, "c", "duplicateMovieClip", {"e", 2});
  SetProp(a, "e", "_y", 60);
  auto run = Play(a);
  Bitmap f = Frame(*run);
  EXPECT_TRUE(Near(f.GetPixel(105, 15), RGBColor(255, 0, 0)));  // the child, on top
  EXPECT_TRUE(Near(f.GetPixel(135, 25), RGBColor(0, 0, 0)));    // scaled to 40 wide
  EXPECT_TRUE(Near(f.GetPixel(145, 25), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(95, 15), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(135, 75), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(105, 65), RGBColor(0, 0, 0)));  // the child is not copied

  // Cleared, the drawing goes; what follows needs a fill of its own.
  Asm b;
  Do(b, "_root", "beginFill", {0x000000});
  Poly(b, "_root", {{0, 0}, {50, 0}, {50, 50}});
  Do(b, "_root", "clear", {});
  Poly(b, "_root", {{100, 0}, {150, 0}, {150, 50}});
  auto cleared = Play(b);
  Bitmap g = Frame(*cleared);
  EXPECT_TRUE(Near(g.GetPixel(40, 10), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(g.GetPixel(140, 10), RGBColor(255, 255, 255)));
}

TEST(Avm1Drawing, AClipCachedAsABitmapStandsOnWholePixels) {
  Asm a;
  for (auto [name, depth, y] : {std::tuple{"a", 1, 10}, {"b", 2, 50}}) {
    Do(a, "_root", "createEmptyMovieClip", {name, depth});
    Do(a, name, "beginFill", {0x000000});
    Poly(a, name, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    Do(a, name, "endFill", {});
    SetProp(a, name, "_x", 10.25);
    SetProp(a, name, "_y", y);
  }
  SetProp(a, "a", "cacheAsBitmap", true);
  a.Push({"a"}).GetVariable().Push({"cacheAsBitmap"}).GetMember().Trace();
  a.Push({"b"}).GetVariable().Push({"cacheAsBitmap"}).GetMember().Trace();
  auto run = Play(a);
  EXPECT_EQ(run->traced, (Lines{"true", "false"}));
  Bitmap f = Frame(*run);
  // Cached: the square covers columns 10 to 19 whole.
  EXPECT_TRUE(Near(f.GetPixel(10, 15), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(19, 15), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(20, 15), RGBColor(255, 255, 255)));
  // Drawn as it lies: a quarter of a pixel in from column 10, a quarter into column 20.
  EXPECT_TRUE(Near(f.GetPixel(10, 55), RGBColor(64, 64, 64), 3));
  EXPECT_TRUE(Near(f.GetPixel(20, 55), RGBColor(191, 191, 191), 3));
}

TEST(Avm1Drawing, GradientBoxesSpanTheirWidth) {
  Asm a;
  // {matrixType: "box", x: 0, y: 0, w: 200, h: 100, r: 0}
  a.Push({"m", "matrixType", "box", "x", 0, "y", 0, "w", 200, "h", 100, "r", 0, 6}).Op(0x43).SetVariable();
  a.Push({"m"}).GetVariable();
  a.Push({255, 0, 2}).Op(0x42);
  a.Push({100, 100, 2}).Op(0x42);
  a.Push({0xFFFFFF, 0x000000, 2}).Op(0x42);
  a.Push({"linear", 5, "_root"}).GetVariable().Push({"beginGradientFill"}).CallMethod().Pop();
  Poly(a, "_root", {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  Do(a, "_root", "endFill", {});
  auto run = Play(a);
  Bitmap f = Frame(*run);
  EXPECT_LT(RedOf(f.GetPixel(2, 50)), 8);
  EXPECT_GT(RedOf(f.GetPixel(197, 50)), 247);
  EXPECT_TRUE(Near(f.GetPixel(100, 50), RGBColor(128, 128, 128), 4));
  EXPECT_TRUE(Near(f.GetPixel(50, 10), RGBColor(64, 64, 64), 4));

  // The unit-square form {a, b, d, e, g, h}: 100 pixels wide about x = 50.
  Asm b;
  b.Push({"m", "a", 100, "b", 0, "d", 0, "e", 100, "g", 50, "h", 50, 6}).Op(0x43).SetVariable();
  b.Push({"m"}).GetVariable();
  b.Push({255, 0, 2}).Op(0x42);
  b.Push({100, 100, 2}).Op(0x42);
  b.Push({0xFFFFFF, 0x000000, 2}).Op(0x42);
  b.Push({"linear", 5, "_root"}).GetVariable().Push({"beginGradientFill"}).CallMethod().Pop();
  Poly(b, "_root", {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  Do(b, "_root", "endFill", {});
  auto unit = Play(b);
  Bitmap g = Frame(*unit);
  EXPECT_TRUE(Near(g.GetPixel(50, 50), RGBColor(128, 128, 128), 4));
  EXPECT_TRUE(Near(g.GetPixel(150, 50), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(g.GetPixel(25, 50), RGBColor(64, 64, 64), 4));
}

TEST(Avm1Measure, SizeBoundsHitsAndPoints) {
  Asm a;
  Do(a, "_root", "createEmptyMovieClip", {"c", 1});
  // A right triangle 100 wide and 50 high.
  Do(a, "c", "beginFill", {0x000000});
  Poly(a, "c", {{0, 0}, {100, 0}, {0, 50}});
  Do(a, "c", "endFill", {});
  SetProp(a, "c", "_x", 10);
  SetProp(a, "c", "_y", 20);
  a.Push({"c"}).GetVariable().Push({"_width"}).GetMember().Trace();
  a.Push({"c"}).GetVariable().Push({"_height"}).GetMember().Trace();
  SetProp(a, "c", "_width", 50);
  a.Push({"c"}).GetVariable().Push({"_xscale"}).GetMember().Trace();
  a.Push({"c"}).GetVariable().Push({"_width"}).GetMember().Trace();
  // getBounds in the root's space and in its own.
  a.Push({"b", "_root"}).GetVariable();
  a.Push({1, "c"}).GetVariable().Push({"getBounds"}).CallMethod().SetVariable();
  for (const char* side : {"xMin", "xMax", "yMin", "yMax"}) a.Push({"b"}).GetVariable().Push({side}).GetMember().Trace();
  a.Push({"b", "c"}).GetVariable();
  a.Push({1, "c"}).GetVariable().Push({"getBounds"}).CallMethod().SetVariable();
  a.Push({"b"}).GetVariable().Push({"xMax"}).GetMember().Trace();
  // Inside the box, outside the triangle; inside both; outside both.
  Call(a, "c", "hitTest", {35, 60, false}).Trace();
  Call(a, "c", "hitTest", {35, 60, true}).Trace();
  Call(a, "c", "hitTest", {15, 25, true}).Trace();
  Call(a, "c", "hitTest", {100, 25, false}).Trace();
  // Another clip that overlaps its box, and one that does not.
  Do(a, "_root", "createEmptyMovieClip", {"d", 2});
  Do(a, "d", "beginFill", {0x000000});
  Poly(a, "d", {{55, 65}, {70, 65}, {70, 90}});
  Do(a, "_root", "createEmptyMovieClip", {"e", 3});
  Do(a, "e", "beginFill", {0x000000});
  Poly(a, "e", {{150, 0}, {190, 0}, {190, 90}});
  a.Push({"d"}).GetVariable();
  CallOne(a, "c", "hitTest").Trace();
  a.Push({"e"}).GetVariable();
  CallOne(a, "c", "hitTest").Trace();
  // Points: the clip at (10, 20) scaled to half its width.
  a.Push({"p", "x", 10, "y", 10, 2}).Op(0x43).SetVariable();
  a.Push({"p"}).GetVariable();
  CallOne(a, "c", "localToGlobal").Pop();
  a.Push({"p"}).GetVariable().Push({"x"}).GetMember().Trace();
  a.Push({"p"}).GetVariable().Push({"y"}).GetMember().Trace();
  a.Push({"p"}).GetVariable();
  CallOne(a, "c", "globalToLocal").Pop();
  a.Push({"p"}).GetVariable().Push({"x"}).GetMember().Trace();
  // An empty clip has no size and the far bounds.
  Do(a, "_root", "createEmptyMovieClip", {"n", 4});
  a.Push({"n"}).GetVariable().Push({"_width"}).GetMember().Trace();
  a.Push({0, "n"}).GetVariable().Push({"getBounds"}).CallMethod().Push({"xMin"}).GetMember().Trace();
  auto run = Play(a);
  EXPECT_EQ(run->traced, (Lines{"100", "50", "50", "50", "10", "60", "20", "70", "100", "true", "false", "true",
                                "false", "true", "false", "15", "30", "10", "0", "6710886.35"}));
}

TEST(Avm1Drawing, AMaskClipShowsTheMaskedClipThroughItsShapesOnly) {
  Asm a;
  Do(a, "_root", "createEmptyMovieClip", {"c", 1});
  Do(a, "c", "beginFill", {0xFF0000});
  Poly(a, "c", {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  Do(a, "_root", "createEmptyMovieClip", {"m", 2});
  Do(a, "m", "beginFill", {0x000000});
  Poly(a, "m", {{50, 25}, {100, 25}, {100, 75}, {50, 75}});
  a.Push({"m"}).GetVariable();
  CallOne(a, "c", "setMask").Trace();
  SetProp(a, "m", "_x", 100);  // the mask moves with its clip
  auto run = Play(a);
  EXPECT_EQ(run->traced, (Lines{"true"}));
  Bitmap f = Frame(*run);
  EXPECT_TRUE(Near(f.GetPixel(175, 50), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(75, 50), RGBColor(255, 255, 255)));  // neither masked clip nor mask
  EXPECT_TRUE(Near(f.GetPixel(20, 20), RGBColor(255, 255, 255)));

  // Unmasked again, the clip shows whole and the former mask is drawn over it.
  Asm b;
  Do(b, "_root", "createEmptyMovieClip", {"c", 1});
  Do(b, "c", "beginFill", {0xFF0000});
  Poly(b, "c", {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  Do(b, "_root", "createEmptyMovieClip", {"m", 2});
  Do(b, "m", "beginFill", {0x000000});
  Poly(b, "m", {{50, 25}, {100, 25}, {100, 75}, {50, 75}});
  b.Push({"m"}).GetVariable();
  CallOne(b, "c", "setMask").Pop();
  b.Push({Null{}});
  CallOne(b, "c", "setMask").Pop();
  auto whole = Play(b);
  Bitmap g = Frame(*whole);
  EXPECT_TRUE(Near(g.GetPixel(20, 20), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(g.GetPixel(75, 50), RGBColor(0, 0, 0)));
}

TEST(Avm1Drawing, DrawingsShareOneBudgetOfEdges) {
  auto pool = std::make_shared<swf::DrawingPool>();
  pool->limit = 10;
  auto b = std::make_unique<swf::Drawing>(pool);
  {
    swf::Drawing a(pool);
    a.BeginFill(swf::FillStyle{});
    a.MoveTo(0, 0);
    a.LineTo(200, 0);
    a.LineTo(200, 200);
    a.LineTo(0, 200);
    // Three edges and the one that closes the open fill.
    ASSERT_EQ(a.Layers().size(), 1u);
    const auto& edges = a.Layers()[0].paths.at(0).edges;
    ASSERT_EQ(edges.size(), 4u);
    EXPECT_EQ(edges.back().x1, 0);
    EXPECT_EQ(edges.back().y1, 0);
    EXPECT_EQ(pool->used, 4u);

    b->SetLine(swf::LineStyle{});
    for (int i = 1; i <= 10; ++i) b->LineTo(i * 20, 0);
    EXPECT_EQ(b->Layers()[0].paths.at(0).edges.size(), 6u);  // what the budget left
    EXPECT_EQ(pool->used, 10u);

    swf::Drawing copy(a);  // no room for the copy's edges: it draws nothing
    EXPECT_TRUE(copy.Layers().empty());
  }
  EXPECT_EQ(pool->used, 6u);  // the first drawing gave its edges back
  b->LineTo(0, 0);
  EXPECT_EQ(b->Layers()[0].paths.at(0).edges.size(), 7u);
  b.reset();
  EXPECT_EQ(pool->used, 0u);
}

TEST(Avm1Measure, LinesCountInBoundsAndHits) {
  Asm a;
  Do(a, "_root", "createEmptyMovieClip", {"c", 1});
  Do(a, "c", "lineStyle", {10, 0x000000});
  Poly(a, "c", {{20, 50}, {120, 50}});
  a.Push({"c"}).GetVariable().Push({"_width"}).GetMember().Trace();
  a.Push({"c"}).GetVariable().Push({"_height"}).GetMember().Trace();
  Call(a, "c", "hitTest", {70, 53, true}).Trace();
  Call(a, "c", "hitTest", {70, 58, true}).Trace();
  auto run = Play(a);
  EXPECT_EQ(run->traced, (Lines{"110", "10", "true", "false"}));
}

// A five-pointed star drawn in one stroke through every second point of a pentagon around
// (50, 50) of radius 40: its middle is wound twice.
const std::vector<std::pair<int, int>> kStar = {{50, 10}, {74, 82}, {12, 38}, {88, 38}, {26, 82}, {50, 10}};

TEST(Avm1Drawing, FillsAreEvenOddSoACrossingOutlineLeavesAHole) {
  Asm a;
  Do(a, "_root", "beginFill", {0x000000});
  Poly(a, "_root", kStar);
  Do(a, "_root", "endFill", {});
  // Two nested squares in one fill, both drawn clockwise: a frame.
  Do(a, "_root", "beginFill", {0x0000FF});
  Poly(a, "_root", {{110, 10}, {190, 10}, {190, 90}, {110, 90}, {110, 10}});
  Poly(a, "_root", {{130, 30}, {170, 30}, {170, 70}, {130, 70}, {130, 30}});
  Do(a, "_root", "endFill", {});
  auto run = Play(a);
  Bitmap f = Frame(*run);
  EXPECT_TRUE(Near(f.GetPixel(50, 50), RGBColor(255, 255, 255)));  // the star's middle
  EXPECT_TRUE(Near(f.GetPixel(50, 22), RGBColor(0, 0, 0)));        // its top point
  EXPECT_TRUE(Near(f.GetPixel(20, 40), RGBColor(0, 0, 0)));        // its left point
  EXPECT_TRUE(Near(f.GetPixel(150, 50), RGBColor(255, 255, 255)));
  EXPECT_TRUE(Near(f.GetPixel(120, 50), RGBColor(0, 0, 255)));
  // hitTest with the shape flag takes the same rule.
  Asm probe;
  Call(probe, "_root", "hitTest", {50, 50, true}).Trace();
  Call(probe, "_root", "hitTest", {50, 22, true}).Trace();
  std::vector<uint8_t> tags;
  Tag(tags, code::DoAction, a.Bytes());
  Tag(tags, code::DoAction, probe.Bytes());
  Tag(tags, code::ShowFrame, {});
  Lines traced;
  swf::PlayerOptions options;
  options.onTrace = [&](const std::string& s) { traced.push_back(s); };
  swf::Player player(swf::Movie::Load(MovieOf(200, 100, 1, tags)), options);
  EXPECT_EQ(traced, (Lines{"false", "true"}));
}

TEST(Avm1Drawing, AnAuthoredShapeKeepsItsWindingFill) {
  // The same star as a DefineShape with the fill on one side of every edge: wound twice in
  // the middle, which the shape's own rule fills.
  ShapeWriter star(1, {Solid(0, 0, 0)}, {});
  star.Style(0, 1, 0).MoveTo(kStar[0].first * 20, kStar[0].second * 20);
  for (size_t i = 1; i < kStar.size(); ++i) star.LineTo(kStar[i].first * 20, kStar[i].second * 20);
  std::vector<uint8_t> tags;
  Tag(tags, 2, star.DefineShape(1, 0, 2000, 0, 2000));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .matrix = Translate(0, 0)}));
  Tag(tags, code::ShowFrame, {});
  Bitmap f = DrawMovie(MovieOf(200, 100, 1, tags));
  EXPECT_TRUE(Near(f.GetPixel(50, 50), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(50, 22), RGBColor(0, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(150, 50), RGBColor(255, 255, 255)));
}

}  // namespace
}  // namespace vitrine::test
