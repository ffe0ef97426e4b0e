#pragma once
// The lines of a text field set in a device font (the system's face for the field's font
// name): the field's text cut at its line ends and, in a wrapping field, after the last space
// that keeps a line inside the field; each line in pieces of one format (the field's own, or a
// run's that setTextFormat or HTML gave). The renderer draws these lines, and a field that
// sizes itself to its text measures them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "flash/swf/movie.h"
#include "raster/font.h"
#include "raster/text_renderer.h"

namespace vitrine::swf {

// Flash Player's generic device fonts as the faces a system has; Times New Roman for none.
std::string DeviceFace(const std::string& name);

struct TextPiece {
  std::string_view text;
  Font font;
  Rgba colour;  // before the colour transform
  double x = 0;  // from the line's start, in pixels
  int32_t width = 0, height = 0;
};

struct TextLine {
  std::vector<TextPiece> pieces;
  double width = 0;
  int32_t height = 0;  // the tallest piece's cell, or the field's own for an empty line
};

// namedFont: the font character the field names (its name and style), or none. scaleY: the
// pixels per twip of the field (a font's height is the field's size times this). wrapWidth:
// the room for a line in those pixels, infinite when the field does not wrap. At most
// maxLines lines.
std::vector<TextLine> LayOutDeviceText(const EditText& edit, const Character* namedFont, TextRenderer& text,
                                       double scaleY, double wrapWidth, size_t maxLines = SIZE_MAX);

}  // namespace vitrine::swf
