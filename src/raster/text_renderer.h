#pragma once
// One-line texts in a Font: measured as GetTextExtent would, and drawn with a clear
// background (only the glyphs change the bitmap) onto a Canvas, inside its clip.
#include <memory>
#include <string_view>

#include "raster/canvas.h"
#include "raster/font.h"

namespace vitrine {

struct TextExtent {
  int32_t width = 0, height = 0;
  friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Width is the sum of the characters' advances; height is the font's cell height
  // (ascent + descent), whatever the text holds. Text is ANSI (Windows-1252).
  virtual TextExtent Measure(const Font& font, std::string_view text) = 0;
  // Draws the text with its cell's top-left corner at (x, y) in the font's colour.
  virtual void Draw(Canvas& canvas, const Font& font, int32_t x, int32_t y, std::string_view text) = 0;
};

// The platform's renderer: FreeType + fontconfig on Linux (raster/freetype), GDI on Windows
// (backends/win32). Where neither is built in, a renderer that measures 0 x 0 and draws
// nothing, so that a build without text still shows its pictures.
#if defined(VITRINE_HAVE_FREETYPE) || defined(_WIN32)
std::unique_ptr<TextRenderer> CreateTextRenderer();
#else
class NullTextRenderer final : public TextRenderer {
 public:
  TextExtent Measure(const Font&, std::string_view) override { return {}; }
  void Draw(Canvas&, const Font&, int32_t, int32_t, std::string_view) override {}
};
inline std::unique_ptr<TextRenderer> CreateTextRenderer() { return std::make_unique<NullTextRenderer>(); }
#endif

}  // namespace vitrine
