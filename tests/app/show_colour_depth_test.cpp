// The show's colour depth: a package's ColourDepth of 32 draws everything in 32 bits per pixel;
// without it, or with any other value, the show draws in 5-6-5 as it always did.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "show_test_rig.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {

constexpr uint8_t kColourDepthKey = 122;

// 256 x 4, grey level x in column x.
std::vector<uint8_t> GreyRampBmp() {
  Bitmap b(256, 4, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 256; ++x) b.SetPixel(x, y, RGBColor(uint8_t(x), uint8_t(x), uint8_t(x)));
  return EncodeBmp(b);
}

// The ramp at its own size, centred on a 256 x 16 show: rows 6 to 9.
struct RampShow {
  explicit RampShow(const char* depth) {
    rig.AddItem(GreyRampBmp(), "ramp.bmp");
    rig.Set(41, "0");
    if (depth) rig.Set(kColourDepthKey, depth);
    rig.Start(256, 16);
    rig.show->RunUntil(100);
  }
  std::set<uint8_t> Levels(uint8_t (*channel)(Color)) {
    std::set<uint8_t> levels;
    for (int32_t x = 0; x < 256; ++x) levels.insert(channel(rig.ScreenAt(x, 7)));
    return levels;
  }
  ShowRig rig;
};

TEST(ColourDepth, At32BitsAGreyRampShowsEveryOneOfItsLevels) {
  RampShow show("32");
  EXPECT_EQ(show.rig.show->Window().Surface().Format(), PixelFormat::Xrgb8888);
  for (int32_t x = 0; x < 256; ++x)
    ASSERT_EQ(show.rig.ScreenAt(x, 7), RGBColor(uint8_t(x), uint8_t(x), uint8_t(x))) << x;
  EXPECT_EQ(show.Levels(GreenOf).size(), 256u);
  EXPECT_EQ(show.rig.ScreenAt(100, 2), kBlack);  // the background above the picture
}

TEST(ColourDepth, WithoutTheKeyOrWithAnUnknownDepthTheShowDrawsIn16Bits) {
  for (const char* depth : {static_cast<const char*>(nullptr), "16", "24", "32 ", "", "thirty-two"}) {
    RampShow show(depth);
    const std::string name = depth ? depth : "(absent)";
    EXPECT_EQ(show.rig.show->Window().Surface().Format(), PixelFormat::Rgb565) << name;
    EXPECT_EQ(show.Levels(RedOf).size(), 32u) << name;
    EXPECT_EQ(show.Levels(GreenOf).size(), 64u) << name;
    EXPECT_EQ(show.Levels(BlueOf).size(), 32u) << name;
    // 5-6-5 keeps the top bits and repeats them below: 200 is 11001 000 in red, 110010 00 in green.
    EXPECT_EQ(show.rig.ScreenAt(200, 7), RGBColor(206, 203, 206)) << name;
  }
}

// Per channel, how far a 16-bit pixel may lie from the 32-bit one: 5-6-5 drops 3 bits of red
// and blue and 2 of green (a step of 8 or 4) once in the pictures the fade blends and once in
// its result, so two steps.
bool WithinRounding(Color wide, Color narrow) {
  return std::abs(RedOf(wide) - RedOf(narrow)) < 16 && std::abs(GreenOf(wide) - GreenOf(narrow)) < 8 &&
         std::abs(BlueOf(wide) - BlueOf(narrow)) < 16;
}

// Two pictures with a cross fade between them, stopped half-way through the fade.
Bitmap CrossFadeHalfWay(const char* depth) {
  Bitmap first(64, 48, PixelFormat::Xrgb8888), second(64, 48, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      first.SetPixel(x, y, RGBColor(uint8_t(x * 4), uint8_t(y * 5), 90));
      second.SetPixel(x, y, RGBColor(250, uint8_t(255 - x * 3), uint8_t(y * 5 + 7)));
    }
  ShowRig rig;
  const PackageRecord fade{{36, std::to_string(kCrossFade) + ";"}, {34, "0"}, {35, "1"}};
  rig.AddItem(EncodeBmp(first), "first.bmp", fade);
  rig.AddItem(EncodeBmp(second), "second.bmp", fade);
  rig.Set(40, "1");
  rig.Set(5, "1");
  rig.Set(kColourDepthKey, depth);
  rig.Start(64, 48);
  // The first item's fade (10 * (64 + 1) ms) ends by 700 ms; the second comes about two
  // seconds later and is half-way at about 350 ms into its own.
  for (uint64_t t = 700; t < 6000 && rig.Form().CurrentIndex != 1; t += 10) rig.show->RunUntil(t);
  rig.show->RunUntil(rig.show->Loop().NowMs() + 320);
  return rig.show->Screen();
}

TEST(ColourDepth, ACrossFadeAt32BitsDrawsWhatItDrawsAt16WithinRounding) {
  const Bitmap wide = CrossFadeHalfWay("32"), narrow = CrossFadeHalfWay("16");
  ASSERT_EQ(wide.Format(), PixelFormat::Xrgb8888);
  ASSERT_EQ(narrow.Format(), PixelFormat::Rgb565);
  int32_t beyond16 = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const Color w = wide.GetPixel(x, y);
      ASSERT_TRUE(WithinRounding(w, narrow.GetPixel(x, y))) << x << "," << y;
      if (UnpackPixel(PixelFormat::Rgb565, PackPixel(PixelFormat::Rgb565, w)) != w) ++beyond16;
    }
  // Half-way, neither picture: at (10, 20) the mean of (40, 100, 90) and (250, 225, 107).
  const Color mid = wide.GetPixel(10, 20);
  EXPECT_NEAR(RedOf(mid), 145, 30);
  EXPECT_NEAR(GreenOf(mid), 162, 20);
  EXPECT_GT(beyond16, 64 * 48 / 2);  // most pixels hold levels 5-6-5 cannot
}

}  // namespace
}  // namespace vitrine::test
