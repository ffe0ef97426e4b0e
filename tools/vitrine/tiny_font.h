#pragma once
// A 5 x 7 pixel font for labelling pictures the tool writes.
#include <cstdint>
#include <string>

#include "raster/bitmap.h"

namespace vitrine::tool {

inline constexpr int32_t kTinyGlyphHeight = 7;
inline constexpr int32_t kTinyAdvance = 6;

void DrawTinyText(Bitmap& target, int32_t x, int32_t y, const std::string& text, Color color);

}  // namespace vitrine::tool
