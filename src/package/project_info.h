#pragma once
// The project object: owns the open package, its index, the project settings, the item
// records and the one temporary media file.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_system.h"
#include "core/stream.h"
#include "package/certificate_table.h"
#include "package/info_position.h"
#include "package/package_file.h"
#include "package/picture_info.h"
#include "package/record_fields.h"
#include "package/user_messages.h"
#include "raster/bitmap.h"

namespace vitrine {

constexpr int kTextCount = 51;
constexpr uint8_t kFirstTextKey = 42;  // Texts[key - 42] for keys 42 to 92
constexpr int kMissingMusicText = 86 - kFirstTextKey;

class TProjectInfo {
 public:
  // Sets the defaults, opens path (the running executable) and reads the index. messages may
  // be null, in which case missing-file messages go nowhere. A non-integer trailer or index
  // entry raises EConvertError.
  TProjectInfo(const std::string& path, FileSystem& fs, MessageSink* messages = nullptr);
  // Deletes CurrentTempFile.
  ~TProjectInfo();
  TProjectInfo(const TProjectInfo&) = delete;
  TProjectInfo& operator=(const TProjectInfo&) = delete;

  TInfoPosition Positions;
  PackageHandle FileHandle;
  // True when the trailer and index were read (the file carries a package).
  bool IndexRead = false;
  // A signed executable's certificate table; FileHandle then ends where the package ends. A
  // damaged entry leaves IndexRead false, as a damaged trailer does.
  CertificateTable Certificate;
  std::string ProgramPath;
  std::string TempDir;
  std::string CurrentTempFile;
  std::array<std::string, kTextCount> Texts;
  std::vector<TPictureInfo> Pictures;
  std::vector<std::string> MusicFiles;

  bool RandomPosition = true;
  bool RandomOrder = true;
  int32_t ShowSeconds = 5;
  bool LoopMusic = true;
  int32_t MusicPause = 5;
  bool RandomMusic = true;
  bool ShowBanner = false;
  bool ShowAuthorInfo = false;
  std::string AuthorName;
  bool ShowWebsite = false;
  std::string Website;
  bool ShowEmail = false;
  std::string Email;
  bool ShowHelpMenu = false;
  std::string Version = "1.0";
  std::string RightsNotice;
  bool ShowDescription = false;
  std::string Description;
  std::string SaverName;
  std::string BannerFile;
  int32_t MenuEnabled = 0;
  bool PicturesEmbedded = true;
  bool MediaEmbedded = true;
  int32_t TransitionScope = 1;
  int32_t PictureSizeMode = 1;
  bool FilesBesideProgram = true;
  bool PanZoom = false;            // pictures without their own PanZoom drift and zoom while they stand
  bool ExtendedCatalogue = false;  // "every transition" takes in those after the first 161
  // Random order as rounds in which every item comes once (key 121; older packages lack it).
  bool ShuffleWithoutRepeats = false;
  // Bits per pixel the show draws in (key 122): 32, or 16 for anything else, as older packages
  // without the key played.
  int32_t ColourDepth = 16;
  void StoreColourDepth(std::string_view value);
  std::string ColourDepthText() const { return std::to_string(ColourDepth); }
  PixelFormat ShowPixelFormat() const {
    return ColourDepth == 32 ? PixelFormat::Xrgb8888 : kDefaultShowPixelFormat;
  }

  // Reads and parses the project record. False when it could not be read: no package file,
  // a range outside the file, or a record longer than 102,400 bytes; the defaults then stand.
  bool ReadProject();
  void ParseProject(std::string_view text);
  // Reads the picture-record area and appends one TPictureInfo per 0x7F-terminated record.
  // False when the area could not be read.
  bool ReadPictures();

  // Item i's data, from the package or from its own file. EListError when i is outside
  // DataPositions or Pictures.
  bool GetPictureStream(int32_t i, MemoryStream& stream, int32_t& type);
  // False when the index holds fewer than two data entries or the copy fails.
  bool GetBannerStream(MemoryStream& stream, int32_t& type);
  // False at once when the media are not embedded. EListError when i has no music entry.
  bool GetMusicStream(int32_t i, MemoryStream& stream);

  // A playable file for music file i or item i; empty on failure.
  std::string ExtractMusic(int32_t i);
  std::string ExtractPictureFile(int32_t i);

 private:
  std::string WriteTempFile(const std::string& storedName, const MemoryStream& stream);
  void DeleteTempFile();

  FileSystem& fs_;
  MessageSink* messages_;
};

extern const char* const kFileNotFoundText;  // "File not found : "

// The project record's fields by key and by name. Keys 1 (MusicFiles, repeatable) and 42 to
// 92 (Texts) are not rows: the record loop handles them.
FieldTable<TProjectInfo> ProjectFields();
constexpr uint8_t kMusicFileKey = 1;

// The interface texts this system uses, by what they are for.
struct TextRole {
  const char* Name;
  uint8_t Key;
  const char* Meaning;
};
std::span<const TextRole> TextRoles();

}  // namespace vitrine
