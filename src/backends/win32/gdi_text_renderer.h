#pragma once
// Text through GDI itself on Windows: the system's own fonts, metrics and rasteriser.
#include "raster/text_renderer.h"

namespace vitrine {

class GdiTextRenderer final : public TextRenderer {
 public:
  GdiTextRenderer();
  ~GdiTextRenderer() override;
  GdiTextRenderer(const GdiTextRenderer&) = delete;
  GdiTextRenderer& operator=(const GdiTextRenderer&) = delete;

  TextExtent Measure(const Font& font, std::string_view text) override;
  void Draw(Canvas& canvas, const Font& font, int32_t x, int32_t y, std::string_view text) override;

 private:
  void* dc_;  // a memory device context, kept for the renderer's life
};

}  // namespace vitrine
