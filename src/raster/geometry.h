#pragma once
// Points, rectangles and colours as the drawing layer uses them.
#include <algorithm>
#include <cstdint>

namespace vitrine {

// A Windows colour value: 0x00BBGGRR.
using Color = uint32_t;

constexpr Color RGBColor(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (uint32_t(b) << 16); }
constexpr uint8_t RedOf(Color c) { return c & 0xFF; }
constexpr uint8_t GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(Color c) { return (c >> 16) & 0xFF; }
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;

struct Point {
  int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom; right and bottom exclusive.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool Empty() const { return right <= left || bottom <= top; }
  constexpr Rect Offset(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.Empty()) return {};
    return r;
  }
  constexpr bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vitrine
