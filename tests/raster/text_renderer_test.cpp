#include "raster/text_renderer.h"

#include <gtest/gtest.h>

namespace vitrine::test {
namespace {

class TextRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    renderer_ = CreateTextRenderer();
    if (renderer_->Measure(Arial(-16), "H").width == 0) GTEST_SKIP() << "this build draws no text";
  }
  static Font Arial(int32_t height) {
    Font f;
    f.Name = "Arial";
    f.Height = height;
    return f;
  }
  // The bounding box of the pixels that differ from the background colour.
  static Rect Inked(const Bitmap& b, Color background) {
    Rect r{b.Width(), b.Height(), 0, 0};
    for (int32_t y = 0; y < b.Height(); ++y)
      for (int32_t x = 0; x < b.Width(); ++x)
        if (b.GetPixel(x, y) != background)
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
  }
  std::unique_ptr<TextRenderer> renderer_;
};

TEST_F(TextRendererTest, NegativeHeightIsTheCharacterHeight) {
  // Arial's metric twin at a 16-pixel em: ascent 14.48 and descent 3.39, each rounded.
  EXPECT_EQ(renderer_->Measure(Arial(-16), "Afjh").height, 17);
  EXPECT_EQ(renderer_->Measure(Arial(-16), "").height, 17);  // the cell, whatever the text
}

TEST_F(TextRendererTest, PositiveHeightIsTheCellHeight) {
  for (int32_t h : {12, 20, 24, 40}) EXPECT_NEAR(renderer_->Measure(Arial(h), "x").height, h, 1) << h;
}

TEST_F(TextRendererTest, WidthIsTheSumOfAdvancesWithoutKerning) {
  Font f = Arial(-24);
  EXPECT_EQ(renderer_->Measure(f, "").width, 0);
  int32_t a = renderer_->Measure(f, "A").width, v = renderer_->Measure(f, "V").width;
  EXPECT_GT(a, 10);
  EXPECT_EQ(renderer_->Measure(f, "AV").width, a + v);
  EXPECT_LT(renderer_->Measure(f, "iiii").width, renderer_->Measure(f, "WWWW").width);
  Font bold = f;
  bold.Bold = true;
  EXPECT_GT(renderer_->Measure(bold, "Hello world").width, renderer_->Measure(f, "Hello world").width);
}

TEST_F(TextRendererTest, MonospacedFaceForCourierNew) {
  Font f = Arial(-20);
  f.Name = "Courier New";
  EXPECT_EQ(renderer_->Measure(f, "iiii").width, renderer_->Measure(f, "WWWW").width);
}

TEST_F(TextRendererTest, UnknownFaceFallsBackToASansFace) {
  Font f = Arial(-16);
  f.Name = "No Such Face At All";
  EXPECT_GT(renderer_->Measure(f, "Hello").width, 0);
}

TEST_F(TextRendererTest, DrawsInsideTheMeasuredCellOnAClearBackground) {
  const Color paper = RGBColor(200, 220, 240);
  Bitmap b(120, 50);
  Canvas canvas(b);
  canvas.FillRect(b.Bounds(), paper);
  Font f = Arial(-20);
  f.Colour = RGBColor(10, 20, 30);
  TextExtent e = renderer_->Measure(f, "Hello");
  renderer_->Draw(canvas, f, 7, 9, "Hello");
  Rect ink = Inked(b, paper);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 7);
  EXPECT_LE(ink.right, 7 + e.width);
  EXPECT_GE(ink.top, 9);
  EXPECT_LE(ink.bottom, 9 + e.height);
  // "H" has a solid stem: some pixels are exactly the text colour.
  bool solid = false;
  for (int32_t y = ink.top; y < ink.bottom; ++y)
    for (int32_t x = ink.left; x < ink.right; ++x) solid |= b.GetPixel(x, y) == f.Colour;
  EXPECT_TRUE(solid);
}

TEST_F(TextRendererTest, RespectsTheCanvasClip) {
  Bitmap b(100, 40);
  Canvas canvas(b);
  canvas.SelectClip(Region::FromRect({0, 0, 20, 40}));
  Font f = Arial(-20);
  f.Colour = kWhite;
  renderer_->Draw(canvas, f, 2, 2, "MMMMMM");
  Rect ink = Inked(b, kBlack);
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.right, 20);
}

TEST_F(TextRendererTest, UnderlineAndStrikeOutSpanTheTextWidth) {
  Font f = Arial(-20);
  f.Colour = kWhite;
  TextExtent e = renderer_->Measure(f, "....");
  Bitmap plain(80, 30), lined(80, 30);
  Canvas plainCanvas(plain), linedCanvas(lined);
  renderer_->Draw(plainCanvas, f, 0, 0, "....");
  f.Underline = true;
  f.StrikeOut = true;
  renderer_->Draw(linedCanvas, f, 0, 0, "....");
  int fullRows = 0;
  for (int32_t y = 0; y < 30; ++y) {
    bool full = true;
    for (int32_t x = 0; x < e.width; ++x) full &= lined.GetPixel(x, y) == kWhite;
    fullRows += full;
    EXPECT_EQ(lined.GetPixel(e.width, y), kBlack) << "line runs past the text at row " << y;
  }
  EXPECT_GE(fullRows, 2);  // one for each line
  EXPECT_EQ(Inked(plain, kBlack).right <= e.width, true);
}

TEST(FontHeight, PointsAtScreenResolution) {
  EXPECT_EQ(Font::HeightFromPoints(12), -16);
  EXPECT_EQ(Font::HeightFromPoints(18), -24);
  EXPECT_EQ(Font::HeightFromPoints(8), -11);  // 10.67 rounds to 11
  EXPECT_EQ(Font::HeightFromPoints(9, 120), -15);
}

}  // namespace
}  // namespace vitrine::test
