// Text fields made and set by script, TextFormat, and fields that show a variable: the values
// scripts read back and what the field asks the system's text renderer to draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "flash/action_assembler.h"
#include "flash/swf/player.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"

namespace vitrine::test {
namespace {

using Lines = std::vector<std::string>;

Asm& Do(Asm& a, const std::string& target, const std::string& method, std::vector<Pushed> args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) a.Push({*it});
  a.Push({int(args.size()), target}).GetVariable().Push({method}).CallMethod().Pop();
  return a;
}
Asm& SetProp(Asm& a, const std::string& target, const std::string& name, Pushed value) {
  a.Push({target}).GetVariable().Push({name, value}).SetMember();
  return a;
}
Asm& TraceProp(Asm& a, const std::string& target, const std::string& name) {
  a.Push({target}).GetVariable().Push({name}).GetMember().Trace();
  return a;
}

struct Run {
  std::unique_ptr<swf::Player> player;
  Lines traced;
};

// A 200 x 100 movie: the tags before the script, then the script, in its first frame.
std::unique_ptr<Run> Play(Asm& a, std::vector<uint8_t> tags = {}, int playerVersion = 8,
                          TextRenderer* measure = nullptr) {
  Tag(tags, code::DoAction, a.Bytes());
  Tag(tags, code::ShowFrame, {});
  auto run = std::make_unique<Run>();
  swf::PlayerOptions options;
  options.playerVersion = playerVersion;
  options.text = measure;
  Lines* lines = &run->traced;
  options.onTrace = [lines](const std::string& s) { lines->push_back(s); };
  run->player = std::make_unique<swf::Player>(swf::Movie::Load(MovieOf(200, 100, 1, tags)), options);
  return run;
}

// The texts drawn, each once (a text crossing several bands is drawn in each).
std::set<std::tuple<std::string, int32_t, int32_t>> Texts(const RecordingText& text) {
  std::set<std::tuple<std::string, int32_t, int32_t>> out;
  for (const auto& c : text.calls) out.insert({c.text, c.x, c.y});
  return out;
}

TEST(Avm1TextField, PropertiesAndFormatsReadBackAsSet) {
  Asm a;
  a.Push({"r", 30, 100, 20, 10, 1, "t", 6, "_root"}).GetVariable().Push({"createTextField"}).CallMethod();
  a.SetVariable();
  a.Push({"r"}).GetVariable().Push({"t"}).GetVariable().Equals2().Trace();  // the new field comes back
  TraceProp(a, "t", "text");
  SetProp(a, "t", "text", "Hello");
  TraceProp(a, "t", "text");
  TraceProp(a, "t", "length");
  TraceProp(a, "t", "_x");
  TraceProp(a, "t", "_width");
  SetProp(a, "t", "_width", 150);  // the box grows, the text keeps its size
  TraceProp(a, "t", "_width");
  TraceProp(a, "t", "_xscale");
  SetProp(a, "t", "textColor", 0xFF0000);
  TraceProp(a, "t", "textColor");
  SetProp(a, "t", "autoSize", true);
  TraceProp(a, "t", "autoSize");
  // Markup is shown as it is until the field is an HTML field.
  SetProp(a, "t", "htmlText", "<b>x</b>");
  TraceProp(a, "t", "text");
  SetProp(a, "t", "html", true);
  SetProp(a, "t", "htmlText", "<p align='center'><b>Hi</b> &amp; <font color='#00FF00'>there</font></p><p>2</p>");
  TraceProp(a, "t", "text");
  TraceProp(a, "t", "textColor");  // the font tag colours its own text, not the field
  // TextFormat: what is not given stays null; setTextFormat takes what is given.
  a.Push({"f", 1, 0x0000FF, 20, "_sans", 4, "TextFormat"}).NewObject().SetVariable();
  TraceProp(a, "f", "italic");
  a.Push({"f"}).GetVariable();
  a.Push({1, "t"}).GetVariable().Push({"setTextFormat"}).CallMethod().Pop();
  a.Push({"g", 0, "t"}).GetVariable().Push({"getTextFormat"}).CallMethod().SetVariable();
  for (const char* p : {"font", "size", "color", "bold", "italic", "align"}) TraceProp(a, "g", p);
  auto run = Play(a);
  EXPECT_EQ(run->traced, (Lines{"true", "", "Hello", "5", "10", "100", "150", "100", "16711680", "left", "<b>x</b>",
                                "Hi & there\r2", "16711680", "null", "_sans", "20", "255", "true", "false",
                                "center"}));

  // Before Flash Player 8 createTextField gives nothing back, and the field is made all the same.
  Asm b;
  b.Push({30, 100, 20, 10, 1, "t", 6, "_root"}).GetVariable().Push({"createTextField"}).CallMethod().Trace();
  TraceProp(b, "t", "_y");
  auto seven = Play(b, {}, 7);
  EXPECT_EQ(seven->traced, (Lines{"undefined", "20"}));
}

TEST(Avm1TextField, FieldsDrawTheirBoxAndWrappedText) {
  Asm a;
  Do(a, "_root", "createTextField", {"t", 1, 10, 20, 100, 30});
  SetProp(a, "t", "text", "Hello");
  SetProp(a, "t", "background", true);
  SetProp(a, "t", "backgroundColor", 0x00FF00);
  SetProp(a, "t", "border", true);
  SetProp(a, "t", "borderColor", 0xFF0000);
  a.Push({"f", 0x0000FF, 20, "_sans", 3, "TextFormat"}).NewObject().SetVariable();
  a.Push({"f"}).GetVariable();
  a.Push({1, "t"}).GetVariable().Push({"setTextFormat"}).CallMethod().Pop();
  // 40 pixels wide, 36 inside its gutters: six-pixel characters wrap after each word.
  Do(a, "_root", "createTextField", {"w", 2, 120, 0, 40, 100});
  SetProp(a, "w", "wordWrap", true);
  SetProp(a, "w", "text", "aaa bbb ccc d");
  auto run = Play(a);
  RecordingText text;
  Bitmap f = Draw(*run->player, 200, 100, 0, 0, {255, 255, 255, 255}, &text);
  EXPECT_TRUE(Near(f.GetPixel(100, 45), RGBColor(0, 255, 0)));
  EXPECT_TRUE(Near(f.GetPixel(10, 35), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(60, 49), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(60, 52), RGBColor(255, 255, 255)));
  auto drawn = Texts(text);
  EXPECT_EQ(drawn, (std::set<std::tuple<std::string, int32_t, int32_t>>{
                       {"Hello", 12, 22}, {"aaa", 122, 2}, {"bbb", 122, 14}, {"ccc d", 122, 26}}));
  bool sans = false;
  for (const auto& c : text.calls)
    if (c.text == "Hello") {
      sans = true;
      EXPECT_EQ(c.font.Name, "Arial");
      EXPECT_EQ(c.font.Height, -20);
      EXPECT_EQ(c.font.Colour, RGBColor(0, 0, 255));
    }
  EXPECT_TRUE(sans);
}

TEST(Avm1TextField, AFieldWithAVariableShowsItsValue) {
  std::vector<uint8_t> tags;
  BitWriter e;
  e.U16(2);
  WriteRect(e, 0, 4000, 0, 1000);
  e.U8(0x80);
  e.U8(0);
  e.String("score");
  e.String("none yet");
  Tag(tags, code::DefineEditText, e.Take());
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2}));
  Asm a;
  a.Push({"score", 42}).SetVariable();
  auto run = Play(a, tags);
  RecordingText text;
  Draw(*run->player, 200, 100, 0, 0, {255, 255, 255, 255}, &text);
  ASSERT_FALSE(text.calls.empty());
  EXPECT_EQ(text.calls.front().text, "42");
}

