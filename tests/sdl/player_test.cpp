// The show on a real X screen (a private Xvfb): `vitrine play` in a window and vitrine-saver
// in a window made by the test, the screen read back from the server and compared with where
// the package's settings put each picture, and with the headless render of the same package
// at the same item; ended by keys, a password, or the window going away. The players run
// with leak detection in the sanitizer build: a leak makes their exit status 23.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/show_test_rig.h"
#include "flash/demo_movie.h"
#include "settings/file_registry_store.h"
#include "x_session.h"

namespace vitrine::test {
namespace {

constexpr int kStartMs = kHangMs;
constexpr const char* kSeed = "4242";
// Channels may differ by the rounding of 5-6-5 pixels on their way to a 24-bit screen.
constexpr int kChannelTolerance = 8;

bool Near(Color a, Color b) {
  return std::abs(RedOf(a) - RedOf(b)) <= kChannelTolerance && std::abs(GreenOf(a) - GreenOf(b)) <= kChannelTolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= kChannelTolerance;
}

// The screen at the window once it shows `expected`.
Bitmap CaptureSettled(Display* d, Window w, const Bitmap& expected) {
  return CaptureWhen(d, w, [&](const Bitmap& s) { return DifferingPixels(s, expected, kChannelTolerance) == 0; });
}

// A picture file whose column x has the colour RGB(2x, 128, 255 - 2x).
std::vector<uint8_t> GradientBmp(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, RGBColor(uint8_t(2 * x), 128, uint8_t(255 - 2 * x)));
  return EncodeBmp(b);
}

// Pixels of `screen` off `expected(x, y)` by more than the rounding of 5-6-5 pixels.
template <class Expected>
int Mismatches(const Bitmap& screen, Expected expected) {
  if (screen.Empty()) return -1;
  int wrong = 0;
  for (int32_t y = 0; y < screen.Height(); ++y)
    for (int32_t x = 0; x < screen.Width(); ++x) wrong += !Near(screen.GetPixel(x, y), expected(x, y));
  return wrong;
}

struct SdlPlayer : ::testing::Test {
  XServer x;
  ShowRig rig;
  std::filesystem::path dir;

