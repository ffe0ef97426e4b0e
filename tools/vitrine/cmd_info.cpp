// vitrine info: a package as a listing for people, or (--json) its index and every project and
// picture field, defaults included.
#include <cstdio>
#include <memory>

#include "command.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/random.h"
#include "core/text.h"
#include "flash/swf/movie.h"
#include "json.h"
#include "listing.h"
#include "package/picture_type.h"
#include "package/zov_array.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_media.h"
#include "package/project_info.h"

namespace vitrine::tool {
namespace {

// Random defaults (colours, tile count) come from a fixed seed so that the report repeats.
constexpr uint64_t kInfoSeed = 1;

Json Text(const std::string& ansi) { return Json(Cp1252ToUtf8(ansi)); }

Json Offsets(const std::vector<int32_t>& list) {
  Json::Array out;
  for (int32_t v : list) out.emplace_back(v);
  return Json(std::move(out));
}

template <class Owner>
Json FieldJson(const Owner& owner, const FieldSpec<Owner>& field) {
  return std::visit(
      [&](auto m) -> Json {
        using M = decltype(m);
        if constexpr (std::is_same_v<M, bool Owner::*>) return Json(owner.*m);
        else if constexpr (std::is_same_v<M, int32_t Owner::*>) return Json(static_cast<int64_t>(owner.*m));
        else {
          std::string text = FieldRecordText(owner, field);
          int32_t number = 0;
          if (field.Kind == FieldKind::Integer && TryStrToInt(text, number)) return Json(static_cast<int64_t>(number));
          return Text(text);
        }
      },
      field.Member);
}

Json FontJson(const FontRecord& font) {
  Json out{Json::Object{}};
  out.Add("Name", Text(font.Name));
  out.Add("Height", font.Height);
  out.Add("Color", font.Color);
  out.Add("Charset", font.Charset);
  out.Add("Bold", font.Bold);
  out.Add("Italic", font.Italic);
  out.Add("Underline", font.Underline);
  out.Add("StrikeOut", font.StrikeOut);
  return out;
}

Json PictureJson(const TPictureInfo& picture) {
  Json out{Json::Object{}};
  for (const FieldSpec<TPictureInfo>& f : PictureFields()) {
    out.Add(f.Name, FieldJson(picture, f));
    // Each font follows the field it belongs to.
    if (std::string_view(f.Name) == "Caption") out.Add("CaptionFont", FontJson(picture.CaptionFont));
    if (std::string_view(f.Name) == "MemoVisible") out.Add("MemoFont", FontJson(picture.MemoFont));
  }
  Json flash{Json::Object{}};
  for (const FieldSpec<FlashDisplaySettings>& f : FlashFields())
    flash.Add(std::to_string(f.Key), FieldJson(picture.FlashSettings, f));
  out.Add("FlashSettings", std::move(flash));
  return out;
}

Json ProjectJson(const TProjectInfo& project) {
  Json out{Json::Object{}};
  for (const FieldSpec<TProjectInfo>& f : ProjectFields()) out.Add(f.Name, FieldJson(project, f));
  Json::Array texts;
  for (const std::string& t : project.Texts) texts.push_back(Text(t));
  out.Add("Texts", Json(std::move(texts)));
  Json::Array music;
  for (const std::string& m : project.MusicFiles) music.push_back(Text(m));
  out.Add("MusicFiles", Json(std::move(music)));
  return out;
}

// What the listing says of one item, line by line; each kind has its own describer.
struct ItemContext {
  TProjectInfo& project;
  const TPictureInfo& item;
  std::string label;  // "item 3 (beach.jpg)", for warnings
  std::vector<std::string>& warnings;
};

std::string Quoted(const std::string& ansi) { return "\"" + DisplayText(ansi) + "\""; }

// The item's bytes as the show would fetch them; false (with a warning) when it can't.
bool ItemData(ItemContext& c, MemoryStream& stream, int32_t& type) {
  type = c.item.PictureType;
  bool ok = false;
  try {
    ok = c.project.GetPictureStream(c.item.PackageIndex, stream, type);
  } catch (const vitrine::Error& e) {
    c.warnings.push_back(c.label + ": its data cannot be had: " + DisplayText(e.what()));
    return false;
  }
  if (!ok) {
    c.warnings.push_back(c.label + (c.project.PicturesEmbedded ? ": its data lies outside the file"
                                                               : ": its file is missing"));
    return false;
  }
  return true;
}

void DescribeTexts(const ItemContext& c, std::vector<std::string>& lines) {
  const TPictureInfo& item = c.item;
  if (item.CaptionVisible && !item.Caption.empty()) lines.push_back("caption: " + Quoted(item.Caption));
  if (item.MemoVisible && !item.MemoText.empty()) {
    std::string memo = item.MemoText;
    for (size_t at; (at = memo.find("\r\n")) != std::string::npos;) memo.replace(at, 2, " / ");
    lines.push_back("text: " + Quoted(memo));
  }
}

void DescribeTransitions(ItemContext& c, std::vector<std::string>& lines) {
  TZovArray list;
  try {
    list.ParseList(c.item.Transitions);
  } catch (const vitrine::Error& e) {
    c.warnings.push_back(c.label + ": its transition list does not read: " + DisplayText(e.what()));
    return;
  }
  std::vector<int32_t> indices, outside;
  for (int32_t i = 0; i < list.Count(); ++i) indices.push_back(list.ValueAt(i));
  std::string text = TransitionsText(indices, outside);
  if (indices.size() > 1) text += c.item.RandomTransition ? " (at random)" : " (in turn)";
  lines.push_back("transitions: " + text);
  for (int32_t index : outside)
    c.warnings.push_back(c.label + ": transition " + std::to_string(index) +
                         " is not in the catalogue; the show halts on this item when it draws it");
}

void DescribePictureItem(ItemContext& c, std::vector<std::string>& lines) {
  MemoryStream stream;
  int32_t type = 0;
  if (!ItemData(c, stream, type)) return;
  std::string line = GroupedNumber(stream.Size()) + " bytes, " + PictureTypeName(type);
  PictureCheck check = CheckPicture(stream.Bytes(), type);
  if (check.failure.empty()) line += ", " + std::to_string(check.width) + "x" + std::to_string(check.height);
  else c.warnings.push_back(c.label + ": its data " + check.failure);
  if (!c.item.ConvertedFrom.empty()) line += ", converted from " + DisplayText(c.item.ConvertedFrom);
  lines.push_back(line);
  if (c.item.IsBackgroundImage) {
    lines.push_back("a background image only, not shown itself");
    return;
  }
  DescribeTexts(c, lines);
  DescribeTransitions(c, lines);
}

void DescribeVideoItem(ItemContext& c, std::vector<std::string>& lines) {
  MemoryStream stream;
  int32_t type = 0;
  if (!ItemData(c, stream, type)) return;
  lines.push_back(GroupedNumber(stream.Size()) + " bytes, size mode " + std::to_string(c.item.VideoSizeMode));
}

void DescribeFlashItem(ItemContext& c, std::vector<std::string>& lines) {
  MemoryStream stream;
  int32_t type = 0;
  if (!ItemData(c, stream, type)) return;
  swf::MovieInfo movie = swf::DescribeMovie(stream.Bytes());
  std::string line = GroupedNumber(stream.Size()) + " bytes";
  if (movie.version) line += ", Flash " + std::to_string(movie.version) + (movie.compressed ? " (compressed)" : "");
  if (movie.playable) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", movie.frameRate);
    line += ", " + std::to_string(movie.widthTwips / 20) + "x" + std::to_string(movie.heightTwips / 20) + ", " +
            std::to_string(movie.frameCount) + " frame" + (movie.frameCount == 1 ? "" : "s") + " at " + rate +
            " a second";
    if (movie.hasSound) line += ", with sound";
  }
  lines.push_back(line);
  if (!movie.playable) c.warnings.push_back(c.label + ": its movie does not play: " + movie.why);
  else if (movie.holdsScripts) lines.push_back("holds scripts that the player does not run; its frames still play");
}

// The music player that knows the most about lengths on this machine: the decoding one
// (MP3 and the rest) where the build has it, else the one that reads WAV and AVI headers.
std::unique_ptr<MediaPlayer> LengthReader(const EventLoop& clock, FileSystem& files) {
  return HeadlessMediaPlayerFactory(clock, files, nullptr, /*decode=*/true).CreateMusicPlayer();
}

void PrintListing(TProjectInfo& project, const std::string& path, int64_t fileSize) {
  std::vector<std::string> warnings;
  std::string name = project.SaverName.empty() ? "(no name)" : DisplayText(project.SaverName);
  std::printf("%s, version %s", name.c_str(), DisplayText(project.Version).c_str());
  if (!project.AuthorName.empty()) std::printf(", by %s", DisplayText(project.AuthorName).c_str());
  std::printf("\n%s: %s bytes, %zu item%s, %zu music file%s, shown at %d bits per pixel\n", path.c_str(),
              GroupedNumber(fileSize).c_str(), project.Pictures.size(), project.Pictures.size() == 1 ? "" : "s",
              project.MusicFiles.size(), project.MusicFiles.size() == 1 ? "" : "s", project.ColourDepth);
  if (project.Certificate.State == CertificateTableState::AtEnd)
    std::printf("signed: a certificate table of %s bytes follows the package\n",
                GroupedNumber(project.Certificate.Size).c_str());

  if (!project.Pictures.empty()) std::printf("\nItems\n");
  for (size_t i = 0; i < project.Pictures.size(); ++i) {
    const TPictureInfo& item = project.Pictures[i];
    std::string file = DisplayText(ExtractFileName(item.FileName));
    ItemContext c{project, item, "item " + std::to_string(i + 1) + " (" + file + ")", warnings};
    std::vector<std::string> lines;
    switch (item.Kind) {
      case kKindPicture: DescribePictureItem(c, lines); break;
      case kKindFlash: DescribeFlashItem(c, lines); break;
      case kKindVideo: DescribeVideoItem(c, lines); break;
      default: warnings.push_back(c.label + ": kind " + std::to_string(item.Kind) + " is none the show knows"); break;
    }
    std::printf("  %3zu. %s  %s\n", i + 1, KindName(item.Kind).c_str(), file.c_str());
    for (const std::string& line : lines) std::printf("         %s\n", line.c_str());
  }

  if (!project.MusicFiles.empty()) std::printf("\nMusic\n");
  HeadlessEventLoop clock;
  std::unique_ptr<MediaPlayer> player = LengthReader(clock, NativeFileSystem());
  for (size_t i = 0; i < project.MusicFiles.size(); ++i) {
    std::string file = DisplayText(ExtractFileName(project.MusicFiles[i]));
    std::string line;
    std::string playable = project.ExtractMusic(static_cast<int32_t>(i));
    if (playable.empty()) {
      warnings.push_back("music " + std::to_string(i + 1) + " (" + file + ") is missing");
    } else {
      int64_t size = 0;
      if (auto f = NativeFileSystem().OpenRead(playable)) size = f->Size();
      line = GroupedNumber(size) + " bytes";
      if (size == 0) warnings.push_back("music " + std::to_string(i + 1) + " (" + file + ") holds no data");
      if (player->Open(playable)) {
        int64_t length = player->LengthMs();
        if (length > 0) line += ", " + DurationText(length);
        player->Close();
      }
    }
    std::printf("  %3zu. %s%s%s\n", i + 1, file.c_str(), line.empty() ? "" : "  ", line.c_str());
  }

  if (!warnings.empty()) std::printf("\nWarnings\n");
  for (const std::string& warning : warnings) std::printf("  %s\n", warning.c_str());
}

int RunInfo(const Args& arguments) {
  Args args = arguments;
  bool json = TakeFlag(args, "--json");
  if (args.size() != 1) throw UsageError{"usage: info FILE [--json]"};
  const std::string& path = args[0];
  FileSystem& fs = NativeFileSystem();
  if (!fs.Exists(path)) throw UsageError{"cannot open " + path};

  RandomSeed(kInfoSeed);
  std::unique_ptr<TProjectInfo> opened;
  try {
    opened = std::make_unique<TProjectInfo>(path, fs);
  } catch (const vitrine::Error&) {
    // The player itself reports the trailer's conversion error; for a person the raw bytes of
    // whatever file this is say nothing.
    throw UsageError{path + " holds no package: its last 10 bytes are not the length of a package index"};
  }
  TProjectInfo& project = *opened;
  if (!project.FileHandle) throw UsageError{"cannot open " + path};
  if (project.Certificate.State == CertificateTableState::Damaged)
    throw UsageError{path + " holds no package: " + project.Certificate.DamageText()};
  if (!project.IndexRead)
    throw UsageError{path + " holds no package: its last 10 bytes give no index length from 0 to 102400 "
                            "that fits in the file"};
  const TInfoPosition& pos = project.Positions;
  Json report{Json::Object{}};
  try {
    if (!project.ReadProject())
      throw UsageError{path + ": the project record (" + std::to_string(pos.ProjectRecordStart) + " to " +
                       std::to_string(pos.IndexStart) + ") lies outside the file or is longer than 102400 bytes"};
    if (!project.ReadPictures())
      throw UsageError{path + ": the picture records (" + std::to_string(pos.PictureRecordsStart) + " to " +
                       std::to_string(pos.ProjectRecordStart) + ") lie outside the file"};
  } catch (const vitrine::Error& e) {
    throw UsageError{path + ": " + DisplayText(e.what())};
  }

  if (!json) {
    int64_t size = 0;
    GetPackageFileSize(project.FileHandle.get(), size);
    // A signed file's handle ends with its package; the listing gives the whole file.
    if (project.Certificate.State == CertificateTableState::AtEnd)
      size = project.Certificate.Offset + project.Certificate.Size;
    PrintListing(project, path, size);
    return 0;
  }
  Json positions{Json::Object{}};
  positions.Add("DataPositions", Offsets(pos.DataPositions));
  positions.Add("MusicPositions", Offsets(pos.MusicPositions));
  positions.Add("PictureRecordsStart", pos.PictureRecordsStart);
  positions.Add("ProjectRecordStart", pos.ProjectRecordStart);
  positions.Add("IndexStart", pos.IndexStart);
  report.Add("Positions", std::move(positions));
  report.Add("Project", ProjectJson(project));
  Json::Array pictures;
  for (const TPictureInfo& picture : project.Pictures) pictures.push_back(PictureJson(picture));
  report.Add("Pictures", Json(std::move(pictures)));
  std::fputs(WriteJson(report).c_str(), stdout);
  return 0;
}

}  // namespace

VITRINE_COMMAND(info, "info", "info FILE [--json]", &RunInfo);

}  // namespace vitrine::tool
