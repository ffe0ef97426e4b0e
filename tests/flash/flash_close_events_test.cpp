// Close events of the Flash window, played through the host with our own control, the way
// the headless show scripts them.
#include <gtest/gtest.h>

#include "flash/flash_form.h"
#include "flash/own_flash_control.h"
#include "flash/action_assembler.h"
#include "flash/movie_bytes.h"
#include "flash/swf_writer.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_services.h"
#include "backends/headless/headless_show_window.h"
#include "settings/memory_registry_store.h"

namespace vitrine {
namespace {

struct StopInbox final : MessageTarget {
  void HandleMessage(uint32_t m, uintptr_t, intptr_t) override { stops += m == WM_STOPSHOW; }
  int stops = 0;
};

class FlashCloseTest : public ::testing::Test {
 protected:
  FlashCloseTest() : window(640, 480), settings("Sunset.scr", registry) {
    files.Files["/tmp/vdn.swf"] = test::Movie({}, false);
    host = CreateFlashWindowHost(loop, window, services, files);
  }

  TfFlashform& Open(bool closeOnInput = true, bool clicksToFlash = false, bool moveToFlash = false) {
    FlashDisplayRecord record;
    record.ClicksToFlash = clicksToFlash;
    record.MoveToFlash = moveToFlash;
    host->ShowFlashWindow(inbox, settings, closeOnInput, true, record, "/tmp/vdn.swf");
    return *CurrentFlashWindow();
  }
  int Stops() {
    loop.DrainMessages();
    return inbox.stops;
  }
  FlashFormHost& Host() { return static_cast<FlashFormHost&>(*host); }