TEST(Avm1TextField, AutoSizeFitsTheFieldToItsTextKeepingTheNamedSide) {
  // The recording renderer's characters are 6 x 12 pixels; a field adds 2 pixels all round.
  Asm a;
  Do(a, "_root", "createTextField", {"l", 1, 10, 10, 100, 50});
  SetProp(a, "l", "autoSize", "left");
  SetProp(a, "l", "text", "Hello");
  TraceProp(a, "l", "_width");
  TraceProp(a, "l", "_height");
  TraceProp(a, "l", "_x");
  SetProp(a, "l", "text", "Hi");  // shrinks
  TraceProp(a, "l", "_width");
  Do(a, "_root", "createTextField", {"r", 2, 100, 30, 100, 20});
  SetProp(a, "r", "text", "Hi");
  SetProp(a, "r", "autoSize", "right");  // the right edge stays at 200
  TraceProp(a, "r", "_width");
  Do(a, "_root", "createTextField", {"c", 3, 0, 60, 100, 20});
  SetProp(a, "c", "autoSize", "center");
  SetProp(a, "c", "text", "abcd");  // the middle stays at 50
  // true is "left"; false leaves the field as it is from then on.
  Do(a, "_root", "createTextField", {"t", 4, 150, 60, 10, 10});
  SetProp(a, "t", "autoSize", true);
  SetProp(a, "t", "text", "xyz");
  TraceProp(a, "t", "_width");
  SetProp(a, "t", "autoSize", false);
  SetProp(a, "t", "text", "xyzxyz");
  TraceProp(a, "t", "_width");
  // A wrapping field keeps its width and takes the height of its lines.
  Do(a, "_root", "createTextField", {"w", 5, 120, 0, 40, 10});
  SetProp(a, "w", "wordWrap", true);
  SetProp(a, "w", "autoSize", "left");
  SetProp(a, "w", "text", "aaa bbb ccc d");
  TraceProp(a, "w", "_width");
  TraceProp(a, "w", "_height");
  RecordingText text;
  auto run = Play(a, {}, 8, &text);
  EXPECT_EQ(run->traced, (Lines{"34", "16", "10", "16", "16", "22", "22", "40", "40"}));
  Draw(*run->player, 200, 100, 0, 0, {255, 255, 255, 255}, &text);
  auto drawn = Texts(text);
  EXPECT_TRUE(drawn.count({"Hi", 12, 12}));
  EXPECT_TRUE(drawn.count({"Hi", 186, 32}));
  EXPECT_TRUE(drawn.count({"abcd", 38, 62}));
  EXPECT_TRUE(drawn.count({"ccc d", 122, 26}));
}

