// The writer's movies drawn by our player against the open Flash player Ruffle in headless
// Chromium (tests/flash/reference/render.mjs), and what a movie's scripts trace of the mouse and
// the keys in both players (tests/flash/reference/trace_input.mjs). Runs where VITRINE_FLASH_REFERENCE=1 is set
// (tests/flash/reference/run.sh sets it once it found node, Chromium and the reference's npm
// packages installed, so there a missing one fails); skipped elsewhere. Outside
// the anti-aliased edges the mean difference per channel is at most 3 of 255 and no 16 x 16
// block is off by more than 24. With VITRINE_FLASH_REFERENCE_KEEP=FOLDER the reference frames
// are kept there as NAME.png (the committed ones in tests/data/flash/ruffle come from this).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "flash/action_assembler.h"
#include "flash/reference_movies.h"
#include "raster/image_files.h"
#include "raster/text_renderer.h"

namespace vitrine::test {
namespace {

namespace fs = std::filesystem;

bool ReferenceWanted() {
  const char* on = std::getenv("VITRINE_FLASH_REFERENCE");
  return on && std::string(on) == "1";
}

// A fresh folder for one test's movies and the reference player's output.
fs::path ReferenceFolder(const std::string& kind) {
  fs::path dir = fs::temp_directory_path() /
                 ("vitrine-ruffle-" + kind + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  std::to_string(std::rand()));
  fs::create_directories(dir);
  return dir;
}

void WriteMovie(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(dir / (name + ".swf"), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Draws every movie in dir with the reference player, as NAME.ruffle.png; 0 when it ran.
int RenderWithReference(const fs::path& dir) {
  std::string command = "node reference/render.mjs '" + dir.string() + "' > '" + (dir / "render.log").string() + "' 2>&1";
  return std::system(command.c_str());
}

TEST(SwfRuffle, WriterMoviesMatchTheReferencePlayer) {
  if (!ReferenceWanted()) GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  if (!fs::exists("reference/node_modules/@ruffle-rs/ruffle") || !fs::exists("/usr/bin/chromium"))
    FAIL() << "the reference player is not installed (scripts/setup-debian.sh)";
  fs::path dir = ReferenceFolder("");
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies)
    WriteMovie(dir, name, bytes);
  ASSERT_EQ(RenderWithReference(dir), 0) << "see " << (dir / "render.log");
  const char* keepIn = std::getenv("VITRINE_FLASH_REFERENCE_KEEP");
  bool keep = false;
  for (auto& [name, bytes] : movies) {
    SCOPED_TRACE(name);
    std::ifstream in(dir / (name + ".ruffle.png"), std::ios::binary);
    Bitmap theirs = DecodePng(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_FALSE(theirs.Empty());
    if (keepIn && *keepIn) fs::copy_file(dir / (name + ".ruffle.png"), fs::path(keepIn) / (name + ".png"),
                                         fs::copy_options::overwrite_existing);
    auto player = PlayerOf(bytes);
    ASSERT_TRUE(player);
    Bitmap ours = Draw(*player, theirs.Width(), theirs.Height());
    FrameDifference d = CompareWithReference(ours, theirs);
    std::printf("ruffle %-16s mean %.3f, worst block %.3f (%d pixels compared)\n", name.c_str(), d.mean, d.worst,
                d.compared);
    EXPECT_TRUE(d.Matches());
    if (!d.Matches()) {
      keep = true;
      WriteImageFile((dir / (name + ".ours.png")).string(), ours);
    }
    // The committed frame is still what the reference player draws.
    Bitmap committed = RufflesFrame(name);
    ASSERT_FALSE(committed.Empty()) << "tests/data/flash/ruffle/" << name << ".png is missing";
    EXPECT_TRUE(CompareWithReference(committed, theirs).Matches()) << "refresh tests/data/flash/ruffle";
  }
  // A failing comparison leaves both frames behind to look at.
  if (keep) std::printf("frames kept in %s\n", dir.string().c_str());
  else fs::remove_all(dir);
}

// A movie whose scripts trace what they hear of the mouse and the keys: a Key listener, a Mouse
// listener, and a clip twice its size at (100, 50) whose own mouseDown handler reads the mouse
// in its coordinates.
std::vector<uint8_t> ListeningMovie() {
  std::vector<uint8_t> tags, sprite{1, 0, 1, 0};
  Tag(sprite, code::ShowFrame, {});
  Tag(sprite, 0, {});
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .matrix = Scale(2, 2, 2000, 1000), .name = "a"}));
  auto traceMouse = [](Asm& a, const char* prefix, const char* clip) {
    a.Push({prefix, clip}).GetVariable().Push({"_xmouse"}).GetMember().Add2().Push({" "}).Add2();
    a.Push({clip}).GetVariable().Push({"_ymouse"}).GetMember().Add2().Trace();
  };
  Asm onKeyDown, onKeyUp, onMouseDown, onMouseUp, clipDown, s;
  onKeyDown.Push({"down "}).Push({0, "Key"}).GetVariable().Push({"getCode"}).CallMethod().Add2().Push({" "}).Add2();
  onKeyDown.Push({0, "Key"}).GetVariable().Push({"getAscii"}).CallMethod().Add2().Trace();
  onKeyUp.Push({"up "}).Push({0, "Key"}).GetVariable().Push({"getCode"}).CallMethod().Add2().Trace();
  traceMouse(onMouseDown, "press ", "_root");
  traceMouse(onMouseUp, "release ", "_root");
  traceMouse(clipDown, "clip ", "a");
  s.Push({"o", 0, "Object"}).NewObject().SetVariable();
  s.Push({"o"}).GetVariable().Push({"onKeyDown"}).Function("", {}, onKeyDown).SetMember();
  s.Push({"o"}).GetVariable().Push({"onKeyUp"}).Function("", {}, onKeyUp).SetMember();
  s.Push({"o"}).GetVariable().Push({1, "Key"}).GetVariable().Push({"addListener"}).CallMethod().Pop();
  s.Push({"o"}).GetVariable().Push({"onMouseDown"}).Function("", {}, onMouseDown).SetMember();
  s.Push({"o"}).GetVariable().Push({"onMouseUp"}).Function("", {}, onMouseUp).SetMember();
  s.Push({"o"}).GetVariable().Push({1, "Mouse"}).GetVariable().Push({"addListener"}).CallMethod().Pop();
  s.Push({"a"}).GetVariable().Push({"onMouseDown"}).Function("", {}, clipDown).SetMember();
  s.Push({"ready"}).Trace().Op(0x07);
  Tag(tags, code::DoAction, s.Bytes());
  Tag(tags, code::ShowFrame, {});
  std::vector<uint8_t> movie = MovieOf(200, 150, 1, tags);
  movie[3] = 8;
  return movie;
}

TEST(SwfRuffle, ScriptsHearTheMouseAndTheKeysAsTheReferencePlayerHears) {
  if (!ReferenceWanted()) GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  fs::path dir = ReferenceFolder("input-");
  std::vector<uint8_t> movie = ListeningMovie();
  WriteMovie(dir, "listening", movie);
  std::string command = "node reference/trace_input.mjs '" + (dir / "listening.swf").string() +
                        "' 200 150 down:130,70 up:130,70 down:20,30 up:25,35 key:a key:ArrowLeft > '" +
                        (dir / "trace.txt").string() + "' 2> '" + (dir / "trace.log").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << "see " << (dir / "trace.log");
  std::vector<std::string> theirs;
  std::ifstream in(dir / "trace.txt");
  for (std::string line; std::getline(in, line);) theirs.push_back(line);

  std::vector<std::string> ours;
  swf::PlayerOptions options;
  options.onTrace = [&](const std::string& s) { ours.push_back(s); };
  swf::Player player(swf::Movie::Load(movie), options);
  player.Play();
  player.Tick();
  player.MouseMove(130, 70);
  player.MouseDown(130, 70);
  player.MouseUp(130, 70);
  player.MouseMove(20, 30);
  player.MouseDown(20, 30);
  player.MouseMove(25, 35);
  player.MouseUp(25, 35);
  for (auto [code, ascii] : {std::pair<uint16_t, uint8_t>{65, 'a'}, {37, 0}}) {
    player.KeyDown(code, ascii);
    player.KeyUp(code, ascii);
  }
  // The two players agree, and both heard what the movie was told.
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(ours, (std::vector<std::string>{"ready", "clip 15 10", "press 130 70", "release 130 70", "clip -40 -10",
                                            "press 20 30", "release 25 35", "down 65 97", "up 65", "down 37 0",
                                            "up 37"}));
  fs::remove_all(dir);
}

// Device text in black on white: a line in _sans at 24 pixels, one in _typewriter at 16, each
// in a field 180 x 40 pixels, placed at (10, 10) and (10, 60).
std::vector<uint8_t> DeviceTextMovie() {
  auto field = [](uint16_t id, uint16_t font, uint16_t height, const std::string& text) {
    BitWriter e;
    e.U16(id);
    WriteRect(e, 0, 3600, 0, 800);
    e.U8(0x80 | 0x04 | 0x01);  // has text, a colour and a font
    e.U8(0x20);                // has a layout
    e.U16(font);
    e.U16(height);
    for (uint8_t c : {0, 0, 0, 255}) e.U8(c);
    e.U8(0);  // left aligned
    for (int i = 0; i < 4; ++i) e.U16(0);  // margins, indent, leading
    e.String("field" + std::to_string(id));
    e.String(text);
    return e.Take();
  };
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {255, 255, 255});
  Tag(tags, code::DefineFont2, DeviceFont(1, "_sans", 0));
  Tag(tags, code::DefineEditText, field(2, 1, 480, "Flash text"));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2, .matrix = Translate(200, 200)}));
  Tag(tags, code::DefineFont2, DeviceFont(3, "_typewriter", 0));
  Tag(tags, code::DefineEditText, field(4, 3, 320, "mono 0123"));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 4, .matrix = Translate(200, 1200)}));
  Tag(tags, code::ShowFrame, {});
  std::vector<uint8_t> movie = MovieOf(200, 110, 1, tags);
  movie[3] = 8;
  return movie;
}

