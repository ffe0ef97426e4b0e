#include "transitions/pan_zoom.h"

#include "core/random.h"
#include "transitions/timed_fade.h"

namespace vitrine {
namespace {

// The closest framing, pushed against `side` and centred across it.
FixedRect Zoomed(const FixedRect& whole, PanSide side) {
  FixedRect r;
  r.width = whole.width * 1000 / kPanZoomPerMille;
  r.height = whole.height * 1000 / kPanZoomPerMille;
  const int64_t slackX = whole.width - r.width, slackY = whole.height - r.height;
  r.left = whole.left + slackX / 2;
  r.top = whole.top + slackY / 2;
  switch (side) {
    case PanSide::Left: r.left = whole.left; break;
    case PanSide::Right: r.left = whole.left + slackX; break;
    case PanSide::Top: r.top = whole.top; break;
    case PanSide::Bottom: r.top = whole.top + slackY; break;
  }
  return r;
}

PanSide Opposite(PanSide side) {
  switch (side) {
    case PanSide::Left: return PanSide::Right;
    case PanSide::Right: return PanSide::Left;
    case PanSide::Top: return PanSide::Bottom;
    case PanSide::Bottom: return PanSide::Top;
  }
  return side;
}

int64_t Mix(int64_t a, int64_t b, int64_t t) { return a + (b - a) * t / kProgressOne; }

}  // namespace

FixedRect PanZoomPath::At(int32_t progress) const {
  const int64_t t = EaseInOut(progress);
  return {Mix(start.left, end.left, t), Mix(start.top, end.top, t), Mix(start.width, end.width, t),
          Mix(start.height, end.height, t)};
}

PanZoomPath MakePanZoomPath(const FixedRect& whole, bool zoomIn, PanSide side) {
  if (zoomIn) return {whole, Zoomed(whole, side)};
  return {Zoomed(whole, Opposite(side)), whole};
}

PanZoomPath RandomPanZoomPath(const FixedRect& whole) {
  const bool zoomIn = Random(2) == 1;
  return MakePanZoomPath(whole, zoomIn, PanSide(Random(4)));
}

}  // namespace vitrine
