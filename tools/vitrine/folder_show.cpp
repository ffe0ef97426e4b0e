#include "folder_show.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "command.h"
#include "core/text.h"
#include "package/picture_type.h"
#include "photo/photo.h"

namespace vitrine::tool {
namespace {

namespace fs = std::filesystem;

enum class FileRole { Item, Music, Other };

FileRole RoleOf(const fs::path& path) {
  std::string ext = AsciiLower(path.extension().string());
  if (ext == ".mp3" || ext == ".wav" || ext == ".mid") return FileRole::Music;
  // .scr is also a PCX extension, but in a folder it is far more likely a packed show, and a
  // .pal beside a CUT picture is its palette.
  if (ext == ".scr" || ext == ".pal" || ext.empty()) return FileRole::Other;
  static const char* const kMedia[] = {".swf", ".avi", ".mpg", ".mpeg", ".wmv", ".asf", ".mp4", ".mov", ".mkv", ".webm"};
  for (const char* media : kMedia)
    if (ext == media) return FileRole::Item;
  // Phones' and cameras' formats are converted when packed.
  if (photo::IsPhotoFileName(path.filename().string())) return FileRole::Item;
  return PictureTypeOfFile(path.filename().string()) != kNoPictureType ? FileRole::Item : FileRole::Other;
}

// Members of override replace those of base; objects are merged member by member.
void MergeInto(Json& base, const Json& override) {
  for (const auto& [name, value] : override.AsObject()) {
    bool found = false;
    for (auto& [baseName, baseValue] : base.AsObject()) {
      if (baseName != name) continue;
      found = true;
      if (baseValue.IsObject() && value.IsObject()) MergeInto(baseValue, value);
      else baseValue = value;
    }
    if (!found) base.Add(name, value);
  }
}

Json ReadSettings(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError{"cannot read " + path.string()};
  std::stringstream text;
  text << in.rdbuf();
  try {
    return ParseJson(text.str());
  } catch (const JsonError& e) {
    throw UsageError{path.string() + ": " + e.what()};
  }
}

// What every picture of a folder show takes unless show.json says otherwise.
Json PictureDefaults() {
  Json item{Json::Object{}};
  item.Add("CaptionVisible", false);
  item.Add("MemoVisible", false);
  // The picture's own blurred copy fills what it leaves of the screen; players without that
  // kind leave the black the show starts from.
  item.Add("BackgroundKinds", "3;");
  item.Add("RandomBackgroundColor", false);
  item.Add("PlainBackgroundColor", "#000000");
  return item;
}

// show.json: "Project", "Banner", "Music" and "Defaults" as in a manifest; "AllPictures" merged into
// every item; "Pictures" either an object of overrides by file name or a whole list.
void ApplySettings(Json& manifest, const Json& settings, const std::string& where) {
  if (!settings.IsObject()) throw UsageError{where + ": must hold a JSON object"};
  Json* pictures = nullptr;
  for (auto& [name, value] : manifest.AsObject())
    if (name == "Pictures") pictures = &value;
  for (const auto& [name, value] : settings.AsObject()) {
    std::string at = where + ": " + name;
    if (name == "Project") {
      if (!value.IsObject()) throw UsageError{at + ": must be an object"};
      MergeInto(manifest, Json(Json::Object{{"Project", value}}));
    } else if (name == "Banner" || name == "Music" || name == "Defaults") {
      MergeInto(manifest, Json(Json::Object{{name, value}}));
    } else if (name == "AllPictures") {
      if (!value.IsObject()) throw UsageError{at + ": must be an object"};
      for (Json& item : pictures->AsArray()) MergeInto(item, value);
    } else if (name == "Pictures" && value.IsArray()) {
      *pictures = value;
    } else if (name == "Pictures" && value.IsObject()) {
      for (const auto& [file, overrides] : value.AsObject()) {
        Json* target = nullptr;
        for (Json& item : pictures->AsArray())
          if (item.Find("File") && item.Find("File")->AsString() == file) target = &item;
        if (!target) throw UsageError{at + "." + file + ": no such picture, video or Flash file in the folder"};
        if (!overrides.IsObject()) throw UsageError{at + "." + file + ": must be an object"};
        MergeInto(*target, overrides);
      }
    } else if (name == "Pictures") {
      throw UsageError{at + ": must be an object of overrides by file name, or a list of items"};
    } else {
      throw UsageError{at + ": unknown key (Project, Banner, Music, Defaults, AllPictures and Pictures are known)"};
    }
  }
}

}  // namespace

Json DefaultFolderManifest(const std::string& folderName, const std::vector<std::string>& items,
                           const std::vector<std::string>& music) {
  Json project{Json::Object{}};
  project.Add("SaverName", folderName);
  project.Add("ShowSeconds", 5);
  project.Add("RandomOrder", false);
  project.Add("RandomPosition", false);
  project.Add("PictureSizeMode", 1);
  // A show made today: its pictures drift and zoom while they stand, and "every transition"
  // includes the fades.
  project.Add("PanZoom", true);
  project.Add("ExtendedCatalogue", true);
  Json::Array pictures;
  for (const std::string& item : items) pictures.push_back(Json(Json::Object{{"File", Json(item)}}));
  Json::Array songs;
  for (const std::string& song : music) songs.emplace_back(song);
  Json manifest{Json::Object{}};
  manifest.Add("Project", std::move(project));
  manifest.Add("Music", Json(std::move(songs)));
  manifest.Add("Defaults", PictureDefaults());
  manifest.Add("Pictures", Json(std::move(pictures)));
  return manifest;
}

FolderShow FolderManifest(const fs::path& folder, bool recursive) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw UsageError{"no such folder: " + folder.string()};
  std::vector<std::string> items, music, skipped;
  auto consider = [&](const fs::directory_entry& entry) {
    if (!entry.is_regular_file()) return;
    std::string relative = fs::relative(entry.path(), folder).generic_string();
    if (entry.path().filename().string().starts_with(".") || relative == kFolderSettingsFile) return;
    switch (RoleOf(entry.path())) {
      case FileRole::Item: items.push_back(relative); break;
      case FileRole::Music: music.push_back(relative); break;
      case FileRole::Other: skipped.push_back(relative); break;
    }
  };
  try {
    if (recursive)
      for (const auto& entry : fs::recursive_directory_iterator(folder)) consider(entry);
    else
      for (const auto& entry : fs::directory_iterator(folder)) consider(entry);
  } catch (const fs::filesystem_error& e) {
    throw UsageError{"cannot list " + folder.string() + ": " + e.code().message()};
  }
  std::sort(items.begin(), items.end());
  std::sort(music.begin(), music.end());
  std::sort(skipped.begin(), skipped.end());

  std::string name = fs::absolute(folder).lexically_normal().filename().string();
  if (name.empty()) name = fs::absolute(folder).lexically_normal().parent_path().filename().string();
  FolderShow show{DefaultFolderManifest(name, items, music), skipped};
  fs::path settings = folder / kFolderSettingsFile;
  if (fs::exists(settings, ec)) ApplySettings(show.manifest, ReadSettings(settings), settings.string());
  return show;
}

}  // namespace vitrine::tool