  void SetUp() override {
    if (!x.display()) GTEST_SKIP() << "no Xvfb";
    dir = std::filesystem::temp_directory_path() / ("vitrine-sdl-" + std::to_string(getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "config");
    rig.Set(5, "2");  // two seconds on each picture, and one more
    // A caption and a memo in the renderer's fonts, brought in by transitions of many frames.
    rig.AddPicture(RGBColor(200, 40, 40), 120, 80,
                   {{36, "0;"}, {7, "1"}, {8, "Vitrine"}, {10, "16777215"}, {17, "1"},
                    {24, "A real screen\r\nin real time"}, {20, "65535"}});
    rig.AddPicture(RGBColor(40, 200, 40), 90, 140, {{36, "40;"}, {47, "8421504"}});
    rig.AddPicture(RGBColor(40, 40, 200), 200, 50, {{36, "120;"}});
    UserSettings([](TRWSetting& s) {
      s.MouseMove = false;  // the pointer the test moves must not end the show
    });
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  template <class F>
  void UserSettings(F change) {
    FileRegistryStore store(dir / "config" / "vitrine");
    TRWSetting settings(kSaverName, store);
    change(settings);
    ASSERT_TRUE(settings.SaveToRegistry());
    rig.UserSettings(change);
  }

  std::string WritePackage(const std::string& player = "") {
    std::vector<uint8_t> bytes;
    if (!player.empty()) {
      std::ifstream in(player, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    rig.content.ProjectRecord = rig.project;
    auto package = BuildPackage(rig.content, static_cast<int64_t>(bytes.size()));
    bytes.insert(bytes.end(), package.begin(), package.end());
    std::string path = (dir / (player.empty() ? "show.pkg" : "saver")).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!player.empty()) chmod(path.c_str(), 0755);
    return path;
  }

  std::map<std::string, std::string> Environment() {
    return {{"DISPLAY", x.name()},         {"SDL_AUDIODRIVER", "dummy"}, {"XDG_CONFIG_HOME", (dir / "config").string()},
            {"XDG_RUNTIME_DIR", dir.string()}, {"VITRINE_SEED", kSeed},      {"VITRINE_REPORT", "1"}};
  }

  // The screens of the headless show at the moment each of the first `items` items stands
  // complete.
  std::vector<Bitmap> HeadlessScreens(const std::string& package, int32_t w, int32_t h, int items, bool preview = false) {
    HeadlessShowOptions options;
    options.packagePath = package;
    options.width = preview ? 800 : w;
    options.height = preview ? 600 : h;
    options.preview = preview;
    options.previewWidth = w;
    options.previewHeight = h;
    options.seed = std::strtoull(kSeed, nullptr, 10);
    HeadlessShow show(options);
    show.Registry().Keys = rig.registryToLoad.Keys;
    std::vector<Bitmap> screens;
    if (!show.Start()) return screens;
    bool waiting = false;
    for (uint64_t t = 10; t < 120000 && static_cast<int>(screens.size()) < items; t += 10) {
      show.RunUntil(t);
      bool now = !show.Form().ShowTimer().Enabled() && show.Form().SelectTimer().Enabled();
      if (now && !waiting) screens.push_back(show.Screen());
      waiting = now;
    }
    show.Destroy();
    return screens;
  }
};

// Centred, never enlarged, each on its plain background, with no transition: a 200 x 100 red
// picture on blue, then a 128 x 60 gradient on grey, where the settings put them in a
// 320 x 240 window.
TEST_F(SdlPlayer, EachPictureStandsWhereTheSettingsPutIt) {
  rig.content.PictureRecords.clear();  // not the pictures of the other tests
  rig.content.ItemData.clear();
  const Color red = RGBColor(224, 32, 32), blue = RGBColor(0, 0, 255), grey = RGBColor(128, 128, 128);
  rig.AddPicture(red, 200, 100, {{47, std::to_string(blue)}});
  rig.AddItem(GradientBmp(128, 60), "gradient.bmp", {{47, std::to_string(grey)}});
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u) << "no show window";

  // (320 - 200) / 2 = 60, (240 - 100) / 2 = 70.
  auto first = [&](int32_t px, int32_t py) { return px >= 60 && px < 260 && py >= 70 && py < 170 ? red : blue; };
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  Bitmap screen = CaptureWhen(x.display(), shown, [&](const Bitmap& s) { return Mismatches(s, first) == 0; });
  WriteImageFile((dir.parent_path() / "vitrine-sdl-placed0.png").string(), screen);
  ASSERT_EQ(screen.Width(), 320);
  ASSERT_EQ(screen.Height(), 240);
  EXPECT_EQ(Mismatches(screen, first), 0) << "not the red picture centred on blue";

  // (320 - 128) / 2 = 96, (240 - 60) / 2 = 90; column x of the picture is RGB(2x, 128, 255 - 2x).
  auto second = [&](int32_t px, int32_t py) {
    if (px < 96 || px >= 224 || py < 90 || py >= 150) return grey;
    return RGBColor(uint8_t(2 * (px - 96)), 128, uint8_t(255 - 2 * (px - 96)));
  };
  ASSERT_TRUE(play.WaitFor("complete 1", kStartMs));
  screen = CaptureWhen(x.display(), shown, [&](const Bitmap& s) { return Mismatches(s, second) == 0; });
  WriteImageFile((dir.parent_path() / "vitrine-sdl-placed1.png").string(), screen);
  EXPECT_EQ(Mismatches(screen, second), 0) << "not the gradient centred on grey";

  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(play.WaitExit()) << "Esc did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

TEST_F(SdlPlayer, EachItemOnScreenMatchesTheHeadlessRenderAndEscEndsTheShow) {
  std::string package = WritePackage();
  auto expected = HeadlessScreens(package, 320, 240, 3);
  ASSERT_EQ(expected.size(), 3u);

  Player play({VITRINE_TOOL_PATH, "play", package, "--window", "320x240"}, Environment());
  ASSERT_TRUE(play.Started());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u) << "no show window";
  for (int item = 0; item < 3; ++item) {
    ASSERT_TRUE(play.WaitFor("complete " + std::to_string(item), kStartMs)) << "item " << item << " never stood complete";
    Bitmap screen = CaptureSettled(x.display(), shown, expected[item]);
    WriteImageFile((dir.parent_path() / ("vitrine-sdl-item" + std::to_string(item) + ".png")).string(), screen);
    // Texts come from the same renderer: no pixel may differ beyond the 5-6-5 rounding.
    EXPECT_EQ(DifferingPixels(screen, expected[item], kChannelTolerance), 0) << "item " << item;
  }
  EXPECT_TRUE(play.Running());
  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(play.WaitExit()) << "Esc did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

TEST_F(SdlPlayer, TheKeyOfTheSettingsEndsTheShowOnlyInItsOwnCase) {
  UserSettings([](TRWSetting& s) {
    s.MouseMove = false;
    s.EscKey = false;
    s.SpecifiedKey = true;
    s.KeyValue = "q";
  });
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  PressKey(x.display(), XK_q, true);
  // The keys are in the player's queue long before the next item is due: it comes after them.
  EXPECT_TRUE(play.WaitFor("complete 1", kStartMs)) << "Esc or Q ended the show";
  PressKey(x.display(), XK_q);
  ASSERT_TRUE(play.WaitExit()) << "q did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

// Moves the pointer to a point of the window (or of the screen with w = 0) and lets the
// player see it.
void MovePointer(Display* d, Window w, int x, int y) {
  XWarpPointer(d, None, w ? w : DefaultRootWindow(d), 0, 0, 0, 0, x, y);
  XFlush(d);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

TEST_F(SdlPlayer, AMovementAtTheThresholdFromTheFirstPositionEndsTheShow) {
  UserSettings([](TRWSetting& s) {
    s.MouseMove = true;
    s.MouseSensitivity = 0;  // the first movement of 10 pixels or more closes
  });
  MovePointer(x.display(), 0, 0, 0);  // away from where the window opens
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  // The first movement only sets the reference. Where the player took it (under load the
  // server may report the pointer's way into the window first); the movements below are
  // measured from there. A warp the player never hears of is tried again, a pixel aside, so
  // that the report lines of the items going by cannot keep the wait alive for ever.
  int rx = 0, ry = 0;
  bool reported = false;
  for (int attempt = 0; !reported && attempt < 20 && play.Running(); ++attempt) {
    MovePointer(x.display(), shown, 100 + attempt % 2, 100);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (std::string line; !reported && std::chrono::steady_clock::now() < until;) {
      line = play.NextLine(500);
      if (line.empty() && !play.Running()) break;
      reported = std::sscanf(line.c_str(), "mouse reference %d,%d", &rx, &ry) == 2;
    }
  }
  ASSERT_TRUE(play.Running()) << "the first movement ended the show";
  ASSERT_TRUE(reported) << "the player reported no reference position";
  MovePointer(x.display(), shown, rx + 9, ry - 9);
  MovePointer(x.display(), shown, rx, ry);
  // The movements are in the player's queue long before the next item is due (the second
  // after this one: the first may have gone by while the reference was read).
  EXPECT_TRUE(play.WaitFor("complete 2", kStartMs)) << "a movement under the threshold ended the show";
  MovePointer(x.display(), shown, rx + 10, ry);
  ASSERT_TRUE(play.WaitExit()) << "a movement of 10 pixels from " << rx << "," << ry << " did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

TEST_F(SdlPlayer, ADoubleClickEndsTheShowWhereASingleClickMayNot) {
  UserSettings([](TRWSetting& s) {
    s.MouseMove = false;
    s.MouseLeftClick = false;
    s.MouseDoubleClick = true;
  });
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  Display* d = x.display();
  MovePointer(d, shown, 50, 50);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
  EXPECT_TRUE(play.WaitFor("complete 1", kStartMs)) << "a single click ended the show";
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
  ASSERT_TRUE(play.WaitExit()) << "a double click did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

TEST_F(SdlPlayer, WithAPasswordThePromptAppearsAWrongEntryKeepsTheShowTheRightOneEndsIt) {
  UserSettings([](TRWSetting& s) {
    s.MouseMove = false;
    s.EnabledPassword = true;
    s.Pwd = "secret";
  });
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "400x300"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  Focus(x.display(), shown);
  Bitmap before = Capture(x.display(), shown);

  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(play.WaitFor("prompt open", kStartMs));
  Bitmap prompt = CaptureWhen(x.display(), shown, [](const Bitmap& s) { return Near(s.GetPixel(200, 185), RGBColor(212, 208, 200)); });
  WriteImageFile((dir.parent_path() / "vitrine-sdl-prompt.png").string(), prompt);
  // The dialog's face, centred: 263 x 106 with its caption bar.
  EXPECT_TRUE(Near(prompt.GetPixel(200, 185), RGBColor(212, 208, 200)));
  EXPECT_NE(before.GetPixel(200, 185), prompt.GetPixel(200, 185));

  TypeText(x.display(), "wrong");
  PressKey(x.display(), XK_Return);
  ASSERT_TRUE(play.WaitFor("prompt closed", kStartMs));
  // What the prompt covered comes back: the picture still stands as before.
  EXPECT_EQ(DifferingPixels(CaptureSettled(x.display(), shown, before), before, kChannelTolerance), 0);

  // The show is still there to ask again.
  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(play.WaitFor("prompt open", kStartMs)) << "a wrong password ended the show";
  TypeText(x.display(), "SECRET");
  PressKey(x.display(), XK_Return);
  ASSERT_TRUE(play.WaitExit()) << "the right password, in upper case, did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

TEST_F(SdlPlayer, WithTheMenuARightClickOpensItAndItsStopEndsTheShow) {
  rig.Set(34, "1");
  rig.Set(42 + 49, "Settings...");
  rig.Set(42 + 50, "Stop the show");
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  Display* d = x.display();
  XWarpPointer(d, None, shown, 0, 0, 0, 0, 40, 40);
  XTestFakeButtonEvent(d, 3, True, CurrentTime);
  XTestFakeButtonEvent(d, 3, False, CurrentTime);
  XFlush(d);
  ASSERT_TRUE(play.WaitFor("menu open", kStartMs)) << "no menu";
  Bitmap menu = CaptureWhen(d, shown, [](const Bitmap& s) { return Near(s.GetPixel(45, 45), RGBColor(212, 208, 200)); });
  WriteImageFile((dir.parent_path() / "vitrine-sdl-menu.png").string(), menu);
  EXPECT_TRUE(Near(menu.GetPixel(45, 45), RGBColor(212, 208, 200))) << "no menu at the pointer";
  EXPECT_TRUE(play.Running()) << "the right click closed the show";
  // The second item, one item height further down.
  XWarpPointer(d, None, shown, 0, 0, 0, 0, 60, 40 + 3 + 22 + 10);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
  ASSERT_TRUE(play.WaitExit()) << "Stop did not end the show";
  EXPECT_EQ(play.ExitStatus(), 0);
}

// A window the test owns, as a screen saver daemon makes one.
struct HostWindow {
  Display* d;
  Window w;
  HostWindow(Display* display, int width, int height) : d(display) {
    w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, width, height, 0, 0, 0);
    XSelectInput(d, w, StructureNotifyMask);
    XMapWindow(d, w);
    XSync(d, False);
  }
  std::string Id() const {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(w));
    return text;
  }
};

TEST_F(SdlPlayer, SaverDrawsItsOwnPackageIntoAForeignWindowFollowsItsSizeAndEndsWithIt) {
  std::string saver = WritePackage(VITRINE_SAVER_PATH);
  HostWindow host(x.display(), 640, 480);
  auto expected = HeadlessScreens(saver, 640, 480, 1);
  ASSERT_EQ(expected.size(), 1u);

  Player player({saver, "-window-id", host.Id()}, Environment());
  ASSERT_TRUE(player.WaitFor("complete 0", kStartMs));
  Bitmap screen = CaptureSettled(x.display(), host.w, expected[0]);
  WriteImageFile((dir.parent_path() / "vitrine-sdl-saver.png").string(), screen);

  EXPECT_EQ(DifferingPixels(screen, expected[0], kChannelTolerance), 0);

  // A key in the daemon's window belongs to the daemon.
  Focus(x.display(), host.w);
  PressKey(x.display(), XK_Escape);
  EXPECT_TRUE(player.Running());

  XResizeWindow(x.display(), host.w, 520, 400);
  XSync(x.display(), False);
  // The next item is composed for the new size: the same as a show of that size shows.
  ASSERT_TRUE(player.WaitFor("complete 1", kStartMs));
  auto resized = HeadlessScreens(saver, 520, 400, 2);
  ASSERT_EQ(resized.size(), 2u);
  Bitmap after = CaptureSettled(x.display(), host.w, resized[1]);
  WriteImageFile((dir.parent_path() / "vitrine-sdl-saver-resized.png").string(), after);
  ASSERT_EQ(after.Width(), 520);
  EXPECT_EQ(DifferingPixels(after, resized[1], kChannelTolerance), 0);

  XDestroyWindow(x.display(), host.w);
  XSync(x.display(), False);
  ASSERT_TRUE(player.WaitExit()) << "the saver outlived its window";
  EXPECT_EQ(player.ExitStatus(), 0);
}

TEST_F(SdlPlayer, SaverEndsCleanlyWhenTheDaemonTerminatesIt) {
  std::filesystem::create_directories(dir / "tmp");
  HostWindow host(x.display(), 640, 480);
  auto env = Environment();
  env["TMPDIR"] = (dir / "tmp").string() + "/";
  env["XSCREENSAVER_WINDOW"] = host.Id();
  Player player({WritePackage(VITRINE_SAVER_PATH), "--root"}, env);
  ASSERT_TRUE(player.WaitFor("complete 0", kStartMs));
  EXPECT_TRUE(std::filesystem::exists(dir / "tmp" / "mltqdsk.bmp")) << "no desktop snapshot where expected";
  player.Signal(SIGTERM);
  ASSERT_TRUE(player.WaitExit());
  EXPECT_EQ(player.ExitStatus(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "tmp" / "mltqdsk.bmp")) << "the desktop snapshot was left behind";
}

TEST_F(SdlPlayer, SaverInASmallWindowPlaysThePreview) {
  std::string saver = WritePackage(VITRINE_SAVER_PATH);
  HostWindow host(x.display(), 200, 150);
  Player player({saver}, [&] {
    auto env = Environment();
    env["XSCREENSAVER_WINDOW"] = std::to_string(host.w);  // decimal, as some daemons write it
    return env;
  }());
  ASSERT_TRUE(player.WaitFor("complete 0", kStartMs));
  auto expected = HeadlessScreens(WritePackage(), 200, 150, 1, true);
  ASSERT_EQ(expected.size(), 1u);
  Bitmap screen = CaptureSettled(x.display(), host.w, expected[0]);
  WriteImageFile((dir.parent_path() / "vitrine-sdl-preview.png").string(), screen);
  EXPECT_EQ(DifferingPixels(screen, expected[0], kChannelTolerance), 0);
  // The first picture (red, 120 x 80) fits the preview: it stands centred at its own size.
  EXPECT_TRUE(Near(screen.GetPixel(100, 75), RGBColor(200, 40, 40)));
  XDestroyWindow(x.display(), host.w);
  XSync(x.display(), False);
  ASSERT_TRUE(player.WaitExit());
  EXPECT_EQ(player.ExitStatus(), 0);
}

// A RIFF WAVE in the players' sound format: a 440 Hz tone.
std::vector<uint8_t> ToneWave(int32_t milliseconds, int16_t amplitude) {
  uint32_t frames = uint32_t(milliseconds) * 48, data = frames * 4;
  std::vector<uint8_t> b;
  auto put = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  auto u16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
  put("RIFF"); u32(36 + data); put("WAVE"); put("fmt "); u32(16);
  u16(1); u16(2); u32(48000); u32(48000 * 4); u16(4); u16(16);
  put("data"); u32(data);
  for (uint32_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(amplitude * std::sin(2 * 3.14159265358979 * 440.0 * i / 48000.0));
    u16(uint16_t(v)); u16(uint16_t(v));
  }
  return b;
}

std::vector<int16_t> ReadSamples(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

TEST_F(SdlPlayer, MusicSoundsFromThePictureThatAsksForIt) {
  // The first picture plays without music; the second starts it.
  rig.content.PictureRecords[0].push_back({6, "0"});
  rig.content.PictureRecords[1].push_back({6, "1"});
  rig.AddMusic("tone.wav", ToneWave(1500, 8000));
  auto raw = dir / "sound.raw";
  auto env = Environment();
  env["SDL_AUDIODRIVER"] = "disk";
  env["SDL_DISKAUDIOFILE"] = raw.string();
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, env);
  // The device's stream, stereo frames at 48 kHz, as long as it is when the first picture
  // stands complete: everything before that was played with the first picture.
  auto framesWritten = [&] {
    std::error_code ec;
    auto size = std::filesystem::file_size(raw, ec);
    return ec ? size_t(0) : size_t(size / 4);
  };
  ASSERT_TRUE(play.WaitFor("complete 0", kStartMs));
  size_t duringFirst = framesWritten();
  ASSERT_TRUE(play.WaitFor("complete 1", kStartMs));
  // Wait for the sound itself: a second of tone after its start, the bound only for a hang.
  auto toneStart = [&](const std::vector<int16_t>& samples) {
    size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 200) ++first;
    return first / 2;
  };
  constexpr size_t kSecond = 48000;
  std::vector<int16_t> samples;
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangMs);
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
    samples = ReadSamples(raw);
    if (toneStart(samples) + kSecond + 1 < samples.size() / 2) break;
  }
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(play.WaitExit());
  EXPECT_EQ(play.ExitStatus(), 0);

  size_t first = toneStart(samples);
  ASSERT_LT(first + kSecond, samples.size() / 2) << "no second of music in the stream";
  EXPECT_GE(first, duringFirst) << "the music sounded while the first picture stood";
  // What follows is the tone: its strength and its pitch.
  double power = 0;
  int crossings = 0;
  for (size_t f = 0; f < kSecond; ++f) {
    int16_t left = samples[2 * (first + f)], right = samples[2 * (first + f) + 1];
    EXPECT_EQ(left, right);
    power += double(left) * left;
    if (f > 0 && (samples[2 * (first + f - 1)] < 0) != (left < 0)) ++crossings;
  }
  double rms = std::sqrt(power / double(kSecond));
  EXPECT_NEAR(rms, 8000 / std::sqrt(2.0), 300);
  EXPECT_NEAR(crossings / 2, 440, 5);
}

TEST_F(SdlPlayer, MutedSaverOpensNoSoundDevice) {
  rig.AddMusic("tone.wav", ToneWave(500, 8000));
  auto raw = dir / "sound.raw";
  auto env = Environment();
  env["SDL_AUDIODRIVER"] = "disk";
  env["SDL_DISKAUDIOFILE"] = raw.string();
  Player player({WritePackage(VITRINE_SAVER_PATH), "-window", "-mute"}, env);
  ASSERT_TRUE(player.WaitFor("complete 0", kStartMs));
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u);
  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  ASSERT_TRUE(player.WaitExit());
  EXPECT_EQ(player.ExitStatus(), 0);
  EXPECT_FALSE(std::filesystem::exists(raw));
}

TEST_F(SdlPlayer, SaverWithoutAPackageSaysSoAndEnds) {
  Player player({VITRINE_SAVER_PATH, "-window"}, Environment());
  ASSERT_TRUE(player.WaitExit());
  EXPECT_EQ(player.ExitStatus(), 1);
}

// A Flash movie's device-font text is set in the system's face in the player, as in the
// headless show: the demo's Flash 8 movie, whose bordered field at the foot of the stage
// names its effects in dark letters.
TEST_F(SdlPlayer, AFlashMoviesDeviceTextIsSetInTheSystemsFace) {
  rig.content = PackageContent{};
  rig.AddItem(EffectsMovie(0), "effects.swf", kStretchedForASecond);
  Player play({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "480x360"}, Environment());
  ASSERT_TRUE(play.Started());
  Window shown = FindWindowNamed(x.display(), "Run", kStartMs);
  ASSERT_NE(shown, 0u) << "no show window";
  // Inside the field (stage pixels 30 to 450 across, 312 to 348 down), within its border.
  auto letters = [](const Bitmap& s) {
    int dark = 0;
    for (int32_t y = 316; y < 345; ++y)
      for (int32_t x = 36; x < 444; ++x) dark += RedOf(s.GetPixel(x, y)) < 120 && BlueOf(s.GetPixel(x, y)) < 160;
    return dark;
  };
  auto field = [](const Bitmap& s) { return Near(s.GetPixel(40, 340), RGBColor(255, 255, 255)); };
  Bitmap screen = CaptureWhen(x.display(), shown, [&](const Bitmap& s) { return field(s) && letters(s) > 300; });
  WriteImageFile((dir.parent_path() / "vitrine-sdl-flash-text.png").string(), screen);
  EXPECT_TRUE(field(screen)) << "the movie's field was not shown";
  EXPECT_GT(letters(screen), 300) << "no letters in the field";
  Focus(x.display(), shown);
  PressKey(x.display(), XK_Escape);
  EXPECT_TRUE(play.WaitExit());
}

}  // namespace
}  // namespace vitrine::test
