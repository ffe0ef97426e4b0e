// vitrine render: plays a package on the headless platform and writes what it shows and
// sounds like as show.mp4 (the music and the videos' sound at the show times they play),
// and on request every frame as a PNG.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command.h"
#include "core/file_system.h"
#include "core/text.h"
#include "json.h"
#include "package/project_info.h"
#include "apps/headless/headless_show.h"
#include "apps/headless/show_render.h"
#include "raster/image_files.h"
#include "platform/terminal.h"
#include "settings/read_write_setting.h"


namespace vitrine::tool {
namespace {

constexpr const char* kRenderUsage =
    "render PACKAGE --seconds N [--size WxH] [--fps F] [--preview] [--seed S] [--settings FILE] [--frames] [--quiet] "
    "--out DIR  (writes DIR/show.mp4; --frames also DIR/frame-NNNNNN.png)";

bool ParseSize(const std::string& text, int32_t& w, int32_t& h) {
  auto x = text.find('x');
  if (x == std::string::npos) return false;
  int32_t a = 0, b = 0;
  if (!TryStrToInt(text.substr(0, x), a) || !TryStrToInt(text.substr(x + 1), b)) return false;
  if (a < 1 || b < 1 || a > 16384 || b > 16384) return false;
  w = a;
  h = b;
  return true;
}

int32_t PositiveInt(const std::string& text, const char* what, int32_t max) {
  int32_t v = 0;
  if (!TryStrToInt(text, v) || v < 1 || v > max) throw UsageError{std::string(what) + " must be a whole number from 1 to " + std::to_string(max)};
  return v;
}

// A settings file is a JSON object of registry values by name: true/false and numbers are
// stored as DWORDs, texts as strings.
void LoadSettingsFile(const std::string& path, const std::string& keyPath, MemoryRegistryStore& registry) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError{"cannot read " + path};
  std::stringstream text;
  text << in.rdbuf();
  Json doc = ParseJson(text.str());
  if (!doc.IsObject()) throw UsageError{path + ": must hold a JSON object of registry values"};
  auto& key = registry.Keys[keyPath];
  for (const auto& [name, value] : doc.AsObject()) {
    if (value.IsBool()) key[name] = uint32_t(value.AsBool() ? 1 : 0);
    else if (value.IsInteger()) key[name] = static_cast<uint32_t>(value.AsInteger());
    else if (value.IsString()) key[name] = Utf8ToCp1252(value.AsString());
    else throw UsageError{path + ": value '" + name + "' must be true/false, a number or a text"};
  }
}

// A one-line bar on the terminal: the show time done and left.
class Progress {
 public:
  Progress(bool shown, int64_t totalMs) : shown_(shown), totalMs_(std::max<int64_t>(totalMs, 1)) {}
  void Update(int64_t doneMs) {
    if (!shown_) return;
    int64_t percent = doneMs * 100 / totalMs_;
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    constexpr int kWidth = 30;
    int filled = static_cast<int>(doneMs * kWidth / totalMs_);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\rrender [%s] %3lld%%  %s done, %s left ", bar.c_str(), static_cast<long long>(percent),
                 Clock(doneMs).c_str(), Clock(totalMs_ - doneMs).c_str());
    std::fflush(stderr);
  }
  void End() {
    if (shown_ && lastPercent_ >= 0) std::fprintf(stderr, "\n");
  }

 private:
  static std::string Clock(int64_t ms) {
    int64_t s = std::max<int64_t>(ms, 0) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
    return text;
  }
  bool shown_;
  int64_t totalMs_;
  int64_t lastPercent_ = -1;
};

int Render(const Args& input) {
  Args args = input;
  HeadlessShowOptions options;
  std::string seconds = TakeOption(args, "--seconds");
  std::string size = TakeOption(args, "--size", "1920x1080");
  std::string fpsText = TakeOption(args, "--fps", "10");
  std::string seedText = TakeOption(args, "--seed", "1");
  std::string settingsFile = TakeOption(args, "--settings");
  std::string out = TakeOption(args, "--out");
  options.preview = TakeFlag(args, "--preview");
  bool keepFrames = TakeFlag(args, "--frames");
  bool quiet = TakeFlag(args, "--quiet");
  if (args.size() != 1 || seconds.empty() || out.empty())
    throw UsageError{"usage: " + std::string(kRenderUsage)};
  options.packagePath = args[0];
  if (!NativeFileSystem().Exists(options.packagePath)) throw UsageError{"no such file: " + options.packagePath};
  int32_t totalSeconds = PositiveInt(seconds, "--seconds", 24 * 3600);
  int32_t fps = PositiveInt(fpsText, "--fps", 1000);
  if (!ParseSize(size, options.width, options.height)) throw UsageError{"--size must look like 1920x1080"};
  int32_t seed = 0;
  if (!TryStrToInt(seedText, seed)) throw UsageError{"--seed must be a number"};
  options.seed = static_cast<uint32_t>(seed);
  if (options.preview) {
    // A preview renders at the size given, inside a screen of the usual size.
    options.previewWidth = options.width;
    options.previewHeight = options.height;
    options.width = 1920;
    options.height = 1080;
  }

  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) throw UsageError{"cannot create " + out};

  HeadlessShow show(options);
  if (!settingsFile.empty()) {
    TProjectInfo project(options.packagePath, NativeFileSystem());
    project.ReadProject();
    LoadSettingsFile(settingsFile, SettingsKeyPath(project.SaverName), show.Registry());
  }
  if (!show.Start()) throw UsageError{"the show did not start"};

  Progress progress(!quiet && ErrorOutputIsTerminal(), int64_t(totalSeconds) * 1000);
  ShowRenderOptions render;
  render.seconds = totalSeconds;
  render.fps = fps;
  if (CanWriteShowVideo()) render.videoPath = (std::filesystem::path(out) / "show.mp4").string();
  else keepFrames = true;  // without FFmpeg's libraries the frames are all there is
  std::string frameError;
  if (keepFrames) {
    render.onFrame = [&](int64_t k, const Bitmap& screen) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(k));
      std::string path = (std::filesystem::path(out) / name).string();
      if (WriteImageFile(path, screen)) return true;
      frameError = "cannot write " + path;
      return false;
    };
  }
  render.onProgress = [&](int64_t doneMs) { progress.Update(doneMs); };
  ShowRenderResult result = RenderShow(show, render);
  progress.End();
  if (!frameError.empty()) throw UsageError{frameError};
  if (!result.error.empty()) throw UsageError{result.error};
  int64_t written = result.frames;
  for (const auto& message : show.Services().messages) std::fprintf(stderr, "message box: %s\n", Cp1252ToUtf8(message).c_str());
  show.Destroy();
  std::printf("frames=%lld\n", static_cast<long long>(written));
  return 0;
}

}  // namespace

VITRINE_COMMAND(render, "render", kRenderUsage, Render);

}  // namespace vitrine::tool
