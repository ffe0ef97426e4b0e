#pragma once
// Picture arithmetic and painting shared by the show and the settings dialog: fitting and
// cropping sizes, the transparency blend, the twelve gradients, tiling, and the random pick
// from a ";" list.
#include <cstdint>
#include <string_view>

#include "raster/bitmap.h"
#include "raster/canvas.h"

namespace vitrine {

struct PictureSize {
  int32_t width = 0, height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// Shrinks a size into the box, keeping the aspect ratio; a size that fits is never enlarged.
PictureSize FitInside(int32_t srcWidth, int32_t srcHeight, int32_t maxWidth, int32_t maxHeight);

// A size cut from the picture with the box's aspect ratio. The branch follows the picture's
// own orientation (width <= height), not a comparison of ratios, so a nearly square landscape
// picture can give a width larger than its own.
PictureSize CropToAspect(int32_t srcWidth, int32_t srcHeight, int32_t boxWidth, int32_t boxHeight);
// The largest size with the box's aspect ratio that lies within the picture, whatever its shape:
// where a framing must never reach past the picture's edges (pan and zoom).
PictureSize CropInside(int32_t srcWidth, int32_t srcHeight, int32_t boxWidth, int32_t boxHeight);

// Replaces every pixel of the picture that has the colour of its pixel (0, 0) with the pixel
// of dest that lies beneath it when the picture stands at (x, y). The picture changes in
// place; the caller draws it afterwards.
void BlendTransparent(Bitmap& picture, Canvas& dest, int32_t x, int32_t y);

// Paints the whole bitmap with gradient style 0..11 from color1 to color2; other styles
// paint nothing.
void GradientFill(Color color1, Color color2, int32_t style, Bitmap& bitmap);

// One number of a list such as "0;1;2;", chosen at random; 0 when the text holds no ";".
// A chosen piece that is empty or not a number raises EConvertError.
int32_t PickRandomFromList(std::string_view text);

// Covers dest with a blurred, darkened copy of picture, scaled to cover it whole (cut at the
// sides that stick out, centred), as phones stand a portrait photo on a landscape screen. The
// blur runs on a copy 1/16 of dest's size and is then stretched smoothly, so the cost is one
// pass over dest. An empty picture or dest paints nothing.
void BlurredFill(const Bitmap& picture, Bitmap& dest);

// Covers dest with copies of tile from (0, 0); the last column and row are clipped.
void TileBitmap(Bitmap& dest, const Bitmap& tile);

}  // namespace vitrine
