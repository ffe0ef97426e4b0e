#include <gtest/gtest.h>

#include "app/startup.h"

namespace vitrine::test {
namespace {

using Args = std::vector<std::string>;

TEST(ChooseStartMode, NameAndFirstArgumentDecide) {
  EXPECT_EQ(ChooseStartMode("C:\\WINDOWS\\sunset.scr", {}), StartMode::Configuration);
  EXPECT_EQ(ChooseStartMode("C:\\WINDOWS\\sunset.exe", {}), StartMode::ShowWindow);
  // A folder name holding ".SCR" counts too: the test is a substring test.
  EXPECT_EQ(ChooseStartMode("C:\\My.Scripts\\sunset.exe", {}), StartMode::Configuration);
  EXPECT_EQ(ChooseStartMode("C:\\sunset.exe", Args{"/c:1234"}), StartMode::Configuration);
  EXPECT_EQ(ChooseStartMode("C:\\sunset.scr", Args{"/s"}), StartMode::ShowWindow);
  EXPECT_EQ(ChooseStartMode("C:\\sunset.scr", Args{"/p", "42"}), StartMode::ShowWindow);
}

TEST(ChooseShowSetup, PreviewTakesTheParentHandleInEitherForm) {
  auto separate = ChooseShowSetup(Args{"/p", "123456"});
  ASSERT_TRUE(separate);
  EXPECT_EQ(separate->setup, ShowSetup::Preview);
  EXPECT_EQ(separate->previewParent, 123456u);
  auto joined = ChooseShowSetup(Args{"/P:987"});
  ASSERT_TRUE(joined);
  EXPECT_EQ(joined->previewParent, 987u);
}

TEST(ChooseShowSetup, PreviewWithoutAUsableHandleEndsTheRun) {
  EXPECT_FALSE(ChooseShowSetup(Args{"/p"}));
  EXPECT_FALSE(ChooseShowSetup(Args{"/p", "12x"}));
  EXPECT_FALSE(ChooseShowSetup(Args{"/p", "0"}));
  EXPECT_FALSE(ChooseShowSetup(Args{"/p", "99999999999999999999999"}));
}

TEST(ChooseShowSetup, ShowAndUnknownSwitchesRunTheShow) {
  EXPECT_EQ(ChooseShowSetup(Args{})->setup, ShowSetup::Show);
  EXPECT_EQ(ChooseShowSetup(Args{"/S"})->setup, ShowSetup::Show);
  EXPECT_EQ(ChooseShowSetup(Args{"/a"})->setup, ShowSetup::Show);
}

}  // namespace
}  // namespace vitrine::test
