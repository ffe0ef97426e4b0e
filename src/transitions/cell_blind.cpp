#include "transitions/cell_slats.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kSlat = 20;

struct WindowBlindState {
  Edge from = Edge::Top;
};
WindowBlindState gBlind;

// Columns one canvas call each would walk the whole height once per column, 1 pixel of every
// cache line they load; copying the columns' pixels row by row touches each row once.
template <class Pixel>
void CopyColumnsByRows(PixelCopier& copier, int32_t first) {
  const Rect& v = copier.Visible();
  if (first < v.left) first += (v.left - first + kSlat - 1) / kSlat * kSlat;
  const int32_t ox = copier.OriginX();
  for (int32_t y = v.top; y < v.bottom; ++y) {
    Pixel* dest = copier.DestRow<Pixel>(y) + ox;
    const Pixel* src = copier.SrcRow<Pixel>(y);
    for (int32_t x = first; x < v.right; x += kSlat) dest[x] = src[x];
  }
}

// Column first, first + 20, ... of the area.
void CopyColumns(int32_t first) {
  PixelCopier copier;
  switch (copier.CopyMode()) {
    case PixelCopier::Mode::Same16: CopyColumnsByRows<uint16_t>(copier, first); return;
    case PixelCopier::Mode::Same32: CopyColumnsByRows<uint32_t>(copier, first); return;
    default: break;
  }
  const TransitionState& s = gTransition;
  for (int32_t x = first; x < s.PicWidth; x += kSlat) CopyNewRect(x, 0, x + 1, s.PicHeight);
}

}  // namespace

void SetupWindowBlind(Edge from) {
  gBlind.from = from;
  gTransition.Position = 0;
}

bool WindowBlindFrame() {
  TransitionState& s = gTransition;
  if (s.Position >= kSlat) return true;
  const bool rows = gBlind.from == Edge::Top || gBlind.from == Edge::Bottom;
  const bool fromStart = gBlind.from == Edge::Top || gBlind.from == Edge::Left;
  // The line within every 20-line slat: counted from the slat's top (left) or bottom (right).
  const int32_t first = fromStart ? s.Position : kSlat - 1 - s.Position;
  if (rows) {
    for (int32_t y = first; y < s.PicHeight; y += kSlat) CopyNewRect(0, y, s.PicWidth, y + 1);
  } else {
    CopyColumns(first);
  }
  ++s.Position;
  return false;
}

}  // namespace vitrine
