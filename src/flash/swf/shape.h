#pragma once
// Shapes as the file describes them: fill and line style tables, and paths of straight and
// quadratic edges, each path with the fill style on its left (fill0), on its right (fill1)
// and its line style. Style numbers are 1-based into the shape's tables, 0 for none; styles
// that a record brings in later are appended, so one set of numbers covers the whole shape.
#include <cstdint>
#include <vector>

#include "flash/swf/bit_reader.h"
#include "flash/swf/records.h"

namespace vitrine::swf {

// Most edges one shape may hold, so that a hostile movie cannot exhaust memory or time.
inline constexpr size_t kMaxShapeEdges = 250000;
inline constexpr size_t kMaxStyles = 65536;

struct GradientStop {
  uint8_t ratio = 0;
  Rgba color;
};

enum class FillKind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };
enum class Spread : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };

struct FillStyle {
  FillKind kind = FillKind::Solid;
  Rgba color;
  Matrix matrix;  // gradient square or bitmap pixels to shape twips
  std::vector<GradientStop> stops;
  Spread spread = Spread::Pad;
  bool linearRgb = false;
  double focal = 0;  // -1 .. 1 along the gradient's x axis
  uint16_t bitmapId = 0;
  bool repeat = false;
  bool smooth = true;
};

struct LineStyle {
  uint16_t width = 0;  // twips; 0 is a hairline
  Rgba color;
  bool hasFill = false;
  FillStyle fill;
};

struct Edge {
  double x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;  // twips
  bool curve = false;
};

struct Path {
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  std::vector<Edge> edges;
};

struct Shape {
  SwfRect bounds;
  // Fills by the even-odd rule (what scripts draw) instead of by winding (authored shapes).
  bool evenOdd = false;
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<Path> paths;
};

// Whether the shape covers the point (twips, in the shape's space): inside a fill, by the
// rule the shape is drawn with, or within half a line's width of a line.
bool ShapeCovers(const Shape& shape, double x, double y);

// DefineShape 1 to 4 after the character id: bounds, styles, records.
Shape ReadDefineShape(BitReader& r, int version);

// A glyph of DefineFont 1 to 3: one SHAPE, filled with style 1.
Shape ReadGlyph(BitReader& r);

// DefineMorphShape 1 and 2 after the character id: the start shape with its start styles,
// the end styles and the end edges, paired with the start edges in order.
struct MorphShape {
  Shape start;
  std::vector<FillStyle> endFills;
  std::vector<LineStyle> endLines;
  std::vector<Edge> endEdges;
};
MorphShape ReadDefineMorphShape(BitReader& r, int version);
// The shape at ratio t (0 = start, 1 = end).
Shape MorphAt(const MorphShape& morph, double t);

}  // namespace vitrine::swf
