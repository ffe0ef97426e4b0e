// Backgrounds and texts of the composed screen.
#include <gtest/gtest.h>

#include <set>

#include "show_test_rig.h"

namespace vitrine::test {
namespace {

constexpr Color kRed = RGBColor(255, 0, 0), kBlue = RGBColor(0, 0, 255);

TEST(Composition, CaptionPositionsKeepTheRightMarginAndTouchTheOtherEdges) {
  // Texts are 10 px per character and 20 px high; the screen is 200 x 100; "abcd" is 40 wide.
  const struct {
    int position;
    int32_t x, y;
  } cases[] = {{0, 80, 0}, {1, 0, 0}, {2, 140, 0}, {3, 80, 80}, {4, 0, 80},
               {5, 140, 80}, {6, 80, 40}, {7, 0, 40}, {8, 140, 40}, {9, 13, -4}, {12, 0, 0}};
  for (const auto& c : cases) {
    ShowRig rig;
    FixedTextPainter text;
    rig.AddPicture(kRed, 8, 6,
                   {{7, "1"}, {8, "abcd"}, {14, std::to_string(c.position)}, {15, "13"}, {16, "-4"}});
    rig.Set(40, "1");
    rig.Start(200, 100, false, &text);
    rig.show->RunUntil(10);  // the whole-screen transition draws the texts onto the new screen
    ASSERT_EQ(text.drawn.size(), 1u) << c.position;
    EXPECT_EQ(text.drawn[0].x, c.x) << "position " << c.position;
    EXPECT_EQ(text.drawn[0].y, c.y) << "position " << c.position;
  }
}

TEST(Composition, AMemoIsPlacedAsABlockWithItsLinesLeftAligned) {
  ShowRig rig;
  FixedTextPainter text;
  rig.AddPicture(kRed, 8, 6, {{17, "1"}, {24, "one\r\nthree\r\nfifteen"}, {25, "6"}});
  rig.Set(40, "0");
  rig.Start(200, 100, false, &text);
  // The block is 70 wide ("fifteen") and 3 x 20 high, centred: (65, 20).
  ASSERT_EQ(text.drawn.size(), 3u);
  EXPECT_EQ(text.drawn[0].text, "one");
  EXPECT_EQ(text.drawn[0].x, 65);
  EXPECT_EQ(text.drawn[0].y, 20);
  EXPECT_EQ(text.drawn[1].x, 65);
  EXPECT_EQ(text.drawn[1].y, 40);
  EXPECT_EQ(text.drawn[2].text, "fifteen");
  EXPECT_EQ(text.drawn[2].y, 60);
}

TEST(Composition, HiddenOrEmptyTextsAreNotDrawn) {
  ShowRig rig;
  FixedTextPainter text;
  rig.AddPicture(kRed, 8, 6, {{7, "0"}, {8, "caption"}, {17, "1"}, {24, ""}});
  rig.Set(40, "0");
  rig.Start(200, 100, false, &text);
  EXPECT_TRUE(text.drawn.empty());
}

TEST(Composition, ABackgroundKindListGivesEachOfItsKinds) {
  ShowRig rig;
  // A tiny picture in the corner; plain blue or a red-to-blue gradient behind it.
  rig.AddPicture(kRed, 1, 1,
                 {{46, "0;2;"}, {47, std::to_string(kBlue)}, {48, std::to_string(kRed)}, {49, std::to_string(kBlue)},
                  {59, "0"}, {50, "2;"}});
  rig.Set(40, "0");
  rig.Set(41, "0");
  auto& show = rig.Start(64, 48);
  std::set<Color> leftEdge;
  for (int i = 0; i < 30; ++i) {
    show.RunUntil(uint64_t(i) * 1010 + 5);
    leftEdge.insert(rig.ScreenAt(0, 0));
  }
  EXPECT_EQ(leftEdge, (std::set<Color>{kBlue, kRed}));  // style 2 starts with colour 1 at the left
  EXPECT_EQ(rig.Form().ItemList[0]->GradientStyle, 2);
}

TEST(Composition, ABackgroundImageListNamingNoImagePaintsBlack) {
  ShowRig rig;
  rig.AddPicture(RGBColor(0, 255, 0), 1, 1, {{46, "1;"}, {57, "2;"}, {58, "0;"}});
  rig.AddPicture(kBlue, 4, 4, {{63, "1"}});
  rig.Set(40, "0");
  rig.Set(41, "0");
  auto& show = rig.Start(64, 48);
  show.RunUntil(5);
  // "0;" has no blank before the 0, so background image 0 is never a candidate.
  EXPECT_EQ(rig.ScreenAt(0, 0), kBlack);
}

TEST(Composition, BackgroundImagesAreStretchedFittedOrTiled) {
  struct Case {
    const char* mode;
    Color corner, centreLeft;
  } cases[] = {{"0", kBlue, kBlue}, {"1", kBlack, kBlack}, {"2", kBlue, kBlue}};
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddPicture(RGBColor(0, 255, 0), 1, 1, {{46, "1;"}, {57, "2;"}, {58, " 0;"}, {61, c.mode}, {64, "0"}, {62, "4"}});
    rig.AddPicture(kBlue, 16, 48, {{63, "1"}});
    rig.Set(40, "0");
    rig.Set(41, "0");
    auto& show = rig.Start(64, 48);
    show.RunUntil(5);
    EXPECT_EQ(rig.ScreenAt(0, 0), c.corner) << "mode " << c.mode;
    EXPECT_EQ(rig.ScreenAt(5, 24), c.centreLeft) << "mode " << c.mode;
    EXPECT_EQ(rig.ScreenAt(63, 47), c.mode[0] == '1' ? kBlack : kBlue) << "mode " << c.mode;
  }
}

TEST(Composition, TheDesktopBackgroundShowsTheSnapshot) {
  ShowRig rig;
  rig.AddPicture(kRed, 1, 1, {{46, "1;"}, {57, "0;"}});
  rig.Set(40, "0");
  rig.Set(41, "0");
  auto& show = rig.Start(64, 48);
  show.RunUntil(5);
  Bitmap desktop = MakeSampleDesktop(64, 48);
  EXPECT_EQ(rig.ScreenAt(20, 30), UnpackPixel(kDefaultShowPixelFormat, PackPixel(kDefaultShowPixelFormat, desktop.GetPixel(20, 30))));
  EXPECT_EQ(rig.ScreenAt(5, 47), UnpackPixel(kDefaultShowPixelFormat, PackPixel(kDefaultShowPixelFormat, desktop.GetPixel(5, 47))));
}

// Another show writing the same snapshot file can leave it half written; the background then
// falls back to a plain colour, and the show goes on.
TEST(Composition, ADamagedDesktopSnapshotPaintsAColourInstead) {
  ShowRig rig;
  rig.AddPicture(kRed, 1, 1, {{46, "1;"}, {57, "0;"}});
  rig.AddPicture(kBlue, 1, 1, {{46, "1;"}, {57, "0;"}});
  rig.Set(5, "2");
  rig.Set(40, "0");
  rig.Set(41, "0");
  auto& show = rig.Start(64, 48);
  show.RunUntil(10);
  std::vector<uint8_t> damaged = SolidBmp(kBlue, 64, 48);
  damaged.resize(40);
  rig.files.Files[rig.files.TempDir() + "mltqdsk.bmp"] = damaged;
  // The second item draws its background from the damaged file.
  EXPECT_NO_THROW(show.RunUntil(3100));
  EXPECT_EQ(rig.ScreenAt(20, 30), rig.ScreenAt(5, 47));
  EXPECT_NE(rig.ScreenAt(20, 30), kBlack);
}

}  // namespace
}  // namespace vitrine::test
