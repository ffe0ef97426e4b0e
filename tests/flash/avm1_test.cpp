// The script machine against the Flash player's documented behaviour: each test assembles a
// frame script, plays the movie and reads what trace() printed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/random.h"
#include "flash/action_assembler.h"
#include "flash/swf/avm1/value.h"
#include "flash/swf/player.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

// Plays a one-frame movie of the given version holding the script; the trace lines.
std::vector<std::string> Traced(std::vector<uint8_t> script, uint8_t version = 8, int ticks = 0,
                                std::vector<uint8_t> moreTags = {}, std::vector<uint8_t> before = {}) {
  std::vector<uint8_t> tags = before;
  Tag(tags, code::DoAction, script);
  tags.insert(tags.end(), moreTags.begin(), moreTags.end());
  Tag(tags, code::ShowFrame, {});
  MovieOutline m;
  m.xMax = 200 * 20;
  m.yMax = 100 * 20;
  m.frameCount = 1;
  m.tags = tags;
  std::vector<uint8_t> file = Movie(m, false);
  file[3] = version;
  auto movie = swf::Movie::Load(file);
  std::vector<std::string> lines;
  swf::PlayerOptions options;
  options.onTrace = [&](const std::string& s) { lines.push_back(s); };
  swf::Player player(movie, options);
  for (int i = 0; i < ticks; ++i) player.Tick();
  return lines;
}

// trace(a OP b) for each pair.
std::vector<uint8_t> TraceOps(std::initializer_list<std::pair<Pushed, Pushed>> pairs, uint8_t op) {
  Asm a;
  for (auto& [x, y] : pairs) a.Push({x, y}).Op(op).Trace();
  return a.Bytes();
}

using Lines = std::vector<std::string>;

