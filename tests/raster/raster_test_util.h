#pragma once
// Small pictures of regions and bitmaps as text, one character per pixel and one line per
// row, so tests can state the expected pixels literally.
#include <map>
#include <string>

#include "raster/bitmap.h"
#include "raster/region.h"

namespace vitrine::test {

// '#' inside, '.' outside, over the rectangle 'area'; built from the bands, not Contains.
inline std::string Picture(const Region& region, const Rect& area) {
  std::string out;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    std::string row(size_t(area.Width()), '.');
    for (const auto& band : region.Bands()) {
      if (y < band.y0 || y >= band.y1) continue;
      for (auto [x0, x1] : band.spans)
        for (int32_t x = std::max(x0, area.left); x < std::min(x1, area.right); ++x) row[size_t(x - area.left)] = '#';
    }
    out += row + "\n";
  }
  return out;
}

// Each pixel's colour through a legend; colours missing from it show as '?'.
inline std::string Picture(const Bitmap& bmp, const std::map<Color, char>& legend) {
  std::string out;
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      auto it = legend.find(bmp.GetPixel(x, y));
      out += it == legend.end() ? '?' : it->second;
    }
    out += "\n";
  }
  return out;
}

// Joins rows given one per argument, so expectations line up in the source.
template <class... Lines>
std::string Rows(Lines... rows) {
  return ((std::string(rows) + "\n") + ...);
}

}  // namespace vitrine::test
