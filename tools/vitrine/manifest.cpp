#include "manifest.h"

#include <cmath>
#include <set>

#include "command.h"
#include "listing.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/text.h"
#include "package/picture_info.h"
#include "package/picture_loading.h"
#include "package/picture_type.h"
#include "package/project_info.h"
#include "package/zov_array.h"
#include "photo/captions.h"
#include "photo/photo_convert.h"
#include "transitions/catalogue.h"

namespace vitrine::tool {

bool ParseHexColour(const std::string& text, int32_t& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return false;
    rgb = rgb * 16 + static_cast<uint32_t>(digit);
  }
  uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  colour = static_cast<int32_t>(b << 16 | g << 8 | r);
  return true;
}

int32_t HeightOfPoints(double points) { return -static_cast<int32_t>(std::lround(points * 96.0 / 72.0)); }

int32_t TransitionIndexOfName(const std::string& name) {
  const TransitionTable& catalogue = TransitionCatalogue();
  std::string wanted = AsciiLower(name);
  for (int32_t i = 0; i < kTransitionCount; ++i)
    if (AsciiLower(catalogue[static_cast<size_t>(i)].name) == wanted) return i;
  return -2;
}

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& where, const std::string& reason) { throw UsageError{where + ": " + reason}; }

const Json& Need(const Json& value, bool ok, const std::string& where, const char* kind) {
  if (!ok) Fail(where, std::string("must be ") + kind + ", not " + value.KindName());
  return value;
}

std::string TextValue(const Json& v, const std::string& where) {
  std::string text = Utf8ToCp1252(Need(v, v.IsString(), where, "a string").AsString());
  // Byte 0x80 ends a record field and 0x00 ends a record area: neither can be stored.
  if (text.find('\x80') != std::string::npos)
    Fail(where, "holds the euro sign, which is byte 0x80 in Windows-1252 and ends a record field; write EUR");
  if (text.find('\0') != std::string::npos) Fail(where, "holds a NUL character, which ends a record");
  return text;
}

int32_t IntegerValue(const Json& v, const std::string& where) {
  Need(v, v.IsInteger(), where, "an integer");
  if (v.AsInteger() < INT32_MIN || v.AsInteger() > INT32_MAX) Fail(where, "is outside 32 bits");
  return static_cast<int32_t>(v.AsInteger());
}

bool BoolValue(const Json& v, const std::string& where) { return Need(v, v.IsBool(), where, "true or false").AsBool(); }

bool BoolOr(const Json* v, bool fallback, const std::string& where) { return v ? BoolValue(*v, where) : fallback; }

int32_t ColourValue(const Json& v, const std::string& where) {
  if (v.IsInteger()) return IntegerValue(v, where);
  int32_t colour = 0;
  if (v.IsString() && ParseHexColour(v.AsString(), colour)) return colour;
  if (v.IsString()) Fail(where, "\"" + v.AsString() + "\" is not a colour; write \"#RRGGBB\" or a number");
  Fail(where, std::string("must be a colour (\"#RRGGBB\" or a number), not ") + v.KindName());
}

// A list text as the player parses it; every number must convert.
std::vector<int32_t> ListNumbers(const std::string& text, const std::string& where) {
  TZovArray list;
  try {
    list.ParseList(text);
  } catch (const vitrine::Error& e) {
    Fail(where, DisplayText(e.what()));
  }
  std::vector<int32_t> out;
  for (int32_t i = 0; i < list.Count(); ++i) out.push_back(list.ValueAt(i));
  return out;
}

std::string ListText(const std::vector<int32_t>& numbers) {
  std::string out;
  for (int32_t n : numbers) out += std::to_string(n) + ";";
  return out;
}

