#include "package/package_file.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "package/info_position.h"
#include "package/memory_file_system.h"
#include "package_test_util.h"

namespace vitrine::test {
namespace {


// Records the size of every write, to see the copy loop's chunks.
class RecordingStream final : public Stream {
 public:
  std::vector<size_t> Writes;
  MemoryStream Inner;
  size_t Read(void* b, size_t n) override { return Inner.Read(b, n); }
  size_t Write(const void* b, size_t n) override {
    Writes.push_back(n);
    return Inner.Write(b, n);
  }
  int64_t Seek(int64_t o, SeekOrigin s) override { return Inner.Seek(o, s); }
  int64_t Position() const override { return Inner.Position(); }
  int64_t Size() const override { return Inner.Size(); }
};

class PackageFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<ReadOnlyFile> Open(const std::string& content) {
    fs.Files["pkg"] = test::Bytes(content);
    return fs.OpenRead("pkg");
  }
  MemoryFileSystem fs;
};

TEST_F(PackageFileTest, CopyFileRangeCopiesThroughTheBufferInChunks) {
  std::vector<uint8_t> big(1'200'000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  fs.Files["big"] = big;
  auto file = fs.OpenRead("big");
  RecordingStream stream;
  ASSERT_TRUE(CopyFileRange(*file, 100, 1'000'000, stream));
  EXPECT_EQ(stream.Writes, (std::vector<size_t>{409'600, 409'600, 180'800}));
  ASSERT_EQ(stream.Inner.Size(), 1'000'000);
  EXPECT_EQ(stream.Inner.Bytes()[0], big[100]);
  EXPECT_EQ(stream.Inner.Bytes()[999'999], big[1'000'099]);
}

TEST_F(PackageFileTest, CopyFileRangeOfNothing) {
  auto file = Open("abcdef");
  RecordingStream stream;
  EXPECT_TRUE(CopyFileRange(*file, 2, 0, stream));
  EXPECT_TRUE(CopyFileRange(*file, 2, -5, stream));
  // Nothing is read, so a size of 0 succeeds even at an offset outside the file.
  EXPECT_TRUE(CopyFileRange(*file, -1, 0, stream));
  EXPECT_TRUE(stream.Writes.empty());
}

TEST_F(PackageFileTest, CopyFileRangeAppendsToTheStream) {
  auto file = Open("abcdef");
  MemoryStream stream(test::Bytes("xy"));
  stream.Seek(0, SeekOrigin::End);
  ASSERT_TRUE(CopyFileRange(*file, 1, 3, stream));
  EXPECT_EQ(stream.Bytes(), test::Bytes("xybcd"));
}

TEST_F(PackageFileTest, CopyFileRangeEndsWithFalseWhenTheFileEndsEarly) {
  auto file = Open("abcdef");
  MemoryStream stream;
  EXPECT_FALSE(CopyFileRange(*file, 4, 100, stream));
  EXPECT_EQ(stream.Bytes(), test::Bytes("ef"));
  MemoryStream beyond;
  EXPECT_FALSE(CopyFileRange(*file, 50, 3, beyond));
  EXPECT_EQ(beyond.Size(), 0);
  EXPECT_FALSE(CopyFileRange(*file, -3, 3, beyond));
}

TEST_F(PackageFileTest, CopyFileRangeKeepsWhatWasCopiedBeforeAFailedRead) {
  fs.Files["big"] = std::vector<uint8_t>(900'000, 1);
  fs.FailReadsAfter = 409'600;
  auto file = fs.OpenRead("big");
  MemoryStream stream;
  EXPECT_FALSE(CopyFileRange(*file, 0, 800'000, stream));
  EXPECT_EQ(stream.Size(), 409'600);
}

TEST_F(PackageFileTest, ReadPackageAreaStopsAtNulAndChecksTheRange) {
  auto file = Open(std::string("ab\0cd", 5) + "ef");
  std::string text = "unchanged";
  ASSERT_TRUE(ReadPackageArea(*file, 0, 7, 100, text));
  EXPECT_EQ(text, "ab");
  ASSERT_TRUE(ReadPackageArea(*file, 3, 7, 100, text));
  EXPECT_EQ(text, "cdef");
  text = "unchanged";
  EXPECT_FALSE(ReadPackageArea(*file, 3, 8, 100, text));   // past the end
  EXPECT_FALSE(ReadPackageArea(*file, -1, 2, 100, text));  // before the start
  EXPECT_FALSE(ReadPackageArea(*file, 5, 2, 100, text));   // end before start
  EXPECT_FALSE(ReadPackageArea(*file, 0, 7, 6, text));     // longer than allowed
  EXPECT_EQ(text, "unchanged");
}

TEST(FieldLoop, SplitsKeyAndValueAndIgnoresTheTail) {
  std::vector<std::pair<int, std::string>> fields;
  std::string text = test::Field(27, "") + test::Field(5, "12") + "\x80" + test::Field(200, "x\x7Fy") + "\x7F" + "tail";
  ForEachField(text, [&](uint8_t key, std::string_view value) { fields.emplace_back(key, std::string(value)); });
  EXPECT_EQ(fields, (std::vector<std::pair<int, std::string>>{{27, ""}, {5, "12"}, {200, "x\x7Fy"}}));
}

TEST_F(PackageFileTest, ReadPositionsFindsTheIndexFromTheTrailer) {
  std::string index = Entry('1', 0) + Entry('1', 10) + Entry('1', 20) + Entry('2', 30) + Entry('3', 40) +
                      Entry('4', 40) + Entry('5', 40) + Entry('6', 50) +
                      "9not an offset at all\x80";  // unknown keys are skipped unconverted
  ASSERT_EQ(index.size(), 53u);
  std::string body(60, 'x');
  auto file = Open(body + IndexAndTrailer(index));
  EXPECT_EQ(IndexAndTrailer(index).substr(53), "        53");
  TInfoPosition pos;
  ASSERT_TRUE(pos.ReadPositions(*file));
  EXPECT_EQ(pos.IndexStart, 60);  // 63 bytes before the end of a 123-byte file
  EXPECT_EQ(pos.DataPositions, (std::vector<int32_t>{0, 10, 20, 30, 40}));
  EXPECT_EQ(pos.MusicPositions, (std::vector<int32_t>{40}));
  EXPECT_EQ(pos.PictureRecordsStart, 40);
  EXPECT_EQ(pos.ProjectRecordStart, 50);
}

TEST(ParsePositions, LaterStartsWinAndOtherKeysAreIgnored) {
  TInfoPosition pos;
  pos.ParsePositions(Entry('5', 7) + Entry('9', 1) + Entry('6', 8) + Entry('4', 3) + Entry('4', 5) + Entry('5', 17) +
                     Entry('6', 18) + "1999");
  EXPECT_EQ(pos.PictureRecordsStart, 17);
  EXPECT_EQ(pos.ProjectRecordStart, 18);
  EXPECT_EQ(pos.MusicPositions, (std::vector<int32_t>{3, 5}));
  EXPECT_TRUE(pos.DataPositions.empty());
}

TEST(ParsePositions, AnEntryThatIsNotANumberRaisesTheConversionError) {
  TInfoPosition pos;
  try {
    pos.ParsePositions(Entry('5', 7) + "6abc\x80" + Entry('4', 3));
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(pos.PictureRecordsStart, 7);
  EXPECT_TRUE(pos.MusicPositions.empty());
}

TEST_F(PackageFileTest, ATrailerThatIsNotANumberRaisesTheConversionError) {
  auto file = Open(std::string(20, 'x') + "   12a  \n ");
  TInfoPosition pos;
  try {
    pos.ReadPositions(*file);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
}

TEST_F(PackageFileTest, ReadPositionsRejectsLengthsThatDoNotFit) {
  TInfoPosition pos;
  auto tooLong = Open(std::string(40, 'x') + "        41");  // 41 + 10 > 50
  EXPECT_FALSE(pos.ReadPositions(*tooLong));
  std::string big(102'401, 'x');
  auto aboveLimit = Open(big + "    102401");
  EXPECT_FALSE(pos.ReadPositions(*aboveLimit));
  auto negative = Open(std::string(40, 'x') + "        -5");
  EXPECT_FALSE(pos.ReadPositions(*negative));
  auto tiny = Open("12");
  EXPECT_FALSE(pos.ReadPositions(*tiny));
  EXPECT_EQ(pos.IndexStart, 0);
  EXPECT_TRUE(pos.DataPositions.empty());

  // Exactly at the limit is fine.
  auto atLimit = Open(std::string(102'400, 'x') + "    102400");
  EXPECT_TRUE(pos.ReadPositions(*atLimit));
  EXPECT_EQ(pos.IndexStart, 0);
}

}  // namespace
}  // namespace vitrine::test
