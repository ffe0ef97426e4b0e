#include "settings/read_write_setting.h"

#include <gtest/gtest.h>

#include "settings/memory_registry_store.h"

namespace vitrine {
namespace {

const char* const kKey = "Software\\quorlaxis\\Sunset";

TEST(SettingsKeyPath, DropsOnlyTheExtension) {
  EXPECT_EQ(SettingsKeyPath("Sunset.scr"), "Software\\quorlaxis\\Sunset");
  EXPECT_EQ(SettingsKeyPath("Sunset"), "Software\\quorlaxis\\Sunset");
  EXPECT_EQ(SettingsKeyPath("a.b.c"), "Software\\quorlaxis\\a.b");
  EXPECT_EQ(SettingsKeyPath("My Saver.scr"), SettingsKeyPath("My Saver"));
  EXPECT_EQ(SettingsKeyPath("dir.x\\name"), "Software\\quorlaxis\\dir.x\\name");
  EXPECT_EQ(SettingsKeyPath("c:name"), "Software\\quorlaxis\\c:name");
  EXPECT_EQ(SettingsKeyPath(""), "Software\\quorlaxis\\");
}

TEST(TRWSetting, AFirstRunKeepsTheDefaults) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  EXPECT_FALSE(s.LoadFromRegistry());
  EXPECT_EQ(s.KeyPath, kKey);
  EXPECT_FALSE(s.EnabledPassword);
  EXPECT_EQ(s.Pwd, "");
  EXPECT_EQ(s.MouseSensitivity, 5);
  EXPECT_TRUE(s.MouseMove);
  EXPECT_FALSE(s.MouseLeftClick);
  EXPECT_TRUE(s.MouseRightClick);
  EXPECT_TRUE(s.MouseDoubleClick);
  EXPECT_TRUE(s.EscKey);
  EXPECT_TRUE(s.EnterKey);
  EXPECT_FALSE(s.SpecifiedKey);
  EXPECT_EQ(s.KeyValue, "A");
  EXPECT_TRUE(s.EnabledMusic);
  EXPECT_FALSE(s.UseMaxRunTime);
  EXPECT_EQ(s.MaxRunTime, 60);
  EXPECT_FALSE(s.NewTransition);
  EXPECT_TRUE(s.RandomTransition);
  EXPECT_EQ(s.TransitionSpeed, 25);
  EXPECT_EQ(s.Transition.substr(0, 6), "0;1;2;");
  EXPECT_EQ(s.Transition.substr(s.Transition.size() - 8), "159;160;");
  EXPECT_TRUE(store.Keys.empty());
}

TEST(TRWSetting, SaveWritesTheEighteenValuesAndMonitorsThatLoadBack) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  s.MaxRunTime = 999;
  s.EnabledPassword = true;
  s.Pwd = "secret";
  s.KeyValue = "a";
  s.MouseMove = false;
  s.Transition = "3;7;";
  s.NewTransition = true;
  ASSERT_TRUE(s.SaveToRegistry());
  const auto& key = store.Keys.at(kKey);
  EXPECT_EQ(key.size(), 19u);
  EXPECT_EQ(std::get<uint32_t>(key.at("Max Run Time")), 999u);
  EXPECT_EQ(std::get<uint32_t>(key.at("Enabled password")), 1u);
  EXPECT_EQ(std::get<uint32_t>(key.at("Mouse Move")), 0u);
  EXPECT_EQ(std::get<std::string>(key.at("transition")), "3;7;");
  EXPECT_EQ(std::get<std::string>(key.at("Key Value")), "a");

  TRWSetting t("Sunset", store);
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.MaxRunTime, 999);
  EXPECT_TRUE(t.EnabledPassword);
  EXPECT_EQ(t.Pwd, "secret");
  EXPECT_EQ(t.KeyValue, "a");
  EXPECT_FALSE(t.MouseMove);
  EXPECT_EQ(t.Transition, "3;7;");
  EXPECT_TRUE(t.NewTransition);
}

