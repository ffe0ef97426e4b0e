// Manifests turned into package content: each fault named by the manifest path of the value at
// fault, and what a good manifest plans.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "command.h"
#include "manifest.h"
#include "raster/bitmap.h"
#include "raster/image_files.h"

namespace vitrine::tool {
namespace {

namespace fs = std::filesystem;

class ManifestTest : public ::testing::Test {
 protected:
  ManifestTest() {
    std::random_device random;
    base_ = fs::temp_directory_path() / ("vitrine-manifest-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(base_);
  }
  ~ManifestTest() override {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  // The message a manifest fails with, or "(planned)".
  std::string ErrorOf(const std::string& manifest) {
    try {
      PlanPackage(ParseJson(manifest), base_, 0);
    } catch (const UsageError& e) {
      return e.message;
    }
    return "(planned)";
  }
  // The same for one picture item's members.
  std::string PictureError(const std::string& members) { return ErrorOf("{\"Pictures\": [{" + members + "}]}"); }

  void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(base_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }

  fs::path base_;
};

TEST_F(ManifestTest, TheTopLevelAndTheProjectNameTheirFaults) {
  EXPECT_EQ(ErrorOf("[]"), "the manifest: must be an object, not an array");
  EXPECT_EQ(ErrorOf("{\"Projects\": {}}"), "Projects: unknown manifest key");
  EXPECT_EQ(ErrorOf("{\"Project\": []}"), "Project: must be an object, not an array");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"PicturesEmbedded\": 1}}"),
            "Project.PicturesEmbedded: must be true or false, not an integer");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"SaverNmae\": \"x\"}}"), "Project.SaverNmae: unknown project key");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"ShowSeconds\": 1.5}}"), "Project.ShowSeconds: must be an integer, not a number");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"ShowSeconds\": 2147483648}}"), "Project.ShowSeconds: is outside 32 bits");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"ShowSeconds\": -2147483648}}"), "(planned)");
  EXPECT_EQ(ErrorOf("{\"Music\": {}}"), "Music: must be an array of file paths, not an object");
  EXPECT_EQ(ErrorOf("{\"Music\": [3]}"), "Music[0]: must be a string, not an integer");
  EXPECT_EQ(ErrorOf("{\"Pictures\": {}}"), "Pictures: must be an array, not an object");
  EXPECT_EQ(ErrorOf("{\"Pictures\": [{}, 7]}"), "Pictures[1]: must be an object, not an integer");
  EXPECT_EQ(ErrorOf("{\"Banner\": \"nothere.png\"}"), "Banner: cannot read " + (base_ / "nothere.png").string());
}

TEST_F(ManifestTest, TextsThatTheRecordsCannotHoldAreRefused) {
  EXPECT_EQ(ErrorOf("{\"Project\": {\"SaverName\": \"5 \\u20ac\"}}"),
            "Project.SaverName: holds the euro sign, which is byte 0x80 in Windows-1252 and ends a record field; write EUR");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"SaverName\": \"a\\u0000b\"}}"), "Project.SaverName: holds a NUL character, which ends a record");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"SaverName\": \"caf\\u00e9 \\u4e2d\"}}"), "(planned)");  // outside the code page: '?'
  EXPECT_EQ(PictureError("\"Caption\": \"" + std::string(100, 'c') + "\""),
            "Pictures[0].Caption: 100 characters, but the player keeps only the first 99");
  EXPECT_EQ(PictureError("\"Caption\": \"" + std::string(99, 'c') + "\""), "(planned)");
}

