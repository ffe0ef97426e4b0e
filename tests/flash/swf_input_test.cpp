// Movies that react to the mouse and the keyboard: clip events, the Key and Mouse listeners and
// buttons, driven through the player's input and read from trace() and the drawn frame.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "flash/action_assembler.h"
#include "flash/swf/player.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

using Lines = std::vector<std::string>;

void Add(std::vector<uint8_t>& tags, const std::vector<uint8_t>& more) { tags.insert(tags.end(), more.begin(), more.end()); }

std::vector<uint8_t> TraceText(const std::string& text) { return Asm().Push({text}).Trace().Bytes(); }

struct Event {
  uint32_t flags;
  std::vector<uint8_t> code;
  uint8_t key = 0;
};

// PlaceObject2 of a named character with onClipEvent handlers (a movie of version 6 or later).
std::vector<uint8_t> PlaceWithEvents(uint16_t depth, uint16_t id, const std::string& name, Mat m,
                                     const std::vector<Event>& events) {
  BitWriter w;
  w.U8(0x80 | 0x20 | 0x04 | 0x02);
  w.U16(depth);
  w.U16(id);
  WriteMatrix(w, m);
  w.String(name);
  w.U16(0);
  uint32_t all = 0;
  for (const Event& e : events) all |= e.flags;
  w.U32(all);
  for (const Event& e : events) {
    w.U32(e.flags);
    bool press = e.flags & swf::kEventKeyPress;
    w.U32(uint32_t(e.code.size() + (press ? 1 : 0)));
    if (press) w.U8(e.key);
    w.Bytes(e.code);
  }
  w.U32(0);
  return w.Take();
}

struct Part {
  uint8_t states;
  uint16_t id;
};
struct Condition {
  uint16_t conditions;
  std::vector<uint8_t> code;
};

// DefineButton2: parts at the button's origin, condition actions.
std::vector<uint8_t> Button2(uint16_t id, const std::vector<Part>& parts, const std::vector<Condition>& actions) {
  BitWriter w;
  w.U16(id);
  w.U8(0);
  BitWriter records;
  uint16_t depth = 1;
  for (const Part& p : parts) {
    records.U8(p.states);
    records.U16(p.id);
    records.U16(depth++);
    WriteMatrix(records, Translate(0, 0));
    records.U8(0);  // a colour transform that changes nothing
  }
  records.U8(0);
  std::vector<uint8_t> recordBytes = records.Take();
  w.U16(uint16_t(recordBytes.size() + 2));
  w.Bytes(recordBytes);
  for (size_t i = 0; i < actions.size(); ++i) {
    bool last = i + 1 == actions.size();
    w.U16(last ? 0 : uint16_t(actions[i].code.size() + 4));
    w.U16(actions[i].conditions);
    w.Bytes(actions[i].code);
  }
  return w.Take();
}

struct Played {
  std::unique_ptr<swf::Player> player;
  Lines lines;
};

std::unique_ptr<Played> Play(std::vector<uint8_t> tags, uint16_t frames = 1) {
  std::vector<uint8_t> file = MovieOf(200, 100, frames, tags);
  file[3] = 8;
  auto run = std::make_unique<Played>();
  swf::PlayerOptions options;
  options.onTrace = [r = run.get()](const std::string& s) { r->lines.push_back(s); };
  run->player = std::make_unique<swf::Player>(swf::Movie::Load(file), options);
  return run;
}

// trace(prefix + a + " " + b), a and b pushed by the given code.
Asm& TraceTwo(Asm& a, const std::string& prefix, const std::function<void(Asm&)>& first,
              const std::function<void(Asm&)>& second) {
  a.Push({prefix});
  first(a);
  a.Add2().Push({" "}).Add2();
  second(a);
  return a.Add2().Trace();
}