TEST(Avm1Values, NumbersPrintAsTheFlashPlayerPrintsThem) {
  EXPECT_EQ(swf::avm1::NumberToString(1e21), "1e+21");
  EXPECT_EQ(swf::avm1::NumberToString(1.5e-7), "1.5e-7");
  EXPECT_EQ(swf::avm1::NumberToString(0.1 + 0.2), "0.3");
  EXPECT_EQ(swf::avm1::NumberToString(123456789012345678.0), "1.23456789012346e+17");
  EXPECT_EQ(swf::avm1::NumberToString(-0.0), "0");
  EXPECT_EQ(swf::avm1::NumberToString(0.0001), "0.0001");
  EXPECT_EQ(swf::avm1::NumberToString(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(swf::avm1::NumberToString(-1.0 / 0.0), "-Infinity");
}

TEST(Avm1Values, TextsReadAsNumbers) {
  EXPECT_EQ(swf::avm1::StringToNumber("0x1A", 8), 26);
  EXPECT_EQ(swf::avm1::StringToNumber("  12.5", 8), 12.5);
  EXPECT_TRUE(std::isnan(swf::avm1::StringToNumber("12abc", 8)));
  EXPECT_TRUE(std::isnan(swf::avm1::StringToNumber("", 7)));
  EXPECT_EQ(swf::avm1::StringToNumber("12abc", 4), 12);
}

TEST(Avm1Operators, ComparisonsOfTextsAreByCharacters) {
  EXPECT_EQ(Traced(TraceOps({{"10", "9"}, {10, 9}, {"a", "b"}, {"10", 9}}, 0x48)),
            (Lines{"true", "false", "true", "false"}));
}

TEST(Avm1Operators, UndefinedInArithmeticDependsOnTheVersion) {
  std::vector<uint8_t> script = Asm().Push({Undefined{}, 1}).Add2().Trace().Push({"a", Undefined{}}).Add2().Trace().Bytes();
  EXPECT_EQ(Traced(script, 7), (Lines{"NaN", "aundefined"}));
  EXPECT_EQ(Traced(script, 6), (Lines{"1", "a"}));
}

TEST(Avm1Operators, EqualityConvertsAsActionScriptDoes) {
  EXPECT_EQ(Traced(TraceOps({{"1", 1}, {Null{}, Undefined{}}, {true, 1}, {"a", "A"}, {0, Null{}}}, 0x49)),
            (Lines{"true", "true", "true", "false", "false"}));
  EXPECT_EQ(Traced(TraceOps({{"1", 1}, {1, 1}}, 0x66)), (Lines{"false", "true"}));
}

TEST(Avm1Operators, AddJoinsTextsAndAddsNumbers) {
  EXPECT_EQ(Traced(TraceOps({{1, 2}, {"1", 2}, {1.5, "x"}}, 0x47)), (Lines{"3", "12", "1.5x"}));
  EXPECT_EQ(Traced(TraceOps({{-7, 2}}, 0x3F)), (Lines{"-1"}));
  EXPECT_EQ(Traced(TraceOps({{-8, 1}}, 0x65)), (Lines{"2147483644"}));
}

TEST(Avm1Variables, NamesIgnoreCaseBeforeSeven) {
  std::vector<uint8_t> script = Asm().Push({"Foo", 5}).SetVariable().Push({"foo"}).GetVariable().Trace().Bytes();
  EXPECT_EQ(Traced(script, 6), (Lines{"5"}));
  EXPECT_EQ(Traced(script, 7), (Lines{"undefined"}));
}

TEST(Avm1Variables, PathsReachTheRoot) {
  std::vector<uint8_t> script = Asm()
                                    .Push({"/:a", 1})
                                    .SetVariable()
                                    .Push({"_root.b", 2})
                                    .SetVariable()
                                    .Push({"a"})
                                    .GetVariable()
                                    .Push({"_root.b"})
                                    .GetVariable()
                                    .Add2()
                                    .Trace()
                                    .Bytes();
  EXPECT_EQ(Traced(script), (Lines{"3"}));
}

TEST(Avm1Functions, ClosuresKeepTheirScope) {
  // function make(n) { return function () { return n * 2; }; } trace(make(21)());
  Asm inner;
  inner.Push({"n"}).GetVariable().Push({2}).Op(0x0C).Return();
  Asm outer;
  outer.Function("", {}, inner).Return();
  std::vector<uint8_t> script = Asm()
                                    .Function("make", {"n"}, outer)
                                    .Push({21, 1, "make"})
                                    .CallFunction()
                                    .Push({0})
                                    .Op(0x4D)  // swap: count under the function
                                    .Push({Undefined{}})
                                    .CallMethod()
                                    .Trace()
                                    .Bytes();
  EXPECT_EQ(Traced(script), (Lines{"42"}));
}

TEST(Avm1Functions, DefineFunction2PreloadsItsRegisters) {
  // function f(a) { return this == _root ? a + arguments.length : -1; } with this in r1,
  // arguments in r2, a in r3.
  Asm body;
  body.Push({Reg{3}, Reg{2}, "length"}).GetMember().Add2().Return();
  std::vector<uint8_t> script = Asm()
                                    .Function2("f", 4, 0x0001 | 0x0004, {{3, "a"}}, body)
                                    .Push({7, 8, 2, "f"})
                                    .CallFunction()
                                    .Trace()
                                    .Bytes();
  EXPECT_EQ(Traced(script), (Lines{"10"}));
}

TEST(Avm1Functions, RecursionPastTheLimitStopsTheScriptOnly) {
  Asm body;
  body.Push({0, "f"}).CallFunction().Return();
  std::vector<uint8_t> script = Asm().Function("f", {}, body).Push({"before"}).Trace().Push({0, "f"}).CallFunction().Pop().Push({"after"}).Trace().Bytes();
  EXPECT_EQ(Traced(script), (Lines{"before"}));
}

// Conversions that call script back: a toString that converts its own object, an array that
// holds itself, a getter that reads itself. Each ends at the recursion limit, not in a crash.
TEST(Avm1Functions, RecursionThroughConversionsStopsTheScriptOnly) {
  Asm selfString;
  selfString.Push({"this"}).GetVariable().Op(0x4B).Return();  // return String(this)
  std::vector<uint8_t> viaToString = Asm()
                                         .Push({"o", 0, "Object"})
                                         .NewObject()
                                         .SetVariable()
                                         .Push({"o"})
                                         .GetVariable()
                                         .Push({"toString"})
                                         .Function("", {}, selfString)
                                         .SetMember()
                                         .Push({"before"})
                                         .Trace()
                                         .Push({"o"})
                                         .GetVariable()
                                         .Op(0x4B)
                                         .Trace()
                                         .Push({"after"})
                                         .Trace()
                                         .Bytes();
  EXPECT_EQ(Traced(viaToString), (Lines{"before"}));

  std::vector<uint8_t> selfArray = Asm()
                                       .Push({"a", 0, "Array"})
                                       .NewObject()
                                       .SetVariable()
                                       .Push({"a"})
                                       .GetVariable()
                                       .Push({0, "a"})
                                       .GetVariable()
                                       .SetMember()  // a[0] = a
                                       .Push({"a"})
                                       .GetVariable()
                                       .Trace()
                                       .Push({"after"})
                                       .Trace()
                                       .Bytes();
  EXPECT_EQ(Traced(selfArray), Lines{});

  Asm getter;
  getter.Push({"this"}).GetVariable().Push({"p"}).GetMember().Return();
  std::vector<uint8_t> selfGetter = Asm()
                                        .Push({"o", 0, "Object"})
                                        .NewObject()
                                        .SetVariable()
                                        .Function("", {}, Asm().Push({Undefined{}}).Return())
                                        .Function("", {}, getter)
                                        .Push({"p", 3, "o"})
                                        .GetVariable()
                                        .Push({"addProperty"})
                                        .CallMethod()
                                        .Pop()
                                        .Push({"o"})
                                        .GetVariable()
                                        .Push({"p"})
                                        .GetMember()
                                        .Trace()
                                        .Push({"after"})
                                        .Trace()
                                        .Bytes();
  Lines getterLines = Traced(selfGetter);
  EXPECT_EQ(getterLines, Lines{});
}

TEST(Avm1Control, EndlessLoopIsStoppedAndTheMovieGoesOn) {
  std::vector<uint8_t> script = Asm().Label("top").Jump("top").Bytes();
  std::vector<uint8_t> second = Asm().Push({"next frame"}).Trace().Bytes();
  std::vector<uint8_t> tag;
  Tag(tag, code::DoAction, second);
  EXPECT_EQ(Traced(script, 8, 0, tag), (Lines{"next frame"}));
}

TEST(Avm1Control, TryCatchesAThrowAndFinallyRuns) {
  Asm tryBody;
  tryBody.Push({"boom"}).Throw();
  Asm catchBody;
  catchBody.Push({"e"}).GetVariable().Trace();
  Asm finallyBody;
  finallyBody.Push({"finally"}).Trace();
  EXPECT_EQ(Traced(Asm().Try(tryBody, "e", catchBody, &finallyBody).Bytes()), (Lines{"boom", "finally"}));
}

// new Array(values...).method(args...) traced.
std::vector<uint8_t> ArrayCall(std::initializer_list<Pushed> elements, const std::string& method,
                               std::initializer_list<Pushed> args) {
  Asm a;
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) a.Push({*it});
  a.Push({int(args.size())});
  for (auto it = std::rbegin(elements); it != std::rend(elements); ++it) a.Push({*it});
  a.Push({int(elements.size())}).Op(0x42).Push({method}).CallMethod().Trace();
  return a.Bytes();
}

TEST(Avm1Builtins, ArraySortFlags) {
  EXPECT_EQ(Traced(ArrayCall({10, 9, 100}, "sort", {})), (Lines{"10,100,9"}));
  EXPECT_EQ(Traced(ArrayCall({10, 9, 100}, "sort", {16})), (Lines{"9,10,100"}));
  EXPECT_EQ(Traced(ArrayCall({10, 9, 100}, "sort", {16 | 2})), (Lines{"100,10,9"}));
  EXPECT_EQ(Traced(ArrayCall({"b", "A", "c"}, "sort", {1})), (Lines{"A,b,c"}));
  EXPECT_EQ(Traced(ArrayCall({"b", "a", "c"}, "sort", {8})), (Lines{"1,0,2"}));
  EXPECT_EQ(Traced(ArrayCall({1, 1}, "sort", {4})), (Lines{"0"}));
  EXPECT_EQ(Traced(ArrayCall({1, 2, 3, 4}, "splice", {1, 2, "x"})), (Lines{"2,3"}));
  EXPECT_EQ(Traced(ArrayCall({1, 2, 3}, "join", {"-"})), (Lines{"1-2-3"}));
}

// "text".method(args...) traced.
std::vector<uint8_t> StringCall(const std::string& text, const std::string& method, std::initializer_list<Pushed> args) {
  Asm a;
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) a.Push({*it});
  a.Push({int(args.size()), text, method}).CallMethod().Trace();
  return a.Bytes();
}