TEST_F(ManifestTest, ProjectTextsMusicListsAndRawKeys) {
  std::string texts = "[";
  for (int i = 0; i < 52; ++i) texts += std::string(i ? "," : "") + "\"t\"";
  EXPECT_EQ(ErrorOf("{\"Project\": {\"Texts\": " + texts + "]}}"), "Project.Texts: holds more than 51 texts");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"Texts\": {\"Nope\": \"x\"}}}"),
            "Project.Texts.Nope: not a text role, and text keys are 42 to 92");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"Texts\": {\"93\": \"x\"}}}"), "Project.Texts.93: not a text role, and text keys are 42 to 92");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"Texts\": {\"42\": \"x\", \"SettingsMenuItem\": \"y\"}}}"), "(planned)");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"Texts\": 5}}"),
            "Project.Texts: must be an array of 51 texts or an object keyed by role name or record key, not an integer");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"MusicFiles\": \"a.mp3\"}}"), "Project.MusicFiles: must be an array of strings, not a string");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"MusicFiles\": [\"a.mp3\", 2]}}"), "Project.MusicFiles[1]: must be a string, not an integer");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": 5}}"), "Project.keys: must be an array of [key, value] pairs, not an integer");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[1]]}}"), "Project.keys[0]: must be a [key, value] pair");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[0, \"x\"]]}}"), "Project.keys[0][0]: a key must be 1 to 255");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[256, \"x\"]]}}"), "Project.keys[0][0]: a key must be 1 to 255");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[\"1\", \"x\"]]}}"), "Project.keys[0][0]: must be an integer, not a string");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[1, true]]}}"), "Project.keys[0][1]: must be a string, not a boolean");
  EXPECT_EQ(ErrorOf("{\"Project\": {\"keys\": [[1, 4294967296]]}}"), "Project.keys[0][1]: is outside 32 bits");
}

TEST_F(ManifestTest, PictureItemsFontsFlashSettingsAndColours) {
  EXPECT_EQ(PictureError("\"Kind\": 3"), "Pictures[0].Kind: must be 0 (picture), 1 (Flash movie) or 2 (video)");
  EXPECT_EQ(PictureError("\"Captoin\": \"x\""), "Pictures[0].Captoin: unknown picture key");
  EXPECT_EQ(PictureError("\"Embed\": \"yes\""), "Pictures[0].Embed: must be true or false, not a string");
  EXPECT_EQ(PictureError("\"File\": \"nothere.png\""), "Pictures[0].File: cannot read " + (base_ / "nothere.png").string());
  EXPECT_EQ(PictureError("\"CaptionFont\": 3"), "Pictures[0].CaptionFont: must be an object, not an integer");
  EXPECT_EQ(PictureError("\"CaptionFont\": {\"Size\": 10, \"Height\": -13}"),
            "Pictures[0].CaptionFont.Size: give Size (points) or Height (pixels), not both");
  EXPECT_EQ(PictureError("\"MemoFont\": {\"Size\": 0}"), "Pictures[0].MemoFont.Size: must be 1 to 1000 points");
  EXPECT_EQ(PictureError("\"MemoFont\": {\"Size\": 1000.5}"), "Pictures[0].MemoFont.Size: must be 1 to 1000 points");
  EXPECT_EQ(PictureError("\"MemoFont\": {\"Size\": \"12\"}"), "Pictures[0].MemoFont.Size: must be a number of points, not a string");
  EXPECT_EQ(PictureError("\"CaptionFont\": {\"Bold\": \"yes\"}"), "Pictures[0].CaptionFont.Bold: must be true or false, not a string");
  EXPECT_EQ(PictureError("\"CaptionFont\": {\"Weight\": 700}"), "Pictures[0].CaptionFont.Weight: unknown font key");
  EXPECT_EQ(PictureError("\"CaptionFont\": {\"Style\": \"1\"}"), "Pictures[0].CaptionFont.Style: unknown font key");
  EXPECT_EQ(PictureError("\"CaptionFont\": {\"Color\": \"#12345\"}"),
            "Pictures[0].CaptionFont.Color: \"#12345\" is not a colour; write \"#RRGGBB\" or a number");
  EXPECT_EQ(PictureError("\"PlainBackgroundColor\": true"),
            "Pictures[0].PlainBackgroundColor: must be a colour (\"#RRGGBB\" or a number), not a boolean");
  EXPECT_EQ(PictureError("\"FlashSettings\": []"),
            "Pictures[0].FlashSettings: must be an object keyed by setting name or record key, not an array");
  EXPECT_EQ(PictureError("\"FlashSettings\": {\"Loop\": 1}"), "Pictures[0].FlashSettings.Loop: unknown Flash setting");
  EXPECT_EQ(PictureError("\"FlashSettings\": {\"57\": 1}"), "Pictures[0].FlashSettings.57: unknown Flash setting");
  EXPECT_EQ(PictureError("\"FlashSettings\": {\"55\": 2, \"StopMode\": 1}"), "(planned)");
  EXPECT_EQ(PictureError("\"BackgroundKinds\": [0, \"1\"]"), "Pictures[0].BackgroundKinds[1]: must be an integer, not a string");
  EXPECT_EQ(PictureError("\"BackgroundKinds\": {}"), "Pictures[0].BackgroundKinds: must be a list of numbers, not an object");
}

