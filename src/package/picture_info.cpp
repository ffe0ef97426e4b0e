#include "package/picture_info.h"

#include <vector>

#include "core/random.h"
#include "package/package_file.h"
#include "package/picture_type.h"

namespace vitrine {

const std::array<int32_t, 13> kFontColors = {0x000000, 0x008000, 0x008080, 0x808000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                             0xFF00FF, 0xFFFF00, 0x8000FF, 0xC0DCC0, 0xF0CAA6, 0x000080};
const std::array<int32_t, 13> kGradientColors1 = {0xFFFFFF, 0x00FFFF, 0x80FFFF, 0x0080FF, 0xFFFF00, 0x00FF00, 0x0080FF,
                                                  0xFF8000, 0x40FF00, 0xFF8000, 0x8000FF, 0x008000, 0x0080FF};
const std::array<int32_t, 13> kGradientColors2 = {0xFFFF00, 0x8000FF, 0xFFFF00, 0xFF80FF, 0xFF0080, 0x000000, 0x00FFFF,
                                                  0xFF00FF, 0x00FFFF, 0x80FF80, 0x40FF00, 0xFFFF00, 0x000000};

const char* const kDefaultMemoText = "http://www.example.com/";

namespace {

constexpr size_t kFileNameLimit = 255;

using P = TPictureInfo;
const PictureField kPictureFields[] = {
    {"PackageIndex", 1, &P::PackageIndex, 0},
    {"FileName", 2, &P::FileName, kFileNameLimit},
    {"DataSize", 3, &P::DataSize, 0},
    {"Transparent", 5, &P::Transparent, 0},
    {"MusicDuring", 6, &P::MusicDuring, 0},
    {"CaptionVisible", 7, &P::CaptionVisible, 0},
    {"Caption", 8, &P::Caption, 99},
    {"CaptionPosition", 14, &P::CaptionPosition, 0},
    {"CaptionX", 15, &P::CaptionX, 0},
    {"CaptionY", 16, &P::CaptionY, 0},
    {"MemoVisible", 17, &P::MemoVisible, 0},
    {"MemoText", 24, &P::MemoText, 4097},
    {"MemoPosition", 25, &P::MemoPosition, 0},
    {"MemoX", 26, &P::MemoX, 0},
    {"MemoY", 27, &P::MemoY, 0},
    {"RandomTransition", 34, &P::RandomTransition, 0},
    {"TransitionSpeed", 35, &P::TransitionSpeed, 0},
    {"Transitions", 36, &P::Transitions, 1024},
    {"PictureType", 45, &P::PictureType, 0},
    {"BackgroundKinds", 46, &P::BackgroundKinds, 9},
    {"PlainBackgroundColor", 47, &P::PlainBackgroundColor, 0},
    {"GradientColor1", 48, &P::GradientColor1, 0},
    {"GradientColor2", 49, &P::GradientColor2, 0},
    {"GradientStyles", 50, &P::GradientStyles, 49},
    {"Kind", 52, &P::Kind, 0},
    {"VideoSizeMode", 53, &P::VideoSizeMode, 0},
    {"BackgroundSources", 57, &P::BackgroundSources, 9},
    {"BackgroundImages", 58, &P::BackgroundImages, 300},
    {"RandomGradientColors", 59, &P::RandomGradientColors, 0},
    {"RandomBackgroundColor", 60, &P::RandomBackgroundColor, 0},
    {"BackgroundImageMode", 61, &P::BackgroundImageMode, 0},
    {"TileCount", 62, &P::TileCount, 0},
    {"IsBackgroundImage", 63, &P::IsBackgroundImage, 0},
    {"RandomTileCount", 64, &P::RandomTileCount, 0},
};

using F = FlashDisplaySettings;
const FlashField kFlashFields[] = {
    {54, &F::AlignMode}, {55, &F::ScaleMode},  {56, &F::BackgroundColor}, {65, &F::StopMode},
    {66, &F::StopFrame}, {67, &F::Flag67},     {68, &F::Flag68},          {69, &F::PlaySeconds},
    {70, &F::MoveToFlash}, {71, &F::ClicksToFlash},
};

// Record key -> row of kPictureFields, built once.
const PictureField* PictureFieldByKey(uint8_t key) {
  static const auto table = [] {
    std::array<const PictureField*, 256> t{};
    for (const PictureField& f : kPictureFields) t[f.Key] = &f;
    return t;
  }();
  return table[key];
}

const FlashField* FlashFieldByKey(uint8_t key) {
  for (const FlashField& f : kFlashFields)
    if (f.Key == key) return &f;
  return nullptr;
}

std::string Limited(std::string_view value, size_t limit) {
  return std::string(limit && value.size() > limit ? value.substr(0, limit) : value);
}

bool ParseFontField(FontRecord& font, int offset, std::string_view value) {
  switch (offset) {
    case 0: font.Charset = FieldInteger(value); return true;
    case 1: font.Color = FieldInteger(value); return true;
    case 2: font.Height = FieldInteger(value); return true;
    case 3: font.Name = std::string(value); return true;
    case 4: font.AddStyle(value); return true;
    default: return false;
  }
}

}  // namespace

std::span<const PictureField> PictureFields() { return kPictureFields; }
std::span<const FlashField> FlashFields() { return kFlashFields; }

std::string AllTransitionsList() {
  std::string out;
  for (int i = 0; i <= 160; ++i) out += std::to_string(i) + ";";
  return out;
}

TPictureInfo::TPictureInfo() : MemoText(kDefaultMemoText), Transitions(AllTransitionsList()) {
  CaptionFont.Height = -24;
  MemoFont.Height = -16;
  CaptionFont.Color = kFontColors[static_cast<size_t>(Random(13))];
  MemoFont.Color = kFontColors[static_cast<size_t>(Random(13))];
  size_t pair = static_cast<size_t>(Random(8));
  GradientColor1 = kGradientColors1[pair];
  GradientColor2 = kGradientColors2[pair];
  TileCount = 20 + Random(20);
}

void TPictureInfo::ParsePictureRecord(std::string_view text) {
  ForEachField(text, [this](uint8_t key, std::string_view value) {
    if (key >= kCaptionFontKey && key < kCaptionFontKey + 5) {
      ParseFontField(CaptionFont, key - kCaptionFontKey, value);
      return;
    }
    if (key >= kMemoFontKey && key < kMemoFontKey + 5) {
      ParseFontField(MemoFont, key - kMemoFontKey, value);
      return;
    }
    if (const FlashField* f = FlashFieldByKey(key)) {
      if (auto m = std::get_if<int32_t FlashDisplaySettings::*>(&f->Member))
        FlashSettings.*(*m) = FieldInteger(value);
      else
        FlashSettings.*std::get<bool FlashDisplaySettings::*>(f->Member) = FieldBoolean(value);
      return;
    }
    const PictureField* field = PictureFieldByKey(key);
    if (!field) return;
    if (auto m = std::get_if<int32_t TPictureInfo::*>(&field->Member))
      this->*(*m) = FieldInteger(value);
    else if (auto b = std::get_if<bool TPictureInfo::*>(&field->Member))
      this->*(*b) = FieldBoolean(value);
    else
      this->*std::get<std::string TPictureInfo::*>(field->Member) = Limited(value, field->MaxLength);
  });
}

bool TPictureInfo::LoadEmbeddedData(ReadOnlyFile& file, int64_t offset, MemoryStream& stream, int32_t& type) const {
  type = PictureType;
  bool ok = CopyFileRange(file, offset, DataSize, stream);
  stream.Rewind();
  return ok;
}

std::string ExternalFilePath(const std::string& programPath, const std::string& storedName, bool filesBesideProgram) {
  if (!filesBesideProgram) return storedName;
  return ExtractFileDir(programPath) + ExtractFileName(storedName);
}

bool LoadStreamFromFile(FileSystem& fs, const std::string& path, MemoryStream& stream) {
  auto file = fs.OpenRead(path);
  if (!file) return false;
  int64_t size = file->Size();
  if (size < 0 || size > kMaxPackageFileSize) return false;
  return CopyFileRange(*file, 0, size, stream);
}

bool TPictureInfo::LoadExternalFile(FileSystem& fs, const std::string& programPath, MemoryStream& stream,
                                    bool filesBesideProgram, int32_t& type) const {
  std::string name = ExternalFilePath(programPath, FileName, filesBesideProgram);
  if (!fs.Exists(name)) return false;
  type = PictureTypeOfFile(name);
  bool ok = LoadStreamFromFile(fs, name, stream);
  stream.Rewind();
  return ok;
}

}  // namespace vitrine