TEST(Avm1Builtins, StringMethods) {
  EXPECT_EQ(Traced(StringCall("abc", "split", {""})), (Lines{"a,b,c"}));
  EXPECT_EQ(Traced(StringCall("a,b,,c", "split", {","})), (Lines{"a,b,,c"}));
  EXPECT_EQ(Traced(StringCall("Hello", "substr", {-3, 2})), (Lines{"ll"}));
  EXPECT_EQ(Traced(StringCall("Hello", "substring", {4, 1})), (Lines{"ell"}));
  EXPECT_EQ(Traced(StringCall("Hello", "indexOf", {"l"})), (Lines{"2"}));
  EXPECT_EQ(Traced(StringCall("Hello", "toUpperCase", {})), (Lines{"HELLO"}));
}

TEST(Avm1Builtins, NumberAndMath) {
  std::vector<uint8_t> script = Asm()
                                    .Push({"0x1A", 1, "Number"})
                                    .CallFunction()
                                    .Trace()
                                    .Push({16, 1, 255, 1, "Number"})
                                    .NewObject()
                                    .Push({"toString"})
                                    .CallMethod()
                                    .Trace()
                                    .Push({-2.5, 1, "Math"})
                                    .GetVariable()
                                    .Push({"round"})
                                    .CallMethod()
                                    .Trace()
                                    .Push({"08", 1, "parseInt"})
                                    .CallFunction()
                                    .Trace()
                                    .Bytes();
  EXPECT_EQ(Traced(script), (Lines{"26", "ff", "-2", "0"}));
}

