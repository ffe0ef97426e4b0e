#include "transitions/timed_fade.h"

#include <algorithm>

#include "raster/blend.h"
#include "raster/canvas.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct FadeState {
  FadeKind kind = FadeKind::Cross;
  int64_t durationMs = 0;
  // The area's old and new pictures and black, in the surface's format, so that every frame
  // blends straight from them whatever formats the show's bitmaps have.
  Bitmap from, to, black;
  int32_t slid = 0;  // columns of the new picture the slide has drawn
};
FadeState gFade;

// The area of the surface in picture coordinates, as far as it lies on the surface.
Rect VisibleArea() {
  const TransitionState& s = gTransition;
  return PictureArea().Intersect(s.DestCanvas->Target().Bounds().Offset(-s.OriginX, -s.OriginY));
}

void StartClock() {
  const TransitionState& s = gTransition;
  gFade.durationMs = TimedDurationMs(std::max(s.PicWidth, s.PicHeight), s.Speed);
}

}  // namespace

int64_t TimedDurationMs(int32_t extent, int32_t speed) {
  return 10 * (int64_t(std::max(extent, 0)) / std::max(speed, 1) + 1);
}

int32_t TimedProgress() {
  const TransitionState& s = gTransition;
  const int64_t elapsed = s.NowMs > s.StartMs ? int64_t(s.NowMs - s.StartMs) : 0;
  if (gFade.durationMs <= 0 || elapsed >= gFade.durationMs) return kProgressOne;
  return int32_t(elapsed * kProgressOne / gFade.durationMs);
}

int32_t EaseInOut(int32_t progress) {
  const double p = double(std::clamp(progress, 0, kProgressOne)) / kProgressOne;
  const double e = p < 0.5 ? 4 * p * p * p : 1 - (2 - 2 * p) * (2 - 2 * p) * (2 - 2 * p) / 2;
  return int32_t(e * kProgressOne + 0.5);
}

void SetupFade(FadeKind kind) {
  const TransitionState& s = gTransition;
  StartClock();
  gFade.kind = kind;
  const PixelFormat format = s.DestCanvas->Target().Format();
  gFade.from.Reset(s.PicWidth, s.PicHeight, format);
  gFade.to.Reset(s.PicWidth, s.PicHeight, format);
  if (s.OldPicture) Canvas(gFade.from).CopyRect(PictureArea(), *s.OldPicture, PictureArea().Offset(s.OriginX, s.OriginY));
  Canvas(gFade.to).Draw(0, 0, *s.NewPicture);
  if (kind == FadeKind::ThroughBlack) gFade.black.Reset(s.PicWidth, s.PicHeight, format);
}

bool FadeFrame() {
  const TransitionState& s = gTransition;
  const int32_t progress = TimedProgress();
  if (progress >= kProgressOne) {
    DrawWholeNew();
    gFade = FadeState{};
    return true;
  }
  const Bitmap* a = &gFade.from;
  const Bitmap* b = &gFade.to;
  int32_t weight = int32_t((int64_t(progress) * kBlendOne) / kProgressOne);
  if (gFade.kind == FadeKind::ThroughBlack) {
    // Down to black in the first half, up to the new picture in the second.
    if (progress < kProgressOne / 2) {
      b = &gFade.black;
      weight = int32_t((int64_t(progress) * 2 * kBlendOne) / kProgressOne);
    } else {
      a = &gFade.black;
      weight = int32_t((int64_t(progress - kProgressOne / 2) * 2 * kBlendOne) / kProgressOne);
    }
  }
  const Rect area = VisibleArea();
  if (!area.Empty()) BlendRect(s.DestCanvas->Target(), s.OriginX + area.left, s.OriginY + area.top, *a, *b, area, weight);
  return false;
}

void SetupEasedSlide() {
  StartClock();
  gFade.slid = 0;
}

bool EasedSlideFrame() {
  const TransitionState& s = gTransition;
  const int32_t progress = TimedProgress();
  if (progress >= kProgressOne) {
    DrawWholeNew();
    return true;
  }
  // The new picture's left edge stands at W - x: its first x columns are in, at the right.
  const int32_t x = int32_t((int64_t(EaseInOut(progress)) * s.PicWidth) / kProgressOne);
  if (x > gFade.slid) {
    CopyNewTo({0, 0, x, s.PicHeight}, {s.PicWidth - x, 0, s.PicWidth, s.PicHeight});
    gFade.slid = x;
  }
  return false;
}

}  // namespace vitrine