TEST(TRWSetting, AnyNonZeroDwordIsTrueAndAbsentStringsAreEmpty) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  ASSERT_TRUE(s.SaveToRegistry());
  auto& key = store.Keys.at(kKey);
  key["Esc Key"] = 7u;
  key["Mouse Left Click"] = 7u;
  key["Mouse Sensitivity"] = 0xFFFFFFFFu;
  key.erase("transition");
  key.erase("Pwd");
  TRWSetting t("Sunset.scr", store);
  t.Pwd = "before";
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_TRUE(t.EscKey);
  EXPECT_TRUE(t.MouseLeftClick);
  EXPECT_EQ(t.MouseSensitivity, -1);
  EXPECT_EQ(t.Transition, "");
  EXPECT_EQ(t.Pwd, "");
}

TEST(TRWSetting, AMissingDwordStopsTheLoadNamingIt) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  s.TransitionSpeed = 40;
  s.MaxRunTime = 5;
  ASSERT_TRUE(s.SaveToRegistry());
  store.Keys.at(kKey).erase("newtransition");
  TRWSetting t("Sunset.scr", store);
  t.NewTransition = true;
  try {
    t.LoadFromRegistry();
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Failed to get data for 'newtransition'");
  }
  EXPECT_EQ(t.TransitionSpeed, 40);  // read before the missing value
  EXPECT_EQ(t.MaxRunTime, 5);
  EXPECT_TRUE(t.NewTransition);
}

TEST(TRWSetting, AValueOfTheWrongTypeStopsTheLoad) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  ASSERT_TRUE(s.SaveToRegistry());
  store.Keys.at(kKey)["Mouse Sensitivity"] = std::string("9");
  TRWSetting t("Sunset.scr", store);
  try {
    t.LoadFromRegistry();
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Mouse Sensitivity'");
  }
  store.Keys.at(kKey)["Mouse Sensitivity"] = 9u;
  store.Keys.at(kKey)["Pwd"] = 1u;
  EXPECT_THROW(t.LoadFromRegistry(), ERegistryException);
}

TEST(TRWSetting, SaveFailures) {
  MemoryRegistryStore store;
  store.ReadOnlyKeys.insert(kKey);
  TRWSetting s("Sunset.scr", store);
  EXPECT_FALSE(s.SaveToRegistry());
  EXPECT_TRUE(store.Keys.empty());

  store.ReadOnlyKeys.clear();
  store.UnwritableValues.insert("Key Value");
  try {
    s.SaveToRegistry();
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'Key Value'");
  }
  EXPECT_EQ(store.Keys.at(kKey).size(), 10u);  // the ten values before it
}

// The settings object keeps its store; one that outlives it must say so, not call into it.
TEST(TRWSetting, UsedAfterItsStoreIsGoneRaisesInsteadOfCallingIt) {
  auto store = std::make_unique<MemoryRegistryStore>();
  TRWSetting s("Sunset.scr", *store);
  ASSERT_TRUE(s.SaveToRegistry());
  store.reset();
  EXPECT_THROW(s.LoadFromRegistry(), TRWSetting::EStoreGone);
  EXPECT_THROW(s.SaveToRegistry(), TRWSetting::EStoreGone);
  // A copy of a store is a store of its own: the original's end leaves it usable.
  MemoryRegistryStore kept;
  auto original = std::make_unique<MemoryRegistryStore>();
  kept = *original;
  TRWSetting t("Sunset.scr", kept);
  original.reset();
  EXPECT_TRUE(t.SaveToRegistry());
}

TEST(TRWSetting, ASharedStoreLivesAsLongAsTheSettings) {
  auto store = std::make_shared<MemoryRegistryStore>();
  std::weak_ptr<MemoryRegistryStore> watch = store;
  TRWSetting s("Sunset.scr", std::shared_ptr<RegistryStore>(std::move(store)));
  s.MaxRunTime = 42;
  ASSERT_TRUE(s.SaveToRegistry());
  ASSERT_FALSE(watch.expired());
  EXPECT_EQ(std::get<uint32_t>(watch.lock()->Keys.at(kKey).at("Max Run Time")), 42u);
  TRWSetting t("Sunset.scr", std::shared_ptr<RegistryStore>(watch.lock()));
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.MaxRunTime, 42);
}

}  // namespace
}  // namespace vitrine
