#include "app/monitor_plan.h"

#include <gtest/gtest.h>

namespace vitrine {
namespace {

// Two 640x480 monitors side by side, the primary on the left.
const MonitorInfo kPair[] = {{{640, 0, 1280, 480}, false}, {{0, 0, 640, 480}, true}};
// A 1920x1080 primary with a portrait 1080x1920 monitor to its left, top edges aligned.
const MonitorInfo kMixed[] = {{{0, 0, 1920, 1080}, true}, {{-1080, 0, 0, 1920}, false}};

TEST(PlanMonitors, EachMonitorItsOwnShowStartingFurtherOnWithMusicOnThePrimary) {
  MonitorPlan plan = PlanMonitors(kPair, MonitorUse::Each);
  ASSERT_EQ(plan.Shows.size(), 2u);
  EXPECT_EQ(plan.Shows[0].Area, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(plan.Shows[1].Area, (Rect{640, 0, 1280, 480}));
  EXPECT_EQ(plan.Shows[0].FirstItem, 0);
  EXPECT_EQ(plan.Shows[1].FirstItem, 1);
  EXPECT_TRUE(plan.Shows[0].Music && plan.Shows[0].Primary);
  EXPECT_FALSE(plan.Shows[1].Music || plan.Shows[1].Primary);
  EXPECT_FALSE(plan.Windows[1].Mirror);
  ASSERT_EQ(plan.Windows.size(), 2u);
  EXPECT_EQ(plan.Windows[1].Bounds, (Rect{640, 0, 1280, 480}));
  EXPECT_EQ(plan.Windows[1].Show, 1);
}

TEST(PlanMonitors, TheSameShowIsDrawnOnceAndMirroredOnTheOthers) {
  MonitorPlan plan = PlanMonitors(kMixed, MonitorUse::Same);
  ASSERT_EQ(plan.Shows.size(), 1u);
  EXPECT_EQ(plan.Shows[0].Area, (Rect{0, 0, 1920, 1080}));
  ASSERT_EQ(plan.Windows.size(), 2u);
  EXPECT_FALSE(plan.Windows[0].Mirror);
  EXPECT_EQ(plan.Windows[1].Bounds, (Rect{-1080, 0, 0, 1920}));
  EXPECT_EQ(plan.Windows[1].Show, 0);
  EXPECT_TRUE(plan.Windows[1].Mirror);
}

TEST(PlanMonitors, OneShowAcrossTheBoundingRectangle) {
  MonitorPlan plan = PlanMonitors(kMixed, MonitorUse::Span);
  ASSERT_EQ(plan.Shows.size(), 1u);
  // The gap below the landscape monitor lies inside the area but on no screen.
  EXPECT_EQ(plan.Shows[0].Area, (Rect{-1080, 0, 1920, 1920}));
  ASSERT_EQ(plan.Windows.size(), 1u);
  EXPECT_EQ(plan.Windows[0].Show, 0);
}

TEST(PlanMonitors, ThePrimaryOnlyWithTheOthersCoveredBlack) {
  MonitorPlan plan = PlanMonitors(kPair, MonitorUse::Primary);
  ASSERT_EQ(plan.Shows.size(), 1u);
  EXPECT_EQ(plan.Shows[0].Area, (Rect{0, 0, 640, 480}));
  ASSERT_EQ(plan.Windows.size(), 2u);
  EXPECT_EQ(plan.Windows[0].Show, 0);
  EXPECT_EQ(plan.Windows[1].Bounds, (Rect{640, 0, 1280, 480}));
  EXPECT_EQ(plan.Windows[1].Show, -1);
}

TEST(PlanMonitors, OrderWithoutAPrimaryAndEmptyMonitors) {
  const MonitorInfo three[] = {{{200, 0, 300, 100}}, {{0, 0, 100, 100}}, {{100, 0, 200, 100}}, {{5, 5, 5, 9}}};
  MonitorPlan plan = PlanMonitors(three, MonitorUse::Each);
  ASSERT_EQ(plan.Shows.size(), 3u);  // the empty one is left out
  EXPECT_EQ(plan.Shows[0].Area.left, 200);  // the first is taken as the primary
  EXPECT_EQ(plan.Shows[1].Area.left, 0);
  EXPECT_EQ(plan.Shows[2].Area.left, 100);
  EXPECT_TRUE(PlanMonitors({}, MonitorUse::Span).Shows.empty());
}

TEST(MonitorUse, FromTheRegistryAndTheCommandLine) {
  EXPECT_EQ(MonitorUseFromSetting(2), MonitorUse::Span);
  EXPECT_EQ(MonitorUseFromSetting(4), MonitorUse::Each);
  EXPECT_EQ(MonitorUseFromSetting(-1), MonitorUse::Each);
  EXPECT_EQ(ParseMonitorUse("primary"), MonitorUse::Primary);
  EXPECT_EQ(ParseMonitorUse("same"), MonitorUse::Same);
  EXPECT_FALSE(ParseMonitorUse("Span").has_value());
  EXPECT_FALSE(ParseMonitorUse("").has_value());
}

}  // namespace
}  // namespace vitrine
