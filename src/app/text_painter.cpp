#include "app/text_painter.h"

#include "raster/text_renderer.h"

namespace vitrine {

namespace {
Font ToFont(const FontRecord& record) {
  Font font;
  font.Name = record.Name;
  font.Height = record.Height;
  font.Colour = static_cast<Color>(record.Color) & 0xFFFFFF;
  font.Charset = record.Charset;
  font.Bold = record.Bold;
  font.Italic = record.Italic;
  font.Underline = record.Underline;
  font.StrikeOut = record.StrikeOut;
  return font;
}
}  // namespace

TextSize RendererTextPainter::Measure(const FontRecord& font, std::string_view text) {
  TextExtent extent = renderer_.Measure(ToFont(font), text);
  return {extent.width, extent.height};
}

void RendererTextPainter::Draw(Canvas& canvas, int32_t x, int32_t y, const FontRecord& font, std::string_view text) {
  renderer_.Draw(canvas, ToFont(font), x, y, text);
}

}  // namespace vitrine
