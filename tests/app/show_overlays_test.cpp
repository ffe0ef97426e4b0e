// The prompt, the popup menu and the routing of input that a real screen maps its events
// onto; and the show area following a window's new size.
#include <gtest/gtest.h>

#include "app/show_area.h"
#include "app/show_input.h"
#include "app/show_overlays.h"
#include "flash/flash_form.h"
#include "flash/movie_bytes.h"
#include "show_test_rig.h"

namespace vitrine::test {
namespace {

// What the show window's handlers were called with, in order.
struct RecordedEvents final : ShowWindowEvents {
  std::vector<std::string> calls;
  void pbShowMouseMove(int32_t x, int32_t y) override { calls.push_back("move " + P(x, y)); }
  void pbShowMouseDown(MouseButton b, int32_t x, int32_t y) override { calls.push_back("down " + B(b) + " " + P(x, y)); }
  void pbShowDblClick() override { calls.push_back("dblclick"); }
  void displaypanelMouseDown(MouseButton b, int32_t x, int32_t y) override {
    calls.push_back("panel " + B(b) + " " + P(x, y));
  }
  void FormKeyDown(uint16_t k) override { calls.push_back("keydown " + std::to_string(k)); }
  void FormKeyPress(char c) override { calls.push_back("keypress " + std::to_string(int(c))); }
  void Setting1Click() override { calls.push_back("setting"); }
  void Close1Click() override { calls.push_back("stop"); }
  void SystemClose() override { calls.push_back("system close"); }
  static std::string P(int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); }
  static std::string B(MouseButton b) { return b == MouseButton::Left ? "left" : b == MouseButton::Right ? "right" : "middle"; }
};

using Calls = std::vector<std::string>;

TEST(PasswordPrompt, IsCentredAndCollectsTheEntryUntilEnterOrEsc) {
  PasswordPrompt prompt(800, 600);
  EXPECT_EQ(prompt.Bounds(), (Rect{268, 247, 268 + 263, 247 + 106}));
  EXPECT_EQ(prompt.EditBox(), (Rect{278, 291, 278 + 241, 291 + 21}));
  for (char c : std::string("se\x01" "cret")) prompt.Character(c);  // a control character types nothing
  prompt.KeyDown(kVkBack);
  prompt.Character('t');
  EXPECT_EQ(prompt.Entry(), "secret");
  EXPECT_EQ(prompt.State(), PasswordPrompt::Result::Pending);
  prompt.KeyDown(kVkReturnKey);
  EXPECT_EQ(prompt.State(), PasswordPrompt::Result::Ok);
  prompt.Character('x');  // answered: nothing changes any more
  EXPECT_EQ(prompt.Entry(), "secret");

  PasswordPrompt cancelled(300, 200);
  cancelled.Character('a');
  cancelled.KeyDown(kVkEscapeKey);
  EXPECT_EQ(cancelled.State(), PasswordPrompt::Result::Cancel);
}

TEST(PasswordPrompt, ButtonsActWhenReleasedOverThemselves) {
  PasswordPrompt prompt(400, 300);
  Rect ok = prompt.OkButton(), cancel = prompt.CancelButton();
  prompt.MouseDown(ok.left + 5, ok.top + 5);
  prompt.MouseUp(cancel.left + 5, cancel.top + 5);  // dragged off: nothing
  prompt.MouseDown(prompt.Bounds().left + 2, prompt.Bounds().top + 2);
  prompt.MouseUp(ok.left + 5, ok.top + 5);  // pressed elsewhere: nothing
  EXPECT_EQ(prompt.State(), PasswordPrompt::Result::Pending);
  prompt.MouseDown(cancel.left + 1, cancel.top + 1);
  prompt.MouseUp(cancel.right - 1, cancel.bottom - 1);
  EXPECT_EQ(prompt.State(), PasswordPrompt::Result::Cancel);
}

TEST(PasswordPrompt, TakesNoMoreThanTheEditBoxHolds) {
  PasswordPrompt prompt(400, 300);
  for (int i = 0; i < 300; ++i) prompt.Character('a');
  EXPECT_EQ(prompt.Entry().size(), PasswordPrompt::kMaxLength);
}

TEST(PopupMenu, OpensAtThePointerAndStaysInsideTheArea) {
  FixedTextPainter text;  // 10 pixels a character
  PopupMenu wide({"Settings of this show", "Stop"}, 10, 20, 640, 480, text);
  EXPECT_EQ(wide.Bounds(), (Rect{10, 20, 10 + 210 + 42, 20 + 50}));
  PopupMenu corner({"Setting", "Stop"}, 630, 470, 640, 480, text);
  EXPECT_EQ(corner.Bounds(), (Rect{630 - 120, 470 - 50, 630, 470}));
  PopupMenu tiny({"Setting", "Stop"}, 5, 5, 60, 40, text);
  EXPECT_EQ(tiny.Bounds().left, 0);
  EXPECT_EQ(tiny.Bounds().top, 0);
}

TEST(PopupMenu, ChoosesByPointerOrKeysAndGoesAwayOnAClickOutside) {
  FixedTextPainter text;
  PopupMenu menu({"Setting", "Stop"}, 100, 100, 640, 480, text);
  Rect stop = menu.Item(1);
  // The release of the right click that opened it chooses nothing.
  menu.MouseUp(stop.left + 2, stop.top + 2);
  EXPECT_EQ(menu.Result(), PopupMenu::Choice::None);
  menu.MouseMove(stop.left + 2, stop.top + 2);
  EXPECT_EQ(menu.Highlighted(), 1);
  menu.MouseUp(stop.left + 2, stop.top + 2);
  EXPECT_EQ(menu.Result(), PopupMenu::Choice::Stop);

  PopupMenu keys({"Setting", "Stop"}, 100, 100, 640, 480, text);
  keys.KeyDown(kVkDown);
  keys.KeyDown(kVkReturnKey);
  EXPECT_EQ(keys.Result(), PopupMenu::Choice::Setting);

  PopupMenu outside({"Setting", "Stop"}, 100, 100, 640, 480, text);
  outside.MouseDown(5, 5);
  EXPECT_EQ(outside.Result(), PopupMenu::Choice::Dismissed);
}

struct Routing : ::testing::Test {
  FixedTextPainter text;
  ShowInput input{text};
  RecordedEvents events;
  void SetUp() override {
    input.SetEvents(&events);
    input.SetArea(640, 480);
  }
};

TEST_F(Routing, DoubleClickIsTheDoubleClickThenThePressAsTheSystemDeliversIt) {
  input.Deliver(InputEvent::Down(MouseButton::Left, 3, 4));
  input.Deliver(InputEvent::Up(MouseButton::Left, 3, 4));
  input.Deliver(InputEvent::Down(MouseButton::Left, 3, 4, 2));
  input.Deliver(InputEvent::Down(MouseButton::Middle, 7, 8, 2));
  EXPECT_EQ(events.calls, (Calls{"down left 3,4", "dblclick", "down left 3,4", "down middle 7,8"}));
}

TEST_F(Routing, EnterEscBackspaceAndTabAlsoArriveAsTypedCharacters) {
  input.Deliver(InputEvent::Key(kVkReturnKey));
  input.Deliver(InputEvent::Key(kVkEscapeKey));
  input.Deliver(InputEvent::Key('A'));
  input.Deliver(InputEvent::Char('a'));
  EXPECT_EQ(events.calls, (Calls{"keydown 13", "keypress 13", "keydown 27", "keypress 27", "keydown 65", "keypress 97"}));
}

TEST_F(Routing, APressOnTheVisibleVideoPanelGoesToThePanelInItsCoordinates) {
  input.SetVideoPanel({100, 50, 200, 150}, true);
  input.Deliver(InputEvent::Down(MouseButton::Right, 150, 60));
  input.SetVideoPanel({100, 50, 200, 150}, false);
  input.Deliver(InputEvent::Down(MouseButton::Right, 150, 60));
  EXPECT_EQ(events.calls, (Calls{"panel right 50,10", "down right 150,60"}));
}

TEST_F(Routing, TheMenuOpensOnTheRightReleaseOnlyWhenAttachedAndRunsTheChosenCommand) {
  input.Deliver(InputEvent::Up(MouseButton::Right, 10, 10));
  EXPECT_EQ(input.Menu(), nullptr);
  input.SetPopupMenu(std::array<std::string, 2>{"Setting", "Stop"});
  input.Deliver(InputEvent::Down(MouseButton::Right, 10, 10));
  input.Deliver(InputEvent::Up(MouseButton::Right, 10, 10));
  ASSERT_NE(input.Menu(), nullptr);
  EXPECT_TRUE(input.TakeOverlayChanged());
  Rect stop = input.Menu()->Item(1);
  input.Deliver(InputEvent::Key(kVkEscapeKey));  // the menu takes the key
  EXPECT_EQ(input.Menu(), nullptr);
  input.Deliver(InputEvent::Up(MouseButton::Right, 10, 10));
  input.Deliver(InputEvent::Move(stop.left + 1, stop.top + 1));
  input.Deliver(InputEvent::Down(MouseButton::Left, stop.left + 1, stop.top + 1));
  EXPECT_EQ(input.Menu(), nullptr);
  EXPECT_EQ(events.calls, (Calls{"down right 10,10", "stop"}));
}

TEST_F(Routing, WhileThePromptIsOpenKeysAreItsAndOnlyMovesOutsideItReachTheShow) {
  input.SetPopupMenu(std::array<std::string, 2>{"Setting", "Stop"});
  input.Deliver(InputEvent::Up(MouseButton::Right, 10, 10));
  PasswordPrompt& prompt = input.OpenPrompt();
  EXPECT_EQ(input.Menu(), nullptr) << "the prompt closes the menu";
  input.Deliver(InputEvent::Char('x'));
  input.Deliver(InputEvent::Key(kVkEscapeKey));
  input.Deliver(InputEvent::Down(MouseButton::Left, 1, 1));
  input.Deliver(InputEvent::Move(prompt.Bounds().left + 5, prompt.Bounds().top + 5));
  input.Deliver(InputEvent::Move(2, 3));
  EXPECT_EQ(prompt.Entry(), "x");
  EXPECT_EQ(prompt.State(), PasswordPrompt::Result::Cancel);
  EXPECT_EQ(events.calls, (Calls{"move 2,3"}));
  input.ClosePrompt();
  input.Deliver(InputEvent::Key(kVkEscapeKey));
  EXPECT_EQ(events.calls.back(), "keypress 27");
}

TEST(ShowInputOnTheShow, TheMenuCarriesTheProjectsCaptionsAndItsStopEndsTheShow) {
  ShowRig rig;
  rig.Set(34, "1");
  rig.Set(42 + 49, "Settings...");
  rig.Set(42 + 50, "Stop the show");
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.Start();
  ASSERT_TRUE(rig.started);
  FixedTextPainter text;
  ShowInput input(text);
  input.SetEvents(&rig.Form());
  input.SetArea(64, 48);
  input.SetPopupMenu(rig.show->Window().PopupMenu());
  input.Deliver(InputEvent::Down(MouseButton::Right, 5, 5));
  input.Deliver(InputEvent::Up(MouseButton::Right, 5, 5));
  ASSERT_NE(input.Menu(), nullptr);
  EXPECT_FALSE(rig.Form().Closed());
  input.Deliver(InputEvent::Key(kVkUp));
  input.Deliver(InputEvent::Key(kVkReturnKey));
  EXPECT_TRUE(rig.Form().Closed());
  EXPECT_EQ(text.drawn.size(), 0u);  // nothing painted without a screen asking for it
}

TEST(ShowInputOnTheShow, WhileTheFlashWindowIsOpenItsKeysAreTheFlashWindowsAndEndTheShowThroughIt) {
  ShowRig rig;
  MovieOutline movie;
  movie.frameCount = 24;
  rig.AddItem(Movie(movie, true), "movie.swf", {{52, "1"}, {56, "-1"}});
  auto& show = rig.Start(64, 48);
  show.RunUntil(500);
  ASSERT_NE(CurrentFlashWindow(), nullptr);
  FixedTextPainter text;
  ShowInput input(text);
  RecordedEvents events;
  input.SetEvents(&events);
  input.SetArea(64, 48);
  input.Deliver(InputEvent::Key(kVkEscapeKey));
  EXPECT_TRUE(events.calls.empty()) << "the key reached the show window behind the Flash window";
  show.RunUntil(600);
  EXPECT_TRUE(show.Ended());
}

TEST(ShowArea, FollowsANewSizeOnlyBetweenTransitionsKeepingThePicture) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0), 64, 48, {{36, "0;"}});
  rig.Start(64, 48);
  ASSERT_TRUE(rig.started);
  TfRun& form = rig.Form();
  ASSERT_TRUE(form.ShowTimer().Enabled());
  EXPECT_FALSE(FollowShowAreaSize(form, 128, 96));
  EXPECT_EQ(form.ShowWidth, 64);
  for (uint64_t t = 10; t < 60000 && form.ShowTimer().Enabled(); t += 10) rig.show->RunUntil(t);
  ASSERT_FALSE(form.ShowTimer().Enabled());
  EXPECT_TRUE(FollowShowAreaSize(form, 128, 96));
  EXPECT_EQ(form.ShowWidth, 128);
  EXPECT_EQ(form.ShowHeight, 96);
  EXPECT_EQ(form.SurfaceBitmap().Width(), 128);
  EXPECT_EQ(form.ComposeBitmap().Height(), 96);
  EXPECT_EQ(form.SurfaceBitmap().GetPixel(127, 95), RGBColor(255, 0, 0)) << "the picture is stretched over the new area";
  EXPECT_FALSE(FollowShowAreaSize(form, 0, 96));
}

}  // namespace
}  // namespace vitrine::test
