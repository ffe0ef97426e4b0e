#pragma once
// Plays a movie written by the tests and draws a frame, for checks of pixels at chosen points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "raster/bitmap.h"
#include "raster/text_renderer.h"

namespace vitrine::test {

// A text renderer that records what it is asked to draw and marks the text's first cell;
// each character is 6 pixels wide and a line 12 high.
class RecordingText final : public TextRenderer {
 public:
  struct Call {
    Font font;
    int32_t x, y;
    std::string text;
  };
  TextExtent Measure(const Font&, std::string_view text) override { return {int32_t(text.size()) * 6, 12}; }
  void Draw(Canvas& canvas, const Font& font, int32_t x, int32_t y, std::string_view text) override {
    calls.push_back({font, x, y, std::string(text)});
    canvas.Target().SetPixel(x, y, font.Colour);
  }
  std::vector<Call> calls;
};

inline std::unique_ptr<swf::Player> PlayerOf(const std::vector<uint8_t>& movie) {
  auto loaded = swf::Movie::Load(movie);
  if (!loaded) return nullptr;
  return std::make_unique<swf::Player>(std::move(loaded));
}

inline Bitmap Draw(const swf::Player& player, int32_t width, int32_t height, int32_t scaleMode = 0,
                   int32_t alignMode = 0, swf::Rgba background = {255, 255, 255, 255},
                   TextRenderer* text = nullptr) {
  Bitmap out(width, height, PixelFormat::Xrgb8888);
  const swf::SwfFile& f = player.GetMovie().File();
  swf::Renderer renderer(text);
  swf::Rgba bg = player.Background().value_or(background);
  renderer.Render(player, out, swf::ViewMatrix({f.xMin, f.xMax, f.yMin, f.yMax}, width, height, scaleMode, alignMode),
                  bg);
  return out;
}

// The frame after the given number of frame intervals, at the stage's own size.
inline Bitmap DrawMovie(const std::vector<uint8_t>& movie, int ticks = 0) {
  auto player = PlayerOf(movie);
  if (!player) return Bitmap();
  player->Play();
  for (int i = 0; i < ticks; ++i) player->Tick();
  const swf::SwfFile& f = player->GetMovie().File();
  return Draw(*player, (f.xMax - f.xMin) / 20, (f.yMax - f.yMin) / 20);
}

// Each channel within tolerance.
inline ::testing::AssertionResult Near(Color actual, Color expected, int tolerance = 2) {
  auto d = [](int a, int b) { return std::abs(a - b); };
  if (d(RedOf(actual), RedOf(expected)) <= tolerance && d(GreenOf(actual), GreenOf(expected)) <= tolerance &&
      d(BlueOf(actual), BlueOf(expected)) <= tolerance)
    return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "rgb(%d,%d,%d), wanted rgb(%d,%d,%d)", RedOf(actual), GreenOf(actual),
                BlueOf(actual), RedOf(expected), GreenOf(expected), BlueOf(expected));
  return ::testing::AssertionFailure() << text;
}

// A committed file under tests/data; one that cannot be read fails the case (and reads as empty).
inline std::vector<uint8_t> TestDataFile(const std::string& relative) {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  std::string path = std::string(root && *root ? root : "../data") + "/" + relative;
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << path << " cannot be read (VITRINE_TEST_DATA names the committed tests/data)";
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vitrine::test
