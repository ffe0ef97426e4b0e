#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/flash_display_settings.h"
#include "package/font_record.h"
#include "package/memory_file_system.h"
#include "package/picture_info.h"
#include "package/picture_type.h"
#include "package/project_info.h"

namespace vitrine::test {
namespace {

// Pictures other programs wrote (ImageMagick), kept beside the tool's tests.
std::vector<uint8_t> ToolFixture(const std::string& name) {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  std::filesystem::path data = root && *root ? root : "../data";
  std::ifstream in(data.parent_path() / "package" / "tool" / "types" / name, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_FALSE(bytes.empty()) << "missing fixture " << name;
  return bytes;
}

TEST(PictureTypeOfContent, NamesTheFormatOfFilesOtherProgramsWrote) {
  const std::pair<const char*, int32_t> files[] = {
      {"x.bmp", 1}, {"x.jpg", 2},  {"x.sgi", 3},  {"x.tif", 5},  {"x.pcx", 7},
      {"x.ppm", 9}, {"x.pgm", 9},  {"x.gif", 11}, {"x.psd", 13}, {"x.png", 15},
  };
  for (const auto& [name, type] : files) EXPECT_EQ(PictureTypeOfContent(ToolFixture(name)), type) << name;
}

TEST(PictureTypeOfContent, FormatsWithoutSignatureAndShortInputsGiveNone) {
  // Targa has no signature at its start: its type must come from the name.
  EXPECT_EQ(PictureTypeOfContent(ToolFixture("x.tga")), kNoPictureType);
  EXPECT_EQ(PictureTypeOfContent({}), kNoPictureType);
  const uint8_t jpegStart[] = {0xFF, 0xD8};
  EXPECT_EQ(PictureTypeOfContent(jpegStart), kNoPictureType);
  const uint8_t text[] = {'P', 'K', 3, 4};  // a ZIP file
  EXPECT_EQ(PictureTypeOfContent(text), kNoPictureType);
}

TEST(PictureTypeOfContent, PhotoCdIsRecognisedPastItsFirstSector) {
  std::vector<uint8_t> bytes(2048 + 7, 0xFF);
  std::string signature = "PCD_IPI";
  std::copy(signature.begin(), signature.end(), bytes.begin() + 2048);
  EXPECT_EQ(PictureTypeOfContent(bytes), 8);
  bytes.resize(2050);
  EXPECT_EQ(PictureTypeOfContent(bytes), kNoPictureType);
}

// Reading a record and writing its fields back gives the record's values again, through the
// same rows the parser used.
TEST(FieldSpec, RecordTextOfEveryRowReadsBackWhatWasParsed) {
  TPictureInfo item;
  item.ParsePictureRecord(std::string("\x08") + "Sun\x80" + "\x05" + "1\x80" + "\x23" + "-7\x80" +
                          "\x0D" + "42\x80" + "\x38" + "255\x80" + "\x47" + "1\x80");
  EXPECT_EQ(FieldRecordText(item, *FindField(PictureFields(), std::string_view("Caption"))), "Sun");
  EXPECT_EQ(FieldRecordText(item, *FindField(PictureFields(), 5)), "1");
  EXPECT_EQ(FieldRecordText(item, *FindField(PictureFields(), std::string_view("TransitionSpeed"))), "-7");
  EXPECT_EQ(FieldRecordText(item.CaptionFont, *FindField(FontFields(), std::string_view("Style"))), "24");
  EXPECT_EQ(FieldRecordText(item.FlashSettings, *FindField(FlashFields(), std::string_view("BackgroundColor"))), "255");
  EXPECT_EQ(FieldRecordText(item.FlashSettings, *FindField(FlashFields(), 71)), "1");
  EXPECT_TRUE(item.FlashSettings.ClicksToFlash);
}

// Every key of a record belongs to one row: the font, Flash and plain rows never claim the
// same key, and names are unique within each table.
TEST(FieldSpec, KeysAndNamesAreTakenOnce) {
  std::vector<int> keys;
  for (const auto& f : PictureFields()) keys.push_back(f.Key);
  for (const auto& f : FlashFields()) keys.push_back(f.Key);
  for (const auto& f : FontFields()) {
    keys.push_back(kCaptionFontKey + f.Key);
    keys.push_back(kMemoFontKey + f.Key);
  }
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  EXPECT_EQ(keys.size(), 36u + 10u + 10u);  // PanZoom (100) and ConvertedFrom (120) after the 34 of the original records

  std::vector<std::string> names;
  for (const auto& f : ProjectFields()) names.push_back(f.Name);
  for (const TextRole& role : TextRoles()) names.push_back(role.Name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  for (const TextRole& role : TextRoles()) {
    EXPECT_GE(role.Key, kFirstTextKey);
    EXPECT_LT(role.Key, kFirstTextKey + kTextCount);
  }
}

TEST(MemoryFileSystem, AnOpenFileReadsOnAsOpenedWhenItsPathIsRewrittenOrDeleted) {
  MemoryFileSystem fs;
  fs.Files["/a"] = {1, 2, 3, 4};
  auto first = fs.OpenRead("/a");
  auto second = fs.OpenRead("/a");
  uint8_t buffer[4] = {};
  ASSERT_EQ(first->Read(buffer, 2), 2);
  ASSERT_TRUE(fs.WriteFile("/a", std::vector<uint8_t>{9, 9}));
  EXPECT_EQ(first->Read(buffer + 2, 2), 2);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  ASSERT_TRUE(fs.Delete("/a"));
  EXPECT_EQ(second->Size(), 4);
  EXPECT_EQ(second->Read(buffer, 4), 4);
  EXPECT_EQ(buffer[3], 4);
  first.reset();
  fs.Files["/a"] = {7};
  EXPECT_EQ(fs.OpenRead("/a")->Size(), 1);
}

}  // namespace
}  // namespace vitrine::test
