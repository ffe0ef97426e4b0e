#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/random.h"
#include "core/rounding.h"
#include "core/text.h"

namespace vitrine::test {
namespace {

TEST(StrToInt, AcceptsWhatPackagesHold) {
  EXPECT_EQ(StrToInt("-24"), -24);
  EXPECT_EQ(StrToInt(" 7"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x10"), 16);
}

TEST(StrToInt, RejectsOtherTextNamingIt) {
  for (const char* bad : {"", "abc", "12a", "7 ", "2147483648", "-", "$"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

TEST(AnsiText, UpperCaseTouchesAsciiLettersOnly) {
  EXPECT_EQ(AsciiUpper("my.scripts\\a\xe9"), "MY.SCRIPTS\\A\xe9");
  EXPECT_EQ(std::string(TrimControl("\t  53 \r\n")), "53");
}

TEST(AnsiText, SplitsLinesAtCrLf) {
  auto lines = SplitLines("one\r\ntwo\r\n\r\nfour");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "one");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "four");
}

TEST(AnsiText, Windows1252RoundTripsThroughUtf8) {
  std::string ansi = "caf\xe9 \x80 \x93";
  EXPECT_EQ(Cp1252ToUtf8(ansi), "caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9c");
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(ansi)), ansi);
  EXPECT_EQ(Utf8ToCp1252("\xe4\xb8\xad"), "?");
}

TEST(Rounding, TiesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(1.5L), 2);
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2);
  EXPECT_EQ(RoundHalfEven(1.2L), 1);
}

TEST(RandomSource, SameSeedSameSequenceAndInRange) {
  RandomSeed(42);
  std::vector<int> first;
  for (int i = 0; i < 100; ++i) first.push_back(Random(13));
  RandomSeed(42);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(Random(13), first[i]);
  for (int v : first) EXPECT_TRUE(v >= 0 && v < 13);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
}

TEST(RandomSource, AFillDrawsWhatSingleCallsWouldAndASavedStateResumesTheSequence) {
  RandomSeed(9);
  std::vector<int32_t> single;
  for (int i = 0; i < 40; ++i) single.push_back(Random(362797056));
  const int32_t after = Random(1000);

  RandomSeed(9);
  std::vector<int32_t> filled(40, -1);
  RandomFill(362797056, filled.data(), 25);
  const RandomState middle = RandomSaveState();
  RandomFill(362797056, filled.data() + 25, 15);
  EXPECT_EQ(filled, single);
  EXPECT_EQ(Random(1000), after);

  // Drawn ahead, then taken back to where the sequence stood.
  RandomRestoreState(middle);
  EXPECT_EQ(Random(362797056), single[25]);

  std::vector<int32_t> zeros(3, 7);
  RandomFill(0, zeros.data(), zeros.size());
  EXPECT_EQ(zeros, std::vector<int32_t>(3, 0));
}

}  // namespace
}  // namespace vitrine::test
