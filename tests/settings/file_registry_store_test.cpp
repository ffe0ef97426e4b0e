#include "settings/file_registry_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "settings/read_write_setting.h"

namespace vitrine {
namespace {

class FileRegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("vitrine-settings-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(root);
  }
  void TearDown() override { std::filesystem::remove_all(root); }
  std::filesystem::path root;
};

TEST_F(FileRegistryStoreTest, SettingsRoundTripThroughFiles) {
  FileRegistryStore store(root);
  TRWSetting s("Sunset.scr", store);
  EXPECT_FALSE(s.LoadFromRegistry());
  s.Pwd = "multi\nline";
  s.MouseSensitivity = -3;
  s.EscKey = false;
  ASSERT_TRUE(s.SaveToRegistry());
  EXPECT_TRUE(std::filesystem::is_regular_file(root / "Software" / "quorlaxis" / "Sunset" / "Mouse Sensitivity"));

  TRWSetting t("Sunset", store);
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.Pwd, "multi\nline");
  EXPECT_EQ(t.MouseSensitivity, -3);
  EXPECT_FALSE(t.EscKey);
  EXPECT_EQ(t.Transition, s.Transition);
}

TEST_F(FileRegistryStoreTest, MissingAndMistypedValues) {
  FileRegistryStore store(root);
  TRWSetting s("Sunset", store);
  ASSERT_TRUE(s.SaveToRegistry());
  auto key = store.KeyFolder(s.KeyPath);
  std::filesystem::remove(key / "newtransition");
  TRWSetting t("Sunset", store);
  try {
    t.LoadFromRegistry();
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Failed to get data for 'newtransition'");
  }
  std::ofstream(key / "Esc Key") << "REG_SZ\n1";
  EXPECT_THROW(t.LoadFromRegistry(), ERegistryException);
}

TEST_F(FileRegistryStoreTest, SaverNamesStayInsideTheRoot) {
  FileRegistryStore store(root);
  EXPECT_EQ(store.KeyFolder("Software\\quorlaxis\\..\\x/y"), root / "Software" / "quorlaxis" / "%2E%2E" / "x%2Fy");
  TRWSetting s("../../evil.scr", store);
  ASSERT_TRUE(s.SaveToRegistry());
  EXPECT_TRUE(std::filesystem::is_directory(root / "Software" / "quorlaxis" / "..%2F..%2Fevil"));
}

#ifndef _WIN32
TEST(DefaultSettingsFolder, FollowsXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsFolder(), std::filesystem::path("/cfg/vitrine"));
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");
}
#endif

}  // namespace
}  // namespace vitrine