TEST(Avm1Builtins, DateReadsInUtc) {
  // new Date(Date.UTC(2004, 1, 29, 13, 5, 9)) read back in UTC; and its weekday.
  Asm a;
  a.Push({9, 5, 13, 29, 1, 2004, 6, "Date"}).GetVariable().Push({"UTC"}).CallMethod();
  a.Push({1, "Date"}).NewObject().StoreRegister(0).Pop();
  for (const char* m : {"getUTCFullYear", "getUTCMonth", "getUTCDate", "getUTCHours", "getUTCDay"})
    a.Push({0, Reg{0}, m}).CallMethod().Trace();
  EXPECT_EQ(Traced(a.Bytes()), (Lines{"2004", "1", "29", "13", "0"}));
}

TEST(Avm1Objects, PrototypesAndAddProperty) {
  // o = {}; o.addProperty("x", function () { return 5; }, null); trace(o.x);
  Asm getter;
  getter.Push({5}).Return();
  std::vector<uint8_t> script = Asm()
                                    .Push({0})
                                    .Op(0x43)
                                    .StoreRegister(1)
                                    .Pop()
                                    .Push({Null{}})
                                    .Function("", {}, getter)
                                    .Push({"x", 3, Reg{1}, "addProperty"})
                                    .CallMethod()
                                    .Pop()
                                    .Push({Reg{1}, "x"})
                                    .GetMember()
                                    .Trace()
                                    .Bytes();
  EXPECT_EQ(Traced(script), (Lines{"5"}));
}

TEST(Avm1Timeline, IntervalsFireOnTheMoviesClock) {
  // setInterval(function () { trace(getTimer()); }, 100) in a movie of 12 frames a second.
  Asm body;
  body.Push({0, "getTimer"}).CallFunction().Trace();
  std::vector<uint8_t> script = Asm().Push({100}).Function("", {}, body).Push({2, "setInterval"}).CallFunction().Pop().Bytes();
  EXPECT_EQ(Traced(script, 8, 3), (Lines{"166", "250"}));
}

TEST(Avm1Timeline, RandomDrawsFromTheCoreGenerator) {
  RandomSeed(7);
  std::vector<int32_t> expected{Random(1000), Random(1000)};
  RandomSeed(7);
  std::vector<uint8_t> script = Asm().Push({1000}).Op(0x30).Trace().Push({1000}).Op(0x30).Trace().Bytes();
  EXPECT_EQ(Traced(script), (Lines{std::to_string(expected[0]), std::to_string(expected[1])}));
}

}  // namespace
}  // namespace vitrine::test

