// Close events, the password, the popup menu and the run-time limit.
#include <gtest/gtest.h>

#include "show_test_rig.h"

namespace vitrine::test {
namespace {

ShowRig& Started(ShowRig& rig) {
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.Start();
  EXPECT_TRUE(rig.started);
  return rig;
}

// The index of the movement event that closes the show, moving `step` pixels in x each time
// from the start point, or 0 when none of `events` does.
int ClosingMove(int32_t sensitivity, int32_t step, int events) {
  ShowRig rig;
  rig.UserSettings([&](TRWSetting& s) { s.MouseSensitivity = sensitivity; });
  Started(rig);
  rig.Form().pbShowMouseMove(100, 100);  // the first movement only sets the reference
  for (int i = 1; i <= events; ++i) {
    rig.Form().pbShowMouseMove(100 + step, 100);
    if (rig.Form().Closed()) return i;
  }
  return 0;
}

TEST(CloseEvents, MouseSensitivitySetsDistanceAndCount) {
  EXPECT_EQ(ClosingMove(0, 10, 5), 1);
  EXPECT_EQ(ClosingMove(0, 9, 5), 0);
  EXPECT_EQ(ClosingMove(1, 10, 5), 2);
  EXPECT_EQ(ClosingMove(5, 50, 10), 6);
  EXPECT_EQ(ClosingMove(5, 49, 10), 0);
  EXPECT_EQ(ClosingMove(20, 200, 30), 21);
}

TEST(CloseEvents, TheFirstMovementNeverCloses) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.MouseSensitivity = 0; });
  Started(rig);
  rig.Form().pbShowMouseMove(5000, 5000);
  EXPECT_FALSE(rig.Form().Closed());
}

TEST(CloseEvents, ButtonsAndKeysFollowTheSettings) {
  {
    ShowRig rig;  // defaults: left click off, right click, double click, Esc and Enter on
    Started(rig).Form().pbShowMouseDown(MouseButton::Left, 1, 1);
    EXPECT_FALSE(rig.Form().Closed());
    rig.Form().pbShowMouseDown(MouseButton::Middle, 1, 1);
    EXPECT_FALSE(rig.Form().Closed());
    rig.Form().FormKeyDown('A');
    EXPECT_FALSE(rig.Form().Closed());
    rig.Form().pbShowMouseDown(MouseButton::Right, 1, 1);
    EXPECT_TRUE(rig.Form().Closed());
  }
  for (uint16_t key : {uint16_t(27), uint16_t(13)}) {
    ShowRig rig;
    Started(rig).Form().FormKeyDown(key);
    EXPECT_TRUE(rig.Form().Closed()) << key;
  }
  {
    ShowRig rig;
    rig.UserSettings([](TRWSetting& s) { s.EscKey = false; s.MouseDoubleClick = false; });
    Started(rig).Form().FormKeyDown(27);
    rig.Form().pbShowDblClick();
    EXPECT_FALSE(rig.Form().Closed());
    rig.Form().displaypanelMouseDown(MouseButton::Right, 0, 0);
    EXPECT_TRUE(rig.Form().Closed());
  }
}

TEST(CloseEvents, TheSpecifiedKeyMatchesCaseExactly) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.SpecifiedKey = true; s.KeyValue = "a"; });
  Started(rig).Form().FormKeyPress('A');
  EXPECT_FALSE(rig.Form().Closed());
  rig.Form().FormKeyPress('a');
  EXPECT_TRUE(rig.Form().Closed());
}

TEST(CloseEvents, WithTheMenuOnMovingAndRightClickingOpenTheMenuInstead) {
  ShowRig rig;
  rig.Set(34, "1");
  rig.Set(42 + 49, "Settings...");
  rig.Set(42 + 50, "Stop the show");
  rig.UserSettings([](TRWSetting& s) { s.MouseSensitivity = 0; });
  Started(rig);
  auto menu = rig.show->Window().PopupMenu();
  ASSERT_TRUE(menu.has_value());
  EXPECT_EQ((*menu)[0], "Settings...");
  EXPECT_EQ((*menu)[1], "Stop the show");
  rig.Form().pbShowMouseMove(0, 0);
  rig.Form().pbShowMouseMove(500, 500);
  rig.Form().pbShowMouseDown(MouseButton::Right, 1, 1);
  EXPECT_FALSE(rig.Form().Closed());
  rig.Form().Close1Click();
  EXPECT_TRUE(rig.Form().Closed());
}

