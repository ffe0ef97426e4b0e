// `vitrine play` on two monitors side by side: Xorg with its dummy driver and two RandR
// outputs of 640x480 (the second at 640,0), which SDL sees as two displays. Each way of using
// them shows what it says on the real screen, read back from the server; the mouse and Esc on
// either monitor end the show. Needs root (Xorg without a console) and the dummy driver;
// skipped without them. Screenshots go to $VITRINE_SCREENS when it is set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/show_test_rig.h"
#include "raster/canvas.h"
#include "raster/image_files.h"
#include "settings/file_registry_store.h"
#include "x_session.h"

namespace vitrine::test {
namespace {

constexpr int kStartMs = 30000;
constexpr int kChannelTolerance = 8;
constexpr int kMonitorWidth = 640, kMonitorHeight = 480;
const Color kRed = RGBColor(200, 40, 40), kBlue = RGBColor(40, 40, 200), kGreen = RGBColor(40, 200, 40);

bool Near(Color a, Color b) {
  return std::abs(RedOf(a) - RedOf(b)) <= kChannelTolerance && std::abs(GreenOf(a) - GreenOf(b)) <= kChannelTolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= kChannelTolerance;
}

// Runs a program to its end; true when it exits with 0.
bool RunToEnd(std::vector<std::string> args, const std::string& display) {
  Player p(std::move(args), {{"DISPLAY", display}});
  return p.Started() && p.WaitExit(20000) && p.ExitStatus() == 0;
}

// Xorg with the dummy driver on the first free display from 150, two outputs side by side.
class TwoMonitorServer {
 public:
  explicit TwoMonitorServer(const std::filesystem::path& dir) {
    if (getuid() != 0 || !std::filesystem::exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")) return;
    std::filesystem::path conf = dir / "xorg.conf";
    std::ofstream(conf) << "Section \"Device\"\n Identifier \"dummy\"\n Driver \"dummy\"\n VideoRam 64000\nEndSection\n"
                           "Section \"Monitor\"\n Identifier \"monitor\"\n HorizSync 5.0-1000.0\n"
                           " VertRefresh 5.0-200.0\nEndSection\n"
                           "Section \"Screen\"\n Identifier \"screen\"\n Device \"dummy\"\n Monitor \"monitor\"\n"
                           " DefaultDepth 24\n SubSection \"Display\"\n  Depth 24\n  Virtual 2560 1440\n"
                           " EndSubSection\nEndSection\n";
    for (int n = 150; n < 250 && !display_; ++n) {
      if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
      name_ = ":" + std::to_string(n);
      server_ = std::make_unique<Player>(
          std::vector<std::string>{"/usr/lib/xorg/Xorg", name_, "-config", conf.string(), "-noreset", "-nolisten",
                                   "tcp", "-logfile", (dir / "xorg.log").string(), "-novtswitch", "-sharevts", "-quiet"},
          std::map<std::string, std::string>{});
      for (int i = 0; i < 100 && !display_ && server_->Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        display_ = XOpenDisplay(name_.c_str());
      }
      if (!display_) server_.reset();
    }
    if (!display_) return;
    XSetErrorHandler(TolerateVanishedWindows);
    ok_ = RunToEnd({"/usr/bin/xrandr", "--output", "DUMMY0", "--mode", "640x480", "--pos", "0x0"}, name_) &&
          RunToEnd({"/usr/bin/xrandr", "--addmode", "DUMMY1", "640x480"}, name_) &&
          RunToEnd({"/usr/bin/xrandr", "--output", "DUMMY1", "--mode", "640x480", "--pos", "640x0"}, name_) &&
          // A full query probes the outputs: only then does the second count as connected,
          // and SDL leaves disconnected outputs out.
          RunToEnd({"/usr/bin/xrandr", "--query"}, name_);
  }
  ~TwoMonitorServer() {
    if (display_) XCloseDisplay(display_);
    if (server_) {
      server_->Signal(SIGTERM);
      server_->WaitExit(10000);
    }
  }
  bool Ok() const { return ok_; }
  Display* display() const { return display_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::unique_ptr<Player> server_;
  Display* display_ = nullptr;
  bool ok_ = false;
};

// A picture red in its left half and blue in its right half.
std::vector<uint8_t> HalvesBmp() {
  Bitmap b(64, 48, PixelFormat::Xrgb8888);
  Canvas(b).FillRect({0, 0, 32, 48}, kRed);
  Canvas(b).FillRect({32, 0, 64, 48}, kBlue);
  return EncodeBmp(b);
}

struct TwoMonitors : ::testing::Test {
  std::filesystem::path dir;
  std::unique_ptr<TwoMonitorServer> x;
  ShowRig rig;

  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("vitrine-monitors-" + std::to_string(getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "config");
    x = std::make_unique<TwoMonitorServer>(dir);
    if (!x->display()) GTEST_SKIP() << "no Xorg with the dummy driver that runs here (it needs root)";
    ASSERT_TRUE(x->Ok()) << "xrandr could not set up two outputs";
    rig.Set(5, "30");  // long enough on each picture for the screen to be read
    rig.Set(41, "3");  // every picture stretched over its show area
    rig.AddItem(HalvesBmp(), "halves.bmp");
    rig.AddPicture(kGreen, 16, 12);
    rig.AddPicture(RGBColor(200, 200, 40), 16, 12);
    Settings([](TRWSetting& s) { s.MouseMove = false; });
  }
  void TearDown() override {
    x.reset();
    std::filesystem::remove_all(dir);
  }

  template <class F>
  void Settings(F change) {
    FileRegistryStore store(dir / "config" / "vitrine");
    TRWSetting settings(kSaverName, store);
    change(settings);
    ASSERT_TRUE(settings.SaveToRegistry());
  }

  std::string WritePackage() {
    rig.content.ProjectRecord = rig.project;
    auto bytes = BuildPackage(rig.content, 0);
    std::string path = (dir / "show.pkg").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }

  std::unique_ptr<Player> Play(const std::string& monitors) {
    std::vector<std::string> args{VITRINE_TOOL_PATH, "play", WritePackage()};
    if (!monitors.empty()) args.insert(args.end(), {"--monitors", monitors});
    return std::make_unique<Player>(
        args, std::map<std::string, std::string>{{"DISPLAY", x->name()},
                                                 {"SDL_AUDIODRIVER", "dummy"},
                                                 {"XDG_CONFIG_HOME", (dir / "config").string()},
                                                 {"XDG_RUNTIME_DIR", dir.string()},
                                                 {"VITRINE_SEED", "5"},
                                                 {"VITRINE_REPORT", "1"}});
  }

  // The whole virtual screen once the pixel at (x, y) is `colour`, or as it is after a while.
  Bitmap ScreenShowing(int32_t px, int32_t py, Color colour) {
    Bitmap screen;
    for (int i = 0; i < 100; ++i) {
      screen = Capture(x->display(), DefaultRootWindow(x->display()));
      if (!screen.Empty() && Near(screen.GetPixel(px, py), colour)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return screen;
  }

  void Save(const Bitmap& screen, const std::string& name) {
    const char* folder = std::getenv("VITRINE_SCREENS");
    if (!folder || !*folder) return;
    std::filesystem::create_directories(folder);
    auto bytes = EncodeBmp(screen);
    std::ofstream(std::filesystem::path(folder) / ("monitors-" + name + ".bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }

  // The top-level show window whose left edge is at `left`, or 0.
  Window ShowWindowAt(int32_t left) {
    Display* d = x->display();
    for (int waited = 0; waited < 5000; waited += 50) {
      Window root, parent, *children = nullptr;
      unsigned count = 0;
      Window found = 0;
      if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
          XWindowAttributes a;
          char* title = nullptr;
          if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable && a.x == left &&
              a.width == kMonitorWidth && XFetchName(d, children[i], &title) && title) {
            if (std::string(title) == "Run") found = children[i];
            XFree(title);
          }
        }
        if (children) XFree(children);
      }
      if (found) return found;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
  }

  // Esc typed into the right-hand monitor's window ends the whole show.
  void EscOnTheRightEndsIt(Player& player, int32_t rightWindowLeft) {
    Window right = ShowWindowAt(rightWindowLeft);
    ASSERT_NE(right, 0u) << "no window on the right-hand monitor";
    Focus(x->display(), right);
    PressKey(x->display(), XK_Escape);
    EXPECT_TRUE(player.WaitExit(10000)) << "Esc on the right-hand monitor did not end the show";
  }
};

constexpr int32_t kRightMiddleX = 960, kMiddleY = 240;
// A quarter and three quarters across the left-hand monitor.
constexpr int32_t kLeftQuarterX = 160, kLeftThreeQuartersX = 480;

TEST_F(TwoMonitors, EachMonitorItsOwnShowStartingAtDifferentItems) {
  auto player = Play("each");
  ASSERT_TRUE(player->WaitFor("complete 0", kStartMs));
  Bitmap screen = ScreenShowing(kRightMiddleX, kMiddleY, kGreen);
  Save(screen, "each");
  ASSERT_EQ(screen.Width(), 2 * kMonitorWidth);
  // The first item stretched over the left-hand monitor alone; the second over the right.
  EXPECT_TRUE(Near(screen.GetPixel(kLeftQuarterX, kMiddleY), kRed));
  EXPECT_TRUE(Near(screen.GetPixel(kLeftThreeQuartersX, kMiddleY), kBlue));
  EXPECT_TRUE(Near(screen.GetPixel(kRightMiddleX, kMiddleY), kGreen));
  EscOnTheRightEndsIt(*player, kMonitorWidth);
}

TEST_F(TwoMonitors, TheSameShowOnEveryMonitor) {
  auto player = Play("same");
  ASSERT_TRUE(player->WaitFor("complete 0", kStartMs));
  Bitmap screen = ScreenShowing(kMonitorWidth + kLeftThreeQuartersX, kMiddleY, kBlue);
  Save(screen, "same");
  for (int32_t left : {0, kMonitorWidth}) {
    EXPECT_TRUE(Near(screen.GetPixel(left + kLeftQuarterX, kMiddleY), kRed)) << left;
    EXPECT_TRUE(Near(screen.GetPixel(left + kLeftThreeQuartersX, kMiddleY), kBlue)) << left;
  }
  EscOnTheRightEndsIt(*player, kMonitorWidth);
}

TEST_F(TwoMonitors, OneShowAcrossBothMonitors) {
  auto player = Play("span");
  ASSERT_TRUE(player->WaitFor("complete 0", kStartMs));
  Bitmap screen = ScreenShowing(kRightMiddleX, kMiddleY, kBlue);
  Save(screen, "span");
  // One picture across: its red half fills the left-hand monitor, its blue half the right.
  EXPECT_TRUE(Near(screen.GetPixel(kLeftQuarterX, kMiddleY), kRed));
  EXPECT_TRUE(Near(screen.GetPixel(kLeftThreeQuartersX, kMiddleY), kRed));
  EXPECT_TRUE(Near(screen.GetPixel(kRightMiddleX, kMiddleY), kBlue));
  PressKey(x->display(), XK_Escape);
  EXPECT_TRUE(player->WaitExit(10000));
}

TEST_F(TwoMonitors, ThePrimaryOnlyByTheSettingWithTheOtherBlack) {
  Settings([](TRWSetting& s) {
    s.MouseMove = false;
    s.Monitors = 3;
  });
  auto player = Play("");  // no --monitors: the stored value holds
  ASSERT_TRUE(player->WaitFor("complete 0", kStartMs));
  Bitmap screen = ScreenShowing(kLeftQuarterX, kMiddleY, kRed);
  Save(screen, "primary");
  EXPECT_TRUE(Near(screen.GetPixel(kLeftQuarterX, kMiddleY), kRed));
  EXPECT_TRUE(Near(screen.GetPixel(kLeftThreeQuartersX, kMiddleY), kBlue));
  int lit = 0;
  for (int32_t y = 0; y < kMonitorHeight; y += 8)
    for (int32_t px = kMonitorWidth; px < 2 * kMonitorWidth; px += 8) lit += screen.GetPixel(px, y) != kBlack;
  EXPECT_EQ(lit, 0) << "the right-hand monitor is not black";
  EscOnTheRightEndsIt(*player, kMonitorWidth);
}

TEST_F(TwoMonitors, MovingTheMouseOnTheOtherMonitorEndsEveryShow) {
  Settings([](TRWSetting& s) {
    s.MouseMove = true;
    s.MouseSensitivity = 0;  // the first move of 10 pixels or more ends the show
  });
  Display* d = x->display();
  for (const char* use : {"each", "primary"}) {
    // The pointer rests on the right-hand monitor before the show starts: the point it is
    // first seen at lies there.
    XTestFakeMotionEvent(d, -1, kRightMiddleX, kMiddleY, CurrentTime);
    XFlush(d);
    auto player = Play(use);
    ASSERT_TRUE(player->WaitFor("complete 0", kStartMs)) << use;
    XTestFakeMotionEvent(d, -1, kRightMiddleX + 3, kMiddleY, CurrentTime);  // below the threshold
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XTestFakeMotionEvent(d, -1, kRightMiddleX + 5, kMiddleY + 2, CurrentTime);
    XFlush(d);
    EXPECT_FALSE(player->WaitExit(1500)) << use << ": a move of 3 pixels ended the show";
    XTestFakeMotionEvent(d, -1, kRightMiddleX + 60, kMiddleY + 40, CurrentTime);
    XFlush(d);
    EXPECT_TRUE(player->WaitExit(10000)) << use << ": moving the mouse on the right-hand monitor did not end the show";
  }
}

}  // namespace
}  // namespace vitrine::test
