#pragma once
// Draws the player's display list into a 32-bit work surface: shapes filled per fill style
// from SWF's edge model (a path bounds the style on its left and the one on its right),
// strokes with round caps and joins, gradients, bitmap fills resolved by id when drawn,
// clip layers as coverage masks, sprites, morphs, static text, buttons in their up state and
// text fields in a fallback face.
#include <cstdint>
#include <vector>

#include "flash/swf/player.h"
#include "flash/swf/rasterizer.h"
#include "raster/bitmap.h"
#include "raster/text_renderer.h"

namespace vitrine::swf {

// What one frame may draw at most; what lies beyond is left out of that frame.
inline constexpr size_t kMaxDrawnObjects = 20000;
inline constexpr size_t kMaxDrawnSegments = 4u << 20;
// Rows crossed by lines plus pixels swept, per frame (a full 1920 x 1080 frame of 200 shapes
// takes some 10 million); what a frame would do beyond it is left out.
inline constexpr uint64_t kMaxRasterWork = 200u << 20;

class Renderer {
 public:
  explicit Renderer(TextRenderer* text = nullptr) : text_(text) {}

  // Fills surface (Xrgb8888) with background and draws the frame, view mapping the movie's
  // twips to the surface's pixels.
  void Render(const Player& player, Bitmap& surface, const Matrix& view, Rgba background);

  size_t DrawnSegments() const { return segments_; }
  uint64_t RasterWork() const { return raster_.Work(); }

 private:
  struct Target {
    const uint8_t* mask = nullptr;  // coverage of the clip layers in force, or none
    uint8_t* maskOut = nullptr;     // drawing a clip layer: coverage goes here, not colour
  };
  struct Paint;

  void DrawList(const std::map<uint16_t, DisplayObject>& list, const Matrix& m, const CxForm& cx, Target target,
                int nesting);
  void DrawObject(const DisplayObject& object, const Matrix& m, const CxForm& cx, Target target, int nesting);
  void DrawCharacter(const Character& ch, const DisplayObject* object, const Matrix& m, const CxForm& cx,
                     Target target, int nesting);
  void DrawShape(const Shape& shape, const Matrix& m, const CxForm& cx, Target target,
                 const Rgba* fillColour = nullptr);
  void DrawText(const StaticText& text, const Matrix& m, const CxForm& cx, Target target);
  void DrawEditText(const EditText& edit, const Matrix& m, const CxForm& cx, Target target);
  bool OverBudget() const { return segments_ > kMaxDrawnSegments || raster_.Work() > kMaxRasterWork; }
  bool MakePaint(const FillStyle& fill, const Matrix& m, const CxForm& cx, Paint& paint);
  void Shade(const Paint& paint, Target target);
  std::vector<uint8_t> TakeMask();

  TextRenderer* text_;
  const Player* player_ = nullptr;
  Bitmap* surface_ = nullptr;
  Rasterizer raster_;
  size_t objects_ = 0, segments_ = 0;
  std::vector<std::vector<uint8_t>> spareMasks_;
  const Image* directImage_ = nullptr;  // a bitmap placed by itself
  std::vector<float> constantCoverage_;
};

// The movie's place in a window of the given size, as the control's ScaleMode (0 show all,
// 1 no border, 2 exact fit, 3 no scale) and AlignMode (bits: 1 left, 2 right, 4 top,
// 8 bottom; centred otherwise) put it.
Matrix ViewMatrix(const SwfRect& frame, int32_t width, int32_t height, int32_t scaleMode, int32_t alignMode);

}  // namespace vitrine::swf