// A list field: its raw text ("0;2;"), kept as written, or an array of numbers (for
// transitions also of catalogue names).
std::string ListValue(const Json& v, const std::string& where, bool transitions) {
  std::vector<int32_t> numbers;
  std::string text;
  if (v.IsString()) {
    text = TextValue(v, where);
    numbers = ListNumbers(text, where);
  } else if (v.IsArray()) {
    for (size_t i = 0; i < v.AsArray().size(); ++i) {
      const Json& entry = v.AsArray()[i];
      std::string at = where + "[" + std::to_string(i) + "]";
      if (transitions && entry.IsString()) {
        int32_t index = TransitionIndexOfName(entry.AsString());
        if (index < 0) Fail(at, "\"" + entry.AsString() + "\" is not a transition of the catalogue");
        numbers.push_back(index);
      } else {
        if (transitions && !entry.IsInteger()) Need(entry, false, at, "a transition name or index");
        numbers.push_back(IntegerValue(entry, at));
      }
    }
    text = ListText(numbers);
  } else {
    Need(v, false, where, transitions ? "a list of transition names or indices" : "a list of numbers");
  }
  if (transitions) {
    // The player runs nothing for an index outside the catalogue, and its show stops there.
    for (int32_t n : numbers)
      if (n < -1 || n >= kTransitionCount)
        Fail(where, "transition " + std::to_string(n) + " is not in the catalogue (0 to " + std::to_string(kTransitionCount - 1) + ", or -1 for none)");
  }
  return text;
}

void CheckLength(const std::string& text, size_t limit, const std::string& where) {
  if (limit && text.size() > limit)
    Fail(where, std::to_string(text.size()) + " characters, but the player keeps only the first " +
                    std::to_string(limit));
}

// The record text of a manifest value for one row of a field table.
template <class Owner>
std::string FieldText(const FieldSpec<Owner>& field, const Json& v, const std::string& where) {
  std::string text;
  switch (field.Kind) {
    case FieldKind::Boolean: text = BoolValue(v, where) ? "1" : "0"; break;
    case FieldKind::Integer: text = std::to_string(IntegerValue(v, where)); break;
    case FieldKind::Colour: text = std::to_string(ColourValue(v, where)); break;
    case FieldKind::IntegerList: text = ListValue(v, where, false); break;
    case FieldKind::TransitionList: text = ListValue(v, where, true); break;
    case FieldKind::Text:
    case FieldKind::FontStyle: text = TextValue(v, where); break;
  }
  CheckLength(text, field.MaxLength, where);
  return text;
}

uint8_t KeyOf(int key) { return static_cast<uint8_t>(key); }

template <class Owner>
uint8_t KeyNamed(FieldTable<Owner> table, const char* name) {
  return KeyOf(FindField(table, std::string_view(name))->Key);
}

// "keys": [[key, "value"], ...] — raw fields, written after the named ones.
void AddRawKeys(PackageRecord& record, const Json& keys, const std::string& where) {
  Need(keys, keys.IsArray(), where, "an array of [key, value] pairs");
  for (size_t i = 0; i < keys.AsArray().size(); ++i) {
    const Json& pair = keys.AsArray()[i];
    std::string at = where + "[" + std::to_string(i) + "]";
    if (!pair.IsArray() || pair.AsArray().size() != 2) Fail(at, "must be a [key, value] pair");
    int32_t key = IntegerValue(pair.AsArray()[0], at + "[0]");
    if (key < 1 || key > 255) Fail(at + "[0]", "a key must be 1 to 255");
    const Json& value = pair.AsArray()[1];
    std::string text = value.IsInteger() ? std::to_string(IntegerValue(value, at + "[1]")) : TextValue(value, at + "[1]");
    record.push_back({KeyOf(key), text});
  }
}

void AddFont(PackageRecord& record, uint8_t baseKey, const Json& font, const std::string& where) {
  Need(font, font.IsObject(), where, "an object");
  static const char* const kStyles[] = {"Bold", "Italic", "Underline", "StrikeOut"};
  if (font.Find("Size") && font.Find("Height")) Fail(where + ".Size", "give Size (points) or Height (pixels), not both");
  bool styled = false;
  for (const auto& [name, v] : font.AsObject()) {
    std::string at = where + "." + name;
    if (name == "Bold" || name == "Italic" || name == "Underline" || name == "StrikeOut") {
      BoolValue(v, at);
      styled = true;
      continue;
    }
    if (name == "Size") {
      if (!v.IsNumber() || v.IsBool()) Need(v, false, at, "a number of points");
      double points = v.IsInteger() ? static_cast<double>(v.AsInteger()) : std::get<double>(v.Raw());
      if (!(points > 0 && points <= 1000)) Fail(at, "must be 1 to 1000 points");
      record.push_back({KeyOf(baseKey + FindField(FontFields(), std::string_view("Height"))->Key),
                        std::to_string(HeightOfPoints(points))});
      continue;
    }
    const FieldSpec<FontRecord>* field = FindField(FontFields(), std::string_view(name));
    if (!field || field->Kind == FieldKind::FontStyle) Fail(at, "unknown font key");
    record.push_back({KeyOf(baseKey + field->Key), FieldText(*field, v, at)});
  }
  if (!styled) return;
  std::string digits;
  for (int i = 0; i < 4; ++i)
    if (BoolOr(font.Find(kStyles[i]), false, where + "." + kStyles[i])) digits += static_cast<char>('1' + i);
  record.push_back({KeyOf(baseKey + FindField(FontFields(), std::string_view("Style"))->Key), digits});
}

