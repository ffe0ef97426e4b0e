// vitrine info: the index and every project and picture field of a package, defaults included.
#include <cstdio>

#include "command.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/random.h"
#include "core/text.h"
#include "json.h"
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
        else return Text(FieldRecordText(owner, field));
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
    if (f.Key == 8) out.Add("CaptionFont", FontJson(picture.CaptionFont));
    if (f.Key == 17) out.Add("MemoFont", FontJson(picture.MemoFont));
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

void PrintFlat(const Json& v, const std::string& path) {
  if (v.IsObject()) {
    for (const auto& [name, member] : v.AsObject()) PrintFlat(member, path.empty() ? name : path + "." + name);
  } else if (v.IsArray()) {
    const auto& items = v.AsArray();
    for (size_t i = 0; i < items.size(); ++i) PrintFlat(items[i], path + "[" + std::to_string(i) + "]");
    if (items.empty()) std::printf("%s = []\n", path.c_str());
  } else {
    std::string text = WriteJson(v);
    text.pop_back();
    std::printf("%s = %s\n", path.c_str(), text.c_str());
  }
}

int RunInfo(const Args& arguments) {
  Args args = arguments;
  bool json = TakeFlag(args, "--json");
  if (args.size() != 1) throw UsageError{"usage: info FILE [--json]"};
  const std::string& path = args[0];
  FileSystem& fs = NativeFileSystem();
  if (!fs.Exists(path)) throw UsageError{"cannot open " + path};

  RandomSeed(kInfoSeed);
  Json report{Json::Object{}};
  try {
    TProjectInfo project(path, fs);
    if (!project.FileHandle) throw UsageError{"cannot open " + path};
    const TInfoPosition& pos = project.Positions;
    if (!project.IndexRead)
      throw UsageError{path + " holds no package: its last 10 bytes give no index length from 0 to 102400 "
                              "that fits in the file"};
    if (!project.ReadProject())
      throw UsageError{path + ": the project record (" + std::to_string(pos.ProjectRecordStart) + " to " +
                       std::to_string(pos.IndexStart) + ") lies outside the file or is longer than 102400 bytes"};
    if (!project.ReadPictures())
      throw UsageError{path + ": the picture records (" + std::to_string(pos.PictureRecordsStart) + " to " +
                       std::to_string(pos.ProjectRecordStart) + ") lie outside the file"};

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
  } catch (const vitrine::Error& e) {
    throw UsageError{path + ": " + DisplayText(e.what())};
  }

  if (json) std::fputs(WriteJson(report).c_str(), stdout);
  else PrintFlat(report, "");
  return 0;
}

}  // namespace

VITRINE_COMMAND(info, "info", "info FILE [--json]", &RunInfo);

}  // namespace vitrine::tool
