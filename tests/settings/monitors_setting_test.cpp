// The "Monitors" value: saved by the dialog's drop-down, and optional when loading, so that a
// key written before it existed loads as it always did.
#include <gtest/gtest.h>

#include "package/memory_file_system.h"
#include "package/package_writer.h"
#include "settings/memory_registry_store.h"
#include "settings/read_write_setting.h"
#include "settings/setting_test_services.h"
#include "settings/settings_dialog.h"

namespace vitrine {
namespace {

const char* const kKey = "Software\\quorlaxis\\Sunset";

TEST(MonitorsSetting, SavedAsADwordAndLoadedBack) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  EXPECT_EQ(s.Monitors, 0);
  s.Monitors = 2;
  ASSERT_TRUE(s.SaveToRegistry());
  EXPECT_EQ(std::get<uint32_t>(store.Keys.at(kKey).at("Monitors")), 2u);
  TRWSetting t("Sunset", store);
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.Monitors, 2);
}

TEST(MonitorsSetting, AKeyWithoutItOrWithNonsenseInItMeansEachMonitorItsOwnShow) {
  MemoryRegistryStore store;
  TRWSetting s("Sunset.scr", store);
  s.MaxRunTime = 7;
  ASSERT_TRUE(s.SaveToRegistry());
  auto& key = store.Keys.at(kKey);
  for (MemoryRegistryStore::Value odd : {MemoryRegistryStore::Value(4u), MemoryRegistryStore::Value(0xFFFFFFFFu),
                                         MemoryRegistryStore::Value(std::string("1"))}) {
    key["Monitors"] = odd;
    TRWSetting t("Sunset.scr", store);
    t.Monitors = 3;
    ASSERT_TRUE(t.LoadFromRegistry());
    EXPECT_EQ(t.Monitors, 0);
  }
  key.erase("Monitors");  // as the key of a player that knows nothing of monitors
  TRWSetting t("Sunset.scr", store);
  t.Monitors = 3;
  ASSERT_TRUE(t.LoadFromRegistry());
  EXPECT_EQ(t.Monitors, 0);
  EXPECT_EQ(t.MaxRunTime, 7);
}

TEST(MonitorsSetting, TheDialogsDropDownShowsAndWritesTheValue) {
  test::RecordingServices services;
  MemoryFileSystem files;
  MemoryRegistryStore registry;
  PackageContent content;
  content.ProjectRecord = {{30, "Sunset.scr"}};
  files.Files[services.executablePath] = BuildPackage(content, 0);
  TRWSetting stored("Sunset.scr", registry);
  stored.Monitors = 3;
  ASSERT_TRUE(stored.SaveToRegistry());

  TfSetting d(services, files, registry);
  d.FormShow();
  ASSERT_EQ(d.cbMonitors.Items.size(), 4u);
  EXPECT_EQ(d.cbMonitors.Items[0], "Each monitor its own show");
  EXPECT_EQ(d.cbMonitors.Items[3], "The primary monitor only");
  EXPECT_EQ(d.cbMonitors.ItemIndex, 3);
  d.cbMonitors.ItemIndex = 1;
  d.btnOKClick();
  EXPECT_TRUE(d.Closed);
  EXPECT_EQ(std::get<uint32_t>(registry.Keys.at(kKey).at("Monitors")), 1u);
}

}  // namespace
}  // namespace vitrine