TEST(Avm1TextField, FormatsOfARangeAndHtmlStylesApplyToTheirTextOnly) {
  Asm a;
  Do(a, "_root", "createTextField", {"t", 1, 10, 20, 180, 30});
  SetProp(a, "t", "text", "Hello World");
  // setTextFormat(6, 11, new TextFormat(null, null, 0xFF0000, true)): "World" red and bold.
  a.Push({true, 0xFF0000, Null{}, Null{}, 4, "TextFormat"}).NewObject();
  a.Push({11, 6, 3, "t"}).GetVariable().Push({"setTextFormat"}).CallMethod().Pop();
  Do(a, "_root", "createTextField", {"h", 2, 10, 60, 180, 30});
  SetProp(a, "h", "html", true);
  SetProp(a, "h", "htmlText", "<b>ab</b> <i>c<u>d</u></i><font color='#00FF00' size='30' face='_typewriter'>e</font>f");
  RecordingText text;
  auto run = Play(a, {}, 8, &text);
  Bitmap f = Draw(*run->player, 200, 100, 0, 0, {255, 255, 255, 255}, &text);
  struct Want {
    std::string text;
    int32_t x;
    bool bold, italic, underline;
    Color colour;
    std::string face;
    int32_t height;
  };
  const Color black = RGBColor(0, 0, 0);
  std::vector<Want> want = {{"Hello ", 12, false, false, false, black, "Times New Roman", -12},
                            {"World", 48, true, false, false, RGBColor(255, 0, 0), "Times New Roman", -12},
                            {"ab", 12, true, false, false, black, "Times New Roman", -12},
                            {" ", 24, false, false, false, black, "Times New Roman", -12},
                            {"c", 30, false, true, false, black, "Times New Roman", -12},
                            {"d", 36, false, true, true, black, "Times New Roman", -12},
                            {"e", 42, false, false, false, RGBColor(0, 255, 0), "Courier New", -30},
                            {"f", 48, false, false, false, black, "Times New Roman", -12}};
  // A field crossing bands is drawn in each: its calls once, in order.
  std::vector<RecordingText::Call> calls;
  for (const auto& c : text.calls)
    if (std::none_of(calls.begin(), calls.end(),
                     [&](const auto& d) { return d.text == c.text && d.x == c.x && d.y == c.y; }))
      calls.push_back(c);
  ASSERT_EQ(calls.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const auto& c = calls[i];
    SCOPED_TRACE(want[i].text);
    EXPECT_EQ(c.text, want[i].text);
    EXPECT_EQ(c.x, want[i].x);
    EXPECT_EQ(c.font.Bold, want[i].bold);
    EXPECT_EQ(c.font.Italic, want[i].italic);
    EXPECT_EQ(c.font.Underline, want[i].underline);
    EXPECT_EQ(c.font.Colour, want[i].colour);
    EXPECT_EQ(c.font.Name, want[i].face);
    EXPECT_EQ(c.font.Height, want[i].height);
  }
  EXPECT_TRUE(Near(f.GetPixel(48, 22), RGBColor(255, 0, 0)));
  EXPECT_TRUE(Near(f.GetPixel(12, 22), black));
  EXPECT_TRUE(Near(f.GetPixel(42, 62), RGBColor(0, 255, 0)));
}

}  // namespace
}  // namespace vitrine::test