  HeadlessEventLoop loop;
  HeadlessShowWindow window;
  HeadlessServices services;
  MemoryFileSystem files;
  MemoryRegistryStore registry;
  TRWSetting settings;
  StopInbox inbox;
  std::unique_ptr<FlashWindowHost> host;
};

TEST_F(FlashCloseTest, RightClickClosesOrOpensTheShowsMenu) {
  settings.MouseRightClick = true;
  Open(true).Flash->MouseRightDown(30, 40);
  EXPECT_EQ(Stops(), 1);
  EXPECT_TRUE(Host().PopupMenuOpenedAt.empty());

  settings.MouseRightClick = false;
  Open(true).Flash->MouseRightDown(30, 40);
  EXPECT_EQ(Stops(), 1);

  settings.MouseRightClick = true;
  TfFlashform& form = Open(false);
  form.Flash->MouseRightDown(30, 40);
  EXPECT_EQ(Stops(), 1);
  EXPECT_EQ(Host().PopupMenuOpenedAt, (std::vector<Point>{{30, 40}}));
  // Nor does movement close anything then; the pointer is shown instead.
  window.HideCursor();
  for (uint16_t x = 0; x < 600; x += 100) form.Flash->MouseMove(x, x / 2);
  EXPECT_EQ(Stops(), 1);
  EXPECT_FALSE(window.CursorHidden());
  EXPECT_EQ(form.Flash->Cursor(), FlashCursor::Arrow);
}

TEST_F(FlashCloseTest, LeftAndDoubleClicksUnlessClicksGoToTheMovie) {
  settings.MouseLeftClick = true;
  settings.MouseDoubleClick = true;
  TfFlashform& own = Open(true, false);
  own.Flash->MouseLeftUp(1, 1);
  EXPECT_EQ(Stops(), 0);
  own.Flash->MouseLeftDown(1, 1);
  EXPECT_EQ(Stops(), 1);
  own.Flash->MouseDoubleClick(1, 1);
  EXPECT_EQ(Stops(), 2);

  TfFlashform& toMovie = Open(true, true);
  EXPECT_TRUE(toMovie.Flash->PassLeftDown);
  EXPECT_FALSE(toMovie.Flash->PassDoubleClick);
  toMovie.Flash->MouseLeftDown(1, 1);
  toMovie.Flash->MouseLeftUp(1, 1);
  toMovie.Flash->MouseDoubleClick(1, 1);
  EXPECT_EQ(Stops(), 2);
}

TEST_F(FlashCloseTest, KeysAndTheSpecifiedKeyAfterThePassword) {
  settings.EscKey = false;
  settings.EnterKey = true;
  settings.SpecifiedKey = true;
  settings.KeyValue = "A";
  settings.EnabledPassword = true;
  settings.Pwd = "Secret";
  TfFlashform& form = Open();
  form.FormKeyDown(kVkEscape);
  EXPECT_EQ(services.passwordPrompts, 0);
  form.FormKeyPress('a');
  EXPECT_EQ(services.passwordPrompts, 0);
  services.passwordAnswers = {std::string("secreT"), std::nullopt, std::string("wrong"), std::string("SECRET")};
  form.FormKeyPress('A');
  EXPECT_EQ(Stops(), 1);
  form.FormKeyDown(kVkReturn);  // cancelled
  form.FormKeyDown(kVkReturn);  // wrong
  EXPECT_EQ(Stops(), 1);
  form.FormKeyDown(kVkReturn);
  EXPECT_EQ(Stops(), 2);
  EXPECT_EQ(services.passwordPrompts, 4);
}

TEST_F(FlashCloseTest, MouseMoveCountsMovesBeyondTheSensitivity) {
  settings.MouseMove = true;
  settings.MouseSensitivity = 2;  // moves of 20 pixels; the third one counts
  settings.EnabledPassword = true;
  settings.Pwd = "x";
  services.passwordAnswers = {std::string("no"), std::string("X")};
  TfFlashform& form = Open();
  form.Flash->MouseMove(100, 100);  // the reference point, kept while counting
  form.Flash->MouseMove(119, 81);   // under 20 both ways
  form.Flash->MouseMove(120, 100);
  form.Flash->MouseMove(100, 100);  // back at the reference: not counted
  form.Flash->MouseMove(100, 130);
  EXPECT_EQ(form.MoveCount, 2);
  EXPECT_EQ(services.passwordPrompts, 0);
  form.Flash->MouseMove(100, 140);
  EXPECT_EQ(services.passwordPrompts, 1);  // refused: counting starts again from here
  EXPECT_EQ(form.MoveCount, 0);
  EXPECT_EQ(form.LastMouseY, 140);
  form.Flash->MouseMove(100, 159);
  form.Flash->MouseMove(100, 160);
  form.Flash->MouseMove(100, 120);
  EXPECT_EQ(Stops(), 0);
  form.Flash->MouseMove(80, 140);
  EXPECT_EQ(Stops(), 1);
  EXPECT_EQ(form.MoveCount, 3);

  // With the movie taking the movement nothing is counted.
  TfFlashform& toMovie = Open(true, false, true);
  for (uint16_t y = 0; y < 400; y += 50) toMovie.Flash->MouseMove(0, y);
  EXPECT_EQ(toMovie.LastMouseX, -10);
  EXPECT_EQ(Stops(), 1);
}

TEST_F(FlashCloseTest, PreviewSwallowsRightAndDoubleClicksAndClosesOnNoMouseEvent) {
  settings.MouseLeftClick = settings.MouseRightClick = settings.MouseDoubleClick = settings.MouseMove = true;
  settings.MouseSensitivity = 0;
  window.Surface().Reset(152, 112, PixelFormat::Xrgb8888);
  host->ShowFlashInPanel(inbox, settings, true, true, {}, "/tmp/vdn.swf");
  TfFlashform& form = *CurrentFlashWindow();
  EXPECT_EQ(form.BoundsRect, (Rect{0, 0, 152, 112}));
  for (uint16_t i = 0; i < 5; ++i) {
    form.Flash->MouseMove(i * 40, i * 30);
    form.Flash->MouseLeftDown(1, 1);
    form.Flash->MouseRightDown(1, 1);
    form.Flash->MouseDoubleClick(1, 1);
  }
  EXPECT_EQ(Stops(), 0);
  EXPECT_TRUE(Host().PopupMenuOpenedAt.empty());
}

TEST_F(FlashCloseTest, CloseReportsTheEndAndClosingFreesTheWindow) {
  struct Finished final : MessageTarget {
    void HandleMessage(uint32_t m, uintptr_t w, intptr_t l) override { count += m == WM_FLASHFINISHED && w == 1 && l == 1; }
    int count = 0;
  } notify;
  host->ShowFlashWindow(notify, settings, true, false, {}, "/tmp/vdn.swf");
  ASSERT_TRUE(host->FlashWindowOpen());
  CurrentFlashWindow()->FormClose();
  loop.DrainMessages();
  EXPECT_EQ(notify.count, 1);
  host->CloseFlashWindow();
  EXPECT_FALSE(host->FlashWindowOpen());
  EXPECT_EQ(CurrentFlashWindow(), nullptr);
  host->CloseFlashWindow();  // nothing open: nothing happens
}

// A password prompt whose own message loop lets the show close the Flash window meanwhile.
class PromptingServices final : public Services {
 public:
  std::function<void()> during;
  bool AcquireSingleInstance(const std::string&) override { return true; }
  void ReleaseSingleInstance() override {}
  std::string ExecutablePath() override { return {}; }
  Bitmap DesktopSnapshot() override { return {}; }
  uint64_t TotalPhysicalMemory() override { return 0; }
  uint64_t ClockSeed() override { return 0; }
  void ShellOpen(const std::string&) override {}
  void MessageBox(const std::string&) override {}
  bool GetPassword(std::string& entry) override {
    if (during) during();
    entry = "p";
    return true;
  }
  void ShowSettingsDialog() override {}
};

TEST_F(FlashCloseTest, AWindowClosedDuringItsPasswordPromptStillAsksToEndTheShow) {
  settings.EscKey = true;
  settings.EnabledPassword = true;
  settings.Pwd = "p";
  PromptingServices prompting;
  FlashFormHost prompted(loop, window, prompting, files);
  prompted.ShowFlashWindow(inbox, settings, true, true, {}, "/tmp/vdn.swf");
  TfFlashform* form = prompted.Window();
  prompting.during = [&] { prompted.CloseFlashWindow(); };
  form->FormKeyDown(kVkEscape);
  EXPECT_EQ(Stops(), 1);
  EXPECT_FALSE(prompted.FlashWindowOpen());
  EXPECT_EQ(CurrentFlashWindow(), nullptr);
  // The retired window's timers are off: no end is reported later.
  loop.RunUntil(20000);
  EXPECT_EQ(Stops(), 1);
}

}  // namespace
}  // namespace vitrine

