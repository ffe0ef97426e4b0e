#include "transitions/cell_draw.h"

#include <algorithm>
#include <cstring>

#include "core/rounding.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine::reveal {

void TakeSetupArgs(const TransitionSetupArgs& args) {
  TransitionState& s = gTransition;
  s.OriginX = args.originX;
  s.OriginY = args.originY;
  s.Speed = std::max<int32_t>(args.speed, 1);
  s.NewPicture = args.newPicture;
  s.OldPicture = args.oldPicture;
  s.DestCanvas = args.dest;
  s.PicWidth = args.newPicture ? args.newPicture->Width() : 0;
  s.PicHeight = args.newPicture ? args.newPicture->Height() : 0;
  s.Position = 0;
  s.Phase = 0;
}

void CopyNewTo(const Rect& src, const Rect& dst) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  const int32_t cutLeft = std::max({0, -src.left, -dst.left});
  const int32_t cutTop = std::max({0, -src.top, -dst.top});
  const int32_t cutRight = std::max({0, src.right - w, dst.right - w});
  const int32_t cutBottom = std::max({0, src.bottom - h, dst.bottom - h});
  const Rect s{src.left + cutLeft, src.top + cutTop, src.right - cutRight, src.bottom - cutBottom};
  const Rect d{dst.left + cutLeft, dst.top + cutTop, dst.right - cutRight, dst.bottom - cutBottom};
  if (s.Empty() || d.Empty()) return;
  gTransition.DestCanvas->CopyRect(RectAtOrigin(d.left, d.top, d.right, d.bottom), *gTransition.NewPicture, s);
}

void RestoreOld(const Rect& r) {
  const TransitionState& s = gTransition;
  if (!s.OldPicture) return;
  const Rect part = r.Intersect(PictureArea());
  if (part.Empty()) return;
  s.DestCanvas->CopyRect(RectAtOrigin(part.left, part.top, part.right, part.bottom), *s.OldPicture,
                         part.Offset(s.OriginX, s.OriginY));
}

void CopyNewRing(const Rect& outer, const Rect& inner) {
  // inner may be degenerate (no width or height); the four strips then still tile outer.
  CopyNewRect(outer.left, outer.top, outer.right, inner.top);
  CopyNewRect(outer.left, inner.bottom, outer.right, outer.bottom);
  CopyNewRect(outer.left, inner.top, inner.left, inner.bottom);
  CopyNewRect(inner.right, inner.top, outer.right, inner.bottom);
}

void StretchNewInto(const Rect& dst) {
  const TransitionState& s = gTransition;
  if (dst.Empty() || PictureArea().Empty()) return;
  const Rect onSurface = RectAtOrigin(dst.left, dst.top, dst.right, dst.bottom);
  if (dst.Intersect(PictureArea()) == dst) {
    s.DestCanvas->CopyRect(onSurface, *s.NewPicture, PictureArea());
    return;
  }
  // A target reaching past the area keeps its scale and is cut by a clip.
  const Rect area = PictureArea();
  s.DestCanvas->SelectClip(Region::FromRect(RectAtOrigin(area.left, area.top, area.right, area.bottom)));
  s.DestCanvas->CopyRect(onSurface, *s.NewPicture, area);
  s.DestCanvas->ClearClip();
}

float SlopeOf(int32_t width, int32_t height) {
  if (width <= 0) return 0.0f;
  return static_cast<float>(static_cast<long double>(height) / width);
}

int32_t TimesSlope(int32_t p, float slope) {
  return RoundHalfEven(static_cast<long double>(p) * static_cast<long double>(slope));
}

PixelCopier::PixelCopier() {
  const TransitionState& s = gTransition;
  dest_ = &s.DestCanvas->Target();
  src_ = s.NewPicture;
  ox_ = s.OriginX;
  oy_ = s.OriginY;
  width_ = s.PicWidth;
  height_ = s.PicHeight;
  visible_ = PictureArea().Intersect(dest_->Bounds().Offset(-ox_, -oy_));
  if (s.DestCanvas->Clip()) mode_ = Mode::Canvas;
  else if (dest_->Format() != src_->Format()) mode_ = Mode::Convert;
  else mode_ = dest_->Format() == PixelFormat::Rgb565 ? Mode::Same16 : Mode::Same32;
}

void PixelCopier::Row(int32_t y, int32_t x0, int32_t x1) {
  if (y < visible_.top || y >= visible_.bottom) return;
  x0 = std::max(x0, visible_.left);
  x1 = std::min(x1, visible_.right);
  if (x0 >= x1) return;
  if (mode_ == Mode::Same16 || mode_ == Mode::Same32) {
    const int bpp = dest_->BytesPerPixel();
    std::memcpy(dest_->Row(y + oy_) + size_t(x0 + ox_) * bpp, src_->Row(y) + size_t(x0) * bpp, size_t(x1 - x0) * bpp);
  } else {
    CopyNewRect(x0, y, x1, y + 1);
  }
}

void PixelCopier::Slow(int32_t sx, int32_t sy, int32_t dx, int32_t dy) {
  if (mode_ == Mode::Convert) {
    dest_->SetRawPixel(dx + ox_, dy + oy_, PackPixel(dest_->Format(), UnpackPixel(src_->Format(), src_->RawPixel(sx, sy))));
  } else {
    gTransition.DestCanvas->CopyRect(RectAtOrigin(dx, dy, dx + 1, dy + 1), *src_, Rect{sx, sy, sx + 1, sy + 1});
  }
}

}  // namespace vitrine::reveal