TEST(CloseEvents, PreviewIgnoresInputAndClosesWithoutPassword) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.UserSettings([](TRWSetting& s) { s.EnabledPassword = true; s.Pwd = "x"; s.MouseLeftClick = true; });
  rig.Start(64, 48, true);
  auto& form = rig.Form();
  form.pbShowMouseMove(0, 0);
  form.pbShowMouseMove(400, 400);
  form.pbShowMouseDown(MouseButton::Left, 1, 1);
  form.pbShowDblClick();
  form.FormKeyDown(27);
  EXPECT_FALSE(form.Closed());
  form.Close();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(rig.show->Services().passwordPrompts, 0);
}

TEST(CloseEvents, ThePasswordIsComparedWithoutCaseAndARefusalKeepsTheShowGoing) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.EnabledPassword = true; s.Pwd = "secret"; });
  Started(rig);
  auto& services = rig.show->Services();
  services.passwordAnswers = {std::string("wrong"), std::nullopt, std::string("SeCrEt")};
  rig.Form().FormKeyDown(27);
  EXPECT_FALSE(rig.Form().Closed());
  rig.Form().FormKeyDown(27);  // Cancel
  EXPECT_FALSE(rig.Form().Closed());
  rig.show->RunUntil(2000);  // the show went on meanwhile
  EXPECT_FALSE(rig.Form().DialogOpen);
  rig.Form().FormKeyDown(27);
  EXPECT_TRUE(rig.Form().Closed());
  EXPECT_EQ(services.passwordPrompts, 3);
}

TEST(CloseEvents, AnEmptyPasswordIsAcceptedByAnEmptyEntry) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.EnabledPassword = true; s.Pwd = ""; });
  Started(rig);
  rig.show->Services().passwordAnswers = {std::string("")};
  rig.Form().FormKeyDown(13);
  EXPECT_TRUE(rig.Form().Closed());
}

TEST(CloseEvents, TheSettingsMenuAsksThePasswordAndReloadsTheSettings) {
  ShowRig rig;
  rig.Set(34, "1");
  rig.UserSettings([](TRWSetting& s) { s.EnabledPassword = true; s.Pwd = "pw"; });
  Started(rig);
  auto& services = rig.show->Services();
  services.settingsDialog = [&] {
    EXPECT_TRUE(rig.Form().DialogOpen);
    TRWSetting changed(kSaverName, rig.show->Registry());
    changed.LoadFromRegistry();
    changed.UseMaxRunTime = true;
    changed.MaxRunTime = 2;
    changed.SaveToRegistry();
  };
  services.passwordAnswers = {std::string("nope")};
  rig.Form().Setting1Click();
  EXPECT_EQ(services.settingsDialogRuns, 0);
  services.passwordAnswers = {std::string("PW")};
  rig.Form().Setting1Click();
  EXPECT_EQ(services.settingsDialogRuns, 1);
  EXPECT_FALSE(rig.Form().DialogOpen);
  EXPECT_TRUE(rig.Form().Settings->UseMaxRunTime);
  EXPECT_EQ(rig.Form().RemainingSeconds, 120);
  EXPECT_TRUE(rig.Form().MaxRuntime().Enabled());
}

TEST(RunTimeLimit, OneMinuteEndsTheShowAfterSixtyTicks) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.UseMaxRunTime = true; s.MaxRunTime = 1; });
  Started(rig);
  rig.show->RunUntil(59999);
  EXPECT_FALSE(rig.Form().Closed());
  rig.show->RunUntil(60000);
  EXPECT_TRUE(rig.Form().Closed());
}

TEST(RunTimeLimit, ZeroMinutesCountsAsOneAtStartUp) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) { s.UseMaxRunTime = true; s.MaxRunTime = 0; });
  Started(rig);
  EXPECT_EQ(rig.Form().RemainingSeconds, 60);
}

TEST(RunTimeLimit, ARefusedCloseLeavesTheShowRunningWithoutALimit) {
  ShowRig rig;
  rig.UserSettings([](TRWSetting& s) {
    s.UseMaxRunTime = true;
    s.MaxRunTime = 1;
    s.EnabledPassword = true;
    s.Pwd = "pw";
  });
  Started(rig);
  rig.show->RunUntil(61000);
  EXPECT_FALSE(rig.Form().Closed());
  EXPECT_FALSE(rig.Form().MaxRuntime().Enabled());
  EXPECT_EQ(rig.show->Services().passwordPrompts, 1);
}

}  // namespace
}  // namespace vitrine::test
