#pragma once
// Sizes derived by division are formed in extended precision and rounded to the nearest
// integer, ties to even. Everything that rounds that way calls this one helper.
#include <cmath>
#include <cstdint>

namespace vitrine {

inline int32_t RoundHalfEven(long double x) {
  // nearbyint rounds in the current mode, which is round-to-nearest-even unless changed.
  return static_cast<int32_t>(std::nearbyintl(x));
}

// Integer division truncating toward zero (the "div" of the descriptions): C++ '/' already
// truncates; this name only marks the places where that matters.
inline int32_t Div(int32_t a, int32_t b) { return a / b; }

}  // namespace vitrine
