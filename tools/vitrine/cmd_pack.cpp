// vitrine pack: builds a package from a JSON manifest, after the player's own bytes.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command.h"
#include "core/file_system.h"
#include "core/text.h"
#include "json.h"
#include "package/package_writer.h"
#include "package/picture_info.h"
#include "package/picture_type.h"
#include "package/project_info.h"

namespace vitrine::tool {
namespace {

struct ManifestReader {
  std::filesystem::path base;  // folder of the manifest; relative paths start there

  std::vector<uint8_t> ReadData(const std::string& path, const std::string& where) const {
    std::filesystem::path full = std::filesystem::path(path).is_absolute() ? std::filesystem::path(path) : base / path;
    MemoryStream stream;
    if (!LoadStreamFromFile(NativeFileSystem(), full.string(), stream))
      throw UsageError{where + ": cannot read " + full.string()};
    return std::move(stream.Bytes());
  }
};

const Json& Need(const Json& value, bool ok, const std::string& where, const char* kind) {
  if (!ok) throw UsageError{where + " must be " + kind + ", not " + value.KindName()};
  return value;
}

std::string TextValue(const Json& v, const std::string& where) {
  return Utf8ToCp1252(Need(v, v.IsString(), where, "a string").AsString());
}

int32_t IntegerValue(const Json& v, const std::string& where) {
  Need(v, v.IsInteger(), where, "an integer");
  if (v.AsInteger() < INT32_MIN || v.AsInteger() > INT32_MAX) throw UsageError{where + " is outside 32 bits"};
  return static_cast<int32_t>(v.AsInteger());
}

std::string BooleanValue(const Json& v, const std::string& where) {
  return Need(v, v.IsBool(), where, "true or false").AsBool() ? "1" : "0";
}

bool BoolOr(const Json* v, bool fallback, const std::string& where) {
  return v ? Need(*v, v->IsBool(), where, "true or false").AsBool() : fallback;
}

// A typed field from one of the record tables, as the text the record holds.
template <class Owner>
std::string FieldText(const FieldSpec<Owner>& field, const Json& v, const std::string& where) {
  return std::visit(
      [&](auto m) -> std::string {
        using M = decltype(m);
        if constexpr (std::is_same_v<M, bool Owner::*>) return BooleanValue(v, where);
        else if constexpr (std::is_same_v<M, int32_t Owner::*>) return std::to_string(IntegerValue(v, where));
        else return TextValue(v, where);
      },
      field.Member);
}

// "keys": [[key, "value"], ...] — raw fields, written after the named ones.
void AddRawKeys(PackageRecord& record, const Json& keys, const std::string& where) {
  Need(keys, keys.IsArray(), where, "an array of [key, value] pairs");
  for (size_t i = 0; i < keys.AsArray().size(); ++i) {
    const Json& pair = keys.AsArray()[i];
    std::string at = where + "[" + std::to_string(i) + "]";
    if (!pair.IsArray() || pair.AsArray().size() != 2) throw UsageError{at + " must be a [key, value] pair"};
    int32_t key = IntegerValue(pair.AsArray()[0], at + " key");
    if (key < 1 || key > 255) throw UsageError{at + " key must be 1 to 255"};
    const Json& value = pair.AsArray()[1];
    std::string text = value.IsInteger() ? std::to_string(IntegerValue(value, at)) : TextValue(value, at + " value");
    record.push_back({static_cast<uint8_t>(key), text});
  }
}

void AddFont(PackageRecord& record, uint8_t baseKey, const Json& font, const std::string& where) {
  Need(font, font.IsObject(), where, "an object");
  bool styled = false;
  std::string digits;
  for (const auto& [name, v] : font.AsObject()) {
    std::string at = where + "." + name;
    if (name == "Charset") record.push_back({baseKey, std::to_string(IntegerValue(v, at))});
    else if (name == "Color") record.push_back({static_cast<uint8_t>(baseKey + 1), std::to_string(IntegerValue(v, at))});
    else if (name == "Height") record.push_back({static_cast<uint8_t>(baseKey + 2), std::to_string(IntegerValue(v, at))});
    else if (name == "Name") record.push_back({static_cast<uint8_t>(baseKey + 3), TextValue(v, at)});
    else if (name == "Bold" || name == "Italic" || name == "Underline" || name == "StrikeOut") styled = true;
    else throw UsageError{"unknown font field " + at};
  }
  if (!styled) return;
  const char* styles[] = {"Bold", "Italic", "Underline", "StrikeOut"};
  for (int i = 0; i < 4; ++i)
    if (BoolOr(font.Find(styles[i]), false, where + "." + styles[i])) digits += static_cast<char>('1' + i);
  record.push_back({static_cast<uint8_t>(baseKey + 4), digits});
}

void AddFlash(PackageRecord& record, const Json& flash, const std::string& where) {
  Need(flash, flash.IsObject(), where, "an object keyed by record key");
  for (const auto& [name, v] : flash.AsObject()) {
    int32_t key = 0;
    const FieldSpec<FlashDisplaySettings>* field =
        TryStrToInt(name, key) ? FindField(FlashFields(), key) : FindField(FlashFields(), name);
    std::string at = where + "." + name;
    if (!field) throw UsageError{"unknown Flash setting " + at};
    record.push_back({static_cast<uint8_t>(field->Key), FieldText(*field, v, at)});
  }
}

struct BuiltPicture {
  PackageRecord record;
  std::vector<uint8_t> data;
};

BuiltPicture BuildPicture(const Json& item, size_t index, const ManifestReader& files, bool picturesEmbedded,
                          bool mediaEmbedded) {
  std::string where = "Pictures[" + std::to_string(index) + "]";
  Need(item, item.IsObject(), where, "an object");
  BuiltPicture out;
  const Json* file = item.Find("File");
  std::string path = file ? TextValue(*file, where + ".File") : std::string();
  int32_t kind = item.Find("Kind") ? IntegerValue(*item.Find("Kind"), where + ".Kind") : kKindPicture;
  bool embed = BoolOr(item.Find("Embed"), kind == kKindPicture ? picturesEmbedded : mediaEmbedded, where + ".Embed");
  if (file && embed) out.data = files.ReadData(file->AsString(), where + ".File");

  // What the reader needs of every record, unless the manifest says otherwise.
  if (!item.Find("PackageIndex")) out.record.push_back({1, std::to_string(index)});
  if (!item.Find("FileName")) out.record.push_back({2, path});
  if (!item.Find("DataSize")) out.record.push_back({3, std::to_string(out.data.size())});
  if (!item.Find("PictureType"))
    out.record.push_back({45, std::to_string(kind == kKindPicture ? PictureTypeOfFile(path) : kNoPictureType)});

  for (const auto& [name, v] : item.AsObject()) {
    std::string at = where + "." + name;
    if (name == "File" || name == "Embed" || name == "keys") continue;
    if (name == "CaptionFont") { AddFont(out.record, kCaptionFontKey, v, at); continue; }
    if (name == "MemoFont") { AddFont(out.record, kMemoFontKey, v, at); continue; }
    if (name == "FlashSettings") { AddFlash(out.record, v, at); continue; }
    const FieldSpec<TPictureInfo>* field = FindField(PictureFields(), name);
    if (!field) throw UsageError{"unknown picture field " + at};
    out.record.push_back({static_cast<uint8_t>(field->Key), FieldText(*field, v, at)});
  }
  if (const Json* keys = item.Find("keys")) AddRawKeys(out.record, *keys, where + ".keys");
  return out;
}

void AddTexts(PackageRecord& record, const Json& texts, const std::string& where) {
  if (texts.IsArray()) {
    if (texts.AsArray().size() > kTextCount) throw UsageError{where + " holds more than 51 texts"};
    for (size_t i = 0; i < texts.AsArray().size(); ++i)
      record.push_back({static_cast<uint8_t>(kFirstTextKey + i),
                        TextValue(texts.AsArray()[i], where + "[" + std::to_string(i) + "]")});
    return;
  }
  Need(texts, texts.IsObject(), where, "an array of 51 texts or an object keyed by record key");
  for (const auto& [name, v] : texts.AsObject()) {
    int32_t key = 0;
    if (!TryStrToInt(name, key) || key < kFirstTextKey || key >= kFirstTextKey + kTextCount)
      throw UsageError{where + "." + name + ": text keys are 42 to 92"};
    record.push_back({static_cast<uint8_t>(key), TextValue(v, where + "." + name)});
  }
}

int RunPack(const Args& arguments) {
  Args args = arguments;
  std::string out = TakeOption(args, "-o");
  std::string player = TakeOption(args, "--player");
  if (args.size() != 1 || out.empty()) throw UsageError{"usage: pack MANIFEST.json -o OUT [--player EXE]"};

  std::ifstream in(args[0], std::ios::binary);
  if (!in) throw UsageError{"cannot read " + args[0]};
  std::stringstream text;
  text << in.rdbuf();
  Json manifest;
  try {
    manifest = ParseJson(text.str());
  } catch (const JsonError& e) {
    throw UsageError{args[0] + ": " + e.what()};
  }
  Need(manifest, manifest.IsObject(), "the manifest", "an object");
  for (const auto& [name, v] : manifest.AsObject())
    if (name != "Project" && name != "Banner" && name != "Music" && name != "Pictures")
      throw UsageError{"unknown manifest member " + name};

  ManifestReader files{std::filesystem::path(args[0]).parent_path()};
  static const Json kEmptyObject{Json::Object{}};
  static const Json kEmptyArray{Json::Array{}};
  const Json& project = manifest.Find("Project") ? *manifest.Find("Project") : kEmptyObject;
  Need(project, project.IsObject(), "Project", "an object");
  bool picturesEmbedded = BoolOr(project.Find("PicturesEmbedded"), true, "Project.PicturesEmbedded");
  bool mediaEmbedded = BoolOr(project.Find("MediaEmbedded"), true, "Project.MediaEmbedded");

  PackageContent content;
  PackageRecord& record = content.ProjectRecord;
  for (const auto& [name, v] : project.AsObject()) {
    std::string at = "Project." + name;
    if (name == "keys") continue;
    if (name == "Texts") { AddTexts(record, v, at); continue; }
    if (name == "MusicFiles") {
      Need(v, v.IsArray(), at, "an array of strings");
      for (const Json& music : v.AsArray()) record.push_back({kMusicFileKey, TextValue(music, at)});
      continue;
    }
    const FieldSpec<TProjectInfo>* field = FindField(ProjectFields(), name);
    if (!field) throw UsageError{"unknown project field " + at};
    record.push_back({static_cast<uint8_t>(field->Key), FieldText(*field, v, at)});
  }

  if (const Json* banner = manifest.Find("Banner")) {
    std::string path = TextValue(*banner, "Banner");
    if (picturesEmbedded) content.Banner = files.ReadData(banner->AsString(), "Banner");
    if (!project.Find("BannerFile")) record.push_back({31, path});
  }
  const Json& music = manifest.Find("Music") ? *manifest.Find("Music") : kEmptyArray;
  Need(music, music.IsArray(), "Music", "an array of file paths");
  for (size_t i = 0; i < music.AsArray().size(); ++i) {
    std::string at = "Music[" + std::to_string(i) + "]";
    const Json& entry = music.AsArray()[i];
    std::string path = TextValue(entry, at);
    content.Music.push_back(mediaEmbedded ? files.ReadData(entry.AsString(), at) : std::vector<uint8_t>());
    if (!project.Find("MusicFiles")) record.push_back({kMusicFileKey, path});
  }
  if (const Json* keys = project.Find("keys")) AddRawKeys(record, *keys, "Project.keys");

  const Json& pictures = manifest.Find("Pictures") ? *manifest.Find("Pictures") : kEmptyArray;
  Need(pictures, pictures.IsArray(), "Pictures", "an array");
  for (size_t i = 0; i < pictures.AsArray().size(); ++i) {
    BuiltPicture picture = BuildPicture(pictures.AsArray()[i], i, files, picturesEmbedded, mediaEmbedded);
    content.PictureRecords.push_back(std::move(picture.record));
    content.ItemData.push_back(std::move(picture.data));
  }

  std::vector<uint8_t> bytes;
  if (!player.empty()) {
    MemoryStream exe;
    if (!LoadStreamFromFile(NativeFileSystem(), player, exe)) throw UsageError{"cannot read " + player};
    bytes = std::move(exe.Bytes());
  }
  std::vector<uint8_t> package = BuildPackage(content, static_cast<int64_t>(bytes.size()));
  bytes.insert(bytes.end(), package.begin(), package.end());
  if (!NativeFileSystem().WriteFile(out, bytes)) throw UsageError{"cannot write " + out};
  return 0;
}

}  // namespace

VITRINE_COMMAND(pack, "pack", "pack MANIFEST.json -o OUT [--player EXE]", &RunPack);

}  // namespace vitrine::tool
