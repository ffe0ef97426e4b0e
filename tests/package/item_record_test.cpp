#include <gtest/gtest.h>

#include <algorithm>

#include "core/errors.h"
#include "core/random.h"
#include "package/picture_info.h"
#include "package/picture_type.h"
#include "package/zov_array.h"
#include "package_test_util.h"

namespace vitrine::test {
namespace {


TEST(TPictureInfo, DefaultsWithoutAnyField) {
  RandomSeed(7);
  TPictureInfo p;
  p.ParsePictureRecord("");
  EXPECT_EQ(p.PictureType, 2);
  EXPECT_TRUE(p.MusicDuring);
  EXPECT_TRUE(p.CaptionVisible);
  EXPECT_EQ(p.MemoPosition, 3);
  EXPECT_EQ(p.TransitionSpeed, 25);
  EXPECT_EQ(p.BackgroundKinds, "0;");
  EXPECT_EQ(p.BackgroundSources, "1;");
  EXPECT_EQ(p.GradientStyles, "0; 1; 2; 3; 4; 5; 6; 7; 8; 9; 10; 11;");
  EXPECT_EQ(p.BackgroundImageMode, 2);
  EXPECT_EQ(p.FlashSettings.StopMode, 3);
  EXPECT_EQ(p.CaptionFont.Height, -24);
  EXPECT_EQ(p.MemoFont.Height, -16);
  EXPECT_EQ(p.CaptionFont.Name, "Arial");
  EXPECT_EQ(p.MemoFont.Charset, 1);
  EXPECT_FALSE(p.CaptionFont.Bold || p.CaptionFont.Italic || p.CaptionFont.Underline || p.CaptionFont.StrikeOut);
  EXPECT_EQ(p.MemoText, "http://www.example.com/");

  TZovArray transitions;
  transitions.ParseList(p.Transitions);
  ASSERT_EQ(transitions.Count(), 161);
  EXPECT_EQ(transitions.ValueAt(0), 0);
  EXPECT_EQ(transitions.ValueAt(160), 160);
  EXPECT_EQ(p.Transitions.substr(0, 8), "0;1;2;3;");
}

TEST(TPictureInfo, RandomDefaultsComeFromTheTables) {
  for (uint64_t seed = 0; seed < 40; ++seed) {
    RandomSeed(seed);
    TPictureInfo p;
    EXPECT_GE(p.TileCount, 20);
    EXPECT_LE(p.TileCount, 39);
    bool pairFound = false;
    for (size_t i = 0; i < 8; ++i)
      pairFound |= p.GradientColor1 == kGradientColors1[i] && p.GradientColor2 == kGradientColors2[i];
    EXPECT_TRUE(pairFound) << seed;
    EXPECT_NE(std::find(kFontColors.begin(), kFontColors.end(), p.CaptionFont.Color), kFontColors.end());
  }
  EXPECT_EQ(kFontColors[10], 0xC0DCC0);
  EXPECT_EQ(kGradientColors1[9], 0xFF8000);
  EXPECT_EQ(kGradientColors2[3], 0xFF80FF);
}

TEST(TPictureInfo, ParsesEveryKindOfField) {
  TPictureInfo p;
  p.ParsePictureRecord(Field(1, "4") + Field(2, "C:\\show\\clip.avi") + Field(3, "1234") + Field(45, "-1") +
                       Field(52, "2") + Field(6, "0") + Field(5, "1") + Field(8, "Sunset") + Field(9, "2") +
                       Field(10, "255") + Field(11, "-30") + Field(12, "Verdana") + Field(19, "0") +
                       Field(21, "-11") + Field(22, "Courier New") + Field(23, "31") + Field(24, "one\r\ntwo") +
                       Field(36, "3;4;") + Field(54, "1") + Field(56, "16777215") + Field(67, "1") +
                       Field(71, "1") + Field(65, "2") + Field(62, "25") + Field(99, "ignored"));
  EXPECT_EQ(p.PackageIndex, 4);
  EXPECT_EQ(p.FileName, "C:\\show\\clip.avi");
  EXPECT_EQ(p.DataSize, 1234);
  EXPECT_EQ(p.PictureType, -1);
  EXPECT_EQ(p.Kind, 2);
  EXPECT_FALSE(p.MusicDuring);
  EXPECT_TRUE(p.Transparent);
  EXPECT_EQ(p.Caption, "Sunset");
  EXPECT_EQ(p.CaptionFont.Charset, 2);
  EXPECT_EQ(p.CaptionFont.Color, 255);
  EXPECT_EQ(p.CaptionFont.Height, -30);
  EXPECT_EQ(p.CaptionFont.Name, "Verdana");
  EXPECT_EQ(p.MemoFont.Charset, 0);
  EXPECT_EQ(p.MemoFont.Height, -11);
  EXPECT_EQ(p.MemoFont.Name, "Courier New");
  EXPECT_TRUE(p.MemoFont.Bold);
  EXPECT_TRUE(p.MemoFont.Underline);
  EXPECT_FALSE(p.MemoFont.Italic);
  EXPECT_EQ(p.MemoText, "one\r\ntwo");
  EXPECT_EQ(p.Transitions, "3;4;");
  EXPECT_EQ(p.FlashSettings.AlignMode, 1);
  EXPECT_EQ(p.FlashSettings.BackgroundColor, 16777215);
  EXPECT_TRUE(p.FlashSettings.Flag67);
  EXPECT_TRUE(p.FlashSettings.ClicksToFlash);
  EXPECT_FALSE(p.FlashSettings.MoveToFlash);
  EXPECT_EQ(p.FlashSettings.StopMode, 2);
  EXPECT_EQ(p.TileCount, 25);
}

TEST(TPictureInfo, BooleansAreTrueOnlyForOne) {
  TPictureInfo p;
  p.ParsePictureRecord(Field(7, "2") + Field(17, "") + Field(63, "1") + Field(64, " 1"));
  EXPECT_FALSE(p.CaptionVisible);
  EXPECT_FALSE(p.MemoVisible);
  EXPECT_TRUE(p.IsBackgroundImage);
  EXPECT_FALSE(p.RandomTileCount);
}

TEST(TPictureInfo, StyleDigitsAddUp) {
  TPictureInfo p;
  p.ParsePictureRecord(Field(13, "24"));
  EXPECT_TRUE(p.CaptionFont.Italic);
  EXPECT_TRUE(p.CaptionFont.StrikeOut);
  EXPECT_FALSE(p.CaptionFont.Bold);
  TPictureInfo q;
  q.ParsePictureRecord(Field(13, "1") + Field(13, "2"));
  EXPECT_TRUE(q.CaptionFont.Bold);
  EXPECT_TRUE(q.CaptionFont.Italic);
  EXPECT_FALSE(q.CaptionFont.Underline);
}

TEST(TPictureInfo, OverlongTextsAreCutToTheirLimits) {
  TPictureInfo p;
  std::string list400;
  while (list400.size() < 400) list400 += "1;";
  p.ParsePictureRecord(Field(2, std::string(300, 'f')) + Field(8, std::string(150, 'c')) +
                       Field(24, std::string(5000, 'm')) + Field(36, std::string(1100, '7')) +
                       Field(46, "0;1;2;0;1;2;") + Field(57, "0; 1; 2; 2;") + Field(50, std::string(60, '3')) +
                       Field(58, list400));
  EXPECT_EQ(p.FileName, std::string(255, 'f'));
  EXPECT_EQ(p.Caption, std::string(99, 'c'));
  EXPECT_EQ(p.MemoText, std::string(4097, 'm'));
  EXPECT_EQ(p.Transitions, std::string(1024, '7'));
  EXPECT_EQ(p.BackgroundKinds, "0;1;2;0;1");
  EXPECT_EQ(p.BackgroundSources, "0; 1; 2; ");
  EXPECT_EQ(p.GradientStyles, std::string(49, '3'));
  EXPECT_EQ(p.BackgroundImages, list400.substr(0, 300));
}

TEST(TPictureInfo, ANonIntegerStopsTheRecordWithTheConversionError) {
  TPictureInfo p;
  try {
    p.ParsePictureRecord(Field(14, "4") + Field(35, "abc") + Field(15, "9"));
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(p.CaptionPosition, 4);
  EXPECT_EQ(p.TransitionSpeed, 25);
  EXPECT_EQ(p.CaptionX, 0);
}

TEST(TZovArray, ParseListSkipsEmptyPiecesAndTheUnterminatedTail) {
  TZovArray a;
  a.ParseList("0; 1; 2;");
  EXPECT_EQ(a.Values(), (std::vector<int32_t>{0, 1, 2}));
  TZovArray b;
  b.ParseList("5;;7");
  EXPECT_EQ(b.Values(), (std::vector<int32_t>{5}));
  b.ParseList(" 8 ;-3;");  // appends
  EXPECT_EQ(b.Values(), (std::vector<int32_t>{5, 8, -3}));
  TZovArray c;
  EXPECT_THROW(c.ParseList("1;x;"), EConvertError);
}

TEST(TZovArray, CursorWrapsAndValueAtMovesIt) {
  TZovArray a;
  a.ParseList("4;9;");
  EXPECT_EQ(a.NextValue(), 4);
  EXPECT_EQ(a.NextValue(), 9);
  EXPECT_EQ(a.NextValue(), 4);
  EXPECT_EQ(a.NextValue(), 9);
  TZovArray b;
  b.ParseList("4;9;");
  EXPECT_EQ(b.ValueAt(1), 9);
  EXPECT_EQ(b.NextValue(), 9);
  EXPECT_EQ(b.NextValue(), 4);
  try {
    b.ValueAt(2);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(b.ValueAt(-1), EListError);
}

TEST(TZovArray, EmptyListGivesMinusOne) {
  TZovArray a;
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.NextValue(), -1);
  EXPECT_EQ(a.ValueAt(5), -1);
}

TEST(PictureTypeOfFile, ByTheTextAfterTheLastDot) {
  EXPECT_EQ(PictureTypeOfFile("PHOTO.JPG"), 2);
  EXPECT_EQ(PictureTypeOfFile("a.b.jpeg"), 2);
  EXPECT_EQ(PictureTypeOfFile("x.bmp."), 1);
  EXPECT_EQ(PictureTypeOfFile("readme.txt"), -1);
  EXPECT_EQ(PictureTypeOfFile("x.tiff"), 5);
  EXPECT_EQ(PictureTypeOfFile("bmp"), 1);         // no dot: the whole name
  EXPECT_EQ(PictureTypeOfFile("x.jpgx"), 2);      // begins with .jpg
  EXPECT_EQ(PictureTypeOfFile("x.rgba"), 3);
  EXPECT_EQ(PictureTypeOfFile("saver.SCR"), 7);
  EXPECT_EQ(PictureTypeOfFile("x.pal"), 10);
  EXPECT_EQ(PictureTypeOfFile("x.pdd"), 13);
  EXPECT_EQ(PictureTypeOfFile("x.png"), 15);
  EXPECT_EQ(PictureTypeOfFile("C:\\a.b\\x"), -1);
  EXPECT_EQ(PictureTypeOfFile(""), -1);
  EXPECT_EQ(PictureTypeOfFile("."), -1);
}

}  // namespace
}  // namespace vitrine::test
