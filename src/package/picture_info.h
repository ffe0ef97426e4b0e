#pragma once
// One item of the screen saver (picture, Flash movie, video, or background-only picture), as
// its picture record describes it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/file_system.h"
#include "core/stream.h"
#include "package/flash_display_settings.h"
#include "package/font_record.h"
#include "package/record_fields.h"

namespace vitrine {

// Random defaults are drawn from these tables (0x00BBGGRR).
extern const std::array<int32_t, 13> kFontColors;
extern const std::array<int32_t, 13> kGradientColors1;
extern const std::array<int32_t, 13> kGradientColors2;

// The items are kinds of TPictureInfo::Kind.
constexpr int32_t kKindPicture = 0;
constexpr int32_t kKindFlash = 1;
constexpr int32_t kKindVideo = 2;

class TPictureInfo {
 public:
  // Sets every default, drawing the random ones (font colours, gradient pair, tile count) in
  // that order from the process-wide generator.
  TPictureInfo();

  int32_t PackageIndex = 0;
  std::string FileName;
  int32_t DataSize = 0;
  int32_t PictureType = 2;
  bool Transparent = false;
  bool MusicDuring = true;
  bool CaptionVisible = true;
  std::string Caption;
  FontRecord CaptionFont;
  int32_t CaptionPosition = 0;
  int32_t CaptionX = 0;
  int32_t CaptionY = 0;
  bool MemoVisible = true;
  FontRecord MemoFont;
  std::string MemoText;
  int32_t MemoPosition = 3;
  int32_t MemoX = 0;
  int32_t MemoY = 0;
  bool RandomTransition = true;
  int32_t TransitionSpeed = 25;
  std::string Transitions;
  std::string BackgroundKinds = "0;";
  int32_t PlainBackgroundColor = 0;
  int32_t GradientColor1 = 0;
  int32_t GradientColor2 = 0;
  std::string GradientStyles = "0; 1; 2; 3; 4; 5; 6; 7; 8; 9; 10; 11;";
  int32_t Kind = kKindPicture;
  int32_t VideoSizeMode = 0;
  FlashDisplaySettings FlashSettings;
  std::string BackgroundSources = "1;";
  std::string BackgroundImages;
  bool RandomGradientColors = true;
  bool RandomBackgroundColor = true;
  int32_t BackgroundImageMode = 2;
  int32_t TileCount = 20;
  bool IsBackgroundImage = false;
  bool RandomTileCount = true;
  int32_t PanZoom = -1;  // 1 on, 0 off, -1 as the project says
  // What the package builder converted the picture from ("HEIC 4032x3024"); older players
  // skip the key, and the show never reads it.
  std::string ConvertedFrom;
  // The gradient style the show window chose last from GradientStyles.
  int32_t GradientStyle = 0;

  // The field loop over one record (without its 0x7F). Values above a field's length limit
  // are cut to it; a non-integer in an integer field raises EConvertError.
  void ParsePictureRecord(std::string_view text);

  // Copies DataSize bytes from offset into stream and rewinds it; type = PictureType.
  bool LoadEmbeddedData(ReadOnlyFile& file, int64_t offset, MemoryStream& stream, int32_t& type) const;
  // Loads the item's own file (beside the program when filesBesideProgram); false, with stream
  // and type untouched, when there is no file at that name.
  bool LoadExternalFile(FileSystem& fs, const std::string& programPath, MemoryStream& stream,
                        bool filesBesideProgram, int32_t& type) const;
};

// The default MemoText.
extern const char* const kDefaultMemoText;
// Every transition index 0 to count - 1, each followed by ";": by default the 161 a package
// made for the original player chooses from.
std::string AllTransitionsList(int32_t count = 161);

// Where a not-embedded file is looked for: beside the program under its file name alone, or
// the stored path unchanged.
std::string ExternalFilePath(const std::string& programPath, const std::string& storedName, bool filesBesideProgram);
// Reads a whole file into stream (appending); false when it can't be opened or read.
bool LoadStreamFromFile(FileSystem& fs, const std::string& path, MemoryStream& stream);

// The record's fields, by key and by name; the fonts' fields are FontFields() at the two
// font keys, the Flash settings' are FlashFields().
FieldTable<TPictureInfo> PictureFields();

// Font keys: base + the offset of a FontFields() row.
constexpr uint8_t kCaptionFontKey = 9;
constexpr uint8_t kMemoFontKey = 19;
constexpr int kFontFieldCount = 5;

}  // namespace vitrine
