#include "package/project_info.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "package/memory_file_system.h"
#include "package_test_util.h"

namespace vitrine::test {
namespace {


class CapturedMessages final : public MessageSink {
 public:
  std::vector<std::string> Texts;
  int Pumps = 0;
  void ShowMessage(const std::string& text) override { Texts.push_back(text); }
  void ProcessPendingMessages() override { ++Pumps; }
};

// A 4-byte player, two items, a banner, two music files, the records, index and trailer,
// written out byte by byte.
std::string HandBuiltPackage(const std::string& projectFields) {
  std::string file = "EXE!";                        // 0..3
  file += "PIC0";                                   // item 0 at 4
  file += "VIDEO1";                                 // item 1 at 8
  file += "BAN";                                    // banner 14..16
  file += "MP3a";                                   // music 0 at 17
  file += "WAVbb";                                  // music 1 at 21
  std::string records = Field(1, "0") + Field(2, "C:\\pics\\sun.jpg") + Field(3, "4") + Field(45, "2") + "\x7F" +
                        Field(1, "1") + Field(2, "D:\\clips\\sea.avi") + Field(3, "6") + Field(45, "-1") +
                        Field(52, "2") + "\x7F";
  file += records;                                  // picture records at 26
  int projectStart = static_cast<int>(file.size());
  file += projectFields + "\x7F";
  std::string index = Entry('1', 4) + Entry('1', 8) + Entry('2', 14) + Entry('3', 17) + Entry('4', 17) +
                      Entry('4', 21) + Entry('5', 26) + Entry('6', projectStart);
  return file + IndexAndTrailer(index);
}

class ProjectInfoTest : public ::testing::Test {
 protected:
  void Install(const std::string& bytes) { fs.Files["/opt/saver/show.scr"] = test::Bytes(bytes); }
  std::unique_ptr<TProjectInfo> Open() {
    auto p = std::make_unique<TProjectInfo>("/opt/saver/show.scr", fs, &messages);
    return p;
  }
  std::string StandardProject() {
    return Field(1, "C:\\music\\a.mp3") + Field(1, "C:\\music\\b.wav") + Field(30, "Sunset.scr") +
           Field(31, "C:\\pics\\banner.bmp") + Field(5, "8") + Field(4, "0") + Field(26, "2.5") +
           Field(27, "") + Field(91, "Settings") + Field(92, "Exit") + Field(42, "first") +
           Field(86, "Missing %s!") + Field(34, "1") + Field(93, "0") + Field(120, "unknown");
  }
  MemoryFileSystem fs;
  CapturedMessages messages;
};

TEST_F(ProjectInfoTest, ReadsAHandBuiltPackage) {
  Install(HandBuiltPackage(StandardProject()));
  auto p = Open();
  ASSERT_TRUE(p->IndexRead);
  EXPECT_EQ(p->Positions.DataPositions, (std::vector<int32_t>{4, 8, 14, 17}));
  EXPECT_EQ(p->Positions.MusicPositions, (std::vector<int32_t>{17, 21}));
  EXPECT_EQ(p->Positions.PictureRecordsStart, 26);
  ASSERT_TRUE(p->ReadProject());
  EXPECT_EQ(p->MusicFiles, (std::vector<std::string>{"C:\\music\\a.mp3", "C:\\music\\b.wav"}));
  EXPECT_EQ(p->SaverName, "Sunset.scr");
  EXPECT_EQ(p->ShowSeconds, 8);
  EXPECT_FALSE(p->RandomOrder);
  EXPECT_EQ(p->Version, "2.5");
  EXPECT_EQ(p->RightsNotice, "");
  EXPECT_EQ(p->Texts[91 - 42], "Settings");
  EXPECT_EQ(p->Texts[92 - 42], "Exit");
  EXPECT_EQ(p->Texts[0], "first");
  EXPECT_EQ(p->MenuEnabled, 1);
  EXPECT_FALSE(p->FilesBesideProgram);
  // Untouched defaults.
  EXPECT_TRUE(p->RandomPosition);
  EXPECT_TRUE(p->LoopMusic);
  EXPECT_EQ(p->MusicPause, 5);
  EXPECT_TRUE(p->PicturesEmbedded);
  EXPECT_EQ(p->TransitionScope, 1);
  EXPECT_EQ(p->PictureSizeMode, 1);

  ASSERT_TRUE(p->ReadPictures());
  ASSERT_EQ(p->Pictures.size(), 2u);
  EXPECT_EQ(p->Pictures[1].FileName, "D:\\clips\\sea.avi");
  EXPECT_EQ(p->Pictures[1].Kind, 2);
  EXPECT_EQ(p->Pictures[1].PictureType, -1);

  MemoryStream stream;
  int32_t type = 0;
  ASSERT_TRUE(p->GetPictureStream(1, stream, type));
  EXPECT_EQ(stream.Bytes(), test::Bytes("VIDEO1"));
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(type, -1);
  MemoryStream banner;
  ASSERT_TRUE(p->GetBannerStream(banner, type));
  EXPECT_EQ(banner.Bytes(), test::Bytes("BAN"));
  EXPECT_EQ(type, 1);
  MemoryStream music0, music1;
  ASSERT_TRUE(p->GetMusicStream(0, music0));
  ASSERT_TRUE(p->GetMusicStream(1, music1));
  EXPECT_EQ(music0.Bytes(), test::Bytes("MP3a"));
  EXPECT_EQ(music1.Bytes(), test::Bytes("WAVbb"));
  EXPECT_THROW(p->GetPictureStream(2, stream, type), EListError);
  EXPECT_THROW(p->GetMusicStream(2, stream), EListError);
}

TEST_F(ProjectInfoTest, DefaultsStandWithoutTheirKeys) {
  Install(HandBuiltPackage(Field(5, "1") + Field(5, "9")));
  auto p = Open();
  ASSERT_TRUE(p->ReadProject());
  EXPECT_EQ(p->ShowSeconds, 9);  // the later value wins
  EXPECT_EQ(p->Version, "1.0");
  EXPECT_TRUE(p->MusicFiles.empty());
  EXPECT_TRUE(p->MediaEmbedded);
  EXPECT_TRUE(p->FilesBesideProgram);
  EXPECT_FALSE(p->ShowBanner);
  for (const auto& t : p->Texts) EXPECT_EQ(t, "");
}

TEST_F(ProjectInfoTest, WithoutAFileEverythingStaysEmpty) {
  auto p = Open();
  EXPECT_FALSE(p->FileHandle);
  EXPECT_FALSE(p->ReadProject());
  EXPECT_FALSE(p->ReadPictures());
  EXPECT_EQ(p->ShowSeconds, 5);
  EXPECT_TRUE(p->Pictures.empty());
  EXPECT_EQ(p->ExtractMusic(0), "");
}

TEST_F(ProjectInfoTest, ANonIntegerProjectFieldNamesTheText) {
  Install(HandBuiltPackage(Field(7, "3") + Field(5, "five") + Field(4, "0")));
  auto p = Open();
  try {
    p->ReadProject();
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'five' is not a valid integer value");
  }
  EXPECT_EQ(p->MusicPause, 3);
  EXPECT_TRUE(p->RandomOrder);
}

TEST_F(ProjectInfoTest, TheLastMusicFileEndsAtThePictureRecords) {
  // One music name but two 4 entries: the first file runs up to the picture records.
  Install(HandBuiltPackage(Field(1, "a.mp3")));
  auto p = Open();
  p->ReadProject();
  MemoryStream music;
  ASSERT_TRUE(p->GetMusicStream(0, music));
  EXPECT_EQ(music.Bytes(), test::Bytes("MP3aWAVbb"));
}

TEST_F(ProjectInfoTest, RecordAreasOutsideTheFileAreNotRead) {
  std::string body = "EXE!" + Field(5, "7") + "\x7F";
  auto install = [&](const std::string& index) { Install(body + IndexAndTrailer(index)); };

  install(Entry('5', 4) + Entry('6', 4000));  // project start beyond the index start
  auto p = Open();
  EXPECT_FALSE(p->ReadProject());
  EXPECT_FALSE(p->ReadPictures());
  EXPECT_EQ(p->ShowSeconds, 5);

  install(Entry('5', -20) + Entry('6', 4));
  p = Open();
  EXPECT_TRUE(p->ReadProject());
  EXPECT_EQ(p->ShowSeconds, 7);
  EXPECT_FALSE(p->ReadPictures());
  EXPECT_TRUE(p->Pictures.empty());
}

TEST_F(ProjectInfoTest, AProjectRecordAboveTheLimitIsNotRead) {
  // Without entry 6 the project record would start at offset 0 and take in the player.
  std::string player(200'000, 'p');
  Install(player + Field(5, "7") + IndexAndTrailer(Entry('5', 0)));
  auto p = Open();
  ASSERT_TRUE(p->IndexRead);
  EXPECT_FALSE(p->ReadProject());
  EXPECT_EQ(p->ShowSeconds, 5);
}

TEST_F(ProjectInfoTest, DataOutsideTheFileFailsTheCopy) {
  std::string records = Field(3, "1000000") + "\x7F" + Field(3, "4") + "\x7F";
  std::string file = "EXE!DATA" + records;
  std::string index = Entry('1', 4) + Entry('1', 900000) + Entry('2', 4) + Entry('3', 99999999) + Entry('4', 8) +
                      Entry('5', 8) + Entry('6', static_cast<long long>(file.size()));
  Install(file + IndexAndTrailer(index));
  auto p = Open();
  p->ReadProject();
  ASSERT_TRUE(p->ReadPictures());
  ASSERT_EQ(p->Pictures.size(), 2u);
  MemoryStream a, b, banner;
  int32_t type = 0;
  EXPECT_FALSE(p->GetPictureStream(0, a, type));  // huge size: the file ends first
  EXPECT_FALSE(p->GetPictureStream(1, b, type));  // offset past the end
  EXPECT_FALSE(p->GetBannerStream(banner, type));
}

TEST_F(ProjectInfoTest, PictureRecordsAreSplitAtEach7F) {
  std::string records = Field(8, "one") + "\x7F" + Field(8, "two") + "\x7F" + Field(8, "tail");
  std::string file = "EXE!" + records;
  Install(file + IndexAndTrailer(Entry('5', 4) + Entry('6', static_cast<long long>(file.size()))));
  auto p = Open();
  ASSERT_TRUE(p->ReadPictures());
  ASSERT_EQ(p->Pictures.size(), 2u);
  EXPECT_EQ(p->Pictures[0].Caption, "one");
  EXPECT_EQ(p->Pictures[1].Caption, "two");
}

TEST_F(ProjectInfoTest, EmbeddedMediaShareOneTemporaryFile) {
  Install(HandBuiltPackage(StandardProject()));
  fs.Temp = "/var/tmp/";
  {
    auto p = Open();
    p->ReadProject();
    p->ReadPictures();
    EXPECT_EQ(p->ExtractMusic(-1), "");
    EXPECT_EQ(p->ExtractMusic(2), "");
    EXPECT_TRUE(messages.Texts.empty());

    EXPECT_EQ(p->ExtractMusic(0), "/var/tmp/vdn.mp3");
    EXPECT_EQ(fs.Files["/var/tmp/vdn.mp3"], test::Bytes("MP3a"));
    EXPECT_EQ(p->ExtractPictureFile(1), "/var/tmp/vdn.avi");
    EXPECT_EQ(fs.Files["/var/tmp/vdn.avi"], test::Bytes("VIDEO1"));
    EXPECT_FALSE(fs.Exists("/var/tmp/vdn.mp3"));
    EXPECT_EQ(p->CurrentTempFile, "/var/tmp/vdn.avi");
    EXPECT_EQ(messages.Pumps, 1);
  }
  EXPECT_FALSE(fs.Exists("/var/tmp/vdn.avi"));
}

TEST_F(ProjectInfoTest, ATemporaryFileThatCannotBeReplacedRaisesTheCreationError) {
  Install(HandBuiltPackage(StandardProject()));
  auto p = Open();
  p->ReadProject();
  ASSERT_EQ(p->ExtractMusic(0), "/tmp/vdn.mp3");
  // A player still holds it: the delete fails quietly, the write does not.
  fs.Undeletable.insert("/tmp/vdn.mp3");
  fs.Unwritable.insert("/tmp/vdn.mp3");
  try {
    p->ExtractMusic(0);
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_STREQ(e.what(), "Cannot create file /tmp/vdn.mp3");
  }
  // Another extension is written all the same.
  EXPECT_EQ(p->ExtractMusic(1), "/tmp/vdn.wav");
}

TEST_F(ProjectInfoTest, ACutOffMusicCopyGivesNoFile) {
  std::string file = "EXE!MP3";
  std::string index = Entry('2', 4) + Entry('3', 4) + Entry('4', 4) + Entry('5', 900) + Entry('6', 7);
  Install(file + Field(1, "x.mp3") + IndexAndTrailer(index));
  auto p = Open();
  ASSERT_TRUE(p->ReadProject());
  EXPECT_EQ(p->ExtractMusic(0), "");
  EXPECT_FALSE(fs.Exists("/tmp/vdn.mp3"));
}

TEST_F(ProjectInfoTest, MediaNotEmbeddedAreLookedUpBesideTheProgram) {
  Install(HandBuiltPackage(Field(1, "C:\\music\\a.mp3") + Field(1, "C:\\music\\b.wav") + Field(39, "0") +
                           Field(86, "Music file %s is missing")));
  fs.Files["/opt/saver/a.mp3"] = test::Bytes("A");
  fs.Files["/opt/saver/sea.avi"] = test::Bytes("S");
  auto p = Open();
  p->ReadProject();
  p->ReadPictures();
  EXPECT_EQ(p->ExtractMusic(0), "/opt/saver/a.mp3");
  EXPECT_EQ(p->ExtractMusic(1), "");
  EXPECT_EQ(p->ExtractPictureFile(1), "/opt/saver/sea.avi");
  EXPECT_EQ(p->ExtractPictureFile(0), "");
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{"Music file /opt/saver/b.wav is missing",
                                                      "File not found : /opt/saver/sun.jpg"}));
  EXPECT_TRUE(p->CurrentTempFile.empty());
  MemoryStream stream;
  EXPECT_FALSE(p->GetMusicStream(0, stream));
}

TEST_F(ProjectInfoTest, MissingMusicTextWithoutPlaceholderIsShownUnchanged) {
  Install(HandBuiltPackage(Field(1, "C:\\music\\a.mp3") + Field(39, "0") + Field(93, "0") +
                           Field(86, "No music")));
  auto p = Open();
  p->ReadProject();
  EXPECT_EQ(p->ExtractMusic(0), "");
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{"No music"}));
}

TEST_F(ProjectInfoTest, PicturesNotEmbeddedComeFromTheirOwnFiles) {
  Install(HandBuiltPackage(Field(38, "0") + Field(93, "0")));
  fs.Files["C:\\pics\\sun.jpg"] = test::Bytes("JPEGDATA");
  auto p = Open();
  p->ReadProject();
  p->ReadPictures();
  MemoryStream stream;
  int32_t type = 0;
  ASSERT_TRUE(p->GetPictureStream(0, stream, type));
  EXPECT_EQ(stream.Bytes(), test::Bytes("JPEGDATA"));
  EXPECT_EQ(type, 2);
  MemoryStream missing;
  type = 77;
  EXPECT_FALSE(p->GetPictureStream(1, missing, type));
  EXPECT_EQ(type, 77);
  EXPECT_EQ(missing.Size(), 0);
}

}  // namespace
}  // namespace vitrine::test
