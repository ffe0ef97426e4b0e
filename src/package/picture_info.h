#pragma once
// One item of the screen saver (picture, Flash movie, video, or background-only picture), as
// its picture record describes it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/file_system.h"
#include "core/stream.h"
#include "package/font_record.h"

namespace vitrine {

// Random defaults are drawn from these tables (0x00BBGGRR).
extern const std::array<int32_t, 13> kFontColors;
extern const std::array<int32_t, 13> kGradientColors1;
extern const std::array<int32_t, 13> kGradientColors2;

// Display settings of a Flash item, named by what the Flash window does with them.
struct FlashDisplaySettings {
  int32_t AlignMode = 0;        // key 54
  int32_t ScaleMode = 0;        // key 55
  int32_t BackgroundColor = 0;  // key 56; the screen is filled with it before the movie
  int32_t StopMode = 3;         // key 65: stop at the end of the movie
  int32_t StopFrame = 0;        // key 66
  bool Flag67 = false;          // key 67, unused by the Flash window
  bool Flag68 = false;          // key 68, unused by the Flash window
  int32_t PlaySeconds = 0;      // key 69
  bool MoveToFlash = false;     // key 70
  bool ClicksToFlash = false;   // key 71
};

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
// Every transition index 0 to 160, each followed by ";".
std::string AllTransitionsList();

// Where a not-embedded file is looked for: beside the program under its file name alone, or
// the stored path unchanged.
std::string ExternalFilePath(const std::string& programPath, const std::string& storedName, bool filesBesideProgram);
// Reads a whole file into stream (appending); false when it can't be opened or read.
bool LoadStreamFromFile(FileSystem& fs, const std::string& path, MemoryStream& stream);

// The record keys, by field name, for tools that read or write records by name.
using PictureMember = std::variant<int32_t TPictureInfo::*, bool TPictureInfo::*, std::string TPictureInfo::*>;
struct PictureField {
  const char* Name;
  uint8_t Key;
  PictureMember Member;
  size_t MaxLength;  // texts only; 0 for no limit
};
std::span<const PictureField> PictureFields();

// Font keys: base + 0 charset, + 1 colour, + 2 height, + 3 name, + 4 style digits.
constexpr uint8_t kCaptionFontKey = 9;
constexpr uint8_t kMemoFontKey = 19;

using FlashMember = std::variant<int32_t FlashDisplaySettings::*, bool FlashDisplaySettings::*>;
struct FlashField {
  uint8_t Key;
  FlashMember Member;
};
std::span<const FlashField> FlashFields();

}  // namespace vitrine
