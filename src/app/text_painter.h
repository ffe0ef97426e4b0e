#pragma once
// Captions and memo lines as the show writes them: measured and drawn in an item's font,
// with a clear background. Backed by the platform's text renderer.
#include <cstdint>
#include <string_view>

#include "package/font_record.h"
#include "raster/canvas.h"

namespace vitrine {

struct TextSize {
  int32_t width = 0, height = 0;
};

class TextPainter {
 public:
  virtual ~TextPainter() = default;
  virtual TextSize Measure(const FontRecord& font, std::string_view text) = 0;
  // The text's top-left corner at (x, y); only the glyphs are painted.
  virtual void Draw(Canvas& canvas, int32_t x, int32_t y, const FontRecord& font, std::string_view text) = 0;
};

}  // namespace vitrine

namespace vitrine {

class TextRenderer;

// The painter over the platform's text renderer: an item's font record becomes the
// renderer's font.
class RendererTextPainter final : public TextPainter {
 public:
  explicit RendererTextPainter(TextRenderer& renderer) : renderer_(renderer) {}
  TextSize Measure(const FontRecord& font, std::string_view text) override;
  void Draw(Canvas& canvas, int32_t x, int32_t y, const FontRecord& font, std::string_view text) override;

 private:
  TextRenderer& renderer_;
};

}  // namespace vitrine
