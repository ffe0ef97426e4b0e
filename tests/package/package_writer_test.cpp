#include "package/package_writer.h"

#include <gtest/gtest.h>

#include "package/memory_file_system.h"
#include "package/project_info.h"

namespace vitrine::test {
namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(BuildPackage, LaysOutAreasRecordsIndexAndTrailer) {
  PackageContent c;
  c.ItemData = {{'A', 'B'}, {}};
  c.Banner = {'N'};
  c.PictureRecords = {{{1, "0"}, {2, "a.bmp"}}, {{1, "1"}}};
  c.ProjectRecord = {{5, "3"}};
  std::string got = AsText(BuildPackage(c, 100));
  std::string expected = std::string("ABN") +                                       // 100..102
                         "\x01" "0\x80\x02" "a.bmp\x80\x7F" "\x01" "1\x80\x7F" +     // 103..
                         "\x05" "3\x80\x7F" +
                         "1100\x80" "1102\x80" "2102\x80" "3103\x80" "4103\x80" "5103\x80" "6118\x80" +
                         "        35";
  EXPECT_EQ(got, expected);
}

TEST(BuildPackage, RejectsWhatCannotBeReadBack) {
  PackageContent c;
  c.ProjectRecord = {{5, "1\x80"}};
  EXPECT_THROW(BuildPackage(c, 0), EPackageBuildError);
  c.ProjectRecord = {{0x7F, "1"}};
  EXPECT_THROW(BuildPackage(c, 0), EPackageBuildError);
  c.ProjectRecord = {{29, "a\x7F" "b"}};  // fine in the project record
  EXPECT_NO_THROW(BuildPackage(c, 0));
  c.PictureRecords = {{{8, "a\x7F" "b"}}};
  EXPECT_THROW(BuildPackage(c, 0), EPackageBuildError);
  c.PictureRecords = {{{8, std::string("a\0b", 3)}}};
  EXPECT_THROW(BuildPackage(c, 0), EPackageBuildError);
  PackageContent big;
  big.ProjectRecord = {{29, std::string(102'400, 'x')}};
  EXPECT_THROW(BuildPackage(big, 0), EPackageBuildError);
}

TEST(BuildPackage, ReadsBackThroughTheProjectObject) {
  PackageContent c;
  c.ItemData = {{'P', '1'}, {'V', 'I', 'D'}};
  c.Banner = {'B', 'N'};
  c.Music = {{'M', '0'}, {'M', '1', '1'}};
  c.PictureRecords = {{{1, "0"}, {3, "2"}, {13, "14"}}, {{1, "1"}, {3, "3"}, {52, "2"}}};
  c.ProjectRecord = {{1, "m0.mp3"}, {1, "m1.mp3"}, {30, "Demo"}, {31, "b.png"}};
  std::vector<uint8_t> file = {'E', 'X', 'E'};
  auto package = BuildPackage(c, 3);
  file.insert(file.end(), package.begin(), package.end());
  MemoryFileSystem fs;
  fs.Files["demo.scr"] = file;

  TProjectInfo p("demo.scr", fs);
  ASSERT_TRUE(p.ReadProject());
  ASSERT_TRUE(p.ReadPictures());
  ASSERT_EQ(p.Pictures.size(), 2u);
  EXPECT_TRUE(p.Pictures[0].CaptionFont.Bold);
  EXPECT_TRUE(p.Pictures[0].CaptionFont.StrikeOut);
  MemoryStream item, banner, music;
  int32_t type = 0;
  ASSERT_TRUE(p.GetPictureStream(1, item, type));
  EXPECT_EQ(AsText(item.Bytes()), "VID");
  ASSERT_TRUE(p.GetBannerStream(banner, type));
  EXPECT_EQ(AsText(banner.Bytes()), "BN");
  EXPECT_EQ(type, 15);
  ASSERT_TRUE(p.GetMusicStream(1, music));
  EXPECT_EQ(AsText(music.Bytes()), "M11");
}

}  // namespace
}  // namespace vitrine::test
