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
using K = FieldKind;
const FieldSpec<P> kPictureFields[] = {
    {"PackageIndex", 1, K::Integer, &P::PackageIndex, 0, "0",
     "the item's position among the items, which is also its entry in the index; pack sets it"},
    {"FileName", 2, K::Text, &P::FileName, kFileNameLimit, "empty",
     "the item's file name as stored; its extension names the temporary file a video or Flash item plays "
     "from, and an item that is not embedded is read from it; pack sets it from File"},
    {"DataSize", 3, K::Integer, &P::DataSize, 0, "0", "byte length of the item's data in the package; pack sets it"},
    {"Transparent", 5, K::Boolean, &P::Transparent, 0, "false",
     "the colour of the picture's top-left pixel shows what lies beneath instead"},
    {"MusicDuring", 6, K::Boolean, &P::MusicDuring, 0, "true", "music plays while the item is shown; false pauses it"},
    {"CaptionVisible", 7, K::Boolean, &P::CaptionVisible, 0, "true", "the caption is drawn"},
    {"Caption", 8, K::Text, &P::Caption, 99, "empty", "the caption, one line"},
    {"CaptionPosition", 14, K::Integer, &P::CaptionPosition, 0, "0",
     "0 top centre, 1 top left, 2 top right, 3 bottom centre, 4 bottom left, 5 bottom right, 6 centre, "
     "7 middle left, 8 middle right, 9 at CaptionX, CaptionY"},
    {"CaptionX", 15, K::Integer, &P::CaptionX, 0, "0", "left edge of the caption in position 9, in pixels"},
    {"CaptionY", 16, K::Integer, &P::CaptionY, 0, "0", "top edge of the caption in position 9, in pixels"},
    {"MemoVisible", 17, K::Boolean, &P::MemoVisible, 0, "true", "the description text is drawn"},
    {"MemoText", 24, K::Text, &P::MemoText, 4097, kDefaultMemoText,
     "the description text; lines are separated by CR LF (\\r\\n)"},
    {"MemoPosition", 25, K::Integer, &P::MemoPosition, 0, "3", "where the description stands, as CaptionPosition"},
    {"MemoX", 26, K::Integer, &P::MemoX, 0, "0", "left edge of the description in position 9"},
    {"MemoY", 27, K::Integer, &P::MemoY, 0, "0", "top edge of the description in position 9"},
    {"RandomTransition", 34, K::Boolean, &P::RandomTransition, 0, "true",
     "the transition is drawn at random from Transitions; false: in list order"},
    {"TransitionSpeed", 35, K::Integer, &P::TransitionSpeed, 0, "25",
     "pixels the transition advances per frame, 1 (slow) to 50 (fast)"},
    {"Transitions", 36, K::TransitionList, &P::Transitions, 1024, "every transition, 0 to 160",
     "the transitions that may bring the item in"},
    {"PictureType", 45, K::Integer, &P::PictureType, 0, "2",
     "which reader decodes the data (1 bitmap, 2 JPEG, 3 SGI, 4 Autodesk, 5 TIFF, 6 Targa, 7 PCX, 8 Photo CD, "
     "9 PPM, 10 CUT, 11 GIF, 12 RLA, 13 PSD, 14 Paint Shop Pro, 15 PNG; -1 for video and Flash); pack sets it "
     "from the file's first bytes"},
    {"BackgroundKinds", 46, K::IntegerList, &P::BackgroundKinds, 9, "0;",
     "the backgrounds to draw one from at random: 0 plain colour, 1 picture, 2 gradient, 3 the item's own "
     "picture blurred, darkened and covering the screen (older players leave the background as it was)"},
    {"PlainBackgroundColor", 47, K::Colour, &P::PlainBackgroundColor, 0, "#000000 (black)",
     "colour of a plain background when RandomBackgroundColor is false"},
    {"GradientColor1", 48, K::Colour, &P::GradientColor1, 0, "a random pair from the gradient tables",
     "first gradient colour when RandomGradientColors is false"},
    {"GradientColor2", 49, K::Colour, &P::GradientColor2, 0, "a random pair from the gradient tables",
     "second gradient colour when RandomGradientColors is false"},
    {"GradientStyles", 50, K::IntegerList, &P::GradientStyles, 49, "0; 1; 2; 3; 4; 5; 6; 7; 8; 9; 10; 11;",
     "the gradient styles to draw one from at random: 0 to 3 from the top, bottom, left, right; 4 to 7 from "
     "and to the middle; 8 to 11 rectangles and ellipses to and from the centre"},
    {"Kind", 52, K::Integer, &P::Kind, 0, "0", "0 picture, 1 Flash movie, 2 video"},
    {"VideoSizeMode", 53, K::Integer, &P::VideoSizeMode, 0, "0", "how a video is sized in its panel, 0 to 5"},
    {"BackgroundSources", 57, K::IntegerList, &P::BackgroundSources, 9, "1;",
     "where a picture background comes from, drawn at random: 0 the desktop, 1 another item of the show, "
     "2 a background image"},
    {"BackgroundImages", 58, K::IntegerList, &P::BackgroundImages, 300, "empty",
     "which items marked IsBackgroundImage may serve as background source 2"},
    {"RandomGradientColors", 59, K::Boolean, &P::RandomGradientColors, 0, "true",
     "gradient colours are drawn from the gradient tables each time"},
    {"RandomBackgroundColor", 60, K::Boolean, &P::RandomBackgroundColor, 0, "true",
     "the plain background colour is drawn from the font colour table each time"},
    {"BackgroundImageMode", 61, K::Integer, &P::BackgroundImageMode, 0, "2",
     "how a picture background is drawn: 0 stretched, 1 fitted and centred on black, 2 tiled, 3 one of these "
     "at random"},
    {"TileCount", 62, K::Integer, &P::TileCount, 0, "20 to 39 at random", "tiles across a tiled background"},
    {"IsBackgroundImage", 63, K::Boolean, &P::IsBackgroundImage, 0, "false",
     "the item is not shown itself; it only serves as a background image"},
    {"RandomTileCount", 64, K::Boolean, &P::RandomTileCount, 0, "true", "the tile count is drawn at random each time"},
    {"PanZoom", 100, K::Integer, &P::PanZoom, 0, "-1",
     "while the picture stands it drifts slowly towards a random side and zooms by up to 15 %: 1 on, 0 off, "
     "-1 as the project's PanZoom says"},
    {"ConvertedFrom", 120, K::Text, &P::ConvertedFrom, 255, "empty",
     "what pack made the stored picture from (\"HEIC 4032x3024\"), shown by vitrine info; the show does not read it; "
     "pack sets it"},
};

