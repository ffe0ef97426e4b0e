#pragma once
// What Flash 8 adds to a placed object: a blend mode that mixes it with what lies below it,
// and filters worked on its pixels. Both work on a layer: the object drawn by itself into a
// premultiplied 0xAARRGGBB image the size of the surface.
#include <cstdint>
#include <optional>
#include <vector>

#include "flash/swf/bit_reader.h"
#include "flash/swf/records.h"
#include "raster/bitmap.h"

namespace vitrine::swf {

enum class BlendMode : uint8_t {
  Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase,
  Overlay, HardLight,
};
// The mode of a PlaceObject3 byte; 0 and unknown values are normal.
BlendMode BlendModeOf(uint8_t value);

struct Filter {
  enum Type : uint8_t {
    DropShadow = 0, Blur, Glow, Bevel, GradientGlow, Convolution, ColorMatrix, GradientBevel,
  } type = Blur;
  Rgba color, highlight;              // shadows and glows; bevels' highlight
  double blurX = 0, blurY = 0;        // pixels
  double angle = 0, distance = 0;     // radians, pixels
  double strength = 1;
  bool inner = false, knockout = false, compositeSource = true, onTop = false;
  int passes = 1;
  std::vector<Rgba> gradient;  // gradient glows and bevels
  std::vector<uint8_t> ratios;
  float matrix[20] = {};  // colour matrix, row by row (r, g, b, a), offsets in 0..255
  int matrixX = 0, matrixY = 0;  // convolution
  std::vector<float> kernel;
  float divisor = 1, bias = 0;
  Rgba defaultColor;
  bool clamp = true, preserveAlpha = false;
};

// Filter lists hold at most this many filters (each applied costs a pass over the layer).
inline constexpr size_t kMaxFilters = 16;
// Blur passes and widths are kept within these.
inline constexpr int kMaxBlurPasses = 15;
inline constexpr double kMaxBlur = 255;
// Convolution kernels of more entries than this are left out.
inline constexpr int kMaxKernel = 15 * 15;

// A PlaceObject3 FILTERLIST; throws SwfError when it is cut short.
std::vector<Filter> ReadFilterList(BitReader& r);

// A layer: premultiplied 0xAARRGGBB pixels, row by row, width x height.
struct Layer {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// Applies one filter in place; scale turns the filter's pixels into the layer's.
void ApplyFilter(const Filter& filter, Layer& layer, double scale);

// Rows (or columns) beyond an object that its filters reach, scale as for ApplyFilter.
int32_t FilterReach(const std::vector<Filter>& filters, double scale);

// The layer mixed into an opaque surface of its width (Xrgb8888) by the mode, its row 0 on
// the surface's row top, only the surface's rows from .. to-1 written; each pixel's share
// times mask (0..255, the surface's size) where a mask is given. backdrop: the surface is one
// of the two passes a layer is drawn in, filled first with that colour (0x000000 or
// 0xFFFFFF): alpha and erase then take away from what was drawn in it; without a backdrop
// (the stage) they draw nothing.
void Composite(const Layer& layer, BlendMode mode, Bitmap& surface, int32_t top, int32_t from, int32_t to,
               const uint8_t* mask, std::optional<uint32_t> backdrop);

}  // namespace vitrine::swf
