#include "transitions/transition_draw.h"

#include <algorithm>
#include <cstring>

#include "core/rounding.h"
#include "transitions/transition_state.h"

namespace vitrine {

Rect PictureArea() { return {0, 0, gTransition.PicWidth, gTransition.PicHeight}; }

Region AreaRegion() { return Region::FromRect(PictureArea()); }

void CopyNewRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  const Rect src = Rect{l, t, r, b}.Intersect(PictureArea());
  if (src.Empty()) return;
  gTransition.DestCanvas->CopyRect(RectAtOrigin(src.left, src.top, src.right, src.bottom), *gTransition.NewPicture, src);
}

void DrawWholeNew() {
  if (PictureArea().Empty()) return;
  gTransition.DestCanvas->Draw(gTransition.OriginX, gTransition.OriginY, *gTransition.NewPicture);
}

void DrawNewThrough(const Region& shape) {
  Region clip = shape.Intersect(AreaRegion());
  if (clip.Empty()) return;
  clip.Offset(gTransition.OriginX, gTransition.OriginY);
  Canvas& canvas = *gTransition.DestCanvas;
  canvas.SelectClip(clip);
  canvas.Draw(gTransition.OriginX, gTransition.OriginY, *gTransition.NewPicture);
  canvas.ClearClip();
}

Region PolygonRegion(std::initializer_list<Point> points, FillMode mode) {
  return Region::FromPolygon(std::span<const Point>(points.begin(), points.size()), mode);
}

void RevealedRegion::Reveal(const Region& shape) {
  const Region inArea = shape.Intersect(AreaRegion());
  DrawNewThrough(inArea.Subtract(drawn_));
  drawn_ = drawn_.Union(inArea);
}

void RevealedRegion::RevealRest() {
  DrawNewThrough(AreaRegion().Subtract(drawn_));
  drawn_ = AreaRegion();
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
  if (inner.Empty()) {
    CopyNewRect(outer);
    return;
  }
  CopyNewRect(outer.left, outer.top, outer.right, inner.top);
  CopyNewRect(outer.left, inner.bottom, outer.right, outer.bottom);
  CopyNewRect(outer.left, inner.top, inner.left, inner.bottom);
  CopyNewRect(inner.right, inner.top, outer.right, inner.bottom);
}

Rect ProportionalRect(int32_t cx, int32_t cy, int32_t p) {
  const int64_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  if (h <= w) {
    const int32_t dx = static_cast<int32_t>(p * w / h);
    return {cx - dx, cy - p, cx + dx, cy + p};
  }
  const int32_t dy = static_cast<int32_t>(p * h / w);
  return {cx - p, cy - dy, cx + p, cy + dy};
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

}  // namespace vitrine