using F = FlashDisplaySettings;
const FieldSpec<F> kFlashFields[] = {
    {"AlignMode", 54, K::Integer, &F::AlignMode, 0, "0", "the Flash control's alignment of the movie"},
    {"ScaleMode", 55, K::Integer, &F::ScaleMode, 0, "0", "the Flash control's scaling of the movie"},
    {"BackgroundColor", 56, K::Colour, &F::BackgroundColor, 0, "#000000",
     "the movie's background; the screen is filled with it before the movie starts"},
    {"StopMode", 65, K::Integer, &F::StopMode, 0, "3",
     "when the movie ends: 0 at StopFrame, 1 after PlaySeconds, 2 never (it runs until the show ends), 3 at "
     "the movie's own end"},
    {"StopFrame", 66, K::Integer, &F::StopFrame, 0, "0", "the last frame in stop mode 0"},
    {"Flag67", 67, K::Boolean, &F::Flag67, 0, "false", "carried to the Flash window, which does not use it"},
    {"Flag68", 68, K::Boolean, &F::Flag68, 0, "false", "carried to the Flash window, which does not use it"},
    {"PlaySeconds", 69, K::Integer, &F::PlaySeconds, 0, "0", "how long the movie plays in stop mode 1"},
    {"MoveToFlash", 70, K::Boolean, &F::MoveToFlash, 0, "false", "mouse movement goes to the movie (full screen only)"},
    {"ClicksToFlash", 71, K::Boolean, &F::ClicksToFlash, 0, "false", "left clicks go to the movie (full screen only)"},
};

}  // namespace

FieldTable<TPictureInfo> PictureFields() { return kPictureFields; }
FieldTable<FlashDisplaySettings> FlashFields() { return kFlashFields; }

std::string AllTransitionsList(int32_t count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += std::to_string(i) + ";";
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
    StoreFieldByKey(*this, PictureFields(), key, value) ||
        StoreFieldByKey(CaptionFont, FontFields(), key - kCaptionFontKey, value) ||
        StoreFieldByKey(MemoFont, FontFields(), key - kMemoFontKey, value) ||
        StoreFieldByKey(FlashSettings, FlashFields(), key, value);
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