TEST(SwfRuffle, DeviceTextIsSetInTheSystemsFaceWhereTheReferencePlayerSetsIt) {
  if (!ReferenceWanted()) GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  // Both players are given the same faces: the system's for Flash's names, Liberation's for
  // the reference player.
  if (!fs::exists("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"))
    GTEST_SKIP() << "the Liberation fonts are not installed";
  fs::path dir = ReferenceFolder("text-");
  std::vector<uint8_t> movie = DeviceTextMovie();
  WriteMovie(dir, "device_text", movie);
  ASSERT_EQ(RenderWithReference(dir), 0) << "see " << (dir / "render.log");
  std::ifstream in(dir / "device_text.ruffle.png", std::ios::binary);
  Bitmap theirs = DecodePng(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
  ASSERT_FALSE(theirs.Empty());

  auto player = PlayerOf(movie);
  ASSERT_TRUE(player);
  player->Play();
  std::unique_ptr<TextRenderer> text = CreateTextRenderer();
  Bitmap ours = Draw(*player, theirs.Width(), theirs.Height(), 0, 0, {255, 255, 255, 255}, text.get());
  FrameDifference d = CompareWithReference(ours, theirs);
  std::printf("ruffle device_text      mean %.3f, worst block %.3f (%d pixels compared)\n", d.mean, d.worst, d.compared);
  // Most of a line of text is edge, which the comparison leaves out: each line's ink must
  // also cover the same box in both frames, to a pixel or two.
  auto inkBox = [](const Bitmap& b, int32_t top, int32_t bottom) {
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = top; y < bottom; ++y)
      for (int32_t x = 0; x < b.Width(); ++x)
        if (RedOf(b.GetPixel(x, y)) < 128) box = {std::min(box.left, x), std::min(box.top, y),
                                                  std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box;
  };
  for (auto [top, bottom] : {std::pair{0, 55}, {55, 110}}) {
    Rect a = inkBox(ours, top, bottom), b = inkBox(theirs, top, bottom);
    SCOPED_TRACE(top);
    ASSERT_LT(a.left, a.right) << "no text drawn";
    EXPECT_NEAR(a.left, b.left, 2);
    EXPECT_NEAR(a.right, b.right, 2);
    EXPECT_NEAR(a.top, b.top, 2);
    EXPECT_NEAR(a.bottom, b.bottom, 2);
  }
  EXPECT_TRUE(d.Matches());
  if (d.Matches()) fs::remove_all(dir);
  else {
    WriteImageFile((dir / "device_text.ours.png").string(), ours);
    std::printf("frames kept in %s\n", dir.string().c_str());
  }
}

// The demo's Flash 8 movie, blend modes and filters together, at two of its frames. Its
// device text field is the device-text case's to compare: the frame is compared above it.
TEST(SwfRuffle, TheEffectsDemoDrawsAsTheReferencePlayerDrawsIt) {
  if (!ReferenceWanted()) GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  fs::path dir = ReferenceFolder("effects-");
  const uint16_t frames[] = {0, 30};
  for (uint16_t frame : frames) WriteMovie(dir, "effects" + std::to_string(frame), EffectsMovie(frame));
  ASSERT_EQ(RenderWithReference(dir), 0) << "see " << (dir / "render.log");
  static constexpr int32_t kAboveTheField = 300;
  auto top = [](const Bitmap& b) {
    Bitmap out(b.Width(), std::min(b.Height(), kAboveTheField), PixelFormat::Xrgb8888);
    for (int32_t y = 0; y < out.Height(); ++y)
      for (int32_t x = 0; x < out.Width(); ++x) out.SetPixel(x, y, b.GetPixel(x, y));
    return out;
  };
  bool keep = false;
  for (uint16_t frame : frames) {
    const std::string name = "effects" + std::to_string(frame);
    SCOPED_TRACE(name);
    std::ifstream in(dir / (name + ".ruffle.png"), std::ios::binary);
    Bitmap theirs = DecodePng(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_FALSE(theirs.Empty());
    auto player = PlayerOf(EffectsMovie(frame));
    ASSERT_TRUE(player);
    player->Play();
    Bitmap ours = Draw(*player, theirs.Width(), theirs.Height());
    FrameDifference d = CompareWithReference(top(ours), top(theirs));
    std::printf("ruffle %-16s mean %.3f, worst block %.3f (%d pixels compared)\n", name.c_str(), d.mean, d.worst,
                d.compared);
    // Most of the frame: the band, the discs and the stars with what their filters spread.
    EXPECT_GT(d.compared, 480 * kAboveTheField / 2);
    EXPECT_TRUE(d.Matches());
    if (!d.Matches()) {
      keep = true;
      WriteImageFile((dir / (name + ".ours.png")).string(), ours);
    }
  }
  if (keep) std::printf("frames kept in %s\n", dir.string().c_str());
  else fs::remove_all(dir);
}

}  // namespace
}  // namespace vitrine::test
