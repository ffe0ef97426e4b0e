#pragma once
// What the transition dispatchers use of the show window: its drawing surface, its three
// off-screen bitmaps, the picture position, the frame timer, the painters of the item's
// texts and the two music messages. The show window implements it; tests and tools use
// MemoryTransitionHost.
#include <cstdint>

#include "package/show_messages.h"
#include "raster/bitmap.h"
#include "raster/canvas.h"

namespace vitrine {

// The project's TransitionScope value. WholeScreen (the default, 1): the picture is first
// drawn onto the screen bitmap and every transition runs over the whole screen from the
// origin (0, 0). Any other value: over the picture alone, at its place.
enum class TransitionScope : int32_t { Picture = 0, WholeScreen = 1 };

class TransitionHost {
 public:
  virtual ~TransitionHost() = default;

  // The bitmap of pbShow and its canvas: every frame draws here.
  virtual Bitmap& SurfaceBitmap() = 0;
  virtual Canvas& SurfaceCanvas() = 0;

  virtual Bitmap& PictureBitmap() = 0;
  virtual Bitmap& ComposeBitmap() = 0;
  virtual Bitmap& ScreenBitmap() = 0;

  virtual int32_t PictureLeft() const = 0;
  virtual int32_t PictureTop() const = 0;
  virtual void SetPicturePosition(int32_t left, int32_t top) = 0;

  // ShowTimer.
  virtual void SetFrameInterval(int32_t ms) = 0;
  virtual void EnableFrameTimer(bool enabled) = 0;

  virtual void SetTransitionIndex(int32_t index) = 0;
  virtual TransitionScope Scope() const = 0;

  // The item's caption and multi-line text, painted onto the given canvas.
  virtual void DrawCaption(Canvas& canvas) = 0;
  virtual void DrawMemo(Canvas& canvas) = 0;

  // Posted to the main form.
  virtual void PostMainFormMessage(uint32_t message) = 0;

  // The platform's clock, in milliseconds from any fixed start.
  virtual uint64_t NowMs() const = 0;
};

}  // namespace vitrine
