#pragma once
// The one block of state that every transition shares; only one transition runs at a time.
#include <cstdint>

#include "raster/canvas.h"

namespace vitrine {

struct TransitionState {
  int32_t OriginX = 0, OriginY = 0;  // where picture pixel (0, 0) lands on the surface
  Canvas* DestCanvas = nullptr;       // the show's drawing surface; every frame draws here
  const Bitmap* NewPicture = nullptr;  // the incoming picture, source of all copies
  const Bitmap* OldPicture = nullptr;  // the screen as it stood before the transition
  int32_t Speed = 1;                  // pixels the moving edge advances per frame, >= 1
  int32_t Position = 0;               // main progress counter
  int32_t Phase = 0;                  // second counter of multi-phase families
  int32_t PicWidth = 0, PicHeight = 0;  // size of the area being transitioned
  // The platform's clock in milliseconds: when the transition started, and the time of the
  // frame being drawn. The timed transitions draw the frame for that time, so a late tick
  // skips ahead instead of slowing the transition down.
  uint64_t StartMs = 0, NowMs = 0;
};

// The process-wide transition state. Family-specific scratch (lists, tables, flags) lives in
// each family's own unit.
extern TransitionState gTransition;

// (OriginX + l, OriginY + t, OriginX + r, OriginY + b).
Rect RectAtOrigin(int32_t l, int32_t t, int32_t r, int32_t b);

}  // namespace vitrine