void AddFlash(PackageRecord& record, const Json& flash, const std::string& where) {
  Need(flash, flash.IsObject(), where, "an object keyed by setting name or record key");
  for (const auto& [name, v] : flash.AsObject()) {
    int32_t key = 0;
    const FieldSpec<FlashDisplaySettings>* field =
        TryStrToInt(name, key) ? FindField(FlashFields(), key) : FindField(FlashFields(), std::string_view(name));
    std::string at = where + "." + name;
    if (!field) Fail(at, "unknown Flash setting");
    record.push_back({KeyOf(field->Key), FieldText(*field, v, at)});
  }
}

void AddTexts(PackageRecord& record, const Json& texts, const std::string& where) {
  if (texts.IsArray()) {
    if (texts.AsArray().size() > kTextCount) Fail(where, "holds more than 51 texts");
    for (size_t i = 0; i < texts.AsArray().size(); ++i)
      record.push_back({KeyOf(kFirstTextKey + static_cast<int>(i)),
                        TextValue(texts.AsArray()[i], where + "[" + std::to_string(i) + "]")});
    return;
  }
  Need(texts, texts.IsObject(), where, "an array of 51 texts or an object keyed by role name or record key");
  for (const auto& [name, v] : texts.AsObject()) {
    int32_t key = 0;
    for (const TextRole& role : TextRoles())
      if (name == role.Name) key = role.Key;
    if (key == 0 && (!TryStrToInt(name, key) || key < kFirstTextKey || key >= kFirstTextKey + kTextCount))
      Fail(where + "." + name, "not a text role, and text keys are 42 to 92");
    record.push_back({KeyOf(key), TextValue(v, where + "." + name)});
  }
}

// Video and Flash files by extension; everything else is a picture.
int32_t KindOfFile(const std::string& path) {
  std::string ext = AsciiLower(fs::path(path).extension().string());
  if (ext == ".swf") return kKindFlash;
  static const std::set<std::string> kVideo = {".avi", ".mpg", ".mpeg", ".wmv", ".asf", ".mp4", ".mov", ".mkv", ".webm"};
  return kVideo.count(ext) ? kKindVideo : kKindPicture;
}

class ManifestFiles {
 public:
  ManifestFiles(fs::path base, int64_t prefixBytes) : base_(std::move(base)), total_(prefixBytes) {}

  fs::path Full(const std::string& path) const {
    fs::path p = fs::u8path(path);
    return p.is_absolute() ? p : base_ / p;
  }

  // The file's bytes; the running total must stay within what the index can address, which
  // is checked before anything is read.
  std::vector<uint8_t> Read(const std::string& path, const std::string& where) {
    fs::path full = Full(path);
    std::error_code ec;
    auto size = fs::file_size(full, ec);
    if (ec || !fs::is_regular_file(full)) Fail(where, "cannot read " + full.string());
    total_ += static_cast<int64_t>(size);
    if (total_ > kMaxPackageFileSize)
      Fail(where, "with this file the package passes " + std::to_string(kMaxPackageFileSize) +
                      " bytes, the most its index can address");
    MemoryStream stream;
    if (!LoadStreamFromFile(NativeFileSystem(), full.string(), stream)) Fail(where, "cannot read " + full.string());
    return std::move(stream.Bytes());
  }

