// vitrine pack: builds a package from a folder or a JSON manifest, after the player's own bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command.h"
#include "core/file_system.h"
#include "folder_show.h"
#include "json.h"
#include "listing.h"
#include "manifest.h"
#include "core/errors.h"
#include "package/certificate_table.h"
#include "package/picture_info.h"
#include "package/picture_type.h"

namespace vitrine::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "pack FOLDER|MANIFEST.json -o OUT [--player EXE] [--recursive] [--dry-run] [--max-size WxH] [--skip-bad]";

// "--max-size 3840x2160".
void ParseMaxSize(const std::string& text, PlanOptions& options) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w < 16 || h < 16)
    throw UsageError{"--max-size takes WIDTHxHEIGHT, each at least 16, as 7680x4320; not " + text};
  options.maxWidth = w;
  options.maxHeight = h;
}

Json ReadManifest(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError{"cannot read " + path};
  std::stringstream text;
  text << in.rdbuf();
  try {
    return ParseJson(text.str());
  } catch (const JsonError& e) {
    throw UsageError{path + ": " + e.what()};
  }
}

void PrintPlan(const PackagePlan& plan, const std::string& out, const std::vector<std::string>& skipped) {
  std::printf("would pack %zu item%s and %zu music file%s (%s bytes of data)%s%s\n", plan.items.size(),
              plan.items.size() == 1 ? "" : "s", plan.music.size(), plan.music.size() == 1 ? "" : "s",
              GroupedNumber(plan.dataBytes).c_str(), out.empty() ? "" : " into ", out.c_str());
  for (size_t i = 0; i < plan.items.size(); ++i) {
    const PlannedItem& item = plan.items[i];
    std::string what = KindName(item.kind);
    if (item.kind == kKindPicture) {
      what += std::string(", ") + PictureTypeName(item.pictureType);
      if (item.width > 0) what += " " + std::to_string(item.width) + "x" + std::to_string(item.height);
      if (!item.convertedFrom.empty()) what += " converted from " + item.convertedFrom;
    }
    std::string size = item.embedded ? GroupedNumber(item.size) + " bytes" : "not embedded";
    std::printf("  %3zu. %s  (%s, %s)\n", i + 1, item.file.c_str(), what.c_str(), size.c_str());
  }
  for (size_t i = 0; i < plan.music.size(); ++i) std::printf("  music %zu. %s\n", i + 1, plan.music[i].c_str());
  for (const std::string& file : skipped) std::printf("  skipped: %s\n", file.c_str());
  for (const std::string& bad : plan.skippedBad) std::printf("  left out: %s\n", bad.c_str());
}

int RunPack(const Args& arguments) {
  Args args = arguments;
  std::string out = TakeOption(args, "-o");
  std::string player = TakeOption(args, "--player");
  bool recursive = TakeFlag(args, "--recursive");
  bool dryRun = TakeFlag(args, "--dry-run");
  PlanOptions options;
  options.skipBad = TakeFlag(args, "--skip-bad");
  std::string maxSize = TakeOption(args, "--max-size");
  if (!maxSize.empty()) ParseMaxSize(maxSize, options);
  if (args.size() != 1 || (out.empty() && !dryRun)) throw UsageError{std::string("usage: ") + kUsage};
  const std::string& source = args[0];

  std::error_code ec;
  bool folder = fs::is_directory(source, ec);
  if (recursive && !folder) throw UsageError{"--recursive is for a folder; " + source + " is not one"};
  Json manifest;
  fs::path base;
  std::vector<std::string> skipped;
  if (folder) {
    FolderShow show = FolderManifest(source, recursive);
    manifest = std::move(show.manifest);
    skipped = std::move(show.skipped);
    base = source;
  } else {
    manifest = ReadManifest(source);
    base = fs::path(source).parent_path();
  }

  std::vector<uint8_t> bytes;
  if (!player.empty()) {
    MemoryStream exe;
    if (!LoadStreamFromFile(NativeFileSystem(), player, exe)) throw UsageError{"cannot read " + player};
    bytes = std::move(exe.Bytes());
    // A signed player's signature cannot hold for the saver; dropping it lets the saver be
    // signed as a whole.
    try {
      if (StripCertificateTable(bytes))
        std::fprintf(stderr, "vitrine pack: %s was signed; its signature was left out so that the saver can be signed\n",
                     player.c_str());
    } catch (const Error& e) {
      throw UsageError{player + ": " + e.what()};
    }
  }
  PackagePlan plan = PlanPackage(manifest, base, static_cast<int64_t>(bytes.size()), options);
  for (const std::string& warning : plan.warnings) std::fprintf(stderr, "vitrine pack: warning: %s\n", warning.c_str());
  if (!dryRun)
    for (const std::string& bad : plan.skippedBad) std::fprintf(stderr, "vitrine pack: left out %s\n", bad.c_str());
  if (dryRun) {
    PrintPlan(plan, out, skipped);
    if (folder) std::printf("as a manifest:\n%s", WriteJson(manifest).c_str());
    return 0;
  }
  if (folder && plan.items.empty()) throw UsageError{source + " holds no picture, video or Flash file"};

  std::vector<uint8_t> package;
  try {
    package = BuildPackage(plan.content, static_cast<int64_t>(bytes.size()));
  } catch (const EPackageBuildError& e) {
    throw UsageError{e.what()};
  }
  bytes.insert(bytes.end(), package.begin(), package.end());
  if (!NativeFileSystem().WriteFile(out, bytes)) throw UsageError{"cannot write " + out};
  if (!player.empty()) {
    // A packaged player runs like the player itself (a Linux player needs its execute bits).
    std::error_code ec;
    auto perms = std::filesystem::status(player, ec).permissions();
    if (!ec) std::filesystem::permissions(out, perms, ec);
  }
  return 0;
}

}  // namespace

VITRINE_COMMAND(pack, "pack", kUsage, &RunPack);

}  // namespace vitrine::tool
