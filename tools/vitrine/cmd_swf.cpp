// vitrine swf: plays a Flash movie by itself, without a show: from its first frame, one frame
// per tick; trace() output on standard output, and each frame as a PNG when asked.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "command.h"
#include <fstream>
#include <iterator>
#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "raster/text_renderer.h"
#include "raster/image_files.h"

namespace vitrine::tool {
namespace {

constexpr const char* kSwfUsage =
    "swf MOVIE --frames N [--trace] [--player-version V] [--tick-ms T] [--frames-out DIR]";

int Swf(const Args& given) {
  Args args = given;
  std::string frames = TakeOption(args, "--frames");
  bool trace = TakeFlag(args, "--trace");
  std::string version = TakeOption(args, "--player-version", "8");
  std::string tick = TakeOption(args, "--tick-ms", "0");
  std::string out = TakeOption(args, "--frames-out");
  if (args.size() != 1 || frames.empty()) throw UsageError{std::string("usage: vitrine ") + kSwfUsage};
  long count = std::strtol(frames.c_str(), nullptr, 10);
  if (count < 0) throw UsageError{"--frames takes a count of frames"};
  std::ifstream in(args[0], std::ios::binary);
  if (!in) throw UsageError{args[0] + ": cannot be read"};
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string why;
  auto movie = swf::Movie::Load(bytes, &why);
  if (!movie) throw UsageError{args[0] + ": " + why};
  swf::PlayerOptions options;
  options.tickMs = std::strtod(tick.c_str(), nullptr);
  options.playerVersion = int(std::strtol(version.c_str(), nullptr, 10));
  if (trace)
    options.onTrace = [](const std::string& text) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
    };
  swf::Player player(movie, options);
  player.Play();
  const swf::SwfFile& f = movie->File();
  int32_t width = std::max(1, (f.xMax - f.xMin) / 20), height = std::max(1, (f.yMax - f.yMin) / 20);
  // Device-font text is set by the system's text renderer, as in the show.
  std::unique_ptr<TextRenderer> text = CreateTextRenderer();
  swf::Renderer renderer(text.get());
  if (!out.empty()) std::filesystem::create_directories(out);
  for (long k = 0; k < count; ++k) {
    if (k > 0) player.Tick();
    if (!out.empty()) {
      Bitmap surface(width, height, PixelFormat::Xrgb8888);
      swf::SwfRect frame{f.xMin, f.xMax, f.yMin, f.yMax};
      swf::Rgba background = player.Background().value_or(swf::Rgba{255, 255, 255, 255});
      renderer.Render(player, surface, swf::ViewMatrix(frame, width, height, 2, 0), background);
      char name[32];
      std::snprintf(name, sizeof name, "frame%05ld.png", k + 1);
      WriteImageFile((std::filesystem::path(out) / name).string(), surface);
    }
    if (player.QuitAsked()) break;
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace

VITRINE_COMMAND(swf, "swf", kSwfUsage, Swf);

}  // namespace vitrine::tool