  int64_t Total() const { return total_; }

 private:
  fs::path base_;
  int64_t total_;
};

// Decodes a picture as the show would; the reason it fails, or empty.
std::string DecodeCheck(const std::vector<uint8_t>& data, int32_t type, int32_t& width, int32_t& height) {
  PictureCheck check = CheckPicture(data, type);
  width = check.width;
  height = check.height;
  return check.failure;
}

// The picture type of a file's bytes, by content where its first bytes tell, with a warning
// when its name says otherwise.
int32_t TypeOfPicture(const std::vector<uint8_t>& data, const std::string& path, const std::string& where,
                      std::vector<std::string>& warnings) {
  int32_t byName = PictureTypeOfFile(path);
  int32_t byContent = PictureTypeOfContent(data);
  if (byContent == kNoPictureType) return byName;
  // A name without a picture extension says nothing to disagree with.
  if (byName != kNoPictureType && byName != byContent)
    warnings.push_back(where + ": " + path + " holds a " + PictureTypeName(byContent) + " picture, not what its name says (" +
                       PictureTypeName(byName) + "); packed as " + PictureTypeName(byContent));
  return byContent;
}

struct Defaults {
  bool picturesEmbedded = true;
  bool mediaEmbedded = true;
  const Json* pictureKeys = nullptr;  // the manifest's "Defaults": keys every item takes unless it has its own
};

// A picture file that does not decode: the pack fails on it, or leaves it out with skipBad.
struct BadPicture {
  std::string message;
};

// An item with the manifest's Defaults added where it has no key of its own.
Json WithDefaults(const Json& item, const Defaults& defaults) {
  Json merged = item;
  if (!defaults.pictureKeys || !item.IsObject()) return merged;
  for (const auto& [name, value] : defaults.pictureKeys->AsObject())
    if (!item.Find(name)) merged.Add(name, value);
  return merged;
}

// Caption and MemoText with their placeholders filled from the picture's metadata.
Json FilledText(const Json& value, const photo::PreparedPicture& prepared, const std::string& file) {
  if (!value.IsString() || !photo::HasPlaceholders(value.AsString())) return value;
  photo::CaptionFacts facts;
  facts.exif = photo::ReadExif(prepared.exif);
  facts.xmpTitle = photo::XmpTitle(prepared.xmp);
  facts.fileStem = fs::u8path(file).stem().string();
  return Json(photo::FillPlaceholders(value.AsString(), facts));
}

