// vitrine swf: plays a Flash movie by itself, without a show: from its first frame, one frame
// per tick; trace() output on standard output, and each frame as a PNG when asked. Mouse and
// key input given on the command line reaches the movie after the frame it names.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "command.h"
#include <fstream>
#include <iterator>
#include <cmath>
#include <cstdlib>
#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "raster/text_renderer.h"
#include "raster/image_files.h"

namespace vitrine::tool {
namespace {

constexpr const char* kSwfUsage =
    "swf MOVIE --frames N [--trace] [--player-version V] [--tick-ms T] [--frames-out DIR] "
    "[--mouse FRAME:X,Y[:down|up]]... [--key FRAME:CODE[:up]]...  (input after frame FRAME, 1 the first; "
    "X,Y in stage pixels; CODE a key code or one character)";

// One input given on the command line.
struct Input {
  enum Type { Move, Down, Up, KeyDown, KeyUp } type = Move;
  double x = 0, y = 0;
  uint16_t code = 0;
  uint8_t ascii = 0;
};

// Splits "a:b:c" at its colons.
std::vector<std::string> Fields(const std::string& s) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == ':') out.emplace_back();
    else out.back() += c;
  }
  return out;
}

bool ReadNumber(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out);
}

bool ReadFrame(const std::string& s, long& frame) {
  double n;
  if (!ReadNumber(s, n) || n < 1 || n > 1e9 || n != std::floor(n)) return false;
  frame = long(n);
  return true;
}

// --mouse FRAME:X,Y[:down|up]: a move to X,Y, then a press or a release there when asked.
void AddMouse(const std::string& given, std::multimap<long, Input>& inputs) {
  auto fields = Fields(given);
  long frame = 0;
  Input in;
  size_t comma = fields.size() >= 2 ? fields[1].find(',') : std::string::npos;
  if (fields.size() < 2 || fields.size() > 3 || !ReadFrame(fields[0], frame) || comma == std::string::npos ||
      !ReadNumber(fields[1].substr(0, comma), in.x) || !ReadNumber(fields[1].substr(comma + 1), in.y) ||
      (fields.size() == 3 && fields[2] != "down" && fields[2] != "up"))
    throw UsageError{"--mouse takes FRAME:X,Y[:down|up], not " + given};
  inputs.emplace(frame, in);
  if (fields.size() == 3) {
    in.type = fields[2] == "down" ? Input::Down : Input::Up;
    inputs.emplace(frame, in);
  }
}

// --key FRAME:CODE[:up]: CODE a key code (65 for A) or one character ("a", "7", " ").
void AddKey(const std::string& given, std::multimap<long, Input>& inputs) {
  auto fields = Fields(given);
  long frame = 0;
  Input in;
  in.type = Input::KeyDown;
  double code = 0;
  bool ok = (fields.size() == 2 || fields.size() == 3) && ReadFrame(fields[0], frame) &&
            (fields.size() == 2 || fields[2] == "up");
  if (ok && fields[1].size() == 1 && !std::isdigit(uint8_t(fields[1][0]))) {
    uint8_t c = uint8_t(fields[1][0]);
    in.code = uint16_t(std::toupper(c));
    in.ascii = c;
  } else if (ok && ReadNumber(fields[1], code) && code >= 0 && code <= 255 && code == std::floor(code)) {
    in.code = uint16_t(code);
    // The character the key types: digits, space and Enter as they are, letters in lower case.
    if ((code >= '0' && code <= '9') || code == ' ' || code == 13) in.ascii = uint8_t(code);
    else if (code >= 'A' && code <= 'Z') in.ascii = uint8_t(code + 32);
  } else {
    throw UsageError{"--key takes FRAME:CODE[:up], not " + given};
  }
  if (fields.size() == 3) in.type = Input::KeyUp;
  inputs.emplace(frame, in);
}

int Swf(const Args& given) {
  Args args = given;
  std::string frames = TakeOption(args, "--frames");
  bool trace = TakeFlag(args, "--trace");
  std::string version = TakeOption(args, "--player-version", "8");
  std::string tick = TakeOption(args, "--tick-ms", "0");
  std::string out = TakeOption(args, "--frames-out");
  std::multimap<long, Input> inputs;  // by the frame they follow, in the order given
  for (std::string m; !(m = TakeOption(args, "--mouse")).empty();) AddMouse(m, inputs);
  for (std::string k; !(k = TakeOption(args, "--key")).empty();) AddKey(k, inputs);
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
  // Device-font text is set and measured by the system's text renderer, as in the show.
  std::unique_ptr<TextRenderer> text = CreateTextRenderer();
  options.text = text.get();
  if (trace)
    options.onTrace = [](const std::string& text) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
    };
  swf::Player player(movie, options);
  player.Play();
  const swf::SwfFile& f = movie->File();
  int32_t width = std::max(1, (f.xMax - f.xMin) / 20), height = std::max(1, (f.yMax - f.yMin) / 20);
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
    auto [from, to] = inputs.equal_range(k + 1);
    for (auto it = from; it != to; ++it) {
      const Input& in = it->second;
      switch (in.type) {
        case Input::Move: player.MouseMove(in.x, in.y); break;
        case Input::Down: player.MouseDown(in.x, in.y); break;
        case Input::Up: player.MouseUp(in.x, in.y); break;
        case Input::KeyDown: player.KeyDown(in.code, in.ascii); break;
        case Input::KeyUp: player.KeyUp(in.code, in.ascii); break;
      }
    }
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace

VITRINE_COMMAND(swf, "swf", kSwfUsage, Swf);

}  // namespace vitrine::tool
