#include "package/project_info.h"

#include "core/errors.h"
#include "package/picture_type.h"

namespace vitrine {

const char* const kFileNotFoundText = "File not found : ";

namespace {

using J = TProjectInfo;
const ProjectField kProjectFields[] = {
    {"RandomPosition", 3, &J::RandomPosition},
    {"RandomOrder", 4, &J::RandomOrder},
    {"ShowSeconds", 5, &J::ShowSeconds},
    {"LoopMusic", 6, &J::LoopMusic},
    {"MusicPause", 7, &J::MusicPause},
    {"RandomMusic", 8, &J::RandomMusic},
    {"ShowBanner", 9, &J::ShowBanner},
    {"ShowAuthorInfo", 15, &J::ShowAuthorInfo},
    {"AuthorName", 16, &J::AuthorName},
    {"ShowWebsite", 17, &J::ShowWebsite},
    {"Website", 18, &J::Website},
    {"ShowEmail", 19, &J::ShowEmail},
    {"Email", 20, &J::Email},
    {"ShowHelpMenu", 24, &J::ShowHelpMenu},
    {"Version", 26, &J::Version},
    {"RightsNotice", 27, &J::RightsNotice},
    {"ShowDescription", 28, &J::ShowDescription},
    {"Description", 29, &J::Description},
    {"SaverName", 30, &J::SaverName},
    {"BannerFile", 31, &J::BannerFile},
    {"MenuEnabled", 34, &J::MenuEnabled},
    {"PicturesEmbedded", 38, &J::PicturesEmbedded},
    {"MediaEmbedded", 39, &J::MediaEmbedded},
    {"TransitionScope", 40, &J::TransitionScope},
    {"PictureSizeMode", 41, &J::PictureSizeMode},
    {"FilesBesideProgram", 93, &J::FilesBesideProgram},
};

const ProjectField* ProjectFieldByKey(uint8_t key) {
  for (const ProjectField& f : kProjectFields)
    if (f.Key == key) return &f;
  return nullptr;
}

}  // namespace

std::span<const ProjectField> ProjectFields() { return kProjectFields; }

TProjectInfo::TProjectInfo(const std::string& path, FileSystem& fs, MessageSink* messages)
    : ProgramPath(path), fs_(fs), messages_(messages) {
  TempDir = fs_.TempDir();
  if (OpenPackageFile(fs_, path, FileHandle)) IndexRead = Positions.ReadPositions(*FileHandle);
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
    const ProjectField* field = ProjectFieldByKey(key);
    if (!field) return;
    if (auto m = std::get_if<int32_t TProjectInfo::*>(&field->Member))
      this->*(*m) = FieldInteger(value);
    else if (auto b = std::get_if<bool TProjectInfo::*>(&field->Member))
      this->*(*b) = FieldBoolean(value);
    else
      this->*std::get<std::string TProjectInfo::*>(field->Member) = std::string(value);
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
