#include "transitions/transition_draw.h"

#include "transitions/transition_state.h"

namespace vitrine {

Rect PictureArea() { return {0, 0, gTransition.PicWidth, gTransition.PicHeight}; }

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
  Region clip = shape.Intersect(Region::FromRect(PictureArea()));
  if (clip.Empty()) return;
  clip.Offset(gTransition.OriginX, gTransition.OriginY);
  Canvas& canvas = *gTransition.DestCanvas;
  canvas.SelectClip(clip);
  canvas.Draw(gTransition.OriginX, gTransition.OriginY, *gTransition.NewPicture);
  canvas.ClearClip();
}

void RevealedRegion::Reveal(const Region& shape) {
  const Region inArea = shape.Intersect(Region::FromRect(PictureArea()));
  DrawNewThrough(inArea.Subtract(drawn_));
  drawn_ = drawn_.Union(inArea);
}

void RevealedRegion::RevealRest() {
  DrawNewThrough(Region::FromRect(PictureArea()).Subtract(drawn_));
  drawn_ = Region::FromRect(PictureArea());
}

}  // namespace vitrine