TEST(SwfInput, ClipEventsAndListenersHearTheMouseAndTheKeys) {
  std::vector<uint8_t> tags;
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  Asm down;
  TraceTwo(down, "down ", [](Asm& a) { a.Push({"_xmouse"}).GetVariable(); },
           [](Asm& a) { a.Push({"_ymouse"}).GetVariable(); });
  Asm key;
  key.Push({"key ", 0, "Key"}).GetVariable().Push({"getCode"}).CallMethod().Add2().Trace();
  // The clip sits at (100, 50), twice its size: the mouse at (130, 70) is (15, 10) in it.
  Tag(tags, code::PlaceObject2,
      PlaceWithEvents(1, 1, "a", Scale(2, 2, 2000, 1000),
                      {{swf::kEventLoad, TraceText("load")},
                       {swf::kEventMouseDown, down.Bytes()},
                       {swf::kEventKeyDown, key.Bytes()},
                       {swf::kEventKeyPress, TraceText("press x"), 'x'}}));
  Asm s;
  Asm onKeyDown;
  TraceTwo(onKeyDown, "kl ", [](Asm& a) { a.Push({0, "Key"}).GetVariable().Push({"getAscii"}).CallMethod(); },
           [](Asm& a) { a.Push({37, 1, "Key"}).GetVariable().Push({"isDown"}).CallMethod(); });
  Asm onKeyUp;
  onKeyUp.Push({"this"}).GetVariable().Push({1, "Key"}).GetVariable().Push({"removeListener"}).CallMethod().Trace();
  Asm onMouseMove;
  onMouseMove.Push({"mm ", "_root"}).GetVariable().Push({"_xmouse"}).GetMember().Add2().Trace();
  s.Push({"o", 0, "Object"}).NewObject().SetVariable();
  s.Push({"o"}).GetVariable().Push({"onKeyDown"}).Function("", {}, onKeyDown).SetMember();
  s.Push({"o"}).GetVariable().Push({"onKeyUp"}).Function("", {}, onKeyUp).SetMember();
  s.Push({"o"}).GetVariable().Push({1, "Key"}).GetVariable().Push({"addListener"}).CallMethod().Pop();
  s.Push({"m", 0, "Object"}).NewObject().SetVariable();
  s.Push({"m"}).GetVariable().Push({"onMouseMove"}).Function("", {}, onMouseMove).SetMember();
  s.Push({"m"}).GetVariable().Push({1, "Mouse"}).GetVariable().Push({"addListener"}).CallMethod().Pop();
  s.Push({"Key"}).GetVariable().Push({"LEFT"}).GetMember().Trace();
  Tag(tags, code::DoAction, s.Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags);
  EXPECT_EQ(run->lines, (Lines{"load", "37"}));
  run->lines.clear();

  swf::Player& p = *run->player;
  p.MouseMove(130, 70);
  p.MouseDown(130, 70);
  p.MouseUp(130, 70);
  EXPECT_EQ(run->lines, (Lines{"mm 130", "down 15 10"}));
  run->lines.clear();

  p.KeyDown(37, 0);
  EXPECT_TRUE(p.KeyIsDown(37));
  p.KeyUp(37, 0);  // the listener takes itself off
  EXPECT_FALSE(p.KeyIsDown(37));
  p.KeyDown('X', 'x');
  EXPECT_EQ(run->lines, (Lines{"key 37", "kl 0 true", "true", "key 88", "press x"}));
}

TEST(SwfInput, ClipEventsFollowAClipFromItsLoadToItsUnload) {
  std::vector<uint8_t> tags;
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2,
      PlaceWithEvents(1, 1, "a", Translate(0, 0),
                      {{swf::kEventLoad, TraceText("load")},
                       {swf::kEventEnterFrame, TraceText("enterFrame")},
                       {swf::kEventUnload, TraceText("unload")}}));
  Tag(tags, code::DoAction, TraceText("frame 1"));
  Tag(tags, code::ShowFrame, {});
  Tag(tags, code::DoAction, TraceText("frame 2"));
  Tag(tags, code::ShowFrame, {});
  Tag(tags, code::RemoveObject2, {1, 0});
  Tag(tags, code::DoAction, Asm().Push({"frame 3"}).Trace().Op(0x07).Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags, 3);
  run->player->Play();
  for (int i = 0; i < 3; ++i) run->player->Tick();
  EXPECT_EQ(run->lines, (Lines{"load", "frame 1", "enterFrame", "frame 2", "unload", "frame 3"}));
}

TEST(SwfInput, ClipEventsCutShortKeepTheOnesBeforeThemAndThePlacement) {
  std::vector<uint8_t> tags;
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  std::vector<uint8_t> place = PlaceWithEvents(
      1, 1, "a", Translate(0, 0),
      {{swf::kEventLoad, TraceText("load")}, {swf::kEventEnterFrame, TraceText("enterFrame, cut short")}});
  place.resize(place.size() - 10);  // the end marker and the last bytes of the second handler
  Tag(tags, code::PlaceObject2, place);
  Tag(tags, code::DoAction, Asm().Push({"a"}).GetVariable().Op(0x44).Trace().Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags);
  run->player->Tick();
  EXPECT_EQ(run->lines, (Lines{"load", "movieclip"}));
}

TEST(SwfInput, AClipThatRemovesItselfInItsEnterFrameHandlerLeavesTheOthersRunning) {
  // The handler removes its own clip (placed by script), which had children of its own.
  std::vector<uint8_t> tags;
  std::vector<uint8_t> sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  Asm s;
  Asm handler;
  handler.Push({"gone"}).Trace().Push({0, "this"}).GetVariable().Push({"removeMovieClip"}).CallMethod().Pop();
  s.Push({"c", 1, "x", 2, "_root"}).GetVariable().Push({"createEmptyMovieClip"}).CallMethod().SetVariable();
  s.Push({"c"}).GetVariable().Push({"onEnterFrame"}).Function("", {}, handler).SetMember();
  s.Push({1, "inner", 2, "c"}).GetVariable().Push({"createEmptyMovieClip"}).CallMethod().Pop();
  Tag(tags, code::DoAction, s.Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags);
  run->player->Tick();
  run->player->Tick();
  EXPECT_EQ(run->lines, (Lines{"gone"}));
}

class SwfButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> tags;
    Add(tags, SolidSquare(1, 255, 0, 0));
    Add(tags, SolidSquare(2, 0, 255, 0));
    Add(tags, SolidSquare(4, 0, 0, 255));
    Tag(tags, code::DefineButton2,
        Button2(3, {{swf::kButtonUp | swf::kButtonHit, 1}, {swf::kButtonOver, 2}, {swf::kButtonDown, 4}},
                {{swf::kIdleToOverUp, TraceText("over")},
                 {swf::kOverUpToIdle, TraceText("out")},
                 {swf::kOverUpToOverDown, TraceText("press")},
                 {swf::kOverDownToOverUp, TraceText("release")},
                 {swf::kOutDownToIdle, TraceText("outside")},
                 {uint16_t('a' << 9), TraceText("key a")}}));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Translate(400, 400), .name = "b"}));
    Asm s;
    Asm onRelease;
    onRelease.Push({"onRelease"}).Trace();
    s.Push({"b"}).GetVariable().Push({"onRelease"}).Function("", {}, onRelease).SetMember();
    Tag(tags, code::DoAction, s.Bytes());
    Tag(tags, code::ShowFrame, {});
    run = Play(tags);
  }
  // The colour drawn inside the button.
  Color Shown() const { return Draw(*run->player, 200, 100).GetPixel(25, 25); }
  Lines Take() { return std::exchange(run->lines, {}); }

  std::unique_ptr<Played> run;
};

TEST_F(SwfButtons, TheMouseRollsOverPressesAndReleases) {
  swf::Player& p = *run->player;
  EXPECT_EQ(Shown(), RGBColor(255, 0, 0));
  p.MouseMove(5, 5);
  EXPECT_EQ(Take(), Lines{});
  p.MouseMove(25, 25);
  EXPECT_EQ(Take(), Lines{"over"});
  EXPECT_EQ(Shown(), RGBColor(0, 255, 0));
  p.MouseDown(25, 25);
  EXPECT_EQ(Take(), Lines{"press"});
  EXPECT_EQ(Shown(), RGBColor(0, 0, 255));
  p.MouseUp(25, 25);
  EXPECT_EQ(Take(), (Lines{"release", "onRelease"}));
  EXPECT_EQ(Shown(), RGBColor(0, 255, 0));
  p.MouseMove(50, 50);
  EXPECT_EQ(Take(), Lines{"out"});
  EXPECT_EQ(Shown(), RGBColor(255, 0, 0));
}

TEST_F(SwfButtons, AReleaseOutsideTheButtonAndAKeyPressRunTheirOwnActions) {
  swf::Player& p = *run->player;
  p.MouseDown(29, 29);  // the hit area's corner: rolls over first
  p.MouseMove(31, 31);
  p.MouseUp(31, 31);
  EXPECT_EQ(Take(), (Lines{"over", "press", "outside"}));
  EXPECT_EQ(Shown(), RGBColor(255, 0, 0));
  p.KeyDown('B', 'b');
  p.KeyDown('A', 'a');
  EXPECT_EQ(Take(), Lines{"key a"});
}

TEST(SwfInput, DefineButtonActionsRunOnRelease) {
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  BitWriter w;
  w.U16(3);
  w.U8(swf::kButtonUp | swf::kButtonHit);
  w.U16(1);
  w.U16(1);
  WriteMatrix(w, Translate(0, 0));
  w.U8(0);
  w.Bytes(TraceText("clicked"));
  Tag(tags, 7, w.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3}));
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags);
  run->player->MouseDown(5, 5);
  EXPECT_EQ(run->lines, Lines{});
  run->player->MouseUp(5, 5);
  EXPECT_EQ(run->lines, Lines{"clicked"});
}

TEST(SwfInput, AButtonIsHitWhereItsHitShapeIsFilledNotInItsBoundsElsewhere) {
  // The hit shape is a ring (pixels 20 to 60 square, its hole 30 to 50); the button shows a
  // plain square and presses trace.
  std::vector<uint8_t> tags;
  Add(tags, SolidSquare(1, 255, 0, 0));
  ShapeWriter ring(1, {Solid(0, 0, 0)}, {});
  ring.Style(0, 1, 0).Rect(0, 0, 800, 800).Style(1, 0, 0).Rect(200, 200, 600, 600);
  Tag(tags, 2, ring.DefineShape(2, 0, 800, 0, 800));
  Tag(tags, code::DefineButton2,
      Button2(3, {{swf::kButtonUp, 1}, {swf::kButtonHit, 2}}, {{swf::kOverUpToOverDown, TraceText("press")}}));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Translate(400, 400)}));
  Tag(tags, code::ShowFrame, {});
  auto run = Play(tags);
  swf::Player& p = *run->player;
  p.MouseMove(40, 40);  // the hole
  p.MouseDown(40, 40);
  p.MouseUp(40, 40);
  EXPECT_EQ(run->lines, Lines{});
  p.MouseMove(25, 40);  // the ring's left side
  p.MouseDown(25, 40);
  p.MouseUp(25, 40);
  EXPECT_EQ(run->lines, Lines{"press"});
  p.MouseMove(61, 40);  // just outside
  p.MouseDown(61, 40);
  EXPECT_EQ(run->lines, Lines{"press"});
}

}  // namespace
}  // namespace vitrine::test
