// vitrine render: plays a package on the headless platform and writes the screen as frames.
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
#include "raster/image_files.h"
#include "settings/read_write_setting.h"

namespace vitrine::tool {
namespace {

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
  if (args.size() != 1 || seconds.empty() || out.empty())
    throw UsageError{"usage: vitrine render PACKAGE --seconds N [--size WxH] [--fps F] [--preview] [--seed S] [--settings FILE] --out DIR"};
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

  int64_t frames = int64_t(totalSeconds) * fps;
  int64_t written = 0;
  for (int64_t k = 0; k < frames; ++k) {
    show.RunUntil(static_cast<uint64_t>(k * 1000 / fps));
    if (show.Ended()) break;
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(k));
    if (!WriteImageFile((std::filesystem::path(out) / name).string(), show.Screen()))
      throw UsageError{"cannot write " + (std::filesystem::path(out) / name).string()};
    ++written;
  }
  for (const auto& message : show.Services().messages) std::fprintf(stderr, "message box: %s\n", Cp1252ToUtf8(message).c_str());
  show.Destroy();

  if (written > 0 && std::system("command -v ffmpeg >/dev/null 2>&1") == 0) {
    std::string cmd = "ffmpeg -loglevel error -y -framerate " + std::to_string(fps) + " -i '" + out +
                      "/frame-%06d.png' -pix_fmt yuv420p -vf 'pad=ceil(iw/2)*2:ceil(ih/2)*2' '" + out + "/show.mp4'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "vitrine render: ffmpeg could not write show.mp4\n");
  }
  std::printf("frames=%lld\n", static_cast<long long>(written));
  return 0;
}

}  // namespace

VITRINE_COMMAND(render, "render", "render PACKAGE --seconds N [--size WxH] [--fps F] [--preview] [--seed S] [--settings FILE] --out DIR",
                Render);

}  // namespace vitrine::tool