namespace vitrine {
namespace {

TEST_F(FlashCloseTest, KeysAndMouseTheCloseEventsLeaveAloneReachTheMovie) {
  // A 320 x 240 movie in the 640 x 480 window: twice its size.
  test::MovieOutline outline;
  outline.xMax = 320 * 20;
  outline.yMax = 240 * 20;
  outline.frameCount = 1;
  test::Tag(outline.tags, 1, {});
  files.Files["/tmp/vdn.swf"] = test::Movie(outline, false);
  settings.EscKey = true;
  settings.SpecifiedKey = true;
  settings.KeyValue = "A";
  settings.MouseMove = true;
  TfFlashform& form = Open(true, true, false);
  auto* control = dynamic_cast<OwnFlashControl*>(form.Flash.get());
  ASSERT_NE(control, nullptr);
  ASSERT_NE(control->Player(), nullptr);
  const swf::Player& movie = *control->Player();
  form.FormKeyDown('B');
  EXPECT_EQ(movie.LastKeyCode(), 'B');
  EXPECT_EQ(movie.LastKeyAscii(), 'b');
  form.FormKeyDown('A');  // the closing key
  form.FormKeyDown(kVkEscape);
  EXPECT_EQ(movie.LastKeyCode(), 'B');
  EXPECT_EQ(Stops(), 1);

  // Movement closes the show and stays away from the movie; a click goes to it.
  double x = -1, y = -1;
  form.Flash->MouseMove(300, 100);
  movie.MouseIn(movie.Root(), x, y);
  EXPECT_EQ(x, 0);
  form.Flash->MouseLeftDown(200, 100);
  movie.MouseIn(movie.Root(), x, y);
  EXPECT_NEAR(x, 100, 1e-9);
  EXPECT_NEAR(y, 50, 1e-9);

  TfFlashform& moving = Open(true, true, true);
  const swf::Player& second = *dynamic_cast<OwnFlashControl*>(moving.Flash.get())->Player();
  moving.Flash->MouseMove(640, 480);
  second.MouseIn(second.Root(), x, y);
  EXPECT_NEAR(x, 320, 1e-9);
  EXPECT_NEAR(y, 240, 1e-9);
}

TEST_F(FlashCloseTest, AKeyStaysDownUntilItsReleaseAndTheMovieHidesThePointerWhileItWants) {
  using test::Asm;
  namespace code = test::code;
  auto mouse = [](const char* method) {
    return Asm().Push({0, "Mouse"}).GetVariable().Push({method}).CallMethod().Pop();
  };
  std::vector<uint8_t> tags;
  test::Tag(tags, code::DoAction, mouse("hide").Bytes());
  for (int frame = 0; frame < 6; ++frame) test::Tag(tags, code::ShowFrame, {});
  test::Tag(tags, code::DoAction, mouse("show").Op(0x07).Bytes());
  test::Tag(tags, code::ShowFrame, {});
  files.Files["/tmp/vdn.swf"] = test::MovieOf(320, 240, 7, tags);
  TfFlashform& form = Open(true, true, false);
  const swf::Player& movie = *dynamic_cast<OwnFlashControl*>(form.Flash.get())->Player();

  loop.RunUntil(200);
  form.Paint(window.Surface());
  EXPECT_TRUE(window.CursorHidden());
  form.FormKeyDown('B');
  loop.RunUntil(400);  // frames go by with the key held
  EXPECT_TRUE(movie.KeyIsDown('B'));
  form.FormKeyUp('B');
  EXPECT_FALSE(movie.KeyIsDown('B'));
  // The release of a key the close events took is harmless.
  form.FormKeyUp(kVkEscape);
  EXPECT_EQ(Stops(), 0);

  // The movie shows the pointer again in its last frame.
  loop.RunUntil(1500);
  ASSERT_FALSE(movie.Playing());
  form.Paint(window.Surface());
  EXPECT_FALSE(window.CursorHidden());
}

}  // namespace
}  // namespace vitrine
