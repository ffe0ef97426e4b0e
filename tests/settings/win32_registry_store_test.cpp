// The settings in the real registry; built only for Windows.
#ifdef _WIN32
#include "backends/win32/win32_registry_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "settings/read_write_setting.h"

namespace vitrine {
namespace {

// Two scratch keys under the user's hive stand in for the user and machine roots.
class Win32RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VitrineTest\\user", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &user, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VitrineTest\\machine", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &machine, nullptr),
              ERROR_SUCCESS);
    store = MakeWin32RegistryStore(reinterpret_cast<uintptr_t>(user), reinterpret_cast<uintptr_t>(machine));
  }
  void TearDown() override {
    store.reset();
    RegCloseKey(user);
    RegCloseKey(machine);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
  }
  static constexpr const char* kScratch = "Software\\VitrineTest";
  HKEY user = nullptr;
  HKEY machine = nullptr;
  std::unique_ptr<RegistryStore> store;
};

TEST_F(Win32RegistryStoreTest, SaveAndLoadThroughTheRegistry) {
  TRWSetting s("Sunset.scr", *store);
  EXPECT_FALSE(s.LoadFromRegistry());
  s.MaxRunTime = 999;
  s.Pwd = "pass word";
  s.MouseMove = false;
  ASSERT_TRUE(s.SaveToRegistry());

  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(RegGetValueA(user, "Software\\quorlaxis\\Sunset", "Max Run Time", RRF_RT_ANY, &type, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 999u);

  TRWSetting t("Sunset", *store);
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.MaxRunTime, 999);
  EXPECT_EQ(t.Pwd, "pass word");
  EXPECT_FALSE(t.MouseMove);
}

TEST_F(Win32RegistryStoreTest, ReadsTheMachineKeyWhenTheUserHasNone) {
  // An older installation wrote the machine key; the settings share that store for their life.
  TRWSetting older("Sunset", std::shared_ptr<RegistryStore>(MakeWin32RegistryStore(
                                 reinterpret_cast<uintptr_t>(machine), reinterpret_cast<uintptr_t>(machine))));
  older.MaxRunTime = 42;
  ASSERT_TRUE(older.SaveToRegistry());

  TRWSetting s("Sunset", *store);
  ASSERT_TRUE(s.LoadFromRegistry());
  EXPECT_EQ(s.MaxRunTime, 42);
  // Saving goes to the user's key; the machine key stays as it was.
  s.MaxRunTime = 7;
  ASSERT_TRUE(s.SaveToRegistry());
  TRWSetting again("Sunset", *store);
  ASSERT_TRUE(again.LoadFromRegistry());
  EXPECT_EQ(again.MaxRunTime, 7);
}

TEST_F(Win32RegistryStoreTest, ErrorsNameTheValue) {
  TRWSetting s("Sunset", *store);
  ASSERT_TRUE(s.SaveToRegistry());
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(user, "Software\\quorlaxis\\Sunset", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, "newtransition");
  const char text[] = "5";
  RegSetValueExA(key, "Esc Key", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  RegCloseKey(key);
  TRWSetting t("Sunset", *store);
  try {
    t.LoadFromRegistry();
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Esc Key'");
  }
}

}  // namespace
}  // namespace vitrine
#endif
