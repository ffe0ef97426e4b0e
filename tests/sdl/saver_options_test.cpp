// vitrine-saver's command line and where it draws.
#include <gtest/gtest.h>

#include "apps/saver/saver_options.h"

namespace vitrine {
namespace {

TEST(SaverOptions, WindowIdsAreHexadecimalWith0xOrDecimal) {
  EXPECT_EQ(ParseWindowId("0x2a00007"), uintptr_t(0x2a00007));
  EXPECT_EQ(ParseWindowId("0X1F"), uintptr_t(31));
  EXPECT_EQ(ParseWindowId("44040199"), uintptr_t(44040199));
  EXPECT_EQ(ParseWindowId(" 12\n"), uintptr_t(12));
  EXPECT_EQ(ParseWindowId("0"), std::nullopt);
  EXPECT_EQ(ParseWindowId("0x"), std::nullopt);
  EXPECT_EQ(ParseWindowId("12ab"), std::nullopt);
  EXPECT_EQ(ParseWindowId("-5"), std::nullopt);
  EXPECT_EQ(ParseWindowId("0x1ffffffffffffffff"), std::nullopt);
}

TEST(SaverOptions, ReadsItsOwnOptionsWithOneDashOrTwoAndKeepsOthersAside) {
  auto o = ParseSaverOptions({"-root", "--mute", "-package", "/p/show.pkg", "-geometry", "-window-id", "0x10"});
  EXPECT_TRUE(o.root);
  EXPECT_TRUE(o.mute);
  EXPECT_EQ(o.package, "/p/show.pkg");
  EXPECT_EQ(o.windowId, uintptr_t(16));
  EXPECT_EQ(o.ignored, std::vector<std::string>{"-geometry"});
  EXPECT_TRUE(o.error.empty());
  EXPECT_FALSE(ParseSaverOptions({"-window-id"}).error.empty());
  EXPECT_FALSE(ParseSaverOptions({"-window-id", "nowhere"}).error.empty());
}

TEST(SaverOptions, TheGivenWindowGoesFirstThenTheDaemonsThenTheRoot) {
  SaverOptions given = ParseSaverOptions({"-root", "-window-id", "7"});
  EXPECT_EQ(SaverTargetWindow(given, "0x99", 1), uintptr_t(7));
  SaverOptions root = ParseSaverOptions({"-root"});
  EXPECT_EQ(SaverTargetWindow(root, "0x99", 1), uintptr_t(0x99));
  EXPECT_EQ(SaverTargetWindow(root, "", 1), uintptr_t(1));
  EXPECT_EQ(SaverTargetWindow(root, "junk", 1), uintptr_t(1));
  SaverOptions own = ParseSaverOptions({"-window"});
  EXPECT_EQ(SaverTargetWindow(own, "0x99", 1), std::nullopt) << "-window asks for a window of its own";
  EXPECT_EQ(SaverTargetWindow(ParseSaverOptions({}), nullptr, 1), std::nullopt);
}

TEST(SaverOptions, SmallWindowsArePreviews) {
  EXPECT_EQ(SaverPlaceFor(320, 200), SaverPlace::PreviewWindow);
  EXPECT_EQ(SaverPlaceFor(1920, 300), SaverPlace::PreviewWindow);
  EXPECT_EQ(SaverPlaceFor(480, 360), SaverPlace::DaemonWindow);
}

}  // namespace
}  // namespace vitrine