void PlanPicture(const Json& given, size_t index, size_t packageIndex, ManifestFiles& files, const Defaults& defaults,
                 const PlanOptions& options, PackagePlan& plan) {
  std::string where = "Pictures[" + std::to_string(index) + "]";
  Need(given, given.IsObject(), where, "an object");
  Json item = WithDefaults(given, defaults);
  FieldTable<TPictureInfo> table = PictureFields();
  PackageRecord record;
  PlannedItem planned;
  std::vector<uint8_t> data;

  const Json* file = item.Find("File");
  std::string path = file ? TextValue(*file, where + ".File") : std::string();
  planned.file = file ? file->AsString() : std::string();
  int32_t kind = item.Find("Kind") ? IntegerValue(*item.Find("Kind"), where + ".Kind") : KindOfFile(planned.file);
  if (kind != kKindPicture && kind != kKindFlash && kind != kKindVideo)
    Fail(where + ".Kind", "must be 0 (picture), 1 (Flash movie) or 2 (video)");
  bool embed = BoolOr(item.Find("Embed"), kind == kKindPicture ? defaults.picturesEmbedded : defaults.mediaEmbedded,
                      where + ".Embed");
  if (file && embed) data = files.Read(file->AsString(), where + ".File");

  photo::PreparedPicture prepared;
  int32_t type = kNoPictureType;
  bool photoFile = kind == kKindPicture && embed && file && photo::PhotoFormatOfContent(data) != photo::PhotoFormat::None;
  if (kind == kKindPicture && !embed && file && photo::IsPhotoFileName(path))
    Fail(where + ".Embed", planned.file + " is a picture the player cannot read; only an embedded one is converted");
  if (const Json* given = item.Find("PictureType")) type = IntegerValue(*given, where + ".PictureType");
  else if (kind == kKindPicture && !photoFile)
    type = embed && file ? TypeOfPicture(data, path, where + ".File", plan.warnings) : PictureTypeOfFile(path);

  if (kind == kKindPicture && embed && file) {
    int32_t width = 0, height = 0;
    if (!photoFile) {
      std::string reason = DecodeCheck(data, type, width, height);
      if (!reason.empty()) throw BadPicture{where + ".File: " + planned.file + " " + reason};
    }
    try {
      photo::PrepareOptions prepare;
      prepare.maxWidth = options.maxWidth;
      prepare.maxHeight = options.maxHeight;
      prepared = photo::PreparePicture(data, type, width, height, prepare);
    } catch (const photo::PhotoError& e) {
      throw BadPicture{where + ".File: " + planned.file + " " + e.what()};
    } catch (const std::exception& e) {
      throw BadPicture{where + ".File: " + planned.file + " cannot be converted: " + e.what()};
    }
    if (!prepared.convertedFrom.empty()) {
      data = std::move(prepared.data);
      if (!item.Find("PictureType")) type = prepared.pictureType;
    }
    planned.width = prepared.width;
    planned.height = prepared.height;
    planned.convertedFrom = prepared.convertedFrom;
  }

  // What the reader needs of every record, unless the manifest says otherwise.
  if (!item.Find("PackageIndex")) record.push_back({KeyNamed(table, "PackageIndex"), std::to_string(packageIndex)});
  if (!item.Find("FileName")) {
    CheckLength(path, FindField(table, std::string_view("FileName"))->MaxLength, where + ".File");
    record.push_back({KeyNamed(table, "FileName"), path});
  }
  if (!item.Find("DataSize")) record.push_back({KeyNamed(table, "DataSize"), std::to_string(data.size())});
  if (!item.Find("PictureType")) record.push_back({KeyNamed(table, "PictureType"), std::to_string(type)});
  if (!item.Find("Kind") && kind != kKindPicture) record.push_back({KeyNamed(table, "Kind"), std::to_string(kind)});
  if (!item.Find("ConvertedFrom") && !planned.convertedFrom.empty())
    record.push_back({KeyNamed(table, "ConvertedFrom"), planned.convertedFrom});

  for (const auto& [name, v] : item.AsObject()) {
    std::string at = where + "." + name;
    if (name == "File" || name == "Embed" || name == "keys") continue;
    if (name == "CaptionFont") { AddFont(record, kCaptionFontKey, v, at); continue; }
    if (name == "MemoFont") { AddFont(record, kMemoFontKey, v, at); continue; }
    if (name == "FlashSettings") { AddFlash(record, v, at); continue; }
    const FieldSpec<TPictureInfo>* field = FindField(table, std::string_view(name));
    if (!field) Fail(at, "unknown picture key");
    if (name == "Caption" || name == "MemoText") {
      record.push_back({KeyOf(field->Key), FieldText(*field, FilledText(v, prepared, planned.file), at)});
      continue;
    }
    record.push_back({KeyOf(field->Key), FieldText(*field, v, at)});
  }
  if (const Json* keys = item.Find("keys")) AddRawKeys(record, *keys, where + ".keys");

  planned.kind = kind;
  planned.pictureType = type;
  planned.size = static_cast<int64_t>(data.size());
  planned.embedded = embed;
  plan.items.push_back(planned);
  plan.content.PictureRecords.push_back(std::move(record));
  plan.content.ItemData.push_back(std::move(data));
}

}  // namespace

