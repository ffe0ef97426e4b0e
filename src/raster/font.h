#pragma once
// A font as the drawing layer takes it: the fields of a Windows logical font that the show
// uses for captions and memo texts.
#include <cstdint>
#include <string>

#include "raster/geometry.h"

namespace vitrine {

struct Font {
  std::string Name = "MS Sans Serif";  // face name, ANSI
  // Negative: the character height (em size) in pixels. Positive: the cell height (ascent
  // plus descent, the em size plus internal leading) in pixels. 0: a default height.
  int32_t Height = -11;
  Color Colour = kBlack;
  int32_t Charset = 1;  // DEFAULT_CHARSET
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  // The character height for a size in points at the screen's pixels per inch, as a
  // negative Height (MulDiv rounding: halves away from zero).
  static int32_t HeightFromPoints(int32_t points, int32_t pixelsPerInch = 96) {
    int64_t scaled = int64_t(points) * pixelsPerInch;
    int64_t rounded = scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
    return -int32_t(rounded);
  }

  friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace vitrine