TEST_F(ManifestTest, TransitionsByNameOrIndexWithinTheCatalogue) {
  EXPECT_EQ(PictureError("\"Transitions\": [\"Fan wipe\", 160, -1]"), "(planned)");
  EXPECT_EQ(PictureError("\"Transitions\": [\"No such wipe\"]"),
            "Pictures[0].Transitions[0]: \"No such wipe\" is not a transition of the catalogue");
  EXPECT_EQ(PictureError("\"Transitions\": [true]"), "Pictures[0].Transitions[0]: must be a transition name or index, not a boolean");
  EXPECT_EQ(PictureError("\"Transitions\": [\"Cross fade\", 163]"), "(planned)");
  EXPECT_EQ(PictureError("\"Transitions\": [164]"),
            "Pictures[0].Transitions: transition 164 is not in the catalogue (0 to 163, or -1 for none)");
  EXPECT_EQ(PictureError("\"Transitions\": \"3;-2;\""),
            "Pictures[0].Transitions: transition -2 is not in the catalogue (0 to 163, or -1 for none)");
  EXPECT_EQ(PictureError("\"Transitions\": 5"), "Pictures[0].Transitions: must be a list of transition names or indices, not an integer");
  EXPECT_EQ(TransitionIndexOfName("fan WIPE"), 45);
  EXPECT_EQ(TransitionIndexOfName("Fan wipe(Anticlockwise)"), 46);
  EXPECT_EQ(TransitionIndexOfName("Band down large"), 0);
  EXPECT_EQ(TransitionIndexOfName("Fan wipe "), -2);
}

TEST(ManifestValues, ColoursAndFontSizes) {
  int32_t colour = 0;
  ASSERT_TRUE(ParseHexColour("#1A2b3C", colour));
  EXPECT_EQ(colour, 0x3C2B1A);
  for (const char* bad : {"#12345", "#1234567", "123456", "#12345G", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseHexColour(bad, colour));
  }
  EXPECT_EQ(HeightOfPoints(12), -16);
  EXPECT_EQ(HeightOfPoints(9), -12);
  EXPECT_EQ(HeightOfPoints(10.5), -14);
}

// A picture on disk is read, typed by its content and decoded as the show would.
TEST_F(ManifestTest, AGoodManifestPlansItsItemsAndMusic) {
  Bitmap picture(7, 5, PixelFormat::Xrgb8888);
  WriteFile("red.bmp", EncodeBmp(picture));
  WriteFile("really-a-bmp.png", EncodeBmp(picture));
  WriteFile("song.mp3", {1, 2, 3});
  const PackagePlan plan = PlanPackage(ParseJson(R"({
    "Project": {"SaverName": "Test", "ShowSeconds": 3},
    "Music": ["song.mp3"],
    "Pictures": [{"File": "red.bmp", "Caption": "one", "Transitions": ["Fan wipe", 1]},
                 {"File": "really-a-bmp.png"},
                 {"File": "clip.swf", "Embed": false}]
  })"),
                                       base_, 1000);
  ASSERT_EQ(plan.items.size(), 3u);
  EXPECT_EQ(plan.items[0].file, "red.bmp");
  EXPECT_EQ(plan.items[0].pictureType, 1);  // a Windows bitmap
  EXPECT_EQ(plan.items[0].width, 7);
  EXPECT_EQ(plan.items[0].height, 5);
  EXPECT_EQ(plan.items[0].size, int64_t(EncodeBmp(picture).size()));
  EXPECT_EQ(plan.items[1].pictureType, 1);  // by its content, with a warning
  ASSERT_EQ(plan.warnings.size(), 1u);
  EXPECT_NE(plan.warnings[0].find("Pictures[1].File: really-a-bmp.png holds a"), std::string::npos) << plan.warnings[0];
  EXPECT_EQ(plan.items[2].kind, 1);  // a Flash movie by its extension
  EXPECT_FALSE(plan.items[2].embedded);
  EXPECT_EQ(plan.items[2].size, 0);
  EXPECT_EQ(plan.music, std::vector<std::string>{"song.mp3"});
  EXPECT_EQ(plan.dataBytes, int64_t(2 * EncodeBmp(picture).size() + 3));
  // The item's transitions are stored as the player's list text.
  bool found = false;
  for (const auto& field : plan.content.PictureRecords[0])
    if (field.Key == 36) {
      EXPECT_EQ(field.Value, "45;1;");
      found = true;
    }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace vitrine::tool
