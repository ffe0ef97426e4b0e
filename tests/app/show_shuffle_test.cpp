// Random order without repeats: rounds in which every item comes once, a round boundary that
// never repeats an item, and the place in the round carried from one run to the next.
#include <gtest/gtest.h>

#include <set>

#include "show_test_rig.h"

namespace vitrine::test {
namespace {

constexpr int kItems = 5;

// A show of five pictures in random order without repeats, each standing one second.
void FiveShuffled(ShowRig& rig) {
  for (int i = 0; i < kItems; ++i) rig.AddPicture(RGBColor(uint8_t(40 * i), 0, 0));
  rig.Set(4, "1");
  rig.Set(121, "1");
}

// The items the show brings, one a second, the first at once.
std::vector<int> Shown(ShowRig& rig, int count) {
  std::vector<int> shown;
  for (int step = 0; step < count; ++step) {
    rig.show->RunUntil(uint64_t(step) * 1010);
    shown.push_back(rig.Form().CurrentIndex);
  }
  return shown;
}

TEST(ShowShuffle, EveryRoundShowsEachItemOnceAndNeverRepeatsAcrossItsBoundary) {
  ShowRig rig;
  FiveShuffled(rig);
  rig.Start();
  std::vector<int> shown = Shown(rig, kItems * 20);
  for (int round = 0; round < 20; ++round) {
    std::set<int> items(shown.begin() + round * kItems, shown.begin() + (round + 1) * kItems);
    EXPECT_EQ(items, (std::set<int>{0, 1, 2, 3, 4})) << "round " << round;
  }
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_NE(shown[i], shown[i - 1]) << "item " << i;
}

TEST(ShowShuffle, TheNextRunGoesOnWhereTheLastStopped) {
  ShowRig first;
  FiveShuffled(first);
  first.Start();
  std::vector<int> before = Shown(first, 3);
  auto keys = first.show->Registry().Keys;
  first.show.reset();  // one show at a time: the next run starts once this one has ended

  ShowRig second;
  FiveShuffled(second);
  second.registryToLoad.Keys = keys;
  second.haveSettings = true;
  second.Start();
  std::vector<int> after = Shown(second, 2);
  std::set<int> round(before.begin(), before.end());
  round.insert(after.begin(), after.end());
  EXPECT_EQ(round, (std::set<int>{0, 1, 2, 3, 4}));

  // The key written for the place holds the settings as well: they still load.
  TRWSetting settings(kSaverName, second.show->Registry());
  EXPECT_TRUE(settings.LoadFromRegistry());
}

TEST(ShowShuffle, ADamagedOrForeignPlaceStartsAFreshRound) {
  for (const char* place : {"4;4;1;0;2;|2", "0;1;2;|1", "0;1;2;3;4;|9", "x"}) {
    SCOPED_TRACE(place);
    ShowRig rig;
    FiveShuffled(rig);
    rig.UserSettings([](TRWSetting&) {});
    TRWSetting stored(kSaverName, rig.registryToLoad);
    stored.ShufflePlace = place;
    stored.SaveShufflePlace();
    rig.Start();
    std::vector<int> shown = Shown(rig, kItems);
    EXPECT_EQ(std::set<int>(shown.begin(), shown.end()), (std::set<int>{0, 1, 2, 3, 4}));
  }
}

}  // namespace
}  // namespace vitrine::test
