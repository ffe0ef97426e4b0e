#pragma once
// Pan and zoom of a standing picture: from one framing of the picture to another, over the
// time the picture stands. A framing is the part of the picture that fills the picture's
// place on the screen; the widest framing is the whole picture as the size mode shows it.
#include <cstdint>

#include "raster/scale_bilinear.h"

namespace vitrine {

// The closest framing is this much smaller than the widest one (in 1/1000): a zoom of 15 %.
inline constexpr int64_t kPanZoomPerMille = 1150;

enum class PanSide { Left, Right, Top, Bottom };

struct PanZoomPath {
  FixedRect start, end;
  // The framing at progress 0..65536 of the stand, eased in and out.
  FixedRect At(int32_t progress) const;
};

// From the widest framing (`whole`) in towards `side` when zoomIn, else out from the side
// opposite it: either way the view drifts towards `side`.
PanZoomPath MakePanZoomPath(const FixedRect& whole, bool zoomIn, PanSide side);
// The same with zoomIn and side drawn from the core generator (zoom first, then side).
PanZoomPath RandomPanZoomPath(const FixedRect& whole);

}  // namespace vitrine