PackagePlan PlanPackage(const Json& manifest, const fs::path& base, int64_t prefixBytes, const PlanOptions& options) {
  Need(manifest, manifest.IsObject(), "the manifest", "an object");
  for (const auto& [name, v] : manifest.AsObject())
    if (name != "Project" && name != "Banner" && name != "Music" && name != "Pictures" && name != "Defaults")
      Fail(name, "unknown manifest key");

  PackagePlan plan;
  ManifestFiles files(base, prefixBytes);
  static const Json kEmptyObject{Json::Object{}};
  static const Json kEmptyArray{Json::Array{}};
  const Json& project = manifest.Find("Project") ? *manifest.Find("Project") : kEmptyObject;
  Need(project, project.IsObject(), "Project", "an object");
  Defaults defaults;
  defaults.picturesEmbedded = BoolOr(project.Find("PicturesEmbedded"), true, "Project.PicturesEmbedded");
  defaults.mediaEmbedded = BoolOr(project.Find("MediaEmbedded"), true, "Project.MediaEmbedded");
  if (const Json* keys = manifest.Find("Defaults")) defaults.pictureKeys = &Need(*keys, keys->IsObject(), "Defaults", "an object of picture keys");

  PackageRecord& record = plan.content.ProjectRecord;
  for (const auto& [name, v] : project.AsObject()) {
    std::string at = "Project." + name;
    if (name == "keys") continue;
    if (name == "Texts") { AddTexts(record, v, at); continue; }
    if (name == "MusicFiles") {
      Need(v, v.IsArray(), at, "an array of strings");
      for (size_t i = 0; i < v.AsArray().size(); ++i)
        record.push_back({kMusicFileKey, TextValue(v.AsArray()[i], at + "[" + std::to_string(i) + "]")});
      continue;
    }
    const FieldSpec<TProjectInfo>* field = FindField(ProjectFields(), std::string_view(name));
    if (!field) Fail(at, "unknown project key");
    std::string text = FieldText(*field, v, at);
    // The player reads any other depth as 16: a typo must not pass unnoticed.
    if (name == "ColourDepth" && text != "16" && text != "32") Fail(at, "must be 16 or 32");
    record.push_back({KeyOf(field->Key), text});
  }

  // New packages shuffle without repeats unless the manifest says otherwise; older players skip
  // the key and draw at random as they always did.
  if (!project.Find("ShuffleWithoutRepeats")) record.push_back({KeyNamed(ProjectFields(), "ShuffleWithoutRepeats"), "1"});
  // New packages draw in true colour; older players skip the key and stay at 16 bits.
  if (!project.Find("ColourDepth")) record.push_back({KeyNamed(ProjectFields(), "ColourDepth"), "32"});

  if (const Json* banner = manifest.Find("Banner")) {
    std::string path = TextValue(*banner, "Banner");
    if (defaults.picturesEmbedded) {
      plan.content.Banner = files.Read(banner->AsString(), "Banner");
      int32_t w = 0, h = 0;
      int32_t type = PictureTypeOfFile(path);
      // The settings dialog decodes the banner by its name's extension.
      std::string reason = DecodeCheck(plan.content.Banner, type, w, h);
      if (!reason.empty()) Fail("Banner", banner->AsString() + " " + reason);
    }
    if (!project.Find("BannerFile")) record.push_back({KeyNamed(ProjectFields(), "BannerFile"), path});
  }
  const Json& music = manifest.Find("Music") ? *manifest.Find("Music") : kEmptyArray;
  Need(music, music.IsArray(), "Music", "an array of file paths");
  for (size_t i = 0; i < music.AsArray().size(); ++i) {
    std::string at = "Music[" + std::to_string(i) + "]";
    const Json& entry = music.AsArray()[i];
    std::string path = TextValue(entry, at);
    plan.content.Music.push_back(defaults.mediaEmbedded ? files.Read(entry.AsString(), at) : std::vector<uint8_t>());
    plan.music.push_back(entry.AsString());
    if (!project.Find("MusicFiles")) record.push_back({kMusicFileKey, path});
  }
  if (const Json* keys = project.Find("keys")) AddRawKeys(record, *keys, "Project.keys");

  const Json& pictures = manifest.Find("Pictures") ? *manifest.Find("Pictures") : kEmptyArray;
  Need(pictures, pictures.IsArray(), "Pictures", "an array");
  for (size_t i = 0; i < pictures.AsArray().size(); ++i) {
    try {
      PlanPicture(pictures.AsArray()[i], i, plan.items.size(), files, defaults, options, plan);
    } catch (const BadPicture& bad) {
      if (!options.skipBad) throw UsageError{bad.message};
      plan.skippedBad.push_back(bad.message);
    }
  }
  plan.dataBytes = files.Total() - prefixBytes;
  return plan;
}

}  // namespace vitrine::tool