namespace vitrine::test {
namespace {

TEST(Avm1Clips, DuplicatedClipsTakeTheirPlaceAndLeaveByScript) {
  // An empty sprite placed as "a"; the script moves it, duplicates it as "b" at depth 5 and
  // removes the copy.
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  std::vector<uint8_t> place{0x02 | 0x20, 1, 0, 1, 0, 'a', 0};
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, place);
  Asm a;
  a.Push({"a._x", 10}).SetVariable();
  a.Push({"a", "b", 16389}).Op(0x24);
  a.Push({"b._x"}).GetVariable().Trace();
  a.Push({0, "b"}).GetVariable().Push({"getDepth"}).CallMethod().Trace();
  a.Push({"b"}).GetVariable().Op(0x45).Trace();
  a.Push({0, "b"}).GetVariable().Push({"removeMovieClip"}).CallMethod().Pop();
  a.Push({"b"}).GetVariable().Op(0x44).Trace();
  a.Push({0, "a"}).GetVariable().Push({"removeMovieClip"}).CallMethod().Pop();
  a.Push({"a"}).GetVariable().Op(0x44).Trace();
  EXPECT_EQ(Traced(a.Bytes(), 8, 0, {}, tags), (Lines{"10", "5", "_level0.b", "undefined", "movieclip"}));
}

// A white square sprite placed as "a"; Color turns it red by setRGB and half transparent by
// setTransform, and reads both back.
TEST(Avm1Builtins, ColorSetsAndReadsAClipsColourTransform) {
  std::vector<uint8_t> tags;
  ShapeWriter square(3, {Solid(255, 255, 255)}, {});
  square.Style(0, 1, 0).Rect(0, 0, 2000, 2000);
  Tag(tags, 32, square.DefineShape(2, 0, 2000, 0, 2000));
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2}));
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .name = "a"}));
  Asm a;
  a.Push({"c", "a"}).GetVariable().Push({1, "Color"}).NewObject().SetVariable();
  a.Push({0x336699, 1, "c"}).GetVariable().Push({"setRGB"}).CallMethod().Pop();
  a.Push({0, "c"}).GetVariable().Push({"getRGB"}).CallMethod().Trace();
  a.Push({"t", 0, "c"}).GetVariable().Push({"getTransform"}).CallMethod().SetVariable();
  a.Push({"t"}).GetVariable().Push({"ra"}).GetMember().Trace();
  a.Push({"t"}).GetVariable().Push({"gb"}).GetMember().Trace();
  a.Push({"aa", 50, 1}).Op(0x43).Push({1, "c"}).GetVariable().Push({"setTransform"}).CallMethod().Pop();
  a.Push({"a._alpha"}).GetVariable().Trace();
  a.Push({"t", 0, "c"}).GetVariable().Push({"getTransform"}).CallMethod().SetVariable();
  a.Push({"t"}).GetVariable().Push({"bb"}).GetMember().Trace();
  EXPECT_EQ(Traced(a.Bytes(), 8, 0, {}, tags), (Lines{"3368601", "0", "102", "50", "153"}));

  // On the stage: the white square drawn in the colour set, half covering the white ground.
  std::vector<uint8_t> red = tags;
  Tag(red, code::DoAction,
      Asm().Push({0xFF0000, 1, "a"}).GetVariable().Push({1, "Color"}).NewObject().Push({"setRGB"}).CallMethod().Pop().Bytes());
  Tag(red, code::ShowFrame, {});
  Bitmap frame = DrawMovie(MovieOf(200, 100, 1, red));
  EXPECT_EQ(frame.GetPixel(50, 50), RGBColor(255, 0, 0));
  EXPECT_EQ(frame.GetPixel(150, 50), RGBColor(255, 255, 255));
}

TEST(Avm1Builtins, StageGivesTheMoviesSize) {
  Asm a;
  a.Push({"Stage"}).GetVariable().Push({"width"}).GetMember().Trace();
  a.Push({"Stage"}).GetVariable().Push({"height"}).GetMember().Trace();
  a.Push({"Stage"}).GetVariable().Push({"scaleMode"}).GetMember().Trace();
  EXPECT_EQ(Traced(a.Bytes()), (Lines{"200", "100", "showAll"}));
}

}  // namespace
}  // namespace vitrine::test
