#include "app/text_painter.h"

#include "raster/text_renderer.h"

namespace vitrine {

namespace {
Font ToFont(const FontSpec& spec) {
  Font font;
  font.Name = spec.Name;
  font.Height = spec.Height;
  font.Colour = static_cast<Color>(spec.Color) & 0xFFFFFF;
  font.Charset = spec.Charset;
  font.Bold = spec.Bold;
  font.Italic = spec.Italic;
  font.Underline = spec.Underline;
  font.StrikeOut = spec.StrikeOut;
  return font;
}
}  // namespace

TextSize RendererTextPainter::Measure(const FontSpec& font, std::string_view text) {
  TextExtent extent = renderer_.Measure(ToFont(font), text);
  return {extent.width, extent.height};
}

void RendererTextPainter::Draw(Canvas& canvas, int32_t x, int32_t y, const FontSpec& font, std::string_view text) {
  renderer_.Draw(canvas, ToFont(font), x, y, text);
}

}  // namespace vitrine
