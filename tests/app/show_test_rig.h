#pragma once
// Builds small packages in memory and plays them on the headless platform.
#include <memory>
#include <string>
#include <vector>

#include "package/memory_file_system.h"
#include "package/package_writer.h"
#include "apps/headless/headless_show.h"
#include "raster/image_files.h"
#include "settings/read_write_setting.h"

namespace vitrine::test {

inline constexpr const char* kPackagePath = "/saver/show.scr";
inline constexpr const char* kSaverName = "Rig.scr";

// A picture file of one colour.
inline std::vector<uint8_t> SolidBmp(Color colour, int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  Canvas(b).FillRect(b.Bounds(), colour);
  return EncodeBmp(b);
}

// A RIFF WAVE of the given length at 8000 bytes a second.
inline std::vector<uint8_t> Wave(int32_t milliseconds) {
  uint32_t data = uint32_t(milliseconds) * 8;
  std::vector<uint8_t> b;
  auto put = [&](const char* s) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(s[i])); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  put("RIFF"); u32(36 + data); put("WAVE"); put("fmt "); u32(16);
  b.insert(b.end(), {1, 0, 1, 0}); u32(8000); u32(8000); b.insert(b.end(), {1, 0, 8, 0});
  put("data"); u32(data);
  b.resize(b.size() + data, 0x80);
  return b;
}

// A RIFF AVI main header: frames × frame time, and the picture size.
inline std::vector<uint8_t> Avi(int32_t width, int32_t height, uint32_t frames, uint32_t microsPerFrame) {
  std::vector<uint8_t> b;
  auto put = [&](const char* s) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(s[i])); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  put("RIFF"); u32(4 + 12 + 8 + 56); put("AVI ");
  put("LIST"); u32(4 + 8 + 56); put("hdrl");
  put("avih"); u32(56);
  u32(microsPerFrame); u32(0); u32(0); u32(0); u32(frames); u32(0); u32(1); u32(0);
  u32(uint32_t(width)); u32(uint32_t(height)); u32(0); u32(0); u32(0); u32(0);
  return b;
}

// A Flash item's fields: the movie stretched over the window (ScaleMode 2, exact fit), ended
// a second after it starts.
inline const PackageRecord kStretchedForASecond = {{52, "1"}, {56, "-1"}, {55, "2"}, {65, "1"}, {69, "1"}};

struct ShowRig {
  MemoryFileSystem files;
  PackageContent content;
  PackageRecord project{{30, kSaverName}, {4, "0"}, {3, "0"}, {5, "0"}, {40, "0"}, {41, "1"}};
  std::unique_ptr<HeadlessShow> show;

  // A picture item; `fields` override the record's defaults. No transition (an empty list)
  // and no texts unless the fields say otherwise.
  void AddItem(std::vector<uint8_t> data, const std::string& fileName, PackageRecord fields = {}) {
    int32_t index = static_cast<int32_t>(content.PictureRecords.size());
    PackageRecord record{{1, std::to_string(index)},
                         {2, fileName},
                         {3, std::to_string(data.size())},
                         {45, fileName.ends_with(".bmp") ? "1" : "-1"},
                         {36, ""},
                         {7, "0"},
                         {17, "0"},
                         {46, "0;"},
                         {60, "0"},
                         {47, "0"}};
    for (auto& f : fields) record.push_back(f);
    content.ItemData.push_back(std::move(data));
    content.PictureRecords.push_back(std::move(record));
  }
  void AddPicture(Color colour, int32_t w = 8, int32_t h = 6, PackageRecord fields = {}) {
    AddItem(SolidBmp(colour, w, h), "pic" + std::to_string(content.PictureRecords.size()) + ".bmp", std::move(fields));
  }
  void AddMusic(const std::string& name, std::vector<uint8_t> data) {
    project.push_back({1, name});
    content.Music.push_back(std::move(data));
  }
  void Set(uint8_t key, const std::string& value) { project.push_back({key, value}); }

  // Stores the user's settings: the defaults, changed by `change`.
  template <class F>
  void UserSettings(F change) {
    TRWSetting settings(kSaverName, registryToLoad);
    change(settings);
    settings.SaveToRegistry();
    haveSettings = true;
  }

  HeadlessShow& Start(int32_t width = 64, int32_t height = 48, bool preview = false, TextPainter* text = nullptr) {
    content.ProjectRecord = project;
    files.Files[kPackagePath] = BuildPackage(content, 0);
    HeadlessShowOptions options;
    options.packagePath = kPackagePath;
    options.width = width;
    options.height = height;
    options.preview = preview;
    options.previewWidth = 40;
    options.previewHeight = 30;
    options.files = &files;
    options.text = text;
    options.seed = seed;
    options.decodeMedia = decodeMedia;
    show = std::make_unique<HeadlessShow>(options);
    if (haveSettings) show->Registry().Keys = registryToLoad.Keys;
    started = show->Start();
    return *show;
  }

  TfRun& Form() { return show->Form(); }
  Color ScreenAt(int32_t x, int32_t y) { return show->Window().Surface().GetPixel(x, y); }

  MemoryRegistryStore registryToLoad;
  uint32_t seed = 7;         // the show's random generator starts here
  bool decodeMedia = false;  // the rig's own media (Wave, Avi) are headers alone
  bool haveSettings = false;
  bool started = false;
};

// A text painter whose texts are 10 pixels wide per character and 20 high; it records where
// each text was drawn.
struct FixedTextPainter final : TextPainter {
  struct Drawn {
    int32_t x, y;
    std::string text;
  };
  std::vector<Drawn> drawn;
  TextSize Measure(const FontRecord&, std::string_view text) override {
    return {10 * static_cast<int32_t>(text.size()), 20};
  }
  void Draw(Canvas&, int32_t x, int32_t y, const FontRecord&, std::string_view text) override {
    drawn.push_back({x, y, std::string(text)});
  }
};

}  // namespace vitrine::test
