#include "package/project_info.h"

#include <algorithm>

#include "core/errors.h"
#include "package/picture_type.h"

namespace vitrine {

const char* const kFileNotFoundText = "File not found : ";

namespace {

using J = TProjectInfo;
using K = FieldKind;
const FieldSpec<J> kProjectFields[] = {
    {"RandomPosition", 3, K::Boolean, &J::RandomPosition, 0, "true",
     "a picture or video smaller than the screen stands at a random place; false: centred"},
    {"RandomOrder", 4, K::Boolean, &J::RandomOrder, 0, "true",
     "the next item is drawn at random; false: the items follow in order and start again after the last"},
    {"ShowSeconds", 5, K::Integer, &J::ShowSeconds, 0, "5",
     "how long a picture stands once its transition has finished: the next item comes ShowSeconds + 1 "
     "seconds later"},
    {"LoopMusic", 6, K::Boolean, &J::LoopMusic, 0, "true", "after the last music file, start again at the first"},
    {"MusicPause", 7, K::Integer, &J::MusicPause, 0, "5",
     "seconds a music file must be found at its end before the next one starts"},
    {"RandomMusic", 8, K::Boolean, &J::RandomMusic, 0, "true", "the next music file is drawn at random; false: in order"},
    {"ShowBanner", 9, K::Boolean, &J::ShowBanner, 0, "false", "the settings dialog shows the banner picture"},
    {"ShowAuthorInfo", 15, K::Boolean, &J::ShowAuthorInfo, 0, "false", "the settings dialog shows its author page"},
    {"AuthorName", 16, K::Text, &J::AuthorName, 0, "empty", "the author's name on the author page"},
    {"ShowWebsite", 17, K::Boolean, &J::ShowWebsite, 0, "false",
     "the author page shows the website and the menu offers to visit it"},
    {"Website", 18, K::Text, &J::Website, 0, "empty", "the web address shown and opened"},
    {"ShowEmail", 19, K::Boolean, &J::ShowEmail, 0, "false", "the author page shows the e-mail address"},
    {"Email", 20, K::Text, &J::Email, 0, "empty", "the e-mail address shown"},
    {"ShowHelpMenu", 24, K::Boolean, &J::ShowHelpMenu, 0, "false", "the settings dialog has a Help menu"},
    {"Version", 26, K::Text, &J::Version, 0, "1.0", "the version shown in the about box"},
    {"RightsNotice", 27, K::Text, &J::RightsNotice, 0, "empty", "the rights notice shown in the about box"},
    {"ShowDescription", 28, K::Boolean, &J::ShowDescription, 0, "false", "the author page shows the description"},
    {"Description", 29, K::Text, &J::Description, 0, "empty",
     "the screen saver's description; lines are separated by CR LF (\\r\\n)"},
    {"SaverName", 30, K::Text, &J::SaverName, 0, "empty (pack FOLDER: the folder's name)",
     "the screen saver's name: shown in the about box; without its extension it names the registry key of "
     "the user's settings"},
    {"BannerFile", 31, K::Text, &J::BannerFile, 0, "empty",
     "the banner picture's file name; its extension gives the banner's picture type; pack sets it from Banner"},
    {"MenuEnabled", 34, K::Integer, &J::MenuEnabled, 0, "0",
     "not 0: a right click opens a menu (texts SettingsMenuItem and StopMenuItem), and mouse movement and "
     "right clicks no longer end the show"},
    {"PicturesEmbedded", 38, K::Boolean, &J::PicturesEmbedded, 0, "true",
     "the pictures and the banner are stored in the package; false: read from their own files"},
    {"MediaEmbedded", 39, K::Boolean, &J::MediaEmbedded, 0, "true",
     "music, video and Flash files are stored in the package; false: played from their own files"},
    {"TransitionScope", 40, K::Integer, &J::TransitionScope, 0, "1",
     "1: a transition brings in the whole new screen; any other value: the picture alone over its new "
     "background"},
    {"PictureSizeMode", 41, K::Integer, &J::PictureSizeMode, 0, "1",
     "0 actual size, 1 shrunk to fit, 2 cropped to fill, 3 stretched"},
    {"FilesBesideProgram", 93, K::Boolean, &J::FilesBesideProgram, 0, "true",
     "files that are not embedded are looked for beside the screen saver under their file name alone; "
     "false: at the stored path"},
    {"PanZoom", 100, K::Boolean, &J::PanZoom, 0, "false (pack FOLDER: true)",
     "a picture without its own PanZoom drifts and zooms slowly while it stands"},
    {"ExtendedCatalogue", 101, K::Boolean, &J::ExtendedCatalogue, 0, "false (pack FOLDER: true)",
     "an item that may use every transition also draws from those after the first 161 (\"Cross fade\", "
     "\"Fade through black\", \"Slide in eased\"); false: from the 161 alone, as packages made for the "
     "original player do"},
    {"ShuffleWithoutRepeats", 121, K::Boolean, &J::ShuffleWithoutRepeats, 0, "false (pack writes true)",
     "with RandomOrder, every item is shown once, in a new random order each round, before any comes again; "
     "the place in the round is kept in the user's settings from one run to the next"},
    {"ColourDepth", 122, K::Integer, FieldAccessor<J>{&J::StoreColourDepth, &J::ColourDepthText}, 0,
     "16 (pack writes 32)",
     "bits per pixel the show draws in: 16 (5-6-5, as packages made for the original player) or 32; the player "
     "reads any other value as 16"},
};

const TextRole kTextRoles[] = {
    {"VersionLabel", 80, "caption of the about box's version label"},
    {"MemoryLabel", 81, "caption of the about box's memory label"},
    {"MissingFileMessage", 86,
     "message shown when a music file or background picture that is not embedded is missing; %s stands for "
     "its path"},
    {"SettingsMenuItem", 91, "the pop-up menu item that opens the settings"},
    {"StopMenuItem", 92, "the pop-up menu item that ends the show"},
};

}  // namespace

FieldTable<TProjectInfo> ProjectFields() { return kProjectFields; }
std::span<const TextRole> TextRoles() { return kTextRoles; }

void TProjectInfo::StoreColourDepth(std::string_view value) {
  // A value this player does not know must not stop the show: it plays as the old ones did.
  ColourDepth = value == "32" ? 32 : 16;
}

TProjectInfo::TProjectInfo(const std::string& path, FileSystem& fs, MessageSink* messages)
    : ProgramPath(path), fs_(fs), messages_(messages) {
  TempDir = fs_.TempDir();
  if (!OpenPackageFile(fs_, path, FileHandle)) return;
  Certificate = LocateCertificateTable(*FileHandle);
  if (Certificate.State == CertificateTableState::Damaged) return;
  if (Certificate.State == CertificateTableState::AtEnd)
    FileHandle = FilePrefix(std::move(FileHandle), Certificate.PackageEnd);
  IndexRead = Positions.ReadPositions(*FileHandle);
  const int64_t packageStart =
      std::min({Positions.PictureRecordsStart, Positions.ProjectRecordStart, Positions.IndexStart});
  if (IndexRead && Certificate.OverlapsPackageFrom(packageStart)) {
    Certificate.State = CertificateTableState::Damaged;
    Certificate.Damage = "overlaps the package";
    Positions = TInfoPosition();
    IndexRead = false;
  }
}

TProjectInfo::~TProjectInfo() { DeleteTempFile(); }

bool TProjectInfo::ReadProject() {
  if (!FileHandle) return false;
  std::string text;
  if (!ReadPackageArea(*FileHandle, Positions.ProjectRecordStart, Positions.IndexStart, kMaxProjectRecordLength,
                       text))
    return false;
  ParseProject(text);
  return true;
}

void TProjectInfo::ParseProject(std::string_view text) {
  ForEachField(text, [this](uint8_t key, std::string_view value) {
    if (key == kMusicFileKey) {
      MusicFiles.emplace_back(value);
      return;
    }
    if (key >= kFirstTextKey && key < kFirstTextKey + kTextCount) {
      Texts[key - kFirstTextKey] = std::string(value);
      return;
    }
    StoreFieldByKey(*this, ProjectFields(), key, value);
  });
}

bool TProjectInfo::ReadPictures() {
  if (!FileHandle) return false;
  std::string area;
  if (!ReadPackageArea(*FileHandle, Positions.PictureRecordsStart, Positions.ProjectRecordStart, kMaxPackageFileSize,
                       area))
    return false;
  std::string_view rest = area;
  for (;;) {
    size_t end = rest.find(static_cast<char>(kRecordTerminator));
    if (end == std::string_view::npos) break;
    TPictureInfo picture;
    picture.ParsePictureRecord(rest.substr(0, end));
    Pictures.push_back(std::move(picture));
    rest.remove_prefix(end + 1);
  }
  return true;
}

bool TProjectInfo::GetPictureStream(int32_t i, MemoryStream& stream, int32_t& type) {
  if (i < 0 || static_cast<size_t>(i) >= Positions.DataPositions.size()) throw EListError::OutOfBounds(i);
  if (static_cast<size_t>(i) >= Pictures.size()) throw EListError::OutOfBounds(i);
  const TPictureInfo& picture = Pictures[static_cast<size_t>(i)];
  if (PicturesEmbedded) {
    if (!FileHandle) return false;
    return picture.LoadEmbeddedData(*FileHandle, Positions.DataPositions[static_cast<size_t>(i)], stream, type);
  }
  return picture.LoadExternalFile(fs_, ProgramPath, stream, FilesBesideProgram, type);
}

bool TProjectInfo::GetBannerStream(MemoryStream& stream, int32_t& type) {
  type = PictureTypeOfFile(BannerFile);
  const auto& data = Positions.DataPositions;
  if (data.size() < 2 || !FileHandle) return false;
  int64_t start = data[data.size() - 2];
  int64_t end = data[data.size() - 1];
  bool ok = CopyFileRange(*FileHandle, start, end - start, stream);
  stream.Rewind();
  return ok;
}

bool TProjectInfo::GetMusicStream(int32_t i, MemoryStream& stream) {
  if (!MediaEmbedded) return false;
  const auto& music = Positions.MusicPositions;
  if (i < 0 || static_cast<size_t>(i) >= music.size()) throw EListError::OutOfBounds(i);
  int64_t start = music[static_cast<size_t>(i)];
  // The last music file ends where the picture records begin, whatever entries follow.
  size_t next = static_cast<size_t>(i) + 1;
  bool last = static_cast<int64_t>(i) >= static_cast<int64_t>(MusicFiles.size()) - 1 || next >= music.size();
  int64_t end = last ? Positions.PictureRecordsStart : music[next];
  if (!FileHandle) return false;
  bool ok = CopyFileRange(*FileHandle, start, end - start, stream);
  stream.Rewind();
  return ok;
}

void TProjectInfo::DeleteTempFile() {
  // A player may still hold the file open; then it stays, without a message.
  if (!CurrentTempFile.empty() && fs_.Exists(CurrentTempFile)) fs_.Delete(CurrentTempFile);
}

std::string TProjectInfo::WriteTempFile(const std::string& storedName, const MemoryStream& stream) {
  std::string path = TempDir + "vdn" + ExtractFileExt(storedName);
  if (!fs_.WriteFile(path, stream.Bytes())) throw EFCreateError::CannotCreate(path);
  CurrentTempFile = path;
  return path;
}

std::string TProjectInfo::ExtractMusic(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= MusicFiles.size()) return std::string();
  std::string name = MusicFiles[static_cast<size_t>(i)];
  if (!MediaEmbedded) {
    name = ExternalFilePath(ProgramPath, name, FilesBesideProgram);
    if (!fs_.Exists(name)) {
      if (messages_) messages_->ShowMessage(FormatWithString(Texts[kMissingMusicText], name));
      return std::string();
    }
    return name;
  }
  DeleteTempFile();
  MemoryStream stream;
  // A short copy would hand the player a cut-off file.
  if (!GetMusicStream(i, stream)) return std::string();
  return WriteTempFile(name, stream);
}

std::string TProjectInfo::ExtractPictureFile(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= Pictures.size()) throw EListError::OutOfBounds(i);
  std::string name = Pictures[static_cast<size_t>(i)].FileName;
  if (!MediaEmbedded) {
    name = ExternalFilePath(ProgramPath, name, FilesBesideProgram);
    if (!fs_.Exists(name)) {
      if (messages_) messages_->ShowMessage(kFileNotFoundText + name);
      return std::string();
    }
    return name;
  }
  DeleteTempFile();
  MemoryStream stream;
  int32_t type = 0;
  if (!GetPictureStream(i, stream, type)) return std::string();
  std::string path = WriteTempFile(name, stream);
  if (messages_) messages_->ProcessPendingMessages();
  return path;
}

}  // namespace vitrine
