// The process-wide generator against a known-answer vector: xoshiro128** seeded with the low
// words of four splitmix64 outputs, as its header documents. The values were computed apart
// from this code (a few lines of Python following the published algorithms).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/random.h"

namespace vitrine {
namespace {

// RandomUnit is a raw 32-bit output over 2^32, so it shows the words themselves.
std::vector<uint32_t> RawWords(int count) {
  std::vector<uint32_t> words;
  for (int i = 0; i < count; ++i) words.push_back(static_cast<uint32_t>(RandomUnit() * 4294967296.0));
  return words;
}

TEST(RandomGenerator, SeededSequencesMatchTheKnownAnswers) {
  RandomSeed(0);
  EXPECT_EQ(RawWords(6), (std::vector<uint32_t>{0xcb75f2b4, 0x49564572, 0x176fe55d, 0xa6810796, 0x81cc281b, 0xd764943a}));
  RandomSeed(1);
  EXPECT_EQ(RawWords(6), (std::vector<uint32_t>{0x0fc711e5, 0x47364e13, 0x641142c2, 0x1fe9de23, 0xceea4bf6, 0x9a50f962}));
  RandomSeed(20261209);
  EXPECT_EQ(RawWords(6), (std::vector<uint32_t>{0x5db65da4, 0xcda5dda9, 0xaa46379f, 0x47d9e825, 0x11598666, 0x916d19b9}));
  // The state right after seeding is the four splitmix64 words.
  RandomSeed(1);
  const RandomState state = RandomSaveState();
  EXPECT_EQ(state.words[0], 0x89025cc1u);
  EXPECT_EQ(state.words[1], 0x658eec67u);
  EXPECT_EQ(state.words[2], 0xfb32555eu);
  EXPECT_EQ(state.words[3], 0xee42c90bu);
}

// Random(n) takes the high bits of the product (word * n) >> 32; RandomFill draws the same.
TEST(RandomGenerator, DrawsScaleTheWordsByTheirHighBits) {
  const std::vector<int32_t> tens = {0, 4, 9, 7, 6, 3, 3, 9, 3, 4, 4, 4, 6, 3, 1, 3, 5, 1, 2, 9};
  RandomSeed(42);
  std::vector<int32_t> drawn;
  for (size_t i = 0; i < tens.size(); ++i) drawn.push_back(Random(10));
  EXPECT_EQ(drawn, tens);
  RandomSeed(42);
  std::vector<int32_t> filled(tens.size());
  RandomFill(10, filled.data(), filled.size());
  EXPECT_EQ(filled, tens);

  RandomSeed(7);
  drawn.clear();
  for (int i = 0; i < 10; ++i) drawn.push_back(Random(1000));
  EXPECT_EQ(drawn, (std::vector<int32_t>{308, 309, 884, 54, 81, 373, 905, 492, 635, 620}));
  // An empty or negative range gives 0 and draws nothing.
  RandomSeed(7);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  EXPECT_EQ(Random(1000), 308);
}

// Going back to a saved state repeats the sequence from there.
TEST(RandomGenerator, ARestoredStateRepeatsTheSequence) {
  RandomSeed(1);
  RandomUnit();
  const RandomState saved = RandomSaveState();
  const std::vector<uint32_t> ahead = RawWords(5);
  RandomRestoreState(saved);
  EXPECT_EQ(RawWords(5), ahead);
  EXPECT_EQ(ahead.front(), 0x47364e13u);
}

}  // namespace
}  // namespace vitrine
