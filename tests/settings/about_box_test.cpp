#include "settings/about_box.h"

#include <gtest/gtest.h>

#include "package/memory_file_system.h"
#include "package/package_writer.h"
#include "settings/setting_test_services.h"

namespace vitrine {
namespace {

TEST(AboutBox, TextsFromThePackageAndTheMemoryFigure) {
  MemoryFileSystem files;
  test::RecordingServices services;
  services.physicalMemory = uint64_t(512) << 20;
  PackageContent content;
  content.ProjectRecord = {{30, "Sunset"}, {26, "2.5"}, {27, "(c) Someone"}, {80, "Ausgabe"}, {81, "Speicher:"}};
  files.Files[services.executablePath] = BuildPackage(content, 0);
  TProjectInfo project(services.executablePath, files);
  ASSERT_TRUE(project.ReadProject());

  TfSettingAbout about(project, services);
  EXPECT_EQ(about.Caption, "About");
  EXPECT_EQ(about.labelversion, "Version");
  about.FormShow();
  EXPECT_EQ(about.Caption, "About Sunset");
  EXPECT_EQ(about.lbProjectName, "Sunset");
  EXPECT_EQ(about.lbVersion, "2.5");
  EXPECT_EQ(about.lbCopyright, "(c) Someone");
  EXPECT_EQ(about.labelversion, "Ausgabe");
  EXPECT_EQ(about.lbavailmemory, "Speicher:");
  EXPECT_EQ(about.lbMemory, "524288 K");
  EXPECT_EQ(about.imgAboutLeft, 20);
  EXPECT_EQ(about.imgAboutTop, 16);
  about.SpeedButton2Click();
  EXPECT_TRUE(about.Closed);
}

TEST(AboutBox, EmptyTextsGiveEmptyLabelsAndTheVersionDefaults) {
  MemoryFileSystem files;
  test::RecordingServices services;
  services.physicalMemory = 1023;
  PackageContent content;
  content.ProjectRecord = {{30, "Sunset"}};
  files.Files[services.executablePath] = BuildPackage(content, 0);
  TProjectInfo project(services.executablePath, files);
  ASSERT_TRUE(project.ReadProject());
  TfSettingAbout about(project, services);
  about.FormShow();
  EXPECT_EQ(about.labelversion, "");
  EXPECT_EQ(about.lbavailmemory, "");
  EXPECT_EQ(about.lbVersion, "1.0");
  EXPECT_EQ(about.lbMemory, "0 K");
  // Beyond 4 GiB the figure is not cut to 32 bits.
  EXPECT_EQ(MemoryFigure(uint64_t(16) << 30), "16777216 K");
}

}  // namespace
}  // namespace vitrine
